#include "main/FindApplication.h"

#include "KernelGUI.h"
#include "Logger.h"
#include "XEnv.h"
#include "XNode.h"
#include "XRunGuard.h"
#include "XRuntime.h"
#include "gui/config/ConfigZemFinder.h"
#include "main/BuildInfo.h"
#include "main/InstanceChannel.h"

#include "XFontScale.h"
#include "XTools.h"
#include "gui/WinFinder.h"
#include "gui/WinTray.h"
#include "gui/apps/XAppManager.h"
#include "gui/apps/XAppRunner.h"
#include "gui/dia/DiaFirstMessage.h"
#include "gui/dia/Bookmarks.h"
#include "widgets/XToolsGui.h"
#include "widgets/XTreeViewFiles.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace zemFinder {

namespace {
const zem::TestGuiContextAdder g_app(FindApplication::zemFind, "app", "", {QStringLiteral("file")});

// Windows still open when the event loop ends (a signal, a developer command) close here, so that
// their state reaches the node tree before it is saved.
void close_remaining_windows(zem::KernelGUI& kernel)
{
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : kernel.windows())
        windows << window;
    for (const QPointer<QWidget>& window : windows)
        if (window)
            window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const QPointer<QWidget>& window : windows)
        delete window.data();
}

// The cycle-previews key: from the focus widget up to the main window that holds it.
bool key_hook(QKeyEvent* event)
{
    if (!zem::XToolsGui::is_modifier(WinFinderConfig::get().HotkeyCyclePreviews, uint32_t(event->modifiers())))
        return false;
    QWidget* focus = QApplication::focusWidget();
    for (QWidget* w = focus; w; w = w->parentWidget())
        if (auto* win = qobject_cast<WinFinder*>(w)) {
            win->key_cycle_previews(focus);
            break;
        }
    return false;
}
} // namespace

void FindApplication::load_apps()
{
    XAppManager::set_file();
    if (XAppManager::load())
        return;
    zem::Logger::log(QStringLiteral("FindApplication::zemFind, XAppManager::load() == false"), zem::LOG_PROGRESS);
    XAppManager::set_defaults();
    zem::Logger::log(QStringLiteral("FindApplication::zemFind, XAppManager::load() == false, after defaults"),
                     zem::LOG_PROGRESS);
}

QString FindApplication::start_path(zem::KernelGUI& kernel)
{
    QString path = resolve_user_path(kernel.commandLine().getString(QStringLiteral("file"), QString()));
    zem::Logger::log(zem::xprintF(QStringLiteral("FindApplication::zemFind <<<$>>>"), path), zem::LOG_PROGRESS);
    const WinFinderConfig& config = WinFinderConfig::get();
    if (path.isEmpty() && config.flagUseStartFolder)
        path = config.startFolder;
    return path;
}

void FindApplication::on_second_start(const QString& file)
{
    zem::Logger::log(zem::xprintF(QStringLiteral("FindApplication::on_second_start, <<<$>>>"), file), zem::LOG_PROGRESS);
    zem::KernelGUI* kernel = zem::KernelGUI::kernelGui();
    WinFinder* win = nullptr;
    if (kernel)
        for (QWidget* window : kernel->windows()) {
            auto* finder = qobject_cast<WinFinder*>(window);
            if (!finder || finder->isClosing())
                continue;
            // The window the user worked in last, else the newest.
            if (!win || finder->isActiveWindow())
                win = finder;
        }
    if (!win) {
        WinFinder::new_win(file);
        return;
    }
    win->bring_to_front();
    if (!file.isEmpty() && QFileInfo::exists(file) && win->treeView())
        win->treeView()->selectFile(file, true);
}

int FindApplication::zemFind(zem::KernelGUI& kernel)
{
    zem::Logger::setLogLevelSimple(3);
    QGuiApplication::setQuitOnLastWindowClosed(false);

    zem::XRunGuard guard(QStringLiteral("zemFind"));
    const QString socketPath = InstanceChannel::socket_path_beside(guard.lockFilePath());
    if (!guard.run_instance_of_program()) {
        zem::Logger::log(QStringLiteral("ONE-INSTANCE-ONLY!"), zem::LOG_ERROR);
        // The user who starts the program again wants to see it: the running one comes forward.
        InstanceChannel::ask_running(socketPath,
                                     resolve_user_path(kernel.commandLine().getString(QStringLiteral("file"), QString())));
        return 0;
    }
    InstanceChannel channel(socketPath);
    channel.showListener.add([](const QString& file) { on_second_start(file); });
    channel.listen();

    zem::XNode* nApp = kernel.getCreateNodeApplication();
    DiaFirstMessage::show_at_start(nApp->root());
    if (zem::XRuntime::quit_requested())
        return 0;
    zem::XNode* nConfig = nApp->getCreateNode(QStringLiteral("Config"));
    WinFinderConfig::get().fromNode(nConfig);
    zem::XFontScale::apply();

    if (!kernel.commandLine().checkKeys()) {
        zem::Logger::log(QStringLiteral("Keys !"), zem::LOG_ERROR);
        return 1;
    }
    const QString startPath = start_path(kernel);
    zem::setEnv(QStringLiteral("NOCONSOLE"), QStringLiteral("X"));
    zem::XNode* nWin = nApp->getCreateNode(QStringLiteral("GUI"))->getCreateNode(QStringLiteral("Window"));

    load_apps();
    XAppRunner::output_listeners().set([](const QString& text) { WinFinder::show_output_in_main_window(text); });
    Bookmarks::load();

    WinFinder* win = WinFinder::create_window(nWin, startPath);
    win->place_window();

    kernel.setKeyHook(key_hook);
    kernel.addExitHandler([nConfig] {
        WinFinderConfig::get().toNode(nConfig);
        Bookmarks::save();
        WinTray::destroy();
    });

    win->show();
    const int rc = kernel.run();
    close_remaining_windows(kernel);
    return rc;
}

} // namespace zemFinder
