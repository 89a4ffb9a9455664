#include "XFontScale.h"

#include "KernelGUI.h"
#include "XNode.h"

#include <QApplication>
#include <QFont>

namespace zem {

namespace {
const QString KEY_SCALE = QStringLiteral("fontScale");

// The platform's font before any scaling, taken once so that scaling never compounds.
const QFont& startFont()
{
    static const QFont font = QApplication::font();
    return font;
}
} // namespace

uint32_t XFontScale::percent()
{
    KernelGUI* kernel = KernelGUI::kernelGui();
    if (!kernel)
        return MIN_PERCENT;
    const unsigned long long value = kernel->getNodeRoot()->getUInt(KEY_SCALE, MIN_PERCENT);
    return value < MIN_PERCENT || value > MAX_PERCENT ? MIN_PERCENT : uint32_t(value);
}

void XFontScale::set_percent(uint32_t percent)
{
    if (KernelGUI* kernel = KernelGUI::kernelGui())
        kernel->getNodeRoot()->setUInt(KEY_SCALE, qBound(MIN_PERCENT, percent, MAX_PERCENT));
    apply();
}

void XFontScale::apply()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    QFont font = startFont();
    const qreal factor = percent() / 100.0;
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else if (font.pixelSize() > 0)
        font.setPixelSize(qRound(font.pixelSize() * factor));
    QApplication::setFont(font);
}

} // namespace zem
