// Files that start with a UTF-16 byte-order mark are searched as text: hits are found in little
// and big endian files, from buffers and from files, and every mark gives the offset and length
// of the file's own bytes. Unpaired surrogates and an odd last byte read as U+FFFD.
#include "Logger.h"
#include "TestDir.h"
#include "XLineReaderDA.h"
#include "find/XContentFilter.h"

#include <QtTest>

using namespace zem;
using namespace zem::find;

namespace {

QByteArray utf16(const QString& text, bool bigEndian, bool bom = true)
{
    QByteArray out;
    if (bom)
        out += bigEndian ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        out += bigEndian ? QByteArray(1, hi) + lo : QByteArray(1, lo) + hi;
    }
    return out;
}

// One code unit as raw bytes (for unpaired surrogates, which QString would not keep apart).
QByteArray unit(quint16 u, bool bigEndian)
{
    const char hi = char(u >> 8), lo = char(u & 0xFF);
    return bigEndian ? QByteArray(1, hi) + lo : QByteArray(1, lo) + hi;
}

struct Mark {
    qint64 offset;
    qint32 length;
    bool operator==(const Mark& o) const { return offset == o.offset && length == o.length; }
};
using Marks = QList<Mark>;

char* toString(const Mark& m)
{
    return qstrdup(QByteArray(QByteArray::number(m.offset) + "+" + QByteArray::number(m.length)).constData());
}

Marks marksOf(const XRamLayer& layer)
{
    Marks out;
    for (const XRam& m : layer)
        out << Mark{m.offset, m.length};
    return out;
}

// The marks of every occurrence of needle in text, as offsets of its UTF-16 file with BOM.
Marks expectedMarks(const QString& text, const QString& needle)
{
    Marks out;
    for (int i = text.indexOf(needle); i >= 0; i = text.indexOf(needle, i + needle.size()))
        out << Mark{2 + 2 * qint64(i), qint32(2 * needle.size())};
    return out;
}

} // namespace

class TestContentUtf16 : public QObject {
    Q_OBJECT

    TestDir m_dir;

    Marks search(const QByteArray& bytes, const QString& expr, bool regex, quint32 scope = 0)
    {
        XContentFilter f(scope);
        if (!f.createSymbols(expr, regex))
            return {};
        const Marks fromBuffer = marksOf(f.find(0, bytes.constData(), bytes.size()));
        // The same from a file, read and mapped.
        const QString path = m_dir.write(QStringLiteral("f.txt"), bytes);
        for (qint64 threshold : {qint64(1) << 30, qint64(1)}) {
            XLineReaderDA reader;
            reader.setMapThreshold(threshold);
            if (!reader.openFile(path, 65536, true))
                return {Mark{-1, -1}};
            f.seekHome();
            const XRamLayer layer = f.find(0, reader);
            const bool text = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
            if (marksOf(layer) != fromBuffer || (text && layer.isBinary()))
                return {Mark{-2, -2}};
        }
        return fromBuffer;
    }

private Q_SLOTS:
    void initTestCase()
    {
        isolateHomes();
        Logger::setStderrEnabled(false);
    }
    void cleanupTestCase() { Logger::setStderrEnabled(true); }

    void hitsInBothByteOrders_data()
    {
        QTest::addColumn<bool>("bigEndian");
        QTest::newRow("little endian") << false;
        QTest::newRow("big endian") << true;
    }
    void hitsInBothByteOrders()
    {
        QFETCH(bool, bigEndian);
        // Cyrillic (two UTF-8 bytes), CJK (three) and an emoji (a surrogate pair, four) before
        // the hits, so that UTF-8 and UTF-16 offsets drift apart.
        const QString text = QString::fromUtf8("Привет 日本 \xF0\x9F\x98\x80 ConnectionError here\r\n"
                                               "\xF0\x9F\x98\x80\xF0\x9F\x98\x80" "ConnectionError\n\nпоследняя "
                                               "connectionerror");
        const QByteArray bytes = utf16(text, bigEndian);
        QCOMPARE(search(bytes, QStringLiteral("ConnectionError"), true), expectedMarks(text, QStringLiteral("ConnectionError")));
        QCOMPARE(search(bytes, QStringLiteral("connectionerror"), false).size(), 3);
        QCOMPARE(search(bytes, QStringLiteral("[A-Z][a-z]+Error"), true), expectedMarks(text, QStringLiteral("ConnectionError")));
        // Non-ASCII hits: their marks cover their own bytes.
        QCOMPARE(search(bytes, QString::fromUtf8("日本"), true), expectedMarks(text, QString::fromUtf8("日本")));
        QCOMPARE(search(bytes, QString::fromUtf8("\xF0\x9F\x98\x80"), true), expectedMarks(text, QString::fromUtf8("\xF0\x9F\x98\x80")));
        QCOMPARE(search(bytes, QString::fromUtf8("привет"), false), expectedMarks(text, QString::fromUtf8("Привет")));
        // Scopes see the text's paragraphs: both words in one paragraph only once.
        QCOMPARE(search(bytes, QString::fromUtf8("Привет here"), false, 1).size(), 2);
        QCOMPARE(search(bytes, QString::fromUtf8("Привет последняя"), false, 1).size(), 0);
        QCOMPARE(search(bytes, QString::fromUtf8("Привет последняя"), false, 0).size(), 2);
        // Lines as the text has them.
        QCOMPARE(search(bytes, QStringLiteral("^\\S*ConnectionError$"), true).size(), 1);
    }

