#pragma once
// The row above the tree: back, forward, up, refresh, the path field, the thumbnails toggle and
// the Smaller/Bigger panel (shown only with thumbnails). Back, forward and up open the history
// menu on a right click. Owned by the window's content panel.
#include "WinFinder.h"
#include "widgets/XPanel.h"

class QLineEdit;

namespace zem {
class XButton;
}

namespace zemFinder {

class WinFinder::NavigationBar : public zem::XPanel {
    Q_OBJECT
public:
    NavigationBar(WinFinder* win, QWidget* parent);

    QLineEdit* pathField() const { return m_path; }
    zem::XButton* backButton() const { return m_back; }
    zem::XButton* forwardButton() const { return m_forward; }
    zem::XButton* upButton() const { return m_up; }
    zem::XButton* refreshButton() const { return m_refresh; }
    zem::XButton* thumbsButton() const { return m_thumbs; }
    zem::XPanel* sizesPanel() const { return m_sizes; }
    zem::XButton* smallerButton() const { return m_smaller; }
    zem::XButton* biggerButton() const { return m_bigger; }
    // The toggle's check and the sizes panel as the view says, without running the toggle.
    void show_thumbs_state(bool thumbs);

private:
    WinFinder* m_win;
    QLineEdit* m_path = nullptr;
    zem::XButton* m_back = nullptr;
    zem::XButton* m_forward = nullptr;
    zem::XButton* m_up = nullptr;
    zem::XButton* m_refresh = nullptr;
    zem::XButton* m_thumbs = nullptr;
    zem::XPanel* m_sizes = nullptr;
    zem::XButton* m_smaller = nullptr;
    zem::XButton* m_bigger = nullptr;
};

} // namespace zemFinder
