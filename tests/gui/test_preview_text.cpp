// The text view: marks land on the right characters, whatever the bytes around them.
#include "TestDir.h"
#include "preview/PreviewAscii.h"
#include "preview/viewText/XTextView.h"
#include "find/XContentFilter.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QtTest>

using namespace zem;
using namespace zem::viewText;

class TestPreviewText : public QObject {
    Q_OBJECT
private:
    TestDir dir;
    QFont mono() const
    {
        QFont f(QStringLiteral("DejaVu Sans Mono"));
        f.setPixelSize(14);
        return f;
    }
    // A view showing bytes, laid out and painted once.
    std::unique_ptr<XTextView> view(const QByteArray& bytes, QSize size = QSize(600, 300))
    {
        auto v = std::make_unique<XTextView>();
        v->setFont(mono());
        v->resize(size);
        v->openBytes(bytes);
        v->source().waitForIndex();
        v->show();
        v->grab();
        return v;
    }
    // The x range that text takes in the view's font (independent of the view's own mapping).
    QPair<qreal, qreal> expectedX(const XTextView& v, const QString& before, const QString& marked)
    {
        const QFontMetricsF fm(mono());
        const qreal x0 = v.textLeft() + fm.horizontalAdvance(before);
        return {x0, x0 + fm.horizontalAdvance(marked)};
    }

private Q_SLOTS:
    void markOnMultiByteAndCrLf_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("markBytes");  // what the mark covers, found in bytes
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("before");        // the text of the row before the mark
        QTest::addColumn<QString>("marked");
        QTest::newRow("ascii") << QByteArray("hello world\n") << QByteArray("world") << 0
                               << QStringLiteral("hello ") << QStringLiteral("world");
        QTest::newRow("cyrillic after crlf")
            << QByteArray("ab\r\n\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 mir\r\n")
            << QByteArray("mir") << 1 << QString::fromUtf8("Привет ") << QStringLiteral("mir");
        QTest::newRow("cjk and emoji") << QByteArray("x\xe4\xb8\xad\xe6\x96\x87\xf0\x9f\x98\x80yz\n")
                                       << QByteArray("yz") << 0 << QString::fromUtf8("x中文😀")
                                       << QStringLiteral("yz");
        QTest::newRow("mark on a cjk char") << QByteArray("ab\xe4\xb8\xad\xe6\x96\x87\n")
                                            << QByteArray("\xe6\x96\x87") << 0 << QString::fromUtf8("ab中")
                                            << QString::fromUtf8("文");
        QTest::newRow("lone cr lines") << QByteArray("one\rtwo\rthree four\r") << QByteArray("four") << 2
                                       << QStringLiteral("three ") << QStringLiteral("four");
        QTest::newRow("invalid bytes") << QByteArray("a\xff\xfe" "bc\n") << QByteArray("bc") << 0
                                       << QString::fromUtf8("a\xef\xbf\xbd\xef\xbf\xbd") << QStringLiteral("bc");
        QTest::newRow("tab") << QByteArray("\tword\n") << QByteArray("word") << 0
                             << QStringLiteral("        ") << QStringLiteral("word");
    }
    void markOnMultiByteAndCrLf()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, markBytes);
        QFETCH(int, row);
        QFETCH(QString, before);
        QFETCH(QString, marked);
        auto v = view(bytes);
        const qint64 off = bytes.indexOf(markBytes);
        QVERIFY(off >= 0);
        const find::XRam ram{off, qint32(markBytes.size()), 0};
        QCOMPARE(v->textFromMarkRam(ram), QString::fromUtf8(markBytes));
        const QVector<QRectF> rects = v->rectsForRange(ram.offset, ram.length);
        QCOMPARE(rects.size(), 1);
        const auto x = expectedX(*v, before, marked);
        QVERIFY2(qAbs(rects[0].left() - x.first) < 1.0, qPrintable(QString::number(rects[0].left()) + " vs " + QString::number(x.first)));
        QVERIFY2(qAbs(rects[0].right() - x.second) < 1.0, qPrintable(QString::number(rects[0].right()) + " vs " + QString::number(x.second)));
        QCOMPARE(int(rects[0].top()), row * v->rowHeight());
        // The byte under the middle of the marked text is inside the mark.
        const qint64 hit = v->offsetAt(rects[0].center().toPoint());
        QVERIFY(hit >= off && hit < off + markBytes.size());
    }

    void markIsPaintedOnItsCharacters()
    {
        auto v = view(QByteArray("\xd0\xb0\xd0\xb1 target rest\r\nnext\r\n"));
        const qint64 off = QByteArray("\xd0\xb0\xd0\xb1 ").size();
        XMarkLayer* layer = v->layerGroup().add_layer(1000);
        layer->set_color_background(qRgba(255, 0, 255, 255));
        find::XRamLayer marks;
        marks.append(off, 6);
        layer->add_ram_layer(marks);
        const QImage img = v->viewport()->grab().toImage();
        const auto x = expectedX(*v, QString::fromUtf8("аб "), QStringLiteral("target"));
        const int y = v->rowHeight() / 2;
        auto magenta = [&](int px) { return img.pixelColor(px, y) == QColor(255, 0, 255) || img.pixelColor(px, 1) == QColor(255, 0, 255); };
        QVERIFY(magenta(int(x.first) + 1));
        QVERIFY(magenta(int(x.second) - 2));
        QVERIFY(!magenta(int(x.first) - 2));
        QVERIFY(!magenta(int(x.second) + 2));
        // Nothing in the second row.
        QVERIFY(img.pixelColor(int(x.first) + 1, v->rowHeight() + y) != QColor(255, 0, 255));
    }

    void hugeLineIsCutIntoPieces()
    {
        QByteArray line;
        for (int i = 0; i < 20000; ++i)
            line += "\xe2\x82\xac";  // 60000 bytes of euro signs, cuts must not split them
        line += "END\nlast\n";
        auto v = std::make_unique<XTextView>();
        v->source().setPieceBytes(1000);
        v->resize(400, 200);
        v->openBytes(line);
        v->show();
        const XTextSource& s = v->source();
        qint64 p = 0;
        int pieces = 0;
        QString all;
        while (p < s.size()) {
            const XTextPiece piece = s.pieceAt(p);
            QCOMPARE(piece.start, p);
            QVERIFY(piece.textEnd - piece.start <= 1003);  // a cut moves back at most 3 bytes
            all += s.decode(piece).text;
            if (piece.next > piece.textEnd)
                all += QLatin1Char('\n');
            p = piece.next;
            ++pieces;
        }
        QCOMPARE(all, QString::fromUtf8(line));
        QVERIFY(pieces > 60);
        QVERIFY(!all.contains(QChar(0xFFFD)));
        v->scrollToEnd();
        QCOMPARE(s.pieceAt(v->topOffset()).firstOfLine, false);
        const qint64 endOff = line.indexOf("END");
        v->scrollToRam(find::XRam{endOff, 3, 0});
        QCOMPARE(v->rectsForRange(endOff, 3).size(), 1);
        QCOMPARE(v->textFromMarkRam(find::XRam{endOff, 3, 0}), QStringLiteral("END"));
    }

    void lineNumbersAndNavigation()
    {
        QByteArray bytes;
        for (int i = 0; i < 5000; ++i)
            bytes += "line " + QByteArray::number(i) + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
        auto v = view(bytes);
        const XTextSource& s = v->source();
        QCOMPARE(s.lineCount(), 5000);
        const qint64 off = bytes.indexOf("line 4321");
        QCOMPARE(s.lineNumberOf(off), 4321);
        QCOMPARE(s.lineStartOf(off + 3), off);
        v->scrollToEnd();
        QCOMPARE(s.lineNumberOf(v->topOffset()), 5000 - v->visibleRows());
        v->scrollRows(-10);
        QCOMPARE(s.lineNumberOf(v->topOffset()), 5000 - v->visibleRows() - 10);
        v->scrollToStart();
        QCOMPARE(v->topOffset(), 0);
    }

    void emptyFileAndInvalidBytes()
    {
        auto v = view(QByteArray());
        QCOMPARE(v->source().lineCount(), 0);
        QCOMPARE(v->offsetAt(QPoint(10, 10)), -1);
        v->scrollToEnd();
        v->scrollRows(5);
        QVERIFY(v->rectsForRange(0, 1).isEmpty());
        auto w = view(QByteArray("\x80\xc3\x28\xed\xa0\x80z\x00q\n", 10));
        const XLineText t = w->source().decode(w->source().pieceAt(0));
        // Every bad byte is one U+FFFD; NUL shows as its control picture.
        QCOMPARE(t.text, QString::fromUtf8("\xef\xbf\xbd\xef\xbf\xbd(\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbdz\xe2\x90\x80q"));
        QCOMPARE(w->textFromMarkRam(find::XRam{6, 1, 0}), QStringLiteral("z"));
    }

    void selectionAndMouseOver()
    {
        auto v = view(QByteArray("First sentence here. Second one, with words!\n\nNext paragraph.\n"));
        v->setSelection(6, 8);
        QCOMPARE(v->getSelectedText(0), QStringLiteral("sentence"));
        QCOMPARE(v->getSelectedText(3), QStringLiteral("sen"));
        const MouseOverMark m = v->mouseOverAt(24);  // inside "Second"
        QCOMPARE(v->textFromMarkRam(m.word), QStringLiteral("Second"));
        QCOMPARE(v->textFromMarkRam(m.character), QStringLiteral("o"));
        QCOMPARE(v->textFromMarkRam(m.sentence), QStringLiteral("Second one, with words!"));
        QCOMPARE(v->textFromMarkRam(m.paragraph), QStringLiteral("First sentence here. Second one, with words!"));
        QCOMPARE(v->textFromMarkRam(m.line), QStringLiteral("First sentence here. Second one, with words!"));
    }

    void activeMarkNavigation()
    {
        XMarkLayer layer(1000);
        find::XRamLayer marks;
        marks.append(30, 2);
        marks.append(10, 2);
        marks.append(20, 2);
        layer.add_ram_layer(marks);
        QCOMPARE(layer.mark(0).offset, 10);
        QVERIFY(layer.active_mark() == nullptr);
        QVERIFY(layer.active_mark_index() < 0);
        QVERIFY(layer.set_active_mark_first());
        QVERIFY(!layer.move_active_mark_index(true));
        QVERIFY(layer.move_active_mark_index(false));
        QCOMPARE(layer.active_mark()->offset, 20);
        QVERIFY(layer.set_active_mark_last());
        QVERIFY(!layer.move_active_mark_index(false));
        QCOMPARE(layer.index_at(21), 1);
        QCOMPARE(layer.index_at(22), -1);
    }

    void paintsLayersRulerAndLineInfo()
    {
        QByteArray bytes = "// Zem Finder sample\r\nint main() {\r\n\treturn 0; // \xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 \xe4\xb8\xad\xe6\x96\x87\r\n}\r\n";
        for (int i = 0; i < 40; ++i)
            bytes += "line " + QByteArray::number(i) + " with some words to wrap around the edge of the view\n";
        PreviewAscii p;
        p.ini();
        p.set_font(mono());
        p.set_line_info_pos(1);
        p.resize(520, 300);
        p.set_mem_file(XMemFile{QStringLiteral("sample.cpp"), bytes});
        XTextView* v = p.get_XTextView();
        v->source().waitForIndex();
        XMarkLayer* l0 = v->layerGroup().add_layer(1000);
        l0->set_color_background(qRgba(0, 255, 0, 255));
        XMarkLayer* l1 = v->layerGroup().add_layer(1001);
        l1->set_color_background(qRgba(255, 255, 0, 255));
        find::XRamLayer hits;
        for (qint64 at = bytes.indexOf("return"); at >= 0; at = bytes.indexOf("return", at + 1))
            hits.append(at, 6);
        for (qint64 at = bytes.indexOf("words"); at >= 0; at = bytes.indexOf("words", at + 1))
            hits.append(at, 5);
        l0->add_ram_layer(hits);
        find::XRamLayer cjk;
        cjk.append(bytes.indexOf("\xe4\xb8\xad"), 6);
        l1->add_ram_layer(cjk);
        l0->set_active_mark_first();
        p.set_XRamLayer(l0);
        v->setSelection(bytes.indexOf("main"), 4);
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        QCoreApplication::processEvents();
        QVERIFY(v->verticalScrollBar()->maximum() > 0);
        const QString out = qEnvironmentVariable("ZEM_SHOT_DIR");
        const QImage img = p.grab().toImage();
        QVERIFY(!img.isNull());
        if (!out.isEmpty())
            img.save(out + QStringLiteral("/text.png"));
        p.set_wrap(true);
        v->scrollToRam(l0->mark(5));
        const QImage wrapped = p.grab().toImage();
        if (!out.isEmpty())
            wrapped.save(out + QStringLiteral("/text-wrap.png"));
        QCOMPARE(v->textFromMarkRam(l1->mark(0)), QString::fromUtf8("中文"));
    }

    // The line information has a strip of its own: above the text, below it, or none.
    void lineInfoNeverCoversText()
    {
        QByteArray bytes;
        for (int i = 1; i <= 200; ++i)
            bytes += "line " + QByteArray::number(i) + " of the sample\n";
        auto v = view(bytes, QSize(400, 300));
        v->set_line_info_pos(XTextView::LineInfoOff);
        v->grab();
        QVERIFY(v->lineInfoRect().isEmpty());
        const QRect full = v->viewport()->geometry();
        v->set_line_info_pos(XTextView::LineInfoTopRight);
        v->grab();
        QRect box = v->lineInfoRect();
        QVERIFY(box.isValid());
        QVERIFY(!box.intersects(v->viewport()->geometry()));
        QVERIFY(box.bottom() < v->viewport()->geometry().top());

        v->set_line_info_pos(XTextView::LineInfoBottomRight);
        v->grab();
        box = v->lineInfoRect();
        QVERIFY(box.isValid());
        QVERIFY(!box.intersects(v->viewport()->geometry()));
        QVERIFY(box.top() > v->viewport()->geometry().bottom());

        v->set_line_info_pos(XTextView::LineInfoOff);
        v->grab();
        QVERIFY(v->lineInfoRect().isEmpty());
        QCOMPARE(v->viewport()->geometry(), full);
    }

    // What the strip says is the line the user sees, after every kind of jump and scroll.
    void lineInfoFollowsJumpsAndScrolls()
    {
        QByteArray bytes;
        for (int i = 1; i <= 200; ++i)
            bytes += "line " + QByteArray::number(i) + " of the sample\n";
        auto v = view(bytes, QSize(400, 300));
        v->set_line_info_pos(XTextView::LineInfoTopRight);
        auto* label = v->findChild<QLabel*>(QStringLiteral("lineInfo"));
        QVERIFY(label);
        auto shown = [&] {
            v->grab();
            return label->text();
        };
        auto topLine = [&] { return v->source().lineNumberOf(v->topOffset()) + 1; };
        QVERIFY(shown().startsWith(QStringLiteral("Line 1 of 200")));

        // A click puts the caret on the third line: the strip names it.
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, QPoint(v->textLeft() + 20, v->rowHeight() * 2 + 3));
        QVERIFY2(shown().startsWith(QStringLiteral("Line 3 of 200  Byte")), qPrintable(label->text()));

        // Ctrl+End leaves the caret behind: the strip follows the view, not the caret.
        QTest::keyClick(v.get(), Qt::Key_End, Qt::ControlModifier);
        QVERIFY(topLine() > 150);
        QCOMPARE(shown(), QStringLiteral("Line %1 of 200").arg(topLine()));

        QTest::keyClick(v.get(), Qt::Key_PageUp);
        QVERIFY(topLine() < 190);
        QCOMPARE(shown(), QStringLiteral("Line %1 of 200").arg(topLine()));

        QTest::keyClick(v.get(), Qt::Key_Up);
        QCOMPARE(shown(), QStringLiteral("Line %1 of 200").arg(topLine()));

        v->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
        QCOMPARE(shown(), QStringLiteral("Line %1 of 200").arg(topLine()));

        v->scrollToOffset(bytes.indexOf("line 100 "));
        QCOMPARE(shown(), QStringLiteral("Line 100 of 200"));

        // Back at the start the caret is in view again.
        QTest::keyClick(v.get(), Qt::Key_Home, Qt::ControlModifier);
        QVERIFY(shown().startsWith(QStringLiteral("Line 3 of 200  Byte")));
    }

    void utf16FileShowsTextAndMarksItsHits_data()
    {
        QTest::addColumn<bool>("bigEndian");
        QTest::newRow("little endian") << false;
        QTest::newRow("big endian") << true;
    }
    void utf16FileShowsTextAndMarksItsHits()
    {
        // The search's marks point at the file's UTF-16 bytes; the view shows the decoded text
        // and paints each mark on its own characters.
        QFETCH(bool, bigEndian);
        const QString text = QString::fromUtf8("Привет аб target rest\r\nnext target\r\n");
        QByteArray bytes = bigEndian ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
        for (QChar c : text) {
            const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
            bytes += bigEndian ? QByteArray(1, hi) + lo : QByteArray(1, lo) + hi;
        }
        find::XContentFilter filter(0);
        QVERIFY(filter.createSymbols(QStringLiteral("target"), true));
        const find::XRamLayer hits = filter.find(0, bytes.constData(), bytes.size());
        QCOMPARE(int(hits.size()), 2);
        QCOMPARE(hits.marks()[0].offset, qint64(2 + 2 * text.indexOf(QStringLiteral("target"))));

        PreviewAscii p;
        p.ini();
        const QString path = dir.write(bigEndian ? "be.txt" : "le.txt", bytes);
        QVERIFY(p.open_file(QFileInfo(path)));
        XTextView* v = p.get_XTextView();
        v->setFont(mono());
        v->source().waitForIndex();
        p.resize(700, 400);
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        QCOMPARE(v->source().lineCount(), qint64(2));
        XMarkLayer* layer = v->layerGroup().add_layer(1000);
        layer->set_color_background(qRgba(255, 0, 255, 255));
        layer->add_ram_layer(hits);
        QCOMPARE(v->textFromMarkRam(layer->mark(0)), QStringLiteral("target"));
        QCOMPARE(v->textFromMarkRam(layer->mark(1)), QStringLiteral("target"));
        QCOMPARE(v->textFromMarkRam(find::XRam{0, qint32(v->source().size()), 0}), text);
        const QImage img = v->viewport()->grab().toImage();
        const auto x = expectedX(*v, QString::fromUtf8("Привет аб "), QStringLiteral("target"));
        const int y = v->rowHeight() / 2;
        auto magenta = [&](int px, int py) { return img.pixelColor(px, py) == QColor(255, 0, 255); };
        QVERIFY(magenta(int(x.first) + 1, y) || magenta(int(x.first) + 1, 1));
        QVERIFY(magenta(int(x.second) - 2, y) || magenta(int(x.second) - 2, 1));
        QVERIFY(!magenta(int(x.first) - 2, y) && !magenta(int(x.first) - 2, 1));
        QVERIFY(!magenta(int(x.second) + 2, y) && !magenta(int(x.second) + 2, 1));
        // The second hit on the second row, after "next ".
        const QVector<QRectF> rects = v->rectsForRange(layer->mark(1).offset, layer->mark(1).length);
        QCOMPARE(rects.size(), 1);
        QCOMPARE(int(rects[0].top()), v->rowHeight());
        QVERIFY(qAbs(rects[0].left() - expectedX(*v, QStringLiteral("next "), QString()).first) < 1.0);
    }

    void previewOpensFile()
    {
        PreviewAscii p;
        p.ini();
        const QString path = dir.write("a.cpp", "int main() {}\n");
        QVERIFY(p.can_handle_file(QFileInfo(path)));
        QVERIFY(p.open_file(QFileInfo(path)));
        QCOMPARE(p.file_info().fileName(), QStringLiteral("a.cpp"));
        QVERIFY(PreviewAscii::file_extentions_as_string().contains(QStringLiteral("cpp")));
        QVERIFY(!p.is_hex() && !p.is_xml() && !p.is_image());
        QVERIFY(!p.open_file(QFileInfo(dir.abs("missing.txt"))));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    TestPreviewText t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_preview_text.moc"
