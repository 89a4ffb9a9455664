#pragma once
// The standard and the dark look of the whole application: the palette, the colours the palette
// has no role for (tinted input boxes, tree backgrounds, hover, summary pages, search layers), the
// icon path that follows the look, and the contrast arithmetic that keeps every text readable.
// Both looks are designed so that text has a contrast of at least 4.5 : 1 against its background
// (WCAG AA); text on search marks takes black or white, whichever reads better on the mark.
// GUI thread, except the pure colour functions.
#include <QColor>
#include <QList>
#include <QPalette>
#include <QString>

namespace zem {

class XTheme {
public:
    // Colours outside the palette, each with its text colour (textOn()).
    enum Role {
        RegexBox,       // the content box while it holds a regular expression
        NotPatternBox,  // the box of names to leave out
        TreeRoot,       // the tree's background at the file-system root
        TreeSub,        // ... below a chosen root folder
        RowHover,       // a table row under the mouse
        PageBackground, // HTML summary pages
        CountLabel,     // the hit count beside a search row
        FieldFrame,     // the outline of input fields
        FocusFrame,     // ... of the field with the keyboard focus
    };

    static void apply(bool dark);
    static bool isDark();
    // ":/zf/icons/" + ("dark/" while dark) + fileName.
    static QString iconPath(const QString& fileName);

    static QPalette palette(bool dark);
    static QColor color(Role role) { return color(role, isDark()); }
    static QColor color(Role role, bool dark);
    // "QComboBox { ... }" style sheet of a box tinted with role, its text readable on it.
    static QString boxStyle(Role role);

    // Default colours of the search layers: the results' hits, the three search rows, mouse-over.
    static QColor hitColor() { return QColor(Qt::green); }
    static QColor searchRowColor(int row, bool dark);
    static QColor mouseOverColor() { return QColor::fromRgba(0xFF73D216); }
    // Every layer colour the program paints marks in, for either look.
    static QList<QColor> layerColors(bool dark);

    // WCAG 2 relative luminance (0 black .. 1 white) and contrast ratio (1 .. 21) of opaque colours.
    static double luminance(const QColor& c);
    static double contrast(const QColor& a, const QColor& b);
    // Black or white, whichever has the higher contrast on background (never below 4.58 : 1).
    // A translucent background is taken as painted over base.
    static QColor textOn(const QColor& background, const QColor& base = Qt::white);
};

} // namespace zem
