// Hex, image and XML previews, and MIME detection.
#include "TestDir.h"
#include "preview/PreviewAscii.h"
#include "preview/PreviewHex.h"
#include "preview/PreviewImage.h"
#include "preview/PreviewXml.h"
#include "preview/XImageViewer.h"
#include "preview/XMimeType.h"
#include "preview/viewHex/XHexView.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTreeWidget>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

using namespace zem;

class TestPreviewWidgets : public QObject {
    Q_OBJECT
private:
    TestDir dir;
    // With ZEM_SHOT_DIR set, widgets are saved as PNG there for a look by eye.
    void shot(QWidget* w, const QString& name)
    {
        const QString out = qEnvironmentVariable("ZEM_SHOT_DIR");
        if (!out.isEmpty())
            w->grab().save(out + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
    QString writePng(const QString& name, QSize size)
    {
        QImage img(size, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setBrush(QColor(30, 120, 200));
        p.drawEllipse(QRect(QPoint(0, 0), size).adjusted(10, 10, -10, -10));
        p.end();
        const QString path = dir.abs(name);
        img.save(path, "PNG");
        return path;
    }

private Q_SLOTS:
    void hexFontSizeStaysWithinLimits()
    {
        PreviewHex hex;
        hex.ini();
        hex.set_font_size(14);
        QCOMPARE(hex.font_size(), 14);
        for (int i = 0; i < 100; ++i)
            hex.set_font_size(hex.font_size() + 1);
        QCOMPARE(hex.font_size(), 64);
        hex.set_font_size(hex.font_size() + 1);
        QCOMPARE(hex.font_size(), 64);
        for (int i = 0; i < 100; ++i)
            hex.set_font_size(hex.font_size() - 1);
        QCOMPARE(hex.font_size(), 6);
        hex.set_font_size(-3);
        QCOMPARE(hex.font_size(), 6);
        QVERIFY(hex.is_hex() && !hex.is_xml() && !hex.is_image());
    }

    void hexRowsShowBytes()
    {
        PreviewHex hex;
        hex.ini();
        hex.resize(700, 300);
        const QString path = dir.write("data.bin", QByteArray("AB\x00\xff" "0123456789abcdefXYZ", 23));
        QVERIFY(hex.open_file(QFileInfo(path)));
        const XHexView* v = hex.hex_view();
        QCOMPARE(v->rowText(0), QStringLiteral("00000000  41 42 00 FF 30 31 32 33  34 35 36 37 38 39 61 62  AB\u00b7\u00b70123456789ab"));
        QVERIFY(v->rowText(1).startsWith(QStringLiteral("00000010  63 64 65 66 58 59 5A")));
        QVERIFY(v->rowText(2).isEmpty());
        hex.show();
        shot(&hex, QStringLiteral("hex"));
    }

    // Offset, hex and text columns are all in reach at any width: fewer bytes a row, and below
    // four a horizontal scroll bar.
    void hexShowsAllColumnsAtAnyWidth()
    {
        PreviewHex hex;
        hex.ini();
        hex.set_font_size(14);
        QByteArray bytes;
        for (int i = 0; i < 4000; ++i)
            bytes += char('A' + i % 26);
        QVERIFY(hex.open_file(QFileInfo(dir.write("columns.bin", bytes))));
        XHexView* v = hex.hex_view();
        hex.resize(1200, 300);
        hex.show();
        QVERIFY(QTest::qWaitForWindowExposed(&hex));
        QCOMPARE(v->bytesPerRow(), 16);
        QCOMPARE(v->horizontalScrollBar()->maximum(), 0);

        // The frame and the vertical scroll bar take their share beside the columns.
        const int chrome = hex.width() - v->viewport()->width();
        auto fitTo = [&](int width) {
            hex.resize(width, 300);
            QCoreApplication::processEvents();
            v->grab();
        };
        fitTo(v->contentWidthFor(8) + chrome + 2);
        QCOMPARE(v->bytesPerRow(), 8);
        QCOMPARE(v->horizontalScrollBar()->maximum(), 0);
        QVERIFY(v->rowText(0).endsWith(QStringLiteral("ABCDEFGH")));
        QVERIFY(v->rowText(1).startsWith(QStringLiteral("00000008  49 4A")));

        fitTo(v->contentWidthFor(4) + chrome + 2);
        QCOMPARE(v->bytesPerRow(), 4);
        QCOMPARE(v->horizontalScrollBar()->maximum(), 0);
        QCOMPARE(v->rowText(1), QStringLiteral("00000004  45 46 47 48  EFGH"));

        for (int width : {v->contentWidthFor(4) / 2, 120}) {
            fitTo(width);
            QCOMPARE(v->bytesPerRow(), 4);
            QScrollBar* h = v->horizontalScrollBar();
            QVERIFY(h->isVisible());
            QVERIFY(h->maximum() >= v->contentWidth() - v->viewport()->width());
        }
        shot(&hex, QStringLiteral("hex-narrow"));

        // Back to wide: sixteen again, and the top byte stays in view.
        v->scrollToOffset(1600);
        fitTo(1200);
        QCOMPARE(v->bytesPerRow(), 16);
        QCOMPARE(v->topRow(), 100);
        QCOMPARE(v->horizontalScrollBar()->maximum(), 0);
    }

    void hexOpensHugeSparseFileAtOnce()
    {
        const QString path = dir.abs("huge.bin");
        const int fd = ::open(QFile::encodeName(path).constData(), O_CREAT | O_WRONLY, 0600);
        QVERIFY(fd >= 0);
        const qint64 size = qint64(3) << 30;  // beyond 32-bit offsets, holds no data blocks
        QVERIFY(::ftruncate(fd, size) == 0);
        QVERIFY(::pwrite(fd, "END!", 4, size - 4) == 4);
        ::close(fd);
        XHexView v;
        v.resize(700, 400);
        QElapsedTimer t;
        t.start();
        QVERIFY(v.openFile(path));
        QVERIFY(t.elapsed() < 1000);
        v.scrollToOffset(size - 1);
        QVERIFY(v.topRow() > 0);
        QVERIFY(v.rowText(size / 16 - 1).endsWith(QStringLiteral("END!")));
        QVERIFY(v.rowText(size / 16 - 1).startsWith(QStringLiteral("BFFFFFF0  00 00")));
    }

    void hexShowsEmptyFileAndDefaultImage()
    {
        PreviewHex hex;
        hex.ini();
        hex.set_svg_default_image(QStringLiteral(":zf/image/zf-en.svg"));  // may be missing: no crash
        QVERIFY(hex.open_file(QFileInfo(dir.write("empty.bin", QByteArray()))));
        QCOMPARE(hex.hex_view()->size(), 0);
        hex.grab();
        QVERIFY(!hex.open_file(QFileInfo(dir.abs("nope.bin"))));
    }

    void imageFitsAndZooms()
    {
        PreviewImage img;
        img.ini();
        img.resize(300, 200);
        img.show();
        const QString path = writePng(QStringLiteral("pic.png"), QSize(800, 600));
        QVERIFY(img.can_handle_file(QFileInfo(path)));
        QVERIFY(img.open_file(QFileInfo(path)));
        XImageViewer* v = img.img_view();
        QVERIFY(v->isFitted());
        QVERIFY(v->zoom() < 0.4);
        const double fitted = v->zoom();
        v->on_zoom(true, true);
        QVERIFY(qAbs(v->zoom() - fitted * XImageViewer::kZoomStep) < 1e-9);
        for (int i = 0; i < 100; ++i)
            v->on_zoom(true, true);
        QCOMPARE(v->zoom(), XImageViewer::kMaxZoom);
        for (int i = 0; i < 100; ++i)
            v->on_zoom(false, true);
        QCOMPARE(v->zoom(), XImageViewer::kMinZoom);
        v->fit();
        shot(&img, QStringLiteral("image"));
        QVERIFY(img.get_file_extensions().contains(QStringLiteral("png")));
    }

    void brokenImageSaysSo()
    {
        PreviewImage img;
        img.ini();
        const QString path = dir.write("broken.png", QByteArray("\x89PNG\r\n\x1a\n garbage", 17));
        QVERIFY(!img.open_file(QFileInfo(path)));
        QVERIFY(img.img_view()->image().isNull());
    }

    void xmlTreeAndMalformedXml()
    {
        PreviewXml xml;
        xml.ini();
        xml.resize(500, 300);
        const QString good = dir.write("good.xml", "<?xml version=\"1.0\"?>\n<root a=\"1\"><item>Hello</item><item b=\"x\"/></root>\n");
        QVERIFY(xml.can_handle_file(QFileInfo(good)));
        QVERIFY(xml.open_file(QFileInfo(good)));
        QVERIFY(xml.error_text().isEmpty());
        QTreeWidgetItem* root = xml.tree()->topLevelItem(xml.tree()->topLevelItemCount() - 1);
        QCOMPARE(root->text(0), QStringLiteral("<root>"));
        QCOMPARE(root->child(0)->text(0), QStringLiteral("@a"));
        QCOMPARE(root->child(1)->text(1), QStringLiteral("Hello"));
        xml.show();
        shot(&xml, QStringLiteral("xml"));

        const QString bad = dir.write("bad.xml", "<root>\n  <a></b>\n</root>\n");
        QVERIFY(!xml.can_handle_file(QFileInfo(bad)));
        QVERIFY(!xml.open_file(QFileInfo(bad)));
        QVERIFY(xml.error_text().contains(QStringLiteral("line 2")));
        shot(&xml, QStringLiteral("xml-bad"));
        // The text preview takes what the XML preview refuses.
        PreviewAscii text;
        QVERIFY(text.open_file(QFileInfo(bad)));
    }

    void mimeTypes()
    {
        const QString png = writePng(QStringLiteral("m.png"), QSize(8, 8));
        QVERIFY(XMimeType::fromFile(QFileInfo(png)).isQtImage());
        QVERIFY(!is_text_file(QFileInfo(png)));
        QVERIFY(is_text_file(QFileInfo(dir.write("noext", "just text\n"))));
        QVERIFY(is_text_file(QFileInfo(dir.write("t.txt", "text\n"))));
        QVERIFY(!is_text_file(QFileInfo(dir.write("b.bin", QByteArray("\x7f" "ELF\x00\x01\x02", 7)))));
        QVERIFY(!XMimeType::fromFile(QFileInfo(dir.write("t2.txt", "x"))).isQtImage());
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    TestPreviewWidgets t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_preview_widgets.moc"
