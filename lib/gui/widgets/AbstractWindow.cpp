#include "AbstractWindow.h"

#include "XBrowserWindow.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QWidget>

namespace zem {

namespace {
// Started during static initialisation, as close to the process start as the library gets.
const QElapsedTimer& startTimer()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}
const bool g_started = (startTimer(), true);
} // namespace

AbstractWindow::AbstractWindow() = default;
AbstractWindow::~AbstractWindow() = default;

qint64 AbstractWindow::microsecondsSinceStart()
{
    (void)g_started;
    return startTimer().nsecsElapsed() / 1000;
}

void AbstractWindow::setHtmlHelpPage(const QString& first, const QString& second)
{
    m_helpFirst = first;
    m_helpSecond = second;
}

QString AbstractWindow::htmlHelpPage() const
{
    if (!m_helpFirst.isEmpty() && QFileInfo::exists(m_helpFirst))
        return m_helpFirst;
    if (!m_helpSecond.isEmpty() && QFileInfo::exists(m_helpSecond))
        return m_helpSecond;
    return QString();
}

void AbstractWindow::aboutProgram()
{
    XBrowserWindow::showHelp(htmlHelpPage(), asWidget()->windowTitle(), 0);
}

void AbstractWindow::helpProgram()
{
    XBrowserWindow::showHelp(htmlHelpPage(), asWidget()->windowTitle(), 1);
}

} // namespace zem
