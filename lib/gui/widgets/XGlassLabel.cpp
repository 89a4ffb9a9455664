#include "XGlassLabel.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

namespace zem {

XGlassLabel::XGlassLabel(QWidget* parent) : QLabel(parent)
{
    setAutoFillBackground(false);
}

void XGlassLabel::setHighlighted(bool on)
{
    if (on == m_highlighted)
        return;
    m_highlighted = on;
    update();
}

void XGlassLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->pos()) && onClick)
        onClick();
    QLabel::mouseReleaseEvent(event);
}

void XGlassLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && onDoubleClick)
        onDoubleClick();
    QLabel::mouseDoubleClickEvent(event);
}

void XGlassLabel::contextMenuEvent(QContextMenuEvent* event)
{
    if (onContextMenu) {
        onContextMenu();
        event->accept();
        return;
    }
    QLabel::contextMenuEvent(event);
}

void XGlassLabel::paintEvent(QPaintEvent*)
{
    if (!m_highlighted)
        return;
    QPainter painter(this);
    QColor fill = palette().color(QPalette::Highlight);
    // See-through, so the picture below stays visible; the frame says which tile is chosen.
    fill.setAlpha(60);
    painter.fillRect(rect(), fill);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
}

} // namespace zem
