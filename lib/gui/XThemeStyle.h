#pragma once
// The application's widget style: Fusion, with input fields outlined at 3 : 1 against the window
// in both looks (Fusion derives its outlines from the window colour, which leaves a dark
// field's frame, and its focus frame, all but invisible). Set by XTheme::apply; GUI thread.
#include <QProxyStyle>

namespace zem {

class XThemeStyle : public QProxyStyle {
    Q_OBJECT
public:
    XThemeStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;

private:
    void drawFieldOutline(const QStyleOption* option, QPainter* painter) const;
};

} // namespace zem
