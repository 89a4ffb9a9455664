#pragma once
// A stack of widgets of which one is shown; owns the widgets added to it.
#include <QStackedWidget>

namespace zem {

class XPanelStacked : public QStackedWidget {
    Q_OBJECT
public:
    explicit XPanelStacked(QWidget* parent = nullptr);

    // Takes ownership of widget; returns it.
    template <typename W>
    W* add(W* widget)
    {
        addWidget(widget);
        return widget;
    }
    bool isCurrentWidget(const QWidget* widget) const;
};

} // namespace zem
