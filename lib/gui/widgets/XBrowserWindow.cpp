#include "XBrowserWindow.h"

#include "Logger.h"
#include "XLang.h"
#include "XTools.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace zem {

namespace {
QUrl urlOf(const QString& page)
{
    if (page.startsWith(QLatin1String(":/")))
        return QUrl(QStringLiteral("qrc") + page);
    return QUrl::fromLocalFile(QFileInfo(page).absoluteFilePath());
}
} // namespace

XBrowserWindow::XBrowserWindow(const QString& page, const QString& title, int buttons, QWidget* owner)
    : QWidget(owner, Qt::Window), m_browser(new QTextBrowser(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_browser->setOpenExternalLinks(true);
    layout->addWidget(m_browser, 1);

    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    if (buttons == 1) {
        auto* back = new QPushButton(xt("Back"), this);
        auto* forward = new QPushButton(xt("Forward"), this);
        auto* home = new QPushButton(xt("Home"), this);
        back->setEnabled(false);
        forward->setEnabled(false);
        connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
        connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
        connect(home, &QPushButton::clicked, m_browser, &QTextBrowser::home);
        connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
        connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
        row->addWidget(back);
        row->addWidget(forward);
        row->addWidget(home);
    }
    row->addStretch(1);
    auto* close = new QPushButton(xt("Close"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    row->addWidget(close);

    m_browser->setSource(urlOf(page));
    resize(720, 560);
}

XBrowserWindow* XBrowserWindow::showHelp(const QString& page, const QString& title, int buttons, QWidget* owner)
{
    if (page.isEmpty() || !QFileInfo::exists(page)) {
        Logger::log(xprintF(QStringLiteral("XBrowserWindow::showHelp, no page <<<$>>>"), page), LOG_WARN);
        return nullptr;
    }
    auto* window = new XBrowserWindow(page, title, buttons, owner);
    XTools::centerOnWindow(window, owner);
    window->show();
    window->raise();
    return window;
}

} // namespace zem
