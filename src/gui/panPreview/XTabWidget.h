#pragma once
// The tab widget of the details window: tabs are panels, and the events name the panel.
// Owns its panels; GUI thread only.
#include "XEventListener.h"

#include <QTabWidget>

namespace zem {
class XPanel;
}

namespace zemFinder {

class XTabWidget : public QTabWidget {
    Q_OBJECT
public:
    explicit XTabWidget(QWidget* parent = nullptr);

    int add_panel(zem::XPanel* panel, const QString& text, const QString& iconPath);
    void enable_panel(zem::XPanel* panel, bool enabled);
    bool is_panel_enabled(zem::XPanel* panel) const;
    zem::XPanel* current_panel() const;
    void set_current_panel(zem::XPanel* panel);

    zem::XEventListener<void(zem::XPanel*)> currentPanelChanged;
    zem::XEventListener<void(int)> currentIndexChanged;

private:
    void tell(int index);

    bool m_firing = false;
};

} // namespace zemFinder
