#pragma once
// The base of the details window's tab panels: a panel without margins or spacing around one
// preview that the subclass holds by value. The window opens files in the preview lazily, zooms
// the current tab and runs the search of a focused search row. GUI thread only.
#include "widgets/XPanel.h"

namespace zem {
class Preview;
}

namespace zemFinder {

class PanPreview : public zem::XPanel {
    Q_OBJECT
public:
    explicit PanPreview(QWidget* parent = nullptr);

    virtual zem::Preview* preview() = 0;
    virtual void ini() = 0;
    virtual bool is_hex_panel() const { return false; }
    // Runs the search of the search row that has the keyboard focus, if any.
    virtual void search_focused() {}
    virtual void on_zoom(bool in);
    virtual QString type_as_string() const { return QStringLiteral("PanPreview"); }

protected:
    // The shared building of the small panels: the preview built and added, stretching both ways.
    void ini_with(zem::Preview& preview);
};

} // namespace zemFinder
