#include "XColorLabel.h"

#include <QColorDialog>
#include <QMouseEvent>

namespace zemFinder {

std::function<QColor(const QColor&, QWidget*)> XColorLabel::chooser = [](const QColor& current, QWidget* parent) {
    return QColorDialog::getColor(current, parent);
};

XColorLabel::XColorLabel(int size, QWidget* parent) : QLabel(parent)
{
    setFixedSize(size, size);
    setCursor(Qt::PointingHandCursor);
}

void XColorLabel::setColor(const QColor& color)
{
    m_color = color;
    setStyleSheet(QStringLiteral("QLabel { background: %1; border: 1px solid gray; }").arg(color.name()));
}

void XColorLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    event->accept();
    const bool wantsColor = !m_needsControl || (event->modifiers() & Qt::ControlModifier);
    if (!wantsColor) {
        clicked.fire();
        return;
    }
    const QColor chosen = chooser ? chooser(m_color, this) : QColor();
    if (!chosen.isValid())
        return;
    setColor(chosen);
    colorChanged.fire(chosen);
}

} // namespace zemFinder
