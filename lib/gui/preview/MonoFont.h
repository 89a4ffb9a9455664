#pragma once
// A fixed-pitch font for the text and hex views. The platform's "fixed" font is not always
// fixed-pitch (the headless platform, some desktops), so it is checked and replaced if needed.
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

namespace zem {

inline QFont preview_mono_font(int pointSize = 0)
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!QFontInfo(f).fixedPitch()) {
        f = QFont(QStringLiteral("DejaVu Sans Mono"));
        f.setStyleHint(QFont::TypeWriter);
        f.setFixedPitch(true);
        if (!QFontInfo(f).fixedPitch())
            f.setFamily(QStringLiteral("monospace"));
    }
    if (pointSize > 0)
        f.setPointSize(pointSize);
    return f;
}

} // namespace zem
