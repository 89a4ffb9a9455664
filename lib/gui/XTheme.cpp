#include "XTheme.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace zem {

namespace {
bool g_dark = false;

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
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Link, QColor(86, 156, 214));
    p.setColor(QPalette::Highlight, QColor(38, 79, 120));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Disabled, QPalette::Text, disabled);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, disabled);
    p.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    return p;
}
} // namespace

void XTheme::apply(bool dark)
{
    g_dark = dark;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return;
    // Fusion draws the same on every desktop, so both palettes look as designed.
    app->setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    app->setPalette(dark ? darkPalette() : app->style()->standardPalette());
}

bool XTheme::isDark()
{
    return g_dark;
}

QString XTheme::iconPath(const QString& fileName)
{
    return QStringLiteral(":/zf/icons/") + (g_dark ? QStringLiteral("dark/") : QString()) + fileName;
}

} // namespace zem
