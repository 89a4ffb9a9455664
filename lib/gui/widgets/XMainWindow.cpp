#include "XMainWindow.h"

#include "KernelGUI.h"
#include "XNode.h"
#include "XPanel.h"

#include <QCloseEvent>
#include <QIcon>
#include <QShortcut>

namespace zem {

namespace {
const QString KEY_GEOMETRY = QStringLiteral("geometry");
}

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

bool XMainWindow::restoreGeometryFromNode()
{
    XNode* node = getNodeWin();
    if (!node || !node->has(KEY_GEOMETRY))
        return false;
    return restoreGeometry(QByteArray::fromBase64(node->getString(KEY_GEOMETRY).toLatin1()));
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
    if (XNode* node = getNodeWin())
        node->setString(KEY_GEOMETRY, QString::fromLatin1(saveGeometry().toBase64()));
}

} // namespace zem
