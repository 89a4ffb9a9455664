#include "DesktopOpeners.h"

#include "Logger.h"
#include "Terminal.h"
#include "XEnv.h"
#include "XLang.h"
#include "widgets/XBox.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QPointer>
#include <QWidget>
#include <QUrl>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;

namespace {
// A bus address that the D-Bus library would otherwise have to find by starting a helper program.
bool has_session_bus()
{
    const QString runtime = zem::getEnv(QStringLiteral("XDG_RUNTIME_DIR"));
    return !zem::getEnv(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")).isEmpty()
           || (!runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus")));
}

bool exists_or_warn(const QFileInfo& file, QWidget* parent)
{
    if (file.exists() || file.isSymLink())
        return true;
    zem::XBox::warn(parent, xt("Error"), xprintF(xt("File does not exist\n$"), file.absoluteFilePath()));
    return false;
}
} // namespace

bool DesktopOpeners::open_with_default_program(const QFileInfo& file, QWidget* parent)
{
    Logger::log(xprintF(QStringLiteral("DesktopOpeners::open_with_default_program <<<$>>>"), file.absoluteFilePath()),
                zem::LOG_PROGRESS);
    if (!exists_or_warn(file, parent))
        return false;
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath())))
        return true;
    zem::XBox::warn(parent, xt("Error"),
                    xprintF(xt("The desktop has no program to open\n$"), file.absoluteFilePath()));
    return false;
}

bool DesktopOpeners::open_folder(const QFileInfo& file, QWidget* parent)
{
    const QString folder = file.isDir() ? file.absoluteFilePath() : file.absolutePath();
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        return true;
    zem::XBox::warn(parent, xt("Error"), xprintF(xt("The desktop has no file manager for\n$"), folder));
    return false;
}

bool DesktopOpeners::show_in_file_manager(const QFileInfo& file, QWidget* parent)
{
    Logger::log(xprintF(QStringLiteral("DesktopOpeners::show_in_file_manager <<<$>>>"), file.absoluteFilePath()),
                zem::LOG_PROGRESS);
    if (!exists_or_warn(file, parent))
        return false;
    if (!has_session_bus())
        return open_folder(file, parent);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return open_folder(file, parent);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded)} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QPointer<QWidget> guard(parent);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, file, guard] {
        watcher->deleteLater();
        if (!watcher->isError())
            return;
        Logger::log(xprintF(QStringLiteral("DesktopOpeners::show_in_file_manager, no file manager on the bus: $"),
                            watcher->error().message()),
                    zem::LOG_WARN);
        open_folder(file, guard.data());
    });
    return true;
}

bool DesktopOpeners::has_terminal()
{
    return !Terminal::find_terminal().isEmpty();
}

bool DesktopOpeners::open_terminal_here(const QFileInfo& file, QWidget* parent)
{
    if (Terminal::open_here(file))
        return true;
    zem::XBox::warn(parent, xt("Error"), xt("No terminal program could be started"));
    return false;
}

} // namespace zemFinder
