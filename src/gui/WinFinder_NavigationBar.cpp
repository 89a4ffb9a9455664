#include "WinFinder_NavigationBar.h"

#include "XLang.h"
#include "XTheme.h"
#include "widgets/XButton.h"
#include "widgets/XPanel.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace zemFinder {

namespace {
constexpr int ICON_SIZE = 16;

QString icon(const char* name)
{
    return zem::XTheme::iconPath(QString::fromLatin1(name));
}
} // namespace

WinFinder::NavigationBar::NavigationBar(WinFinder* win, QWidget* parent) : zem::XPanel(false, parent), m_win(win)
{
    setObjectName(QStringLiteral("navigationBar"));
    auto historyMenuOnRightClick = [this](zem::XButton* button) {
        button->mouseListener.add([this](QMouseEvent* event) {
            if (zem::XButton::isRightButton(event))
                m_win->show_history_menu();
        });
    };

    m_back = createButtonImageIcon(
        icon("ar_left.svg"),
        zem::xt("Go backward one directory  [ Alt + left arrow ]\nRight click for context menu !"), ICON_SIZE);
    *m_back = [this] { m_win->on_navi_back(); };
    historyMenuOnRightClick(m_back);

    m_forward = createButtonImageIcon(
        icon("ar_right.svg"),
        zem::xt("Go forward one directory [ Alt + right arrow ]\nRight click for context menu !"), ICON_SIZE);
    *m_forward = [this] { m_win->on_navi_forward(); };
    historyMenuOnRightClick(m_forward);

    m_up = createButtonImageIcon(
        icon("ar_up.svg"), zem::xt("Go to parent directory  [ Alt + up arrow ]\nRight click for context menu !"),
        ICON_SIZE);
    *m_up = [this] { m_win->on_navi_up(); };
    historyMenuOnRightClick(m_up);

    m_refresh = createButtonImageIcon(icon("refresh.svg"), zem::xt("Refresh [ F5 ]"), ICON_SIZE);
    *m_refresh = [this] { m_win->on_refresh(); };

    m_path = add(new QLineEdit(this), 1);
    m_path->setObjectName(QStringLiteral("pathField"));
    // Return is handled by the window's shortcut, which sends it here while this field has the focus.

    m_thumbs = createButtonImageIcon(icon("image.svg"), zem::xt("Thumbs ( Symbolic View )"), ICON_SIZE);
    m_thumbs->setObjectName(QStringLiteral("thumbsToggle"));
    m_thumbs->setCheckable(true);
    *m_thumbs = [this] { m_win->on_thumbs_toggle(m_thumbs->isChecked()); };

    m_sizes = add(new zem::XPanel(false, this));
    m_sizes->set_args(0, 0);
    m_smaller = m_sizes->createButtonImageIcon(icon("minus.svg"), zem::xt("Smaller"), ICON_SIZE);
    *m_smaller = [this] { m_win->on_thumb_size(false); };
    m_bigger = m_sizes->createButtonImageIcon(icon("plus.svg"), zem::xt("Bigger"), ICON_SIZE);
    *m_bigger = [this] { m_win->on_thumb_size(true); };
    m_sizes->hide();

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
}

void WinFinder::NavigationBar::show_thumbs_state(bool thumbs)
{
    const QSignalBlocker blocker(m_thumbs);
    m_thumbs->setChecked(thumbs);
    m_sizes->setVisible(thumbs);
}

} // namespace zemFinder
