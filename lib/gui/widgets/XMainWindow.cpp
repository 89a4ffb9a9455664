#include "XMainWindow.h"

#include "KernelGUI.h"
#include "XNode.h"
#include "XPanel.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QShortcut>

namespace zem {

namespace {
const QString KEY_X = QStringLiteral("geoX");
const QString KEY_Y = QStringLiteral("geoY");
const QString KEY_WIDTH = QStringLiteral("geoWidth");
const QString KEY_HEIGHT = QStringLiteral("geoHeight");
const QString KEY_MAXIMIZED = QStringLiteral("flagMaximized");
// Written by earlier versions in a form bound to the screens of that time; dropped on save.
const QString KEY_OLD_GEOMETRY = QStringLiteral("geometry");
// Smaller than this a restored window is of no use; such values are not a window's.
constexpr int kMinRestoreSize = 100;

QList<QRect> screenAreas()
{
    QList<QRect> areas;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        areas << primary->availableGeometry();
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen())
            areas << screen->availableGeometry();
    return areas;
}
} // namespace

std::function<QList<QRect>()> XMainWindow::screenAreasProvider = screenAreas;

XMainWindow::XMainWindow(QWidget* parent) : QMainWindow(parent)
{
    if (KernelGUI* kernel = KernelGUI::kernelGui())
        kernel->addWindow(this);
}

XMainWindow::~XMainWindow() = default;

XPanel* XMainWindow::createContentPanel(bool vertical)
{
    if (!m_content) {
        m_content = new XPanel(vertical, this);
        setCentralWidget(m_content);
    }
    return m_content;
}

void XMainWindow::set_icon(const QString& path, int size)
{
    setWindowIcon(QIcon(QIcon(path).pixmap(size, size)));
}

void XMainWindow::setTitleStd(const QString& title)
{
    setWindowTitle(title);
}

void XMainWindow::addHotKeyMethod(int keyCode, std::function<void()> fn)
{
    auto* shortcut = new QShortcut(QKeySequence(keyCode), this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [fn = std::move(fn)] {
        if (fn)
            fn();
    });
}

void XMainWindow::setBounds(int x, int y, int width, int height)
{
    setGeometry(x, y, width, height);
}

void XMainWindow::closeAbstractWindow()
{
    close();
}

void XMainWindow::toggle_full_screen()
{
    setWindowState(windowState() ^ Qt::WindowFullScreen);
}

QRect XMainWindow::fit_to_screens(const QRect& rect, const QList<QRect>& areas)
{
    if (areas.isEmpty())
        return rect;
    QRect area = areas.first();
    qint64 best = 0;
    for (const QRect& candidate : areas) {
        const QRect common = candidate.intersected(rect);
        const qint64 size = qint64(common.width()) * common.height();
        if (!common.isEmpty() && size > best) {
            best = size;
            area = candidate;
        }
    }
    const int width = qMin(rect.width(), area.width());
    const int height = qMin(rect.height(), area.height());
    const int x = qBound(area.left(), rect.x(), area.left() + area.width() - width);
    const int y = qBound(area.top(), rect.y(), area.top() + area.height() - height);
    return QRect(x, y, width, height);
}

bool XMainWindow::restoreGeometryFromNode()
{
    XNode* node = getNodeWin();
    if (!node || !node->has(KEY_WIDTH) || !node->has(KEY_HEIGHT))
        return false;
    const QRect saved(int(node->getInt(KEY_X, 0)), int(node->getInt(KEY_Y, 0)), int(node->getInt(KEY_WIDTH, 0)),
                      int(node->getInt(KEY_HEIGHT, 0)));
    if (saved.width() < kMinRestoreSize || saved.height() < kMinRestoreSize)
        return false;
    const QRect fitted = fit_to_screens(saved, screenAreasProvider ? screenAreasProvider() : QList<QRect>());
    // The position is the frame's, as pos() gives it; the size is the window's own.
    resize(fitted.size());
    move(fitted.topLeft());
    if (node->isBool(KEY_MAXIMIZED, false))
        setWindowState(windowState() | Qt::WindowMaximized);
    return true;
}

void XMainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    firstShownListener.fire(microsecondsSinceStart());
}

void XMainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (m_closed)
        return;
    m_closed = true;
    closeListener.fire();
    if (XNode* node = getNodeWin()) {
        // A maximised or full-screen window comes back maximised over the size it had before.
        QRect rect(pos(), size());
        if ((isMaximized() || isFullScreen()) && normalGeometry().isValid()) {
            // normalGeometry is the inner area; the frame sits around it as it does now.
            rect = normalGeometry();
            rect.moveTopLeft(rect.topLeft() - (geometry().topLeft() - frameGeometry().topLeft()));
        }
        node->setInt(KEY_X, rect.x());
        node->setInt(KEY_Y, rect.y());
        node->setInt(KEY_WIDTH, rect.width());
        node->setInt(KEY_HEIGHT, rect.height());
        node->setBool(KEY_MAXIMIZED, isMaximized());
        node->remove(KEY_OLD_GEOMETRY);
    }
}

} // namespace zem
