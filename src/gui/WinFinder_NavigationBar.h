#pragma once
// The row above the tree: back, forward, up, refresh and the path field. Back, forward and up
// open the history menu on a right click. Owned by the window's content panel.
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

private:
    WinFinder* m_win;
    QLineEdit* m_path = nullptr;
    zem::XButton* m_back = nullptr;
    zem::XButton* m_forward = nullptr;
    zem::XButton* m_up = nullptr;
    zem::XButton* m_refresh = nullptr;
};

} // namespace zemFinder
