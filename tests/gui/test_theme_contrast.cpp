// Every text of both looks reads at 4.5 : 1 or better (WCAG AA): the palettes, the colours
// outside the palette, text on search marks in every layer colour, and what actually lands on
// the screen for marks, tinted input boxes and field outlines.
#include "TestDir.h"
#include "XTheme.h"
#include "preview/viewText/XTextView.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

using namespace zem;

namespace {
constexpr double kTextMinimum = 4.5;
// Outlines of fields are not text; they need 3 : 1 to be seen (WCAG non-text contrast).
constexpr double kOutlineMinimum = 3.0;

// The colour in rect that stands out most from background: for a rect holding text, its glyphs.
QColor strongestAgainst(const QImage& img, const QRect& rect, const QColor& background)
{
    QColor best = background;
    double bestContrast = 1.0;
    const QRect r = rect.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            const double k = XTheme::contrast(c, background);
            if (k > bestContrast) {
                bestContrast = k;
                best = c;
            }
        }
    return best;
}

QString describe(const QColor& fg, const QColor& bg)
{
    return QStringLiteral("%1 on %2: %3").arg(fg.name(), bg.name()).arg(XTheme::contrast(fg, bg), 0, 'f', 2);
}
} // namespace

class TestThemeContrast : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { XTheme::apply(false); }

    void contrastArithmetic()
    {
        QCOMPARE(XTheme::contrast(Qt::black, Qt::white), 21.0);
        QCOMPARE(XTheme::contrast(Qt::red, Qt::red), 1.0);
        QVERIFY(qAbs(XTheme::contrast(QColor(0x77, 0x77, 0x77), Qt::white) - 4.48) < 0.01);
        QCOMPARE(XTheme::textOn(Qt::green), QColor(Qt::black));
        QCOMPARE(XTheme::textOn(QColor(142, 0, 0)), QColor(Qt::white));
        // A translucent mark is judged as it looks over the base.
        QCOMPARE(XTheme::textOn(QColor(0, 0, 0, 20), Qt::white), QColor(Qt::black));
        QCOMPARE(XTheme::textOn(QColor(255, 255, 255, 20), QColor(20, 20, 20)), QColor(Qt::white));
    }

    void paletteTexts_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }
    void paletteTexts()
    {
        QFETCH(bool, dark);
        XTheme::apply(dark);
        const QPalette p = XTheme::palette(dark);
        const QColor ruler = p.color(QPalette::AlternateBase).darker(104);  // the text view's ruler
        const QList<QPair<QColor, QColor>> pairs{
            {p.color(QPalette::Text), p.color(QPalette::Base)},
            {p.color(QPalette::Text), p.color(QPalette::AlternateBase)},
            {p.color(QPalette::WindowText), p.color(QPalette::Window)},
            {p.color(QPalette::ButtonText), p.color(QPalette::Button)},
            {p.color(QPalette::ToolTipText), p.color(QPalette::ToolTipBase)},
            {p.color(QPalette::HighlightedText), p.color(QPalette::Highlight)},
            {p.color(QPalette::Link), p.color(QPalette::Base)},
            {p.color(QPalette::PlaceholderText), p.color(QPalette::Base)},
            {p.color(QPalette::PlaceholderText), p.color(QPalette::Window)},
            {p.color(QPalette::PlaceholderText), ruler},
        };
        for (const auto& [fg, bg] : pairs)
            QVERIFY2(XTheme::contrast(fg, bg) >= kTextMinimum, qPrintable(describe(fg, bg)));
    }

    void colorsOutsideThePalette_data() { paletteTexts_data(); }
    void colorsOutsideThePalette()
    {
        QFETCH(bool, dark);
        const QPalette p = XTheme::palette(dark);
        for (XTheme::Role role : {XTheme::RegexBox, XTheme::NotPatternBox, XTheme::TreeRoot, XTheme::TreeSub,
                                  XTheme::RowHover, XTheme::PageBackground, XTheme::CountLabel}) {
            const QColor bg = XTheme::color(role, dark);
            // Readable both in the look's own text colour and in the one textOn picks.
            QVERIFY2(XTheme::contrast(p.color(QPalette::Text), bg) >= kTextMinimum,
                     qPrintable(describe(p.color(QPalette::Text), bg)));
            QVERIFY2(XTheme::contrast(XTheme::textOn(bg), bg) >= kTextMinimum, qPrintable(describe(XTheme::textOn(bg), bg)));
        }
        const QColor frame = XTheme::color(XTheme::FieldFrame, dark);
        QVERIFY2(XTheme::contrast(frame, p.color(QPalette::Window)) >= kOutlineMinimum,
                 qPrintable(describe(frame, p.color(QPalette::Window))));
        QVERIFY2(XTheme::contrast(frame, p.color(QPalette::Base)) >= kOutlineMinimum,
                 qPrintable(describe(frame, p.color(QPalette::Base))));
    }

    void textOnEveryLayerColor_data() { paletteTexts_data(); }
    void textOnEveryLayerColor()
    {
        QFETCH(bool, dark);
        const QColor base = XTheme::palette(dark).color(QPalette::Base);
        QList<QColor> colors = XTheme::layerColors(dark);
        QVERIFY(colors.contains(QColor(Qt::green)));
        for (const QColor& c : XTheme::layerColors(dark))
            colors << c.darker(115);  // the active mark
        // Any colour a user might pick: textOn never falls below 4.5.
        for (int v = 0; v < 256; v += 15)
            colors << QColor(v, 255 - v, (v * 7) % 256) << QColor(v, v, v) << QColor::fromHsv(v * 359 / 255, 255, 200);
        for (const QColor& c : colors)
            QVERIFY2(XTheme::contrast(XTheme::textOn(c, base), c) >= kTextMinimum, qPrintable(describe(XTheme::textOn(c, base), c)));
    }

    // What the text view paints: the glyphs inside a pure green hit read at 4.5 : 1 in the dark look.
    void hitTextIsPaintedReadable_data() { paletteTexts_data(); }
    void hitTextIsPaintedReadable()
    {
        QFETCH(bool, dark);
        XTheme::apply(dark);
        viewText::XTextView v;
        QFont f(QStringLiteral("DejaVu Sans Mono"));
        f.setPixelSize(16);
        v.setFont(f);
        v.resize(500, 200);
        const QByteArray bytes = "plain text with a HIT inside and MORE\n";
        v.openBytes(bytes);
        v.source().waitForIndex();
        viewText::XMarkLayer* hits = v.layerGroup().add_layer(1000);
        hits->set_color_background(XTheme::hitColor().rgba());
        find::XRamLayer marks;
        marks.append(bytes.indexOf("HIT"), 3);
        marks.append(bytes.indexOf("MORE"), 4);
        hits->add_ram_layer(marks);
        v.setCurrentLayer(hits);
        QVERIFY(hits->set_active_mark_last());
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        const QImage img = v.viewport()->grab().toImage();
        const QRectF plain = v.rectsForRange(0, 5).first();
        const QColor base = v.palette().color(QPalette::Base);
        const QColor glyphs = strongestAgainst(img, plain.toRect().adjusted(1, 1, -1, -1), base);
        QVERIFY2(XTheme::contrast(glyphs, base) >= kTextMinimum, qPrintable(describe(glyphs, base)));
        for (const char* word : {"HIT", "MORE"}) {
            const QRect r = v.rectsForRange(bytes.indexOf(word), int(qstrlen(word))).first().toRect().adjusted(3, 3, -3, -3);
            const QColor fill = img.pixelColor(r.left(), r.top());
            const QColor text = strongestAgainst(img, r, fill);
            QVERIFY2(XTheme::contrast(text, fill) >= kTextMinimum, qPrintable(QString(word) + ": " + describe(text, fill)));
        }
    }

    // The tinted boxes of the find panel: their text takes the colour that reads on the tint.
    void tintedBoxTextIsReadable_data() { paletteTexts_data(); }
    void tintedBoxTextIsReadable()
    {
        QFETCH(bool, dark);
        XTheme::apply(dark);
        for (XTheme::Role role : {XTheme::RegexBox, XTheme::NotPatternBox}) {
            QComboBox box;
            box.setEditable(true);
            box.setStyleSheet(XTheme::boxStyle(role));
            box.setEditText(QStringLiteral("#include\\s+WWW"));
            box.resize(300, 30);
            box.show();
            QVERIFY(QTest::qWaitForWindowExposed(&box));
            const QImage img = box.grab().toImage();
            const QRect edit = box.lineEdit()->geometry();
            const QColor fill = img.pixelColor(edit.right() - 4, edit.center().y());
            QCOMPARE(fill.name(), XTheme::color(role, dark).name());
            const QColor text = strongestAgainst(img, edit.adjusted(0, 2, -edit.width() / 3, -2), fill);
            QVERIFY2(XTheme::contrast(text, fill) >= kTextMinimum, qPrintable(describe(text, fill)));
        }
    }

    // A field's outline stands out from the window, with and without the focus (the path field).
    void fieldOutlineIsVisible_data() { paletteTexts_data(); }
    void fieldOutlineIsVisible()
    {
        QFETCH(bool, dark);
        XTheme::apply(dark);
        QWidget window;
        window.setAutoFillBackground(true);
        window.resize(300, 100);
        auto* field = new QLineEdit(&window);
        field->setGeometry(20, 15, 260, 28);
        auto* other = new QLineEdit(&window);
        other->setGeometry(20, 55, 260, 28);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (bool focus : {false, true}) {
            (focus ? field : other)->setFocus();
            QTRY_COMPARE(field->hasFocus(), focus);
            const QImage img = window.grab().toImage();
            const QColor bg = img.pixelColor(5, 5);
            const QColor outline = strongestAgainst(img, QRect(field->x(), field->y() + 10, 2, 6), bg);
            QVERIFY2(XTheme::contrast(outline, bg) >= kOutlineMinimum,
                     qPrintable(QStringLiteral("focus %1: ").arg(focus) + describe(outline, bg)));
        }
        QVERIFY(XTheme::contrast(XTheme::color(XTheme::FocusFrame, dark), XTheme::palette(dark).color(QPalette::Window)) >=
                kOutlineMinimum);
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    TestThemeContrast test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_theme_contrast.moc"
