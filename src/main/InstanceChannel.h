#pragma once
// How a second start of the program reaches the one that runs: the running program listens on a
// local socket beside its single-instance lock; a second start connects, asks it to show and
// raise its window (and to select a path), and ends. The message is one line, "SHOW " and the
// percent-encoded path, so no path can break it. The server runs on the GUI thread of the
// running program; the client blocks for a moment in the second start, which shows no window.
#include "XEventListener.h"

#include <QLocalServer>
#include <QObject>
#include <QString>

class QLocalSocket;

namespace zemFinder {

class InstanceChannel : public QObject {
    Q_OBJECT
public:
    explicit InstanceChannel(const QString& socketPath, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // Starts listening; only the holder of the instance lock calls it, so a socket file that is
    // already there was left by a run that ended badly and is removed first.
    bool listen();
    bool isListening() const { return m_server.isListening(); }
    QString socketPath() const { return m_path; }

    // The second start's side: true when the running program took the request.
    static bool ask_running(const QString& socketPath, const QString& file, int timeoutMs = 3000);
    // "<folder of the lock>/<key>.socket" for "<folder>/<key>.lock".
    static QString socket_path_beside(const QString& lockFilePath);

    // Fired on the GUI thread for each request, with the path to select (empty: none).
    zem::XEventListener<void(const QString&)> showListener;

private:
    void on_connection();
    void on_data(QLocalSocket* socket);

    QString m_path;
    QLocalServer m_server;
};

} // namespace zemFinder
