#include "XButton.h"

#include <QMouseEvent>

namespace zem {

XButton::XButton(QWidget* parent) : QToolButton(parent)
{
    connect(this, &QToolButton::clicked, this, [this] {
        if (m_onClick)
            m_onClick();
    });
}

XButton& XButton::operator=(std::function<void()> onClick)
{
    setCallback(std::move(onClick));
    return *this;
}

void XButton::setCallback(std::function<void()> onClick)
{
    m_onClick = std::move(onClick);
}

bool XButton::isRightButton(const QMouseEvent* event)
{
    return event && event->button() == Qt::RightButton;
}

void XButton::mousePressEvent(QMouseEvent* event)
{
    mouseListener.fire(event);
    QToolButton::mousePressEvent(event);
}

} // namespace zem
