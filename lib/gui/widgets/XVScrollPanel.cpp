#include "XVScrollPanel.h"

#include <QScrollBar>
#include <QTimer>

namespace zem {

XVScrollPanel::XVScrollPanel(QWidget* parent)
    : QScrollArea(parent), m_children(new QWidget), m_throttle(new QTimer(this))
{
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setWidget(m_children);
    m_throttle->setSingleShot(true);
    connect(m_throttle, &QTimer::timeout, this, [this] { raise_event(); });
}

void XVScrollPanel::setBetweenEvents(int ms)
{
    m_throttle->setInterval(qMax(0, ms));
}

int XVScrollPanel::betweenEvents() const
{
    return m_throttle->interval();
}

void XVScrollPanel::raise_event()
{
    m_throttle->stop();
    contentsChanged.fire();
}

void XVScrollPanel::schedule()
{
    // A running interval already covers this change: the event at its end sees the new state.
    if (!m_throttle->isActive())
        m_throttle->start();
}

void XVScrollPanel::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    schedule();
}

void XVScrollPanel::scrollContentsBy(int dx, int dy)
{
    QScrollArea::scrollContentsBy(dx, dy);
    schedule();
}

QList<QWidget*> XVScrollPanel::visible_components() const
{
    QList<QWidget*> list;
    const QRect visible(-m_children->pos(), viewport()->size());
    for (QObject* child : m_children->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && !w->isHidden() && w->geometry().intersects(visible))
            list.append(w);
    }
    return list;
}

} // namespace zem
