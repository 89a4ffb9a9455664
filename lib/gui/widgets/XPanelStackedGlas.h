#pragma once
// A panel whose children lie on top of each other, all shown, with a transparent glass label on
// top that takes the mouse for all of them. GUI thread only.
#include <QWidget>

class QStackedLayout;

namespace zem {

class XGlassLabel;

class XPanelStackedGlas : public QWidget {
    Q_OBJECT
public:
    explicit XPanelStackedGlas(QWidget* parent = nullptr);

    // Adds widget below the glass (takes ownership); returns it.
    template <typename W>
    W* add(W* widget)
    {
        addBelowGlass(widget);
        return widget;
    }
    XGlassLabel* glass() const { return m_glass; }

private:
    void addBelowGlass(QWidget* widget);

    QStackedLayout* m_stack;
    XGlassLabel* m_glass;
};

} // namespace zem
