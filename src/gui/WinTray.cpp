#include "WinTray.h"

#include "KernelGUI.h"
#include "Logger.h"
#include "WinFinder.h"
#include "XLang.h"
#include "XNode.h"
#include "XTheme.h"
#include "XThread.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XAction.h"
#include "widgets/XBox.h"
#include "widgets/XMainWindow.h"
#include "widgets/XMenu.h"

#include <QApplication>

namespace zemFinder {

using zem::Logger;

namespace {
WinTray* g_tray = nullptr;
// How often the tray looks for a remaining window; short enough that closing the last window
// feels like ending the program.
constexpr int CHECK_INTERVAL_MS = 500;
// The check starts a moment after the tray, so that the first window is registered by then.
constexpr int CHECK_START_DELAY_MS = 1000;
} // namespace

WinTray::WinTray() : zem::XTray(QStringLiteral(":/zf/icons/find3.svg"))
{
    build_menu();
    m_timer.setInterval(CHECK_INTERVAL_MS);
    connect(&m_timer, &QTimer::timeout, this, [this] { check_windows(); });
    QTimer::singleShot(CHECK_START_DELAY_MS, this, [this] { m_timer.start(); });
    connect(this, &QSystemTrayIcon::activated, this,
            [] { Logger::log(QStringLiteral("WindowBase::setupTray, trigger"), zem::LOG_PROGRESS); });
}

WinTray::~WinTray()
{
    Logger::log(QStringLiteral("WinTray::~WinTray"), zem::LOG_DETAIL);
    if (g_tray == this)
        g_tray = nullptr;
}

WinTray* WinTray::get()
{
    if (!g_tray)
        g_tray = new WinTray;
    return g_tray;
}

bool WinTray::exists()
{
    return g_tray != nullptr;
}

void WinTray::destroy()
{
    delete g_tray;
}

void WinTray::build_menu()
{
    zem::XMenu* m = menu();
    // Entry texts stay untranslated: they name commands the tray shows on every desktop alike.
    *m->createAction(QStringLiteral(":/zf/icons/close.svg"), QStringLiteral("Quit"), 0) = [] {
        WinFinder::quit_application(nullptr);
    };
    m->addSeparator();
    *m->createAction(zem::XTheme::iconPath(QStringLiteral("find.svg")), QStringLiteral("New Window"), 0) = [] {
        WinFinder::new_win(QString());
    };
    m->addSeparator();
    *m->createAction(QStringLiteral(":/zf/icons/reset.svg"), QStringLiteral("Reset Configuration"), 0) = [this] {
        on_reset_configuration();
    };
    m->addSeparator();
}

int WinTray::count_windows()
{
    zem::KernelGUI* kernel = zem::KernelGUI::kernelGui();
    if (!kernel)
        return 0;
    int count = 0;
    for (QWidget* window : kernel->windows()) {
        auto* main = qobject_cast<zem::XMainWindow*>(window);
        if (!main || !main->isClosing())
            ++count;
    }
    return count;
}

bool WinTray::check_windows()
{
    if (count_windows() > 0)
        return false;
    m_timer.stop();
    WinFinder::quit_the_app();
    return true;
}

void WinTray::on_reset_configuration()
{
    const int answer = zem::XBox::ask_yes_no(
        nullptr, zem::xt("Reset Config"),
        zem::xt("Reset Zem Finder Configuration\nConfirm to bring Zem Finder\nto initial state and restart program"));
    if (answer != 1)
        return;
    zem::qt::run_in_Gui_Thread(
        [] {
            // Windows store their state while closing; they close first so that nothing of the
            // old state is written back after the reset.
            if (zem::KernelGUI* kernel = zem::KernelGUI::kernelGui()) {
                for (QWidget* window : kernel->windows())
                    window->close();
                reset_configuration();
                kernel->set_restart(true);
            }
            QApplication::exit(0);
        },
        1000);
}

void WinTray::reset_configuration()
{
    zem::KernelGUI* kernel = zem::KernelGUI::kernelGui();
    if (!kernel)
        return;
    zem::XNode* root = kernel->getNodeRoot();
    for (const QString& key : root->keys())
        root->remove(key);
    zem::XNode* app = kernel->getCreateNodeApplication();
    QStringList others;
    for (const auto& child : root->children())
        if (child.get() != app)
            others << child->name();
    for (const QString& name : others)
        root->removeNode(name);
    for (const QString& key : app->keys())
        app->remove(key);
    zem::XNode* config = app->getCreateNode(QStringLiteral("Config"));
    others.clear();
    for (const auto& child : app->children())
        if (child.get() != config)
            others << child->name();
    for (const QString& name : others)
        app->removeNode(name);
    config->clear();
    WinFinderConfig::get() = WinFinderConfig();
}

} // namespace zemFinder
