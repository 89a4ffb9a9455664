#include "XDialog.h"

#include "XPanel.h"

#include <QIcon>
#include <QShortcut>
#include <QVBoxLayout>

namespace zem {

std::function<int(XDialog&)> XDialog::execHook;

XDialog::XDialog(QWidget* parent) : QDialog(parent) {}

XDialog::~XDialog() = default;

XPanel* XDialog::createContentPanel(bool vertical)
{
    if (!m_content) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        m_content = new XPanel(vertical, this);
        layout->addWidget(m_content);
    }
    return m_content;
}

void XDialog::set_icon(const QString& path, int size)
{
    setWindowIcon(QIcon(QIcon(path).pixmap(size, size)));
}

void XDialog::setTitleStd(const QString& title)
{
    setWindowTitle(title);
}

void XDialog::addHotKeyMethod(int keyCode, std::function<void()> fn)
{
    auto* shortcut = new QShortcut(QKeySequence(keyCode), this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [fn = std::move(fn)] {
        if (fn)
            fn();
    });
}

void XDialog::setBounds(int x, int y, int width, int height)
{
    setGeometry(x, y, width, height);
}

void XDialog::closeAbstractWindow()
{
    close();
}

void XDialog::toggle_full_screen()
{
    setWindowState(windowState() ^ Qt::WindowFullScreen);
}

int XDialog::run()
{
    if (execHook)
        return execHook(*this);
    return exec();
}

} // namespace zem
