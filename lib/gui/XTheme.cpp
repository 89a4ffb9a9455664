#include "XTheme.h"

#include "XThemeStyle.h"

#include <QApplication>
#include <QStyle>
#include <cmath>

namespace zem {

namespace {
bool g_dark = false;

// Secondary text (ruler numbers, hex offsets, place holders): dimmer than the text, still
// above 4.5 : 1 on the base and on the window colour of its look.
const QColor kDimTextDark(158, 158, 158);
const QColor kDimTextLight(98, 98, 98);

QPalette darkPalette()
{
    QPalette p;
    const QColor window(45, 45, 48), base(30, 30, 30), text(220, 220, 220), disabled(128, 128, 128);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, window);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::PlaceholderText, kDimTextDark);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, QColor(255, 110, 110));
    p.setColor(QPalette::Link, QColor(86, 156, 214));
    p.setColor(QPalette::LinkVisited, QColor(170, 140, 230));
    p.setColor(QPalette::Highlight, QColor(38, 79, 120));
    p.setColor(QPalette::HighlightedText, Qt::white);
    // Bevels and frames: a default palette would leave the light look's shades here.
    p.setColor(QPalette::Light, QColor(80, 80, 86));
    p.setColor(QPalette::Midlight, QColor(62, 62, 66));
    p.setColor(QPalette::Mid, QColor(100, 100, 106));
    p.setColor(QPalette::Dark, QColor(24, 24, 26));
    p.setColor(QPalette::Shadow, QColor(10, 10, 10));
    p.setColor(QPalette::Disabled, QPalette::Text, disabled);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, disabled);
    p.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    return p;
}

QPalette lightPalette(QStyle* style)
{
    QPalette p = style ? style->standardPalette() : QPalette();
    p.setColor(QPalette::PlaceholderText, kDimTextLight);
    // Fusion's own highlight leaves white selected text at 3.7 : 1.
    p.setColor(QPalette::Highlight, QColor(38, 104, 176));
    p.setColor(QPalette::HighlightedText, Qt::white);
    return p;
}

double channel(double c)
{
    c /= 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

QColor over(const QColor& top, const QColor& base)
{
    const double a = top.alphaF();
    auto mix = [a](int t, int b) { return int(std::lround(t * a + b * (1.0 - a))); };
    return QColor(mix(top.red(), base.red()), mix(top.green(), base.green()), mix(top.blue(), base.blue()));
}
} // namespace

void XTheme::apply(bool dark)
{
    g_dark = dark;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return;
    // Fusion draws the same on every desktop, so both palettes look as designed.
    auto* style = new XThemeStyle;
    app->setStyle(style);
    app->setPalette(palette(dark));
}

bool XTheme::isDark()
{
    return g_dark;
}

QString XTheme::iconPath(const QString& fileName)
{
    return QStringLiteral(":/zf/icons/") + (g_dark ? QStringLiteral("dark/") : QString()) + fileName;
}

QPalette XTheme::palette(bool dark)
{
    if (dark)
        return darkPalette();
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return lightPalette(app ? app->style() : nullptr);
}

QColor XTheme::color(Role role, bool dark)
{
    switch (role) {
    // Light: a blue tint clear enough to tell a regular expression from plain text at a glance.
    case RegexBox: return dark ? QColor(0x1a, 0x05, 0x7b) : QColor(0xdc, 0xe8, 0xfb);
    case NotPatternBox: return dark ? QColor(0x57, 0x46, 0x1a) : QColor(0xf3, 0xe2, 0xc6);
    case TreeRoot: return dark ? QColor(0x1d, 0x21, 0x25) : QColor(Qt::white);
    case TreeSub: return dark ? QColor(0x21, 0x22, 0x45) : QColor(0xf3, 0xe7, 0xe3);
    case RowHover: return dark ? QColor(0x00, 0x59, 0x86) : QColor(0xd3, 0xf1, 0xfc);
    case PageBackground: return dark ? QColor(0x2d, 0x33, 0x39) : QColor(222, 222, 222);
    case CountLabel: return dark ? QColor(0x1d, 0x21, 0x25) : QColor(Qt::lightGray);
    // Input fields need an outline of 3 : 1 against the window to be seen as fields at all.
    case FieldFrame: return dark ? QColor(128, 128, 136) : QColor(128, 128, 128);
    case FocusFrame: return dark ? QColor(86, 156, 214) : QColor(38, 104, 176);
    }
    return QColor();
}

QString XTheme::boxStyle(Role role)
{
    const QColor bg = color(role);
    const QString rule = QStringLiteral("background-color: %1; color: %2;").arg(bg.name(), textOn(bg).name());
    return QStringLiteral("QComboBox { %1 } QComboBox QLineEdit { %1 }").arg(rule);
}

QColor XTheme::searchRowColor(int row, bool dark)
{
    if (dark)
        return QColor(142, 0, 0);
    switch (row) {
    case 0: return QColor(Qt::green);
    case 1: return QColor(Qt::yellow);
    default: return QColor(Qt::cyan);
    }
}

QList<QColor> XTheme::layerColors(bool dark)
{
    QList<QColor> colors{hitColor(), mouseOverColor()};
    for (int row = 0; row < 3; ++row)
        colors << searchRowColor(row, dark);
    return colors;
}

double XTheme::luminance(const QColor& c)
{
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double XTheme::contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor XTheme::textOn(const QColor& background, const QColor& base)
{
    const QColor bg = background.alpha() < 255 ? over(background, base) : background;
    return contrast(Qt::black, bg) >= contrast(Qt::white, bg) ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace zem
