#include "XFlowLayout.h"

#include <QWidget>

namespace zem {

XFlowLayout::XFlowLayout(QWidget* parent, int spacing) : QLayout(parent), m_spacing(spacing) {}

XFlowLayout::~XFlowLayout()
{
    qDeleteAll(m_items);
}

void XFlowLayout::addItem(QLayoutItem* item)
{
    m_items.append(item);
}

QLayoutItem* XFlowLayout::takeAt(int index)
{
    return index >= 0 && index < m_items.size() ? m_items.takeAt(index) : nullptr;
}

int XFlowLayout::heightForWidth(int width) const
{
    return do_layout(QRect(0, 0, width, 0), false);
}

QSize XFlowLayout::minimumSize() const
{
    QSize size;
    for (const QLayoutItem* item : m_items)
        size = size.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

void XFlowLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    do_layout(rect, true);
}

void XFlowLayout::clear()
{
    while (QLayoutItem* item = takeAt(0)) {
        delete item->widget();
        delete item;
    }
}

int XFlowLayout::do_layout(const QRect& rect, bool place) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    int x = area.x();
    int y = area.y();
    int rowHeight = 0;
    for (QLayoutItem* item : m_items) {
        if (item->isEmpty())
            continue;
        const QSize hint = item->sizeHint();
        if (x + hint.width() > area.right() + 1 && rowHeight > 0) {
            x = area.x();
            y += rowHeight + m_spacing;
            rowHeight = 0;
        }
        if (place)
            item->setGeometry(QRect(QPoint(x, y), hint));
        x += hint.width() + m_spacing;
        rowHeight = qMax(rowHeight, hint.height());
    }
    return y + rowHeight - rect.y() + contentsMargins().bottom();
}

} // namespace zem
