#include "XSlider.h"

#include <QColor>
#include <QRegularExpression>
#include <QSignalBlocker>

namespace zemFinder {

namespace {
// A 24 px wide groove area with a gray 6 px groove and a 24 px high handle that overhangs it;
// disabled, both turn light gray with dotted borders so that "no marks" is visible at a glance.
const char* kNaviStyle =
    "QSlider:vertical { min-width: 24px; max-width: 24px; margin: 10px; }"
    "QSlider::groove:vertical { width: 6px; background: gray; border: 1px solid #262626; }"
    "QSlider::handle:vertical { height: 24px; border: 1px solid black; margin: 0 -8px;"
    " background: $(BG_HANDLE); }"
    "QSlider::groove:vertical:disabled { background: lightgray; border: 1px dotted gray; }"
    "QSlider::handle:vertical:disabled { background: lightgray; border: 1px dotted gray; }";

// Replaces $(NAME) by the value of NAME; unknown names are left as they are.
QString replace_variables(const QString& text, const QString& name, const QString& value)
{
    QString out;
    static const QRegularExpression var(QStringLiteral("\\$\\(([A-Za-z0-9_]+)\\)"));
    int last = 0;
    auto it = var.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += text.midRef(last, m.capturedStart() - last);
        out += m.captured(1) == name ? value : m.captured(0);
        last = m.capturedEnd();
    }
    out += text.midRef(last);
    return out;
}
} // namespace

XSlider::XSlider(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {}

XSlider* XSlider::createSliderVertical(int min, int max, int pageStep, QWidget* parent)
{
    auto* slider = new XSlider(Qt::Vertical, parent);
    slider->setRange(min, max);
    slider->setPageStep(pageStep);
    return slider;
}

void XSlider::set_value_revers(int index, bool emit)
{
    const int value = maximum() - index;
    if (emit) {
        setValue(value);
        return;
    }
    const QSignalBlocker blocker(this);
    setValue(value);
}

void XSlider::set_handle_color(const QColor& color)
{
    setStyleSheet(style_sheet(color));
}

QString XSlider::style_sheet(const QColor& color)
{
    return replace_variables(QString::fromLatin1(kNaviStyle), QStringLiteral("BG_HANDLE"), color.name());
}

} // namespace zemFinder
