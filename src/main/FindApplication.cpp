#include "main/FindApplication.h"

#include "KernelGUI.h"
#include "Logger.h"
#include "XEnv.h"
#include "XNode.h"
#include "XRunGuard.h"
#include "gui/config/ConfigZemFinder.h"
#include "main/BuildInfo.h"

#include "XTools.h"
#include "gui/WinFinder.h"
#include "gui/WinTray.h"
#include "gui/dia/Bookmarks.h"
#include "widgets/XToolsGui.h"

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

QString FindApplication::start_path(zem::KernelGUI& kernel)
{
    QString path = resolve_user_path(kernel.commandLine().getString(QStringLiteral("file"), QString()));
    zem::Logger::log(zem::xprintF(QStringLiteral("FindApplication::zemFind <<<$>>>"), path), zem::LOG_PROGRESS);
    const WinFinderConfig& config = WinFinderConfig::get();
    if (path.isEmpty() && config.flagUseStartFolder)
        path = config.startFolder;
    return path;
}

int FindApplication::zemFind(zem::KernelGUI& kernel)
{
    zem::Logger::setLogLevelSimple(3);
    QGuiApplication::setQuitOnLastWindowClosed(false);

    zem::XRunGuard guard(QStringLiteral("zemFind"));
    if (!guard.run_instance_of_program()) {
        zem::Logger::log(QStringLiteral("ONE-INSTANCE-ONLY!"), zem::LOG_ERROR);
        return 0;
    }

    zem::XNode* nApp = kernel.getCreateNodeApplication();
    zem::XNode* nConfig = nApp->getCreateNode(QStringLiteral("Config"));
    WinFinderConfig::get().fromNode(nConfig);

    if (!kernel.commandLine().checkKeys()) {
        zem::Logger::log(QStringLiteral("Keys !"), zem::LOG_ERROR);
        return 1;
    }
    const QString startPath = start_path(kernel);
    zem::setEnv(QStringLiteral("NOCONSOLE"), QStringLiteral("X"));
    zem::XNode* nWin = nApp->getCreateNode(QStringLiteral("GUI"))->getCreateNode(QStringLiteral("Window"));

    Bookmarks::load();

    WinFinder* win = new WinFinder;
    win->setNodeWin(nWin);
    win->setTitleStd(QStringLiteral("Zem Finder"));
    win->setHtmlHelpPage(QStringLiteral(":html/en.index.html"), QStringLiteral(":/html/en.index.html"));
    win->setupTray();
    win->setUp(startPath);
    zem::XTools::centerOnScreen(win, 1200, 600);

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
