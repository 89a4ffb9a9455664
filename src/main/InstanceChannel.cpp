#include "main/InstanceChannel.h"

#include "Logger.h"

#include <QFileInfo>
#include <QLocalSocket>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
const QByteArray kCommand = QByteArrayLiteral("SHOW ");
// A percent-encoded path is at most three bytes per byte of a long path; anything longer is not
// a request of ours and is dropped.
constexpr int kMaxMessage = 64 * 1024;
} // namespace

InstanceChannel::InstanceChannel(const QString& socketPath, QObject* parent) : QObject(parent), m_path(socketPath)
{
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, [this] { on_connection(); });
}

InstanceChannel::~InstanceChannel()
{
    m_server.close();
}

QString InstanceChannel::socket_path_beside(const QString& lockFilePath)
{
    const QFileInfo lock(lockFilePath);
    return lock.absolutePath() + QLatin1Char('/') + lock.completeBaseName() + QStringLiteral(".socket");
}

bool InstanceChannel::listen()
{
    QLocalServer::removeServer(m_path);
    if (m_server.listen(m_path))
        return true;
    Logger::log(xprintF(QStringLiteral("InstanceChannel::listen, <<<$>>> $"), m_path, m_server.errorString()),
                zem::LOG_WARN);
    return false;
}

void InstanceChannel::on_connection()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { on_data(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0)
            on_data(socket);
    }
}

void InstanceChannel::on_data(QLocalSocket* socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxMessage) {
            Logger::log(QStringLiteral("InstanceChannel::on_data, message too long"), zem::LOG_WARN);
            socket->abort();
        }
        return;
    }
    const QByteArray line = socket->readLine(kMaxMessage).trimmed();
    // One request per connection.
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    socket->disconnectFromServer();
    if (!line.startsWith(kCommand.trimmed())) {
        Logger::log(QStringLiteral("InstanceChannel::on_data, unknown request"), zem::LOG_WARN);
        return;
    }
    const QString file = QString::fromUtf8(QByteArray::fromPercentEncoding(line.mid(kCommand.size())));
    Logger::log(xprintF(QStringLiteral("InstanceChannel::on_data, show <<<$>>>"), file), zem::LOG_PROGRESS);
    showListener.fire(file);
}

bool InstanceChannel::ask_running(const QString& socketPath, const QString& file, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs)) {
        Logger::log(xprintF(QStringLiteral("InstanceChannel::ask_running, <<<$>>> $"), socketPath, socket.errorString()),
                    zem::LOG_WARN);
        return false;
    }
    socket.write(kCommand + file.toUtf8().toPercentEncoding() + '\n');
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    // The server closes after reading, which tells us the request arrived.
    if (sent && socket.state() == QLocalSocket::ConnectedState)
        socket.waitForDisconnected(timeoutMs);
    socket.abort();
    return sent;
}

} // namespace zemFinder
