#include "XThemeStyle.h"

#include "XTheme.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace zem {

XThemeStyle::XThemeStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void XThemeStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const
{
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element == PE_FrameLineEdit)
        drawFieldOutline(option, painter);
}

void XThemeStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                     const QWidget* widget) const
{
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_ComboBox || control == CC_SpinBox)
        drawFieldOutline(option, painter);
}

void XThemeStyle::drawFieldOutline(const QStyleOption* option, QPainter* painter) const
{
    const bool focus = option->state & State_HasFocus;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(XTheme::color(focus ? XTheme::FocusFrame : XTheme::FieldFrame), 1));
    painter->drawRoundedRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    painter->restore();
}

} // namespace zem