    void withoutByteOrderMarkStaysBytes()
    {
        const QByteArray bytes = utf16(QStringLiteral("ConnectionError"), false, false);
        QVERIFY(search(bytes, QStringLiteral("ConnectionError"), true).isEmpty());
        QCOMPARE(search(bytes, QStringLiteral("C\\x00o"), true).size(), 1);
    }

    void byteOrderMarkAlone()
    {
        for (const QByteArray& bom : {QByteArray("\xFF\xFE", 2), QByteArray("\xFE\xFF", 2)}) {
            QVERIFY(search(bom, QStringLiteral("a"), true).isEmpty());
            QVERIFY(search(bom, QStringLiteral("a"), false).isEmpty());
            QVERIFY(search(bom, QStringLiteral("\\x{FFFD}|\\x00"), true).isEmpty());
        }
    }

    void oddByteCount()
    {
        for (bool be : {false, true}) {
            const QByteArray bytes = utf16(QStringLiteral("abc Error"), be) + 'x';
            QCOMPARE(search(bytes, QStringLiteral("Error"), true), (Marks{Mark{2 + 2 * 4, 10}}));
            // The odd byte is one replacement character of one byte.
            QCOMPARE(search(bytes, QStringLiteral("\\x{FFFD}"), true), (Marks{Mark{bytes.size() - 1, 1}}));
            QCOMPARE(search(bytes, QStringLiteral("r\\x{FFFD}$"), true), (Marks{Mark{bytes.size() - 3, 3}}));
        }
    }

    void unpairedSurrogates()
    {
        for (bool be : {false, true}) {
            // A high surrogate without its low half, a lone low one, a pair the other way round.
            QByteArray bytes = utf16(QString(), be);
            bytes += unit(0xD800, be) + utf16(QStringLiteral("abc"), be, false);
            bytes += unit(0xDC00, be) + utf16(QStringLiteral("abc"), be, false);
            bytes += unit(0xDC01, be) + unit(0xD801, be) + utf16(QStringLiteral("abc"), be, false);
            bytes += unit(0xD83D, be);  // a high surrogate at the very end
            const Marks abc = search(bytes, QStringLiteral("abc"), true);
            QCOMPARE(abc, (Marks{Mark{4, 6}, Mark{12, 6}, Mark{22, 6}}));
            QCOMPARE(search(bytes, QStringLiteral("\\x{FFFD}abc"), true), (Marks{Mark{2, 8}, Mark{10, 8}, Mark{20, 8}}));
            QCOMPARE(search(bytes, QStringLiteral("\\x{FFFD}"), true).size(), 5);
            QCOMPARE(search(bytes, QStringLiteral("\\x{FFFD}$"), true), (Marks{Mark{28, 2}}));
        }
    }

    void searchFromAnOffset()
    {
        const QString text = QStringLiteral("Error one, Error two, Error three");
        const QByteArray bytes = utf16(text, false);
        XContentFilter f(0);
        QVERIFY(f.createSymbols(QStringLiteral("Error"), true));
        const Marks all = expectedMarks(text, QStringLiteral("Error"));
        QCOMPARE(marksOf(f.find(all[1].offset, bytes.constData(), bytes.size())), all.mid(1));
    }
};

QTEST_GUILESS_MAIN(TestContentUtf16)
#include "test_content_utf16.moc"
