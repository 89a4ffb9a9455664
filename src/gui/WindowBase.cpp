#include "WindowBase.h"

#include "Logger.h"
#include "WinTray.h"
#include "XTheme.h"
#include "XThread.h"
#include "XLang.h"
#include "XTools.h"
#include "widgets/XBrowserWindow.h"
#include "widgets/XMenu.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

WindowBase::WindowBase(QWidget* parent) : zem::XMainWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

WindowBase::~WindowBase()
{
    Logger::log(QStringLiteral("WindowBase::~WindowBase"), zem::LOG_DETAIL);
    delete m_actionShow.data();
}

QFileInfo WindowBase::currentFile() const
{
    return QFileInfo();
}

QString WindowBase::shortName() const
{
    return QStringLiteral("ZF");
}

QString WindowBase::toString() const
{
    return QStringLiteral("WindowBase");
}

void WindowBase::setupTray()
{
    Logger::log(QStringLiteral("WindowBase::setupTray"), zem::LOG_PROGRESS);
    if (m_actionShow) {
        Logger::log(QStringLiteral("WindowBase::setupTray, actionShow already exists"), zem::LOG_PROGRESS);
        return;
    }
    WinTray* tray = WinTray::get();
    m_actionShow = tray->menu()->addAction(QString());
    connect(m_actionShow, &QAction::triggered, this, [this] {
        if (isVisible())
            hide();
        else
            bring_to_front();
    });
    update_tray_entry(isVisible());
    tray->showIfAvailable();
}

void WindowBase::set_tray_text(const QString& text)
{
    QPointer<QAction> action = m_actionShow;
    zem::qt::run_in_Gui_Thread([action, text] {
        if (action)
            action->setText(text);
    });
}

void WindowBase::update_tray_entry(bool shown)
{
    if (!m_actionShow)
        return;
    set_tray_text(xprintF(QStringLiteral("$ $"), shortName(), currentFile().absoluteFilePath()));
    m_actionShow->setIcon(QIcon(zem::XTheme::iconPath(shown ? QStringLiteral("hide.svg") : QStringLiteral("show.svg"))));
}

void WindowBase::hide_to_tray()
{
    if (zem::XTray::isAvailable() && WinTray::exists() && m_actionShow) {
        hide();
        return;
    }
    Logger::log(QStringLiteral("WindowBase::hide_to_tray, no tray: minimised"), zem::LOG_PROGRESS);
    showMinimized();
}

void WindowBase::bring_to_front()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

QString WindowBase::help_page()
{
    const QString page = xprintF(QStringLiteral(":/zf/html/index.$.html"), zem::XTools::get_lang());
    return QFileInfo::exists(page) ? page : QStringLiteral(":/zf/html/index.en.html");
}

void WindowBase::aboutProgram()
{
    zem::XBrowserWindow::showHelp(help_page(), zem::xt("About Zem Finder"), 0, this);
}

void WindowBase::helpProgram()
{
    zem::XBrowserWindow::showHelp(help_page(), zem::xt("About Zem Finder"), 1, this);
}

void WindowBase::closeEvent(QCloseEvent* event)
{
    if (m_actionShow && WinTray::exists())
        WinTray::get()->menu()->removeAction(m_actionShow);
    delete m_actionShow.data();
    zem::XMainWindow::closeEvent(event);
}

void WindowBase::showEvent(QShowEvent* event)
{
    zem::XMainWindow::showEvent(event);
    update_tray_entry(true);
}

void WindowBase::hideEvent(QHideEvent* event)
{
    zem::XMainWindow::hideEvent(event);
    update_tray_entry(false);
}

} // namespace zemFinder
