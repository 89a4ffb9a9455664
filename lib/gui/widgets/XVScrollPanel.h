#pragma once
// A vertically scrolling area around one children panel. When what is visible changes (scrolled,
// resized, or asked to by raise_event) it fires contentsChanged — at most once per "between
// events" interval, so a fast scroll costs one check at the end of each interval, not one per
// pixel. GUI thread only.
#include "XEventListener.h"

#include <QList>
#include <QScrollArea>

class QTimer;

namespace zem {

class XVScrollPanel : public QScrollArea {
    Q_OBJECT
public:
    explicit XVScrollPanel(QWidget* parent = nullptr);

    // The panel whose children scroll; give it a layout.
    QWidget* childrenPanel() const { return m_children; }
    // Least time between two events, in milliseconds (0: on the next turn of the event loop).
    void setBetweenEvents(int ms);
    int betweenEvents() const;
    // Fires the event now.
    void raise_event();
    // Direct children of the children panel that are shown and intersect the visible area, in
    // the order they were added.
    QList<QWidget*> visible_components() const;

    XEventListener<void()> contentsChanged;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void schedule();

    QWidget* m_children;
    QTimer* m_throttle;
};

} // namespace zem
