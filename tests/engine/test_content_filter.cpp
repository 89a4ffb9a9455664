// The content filter: terms and regular expressions, scopes, hit counts, hostile input.
#include "Logger.h"
#include "XLineReaderDA.h"
#include "XSimd.h"
#include "find/XContentFilter.h"
#include "TestDir.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace zem;
using namespace zem::find;

namespace {

// Known text; the expected counts below are what `rg -a -uuu -i -F --count-matches` (simple
// expressions) and `rg -a -uuu --count-matches` (regular expressions) report on it.
const QByteArray kSample =
    "The quick brown fox jumps over the lazy dog.\n"
    "THE END of the story; theatre is not the end.\n"
    "TypeError: value is None. ValueError raised; xError ignored.\n"
    "KeyErrorError and IOError, OSError! Then the Error? error ERROR\n"
    "\ttabs\tand  spaces   here, the end\n"
    "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xD0\xBC\xD0\xB8\xD1\x80! "
    "\xD0\x9F\xD0\xA0\xD0\x98\xD0\x92\xD0\x95\xD0\xA2, \xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82; "
    "\xD0\xBF\xD1\x80\xD0\xB8\xD0\x92\xD0\x95\xD0\xA2.\n"
    "\xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xBA\xD0\xB0 \xD1\x81 \xD0\xBE\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xBE\xD0\xB9 "
    "\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0 \xD0\x9E\xD0\xA8\xD0\x98\xD0\x91\xD0\x9A\xD0\x90\n"
    "a line with dosEnding the end\n"
    "another the line\n"
    "colour color colouur colr\n"
    "foo123 foo 1234 bar-baz foo_bar\n";

XRamLayer runOn(const QByteArray& text, const QString& expr, bool regex, int scope, bool* ok = nullptr)
{
    XContentFilter f{quint32(scope)};
    const bool made = f.createSymbols(expr, regex);
    if (ok)
        *ok = made;
    f.seekHome();
    return f.find(0, text.constData(), text.size());
}

// Resident kilobytes of the mapping that holds address, from /proc/self/smaps; -1 if not found.
qint64 residentKbOfMapping(const void* address)
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return -1;
    const quintptr at = quintptr(address);
    bool inside = false;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        const int dash = line.indexOf('-');
        const int blank = line.indexOf(' ');
        if (dash > 0 && blank > dash && !line.startsWith("Rss")) {
            bool okFrom = false, okTo = false;
            const quintptr from = line.left(dash).toULongLong(&okFrom, 16);
            const quintptr to = line.mid(dash + 1, blank - dash - 1).toULongLong(&okTo, 16);
            if (okFrom && okTo) {
                inside = at >= from && at < to;
                continue;
            }
        }
        if (inside && line.startsWith("Rss:"))
            return line.mid(4).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

QString marksText(const QByteArray& text, const XRamLayer& layer)
{
    QStringList parts;
    for (const XRam& m : layer)
        parts << QString::fromUtf8(text.mid(int(m.offset), m.length));
    return parts.join(QLatin1Char('|'));
}

} // namespace

class TestContentFilter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hits_data();
    void hits();
    void sameThroughReader_data();
    void sameThroughReader();
    void marksInTextOrder();
    void regexErrors_data();
    void regexErrors();
    void matchLimitSkipsOnlyThatLine();
    void binaryFlag_data();
    void binaryFlag();
    void copiesAreIndependent();
    void findFromOffset();
    void textForms();
    void emptyAndInvalidInput();
    void fileTruncatedWhileMapped();
    void hugeMappedFileGivesPagesBack_data();
    void hugeMappedFileGivesPagesBack();
};

void TestContentFilter::hits_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expr");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<int>("scope");
    QTest::addColumn<int>("expected");

    // Counts equal to rg on the same bytes (see kSample).
    QTest::newRow("rg -iF the") << kSample << "the" << false << 0 << 12;
    QTest::newRow("rg -iF error") << kSample << "error" << false << 0 << 10;
    QTest::newRow("rg -iF cyrillic privet") << kSample << QString::fromUtf8("привет") << false << 0 << 4;
    QTest::newRow("rg -iF cyrillic upper") << kSample << QString::fromUtf8("ОШИБКА") << false << 0 << 2;
    QTest::newRow("rg -iF phrase") << kSample << "\"the end\"" << false << 0 << 4;
    QTest::newRow("rg -iF colou") << kSample << "colou" << false << 0 << 2;
    QTest::newRow("rg -iF foo") << kSample << "foo" << false << 0 << 3;
    QTest::newRow("rg the") << kSample << "the" << true << 0 << 9;
    QTest::newRow("rg Error") << kSample << "Error" << true << 0 << 8;
    QTest::newRow("rg [A-Z][a-z]+Error") << kSample << "[A-Z][a-z]+Error" << true << 0 << 3;
    QTest::newRow("rg \\bthe\\b") << kSample << "\\bthe\\b" << true << 0 << 7;
    QTest::newRow("rg colou?r") << kSample << "colou?r" << true << 0 << 2;
    QTest::newRow("rg \\d+") << kSample << "\\d+" << true << 0 << 2;
    QTest::newRow("rg (?i)error") << kSample << "(?i)error" << true << 0 << 10;
    QTest::newRow("rg fo+\\w*") << kSample << "fo+\\w*" << true << 0 << 4;
    QTest::newRow("rg e$") << kSample << "e$" << true << 0 << 1;
    QTest::newRow("rg \\w+ unicode words") << kSample << "\\w+" << true << 0 << 71;
    const QByteArray crlf = "a line with crlf\r\nthe Error here\r\nTheThe\r\n";
    QTest::newRow("rg -iF the crlf") << crlf << "the" << false << 0 << 3;
    QTest::newRow("rg \\bthe\\b crlf") << crlf << "\\bthe\\b" << true << 0 << 1;
    QTest::newRow("rg \\w+ crlf") << crlf << "\\w+" << true << 0 << 8;

    // Scopes: all terms inside one unit.
    const QByteArray paras = "alpha beta\nmore text\n\ngamma alpha\n  \t \nbeta and alpha again\n";
    QTest::newRow("and file") << paras << "alpha beta" << false << 0 << 5;
    QTest::newRow("and paragraph") << paras << "alpha beta" << false << 1 << 4;
    QTest::newRow("and paragraph none") << paras << "gamma beta" << false << 1 << 0;
    QTest::newRow("missing term in file") << paras << "alpha delta" << false << 0 << 0;
    const QByteArray sentences = "Alpha beta. Gamma alpha! Beta? gamma\nbeta end.\n";
    QTest::newRow("and sentence") << sentences << "alpha gamma" << false << 2 << 2;
    QTest::newRow("and sentence over line") << sentences << "gamma beta" << false << 2 << 2;
    QTest::newRow("and paragraph same text") << sentences << "alpha gamma" << false << 1 << 4;
    QTest::newRow("quoted phrase") << sentences << "\"gamma alpha\" beta" << false << 1 << 4;
    QTest::newRow("phrase across sentence") << sentences << "\"beta. gamma\"" << false << 2 << 0;
    QTest::newRow("phrase across sentence, paragraph") << sentences << "\"beta. gamma\"" << false << 1 << 1;
    QTest::newRow("regex across sentence") << sentences << "beta\\. Gamma" << true << 2 << 0;
    QTest::newRow("regex across sentence, paragraph") << sentences << "beta\\. Gamma" << true << 1 << 1;
    QTest::newRow("regex across blank line") << QByteArray("xa\n\nb") << "a\\s+b" << true << 1 << 0;
    QTest::newRow("regex across blank line, file") << QByteArray("xa\n\nb") << "a\\s+b" << true << 0 << 1;
    QTest::newRow("regex shorter inside unit") << QByteArray("a1 a2. a3") << "a\\d.*" << true << 2 << 2;
    QTest::newRow("crlf paragraphs") << QByteArray("foo\r\n\r\nfoo bar\r\nbar\r\n") << "foo bar" << false << 1 << 3;
    QTest::newRow("lone cr paragraphs") << QByteArray("foo\r\rfoo bar\rbar\r") << "foo bar" << false << 1 << 3;
    QTest::newRow("regex $ before crlf") << QByteArray("a bar\r\nbar x\r\n") << "bar$" << true << 0 << 1;

    // Case folding and encodings.
    QTest::newRow("cyrillic mixed case") << QByteArray("\xD0\x9F\xD1\x80\xD0\xB8\xD0\x92\xD0\x95\xD0\xA2 x") << QString::fromUtf8("пРиВеТ") << false << 0 << 1;
    QTest::newRow("kelvin sign folds to k") << QByteArray("\xE2\x84\xAA" "elvin kelvin KELVIN") << "kelvin" << false << 0 << 3;
    QTest::newRow("long s folds to s") << QByteArray("\xC5\xBF" "un sun") << "sun" << false << 0 << 2;
    QTest::newRow("invalid utf-8 term") << QByteArray("abc\xff\xfe" "abc\xc3(abc") << "ABC" << false << 0 << 3;
    QTest::newRow("invalid utf-8 regex") << QByteArray("x\xff ab\xc3 abbc \xe2\x82 abc") << "ab+c" << true << 0 << 2;
    QTest::newRow("invalid utf-8 cyrillic") << QByteArray("\xff\xD0\xBF\xD1\x80\xD0\xB8 \xfe\xD0\x9F\xD0\xA0\xD0\x98") << QString::fromUtf8("при") << false << 0 << 2;
    QTest::newRow("empty text") << QByteArray() << "x" << false << 0 << 0;
    QTest::newRow("empty matches count") << QByteArray("a\nb\n") << "^" << true << 0 << 2;
    QTest::newRow("overlapping occurrences") << QByteArray("aaaa") << "aa" << false << 0 << 2;
    QTest::newRow("binary still searched") << QByteArray("abc\0def abc", 11) << "abc" << false << 0 << 2;
}

void TestContentFilter::hits()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expr);
    QFETCH(bool, regex);
    QFETCH(int, scope);
    QFETCH(int, expected);
    bool ok = false;
    const XRamLayer layer = runOn(text, expr, regex, scope, &ok);
    QVERIFY(ok);
    QCOMPARE(int(layer.size()), expected);
    QCOMPARE(bool(layer), expected > 0);
}

void TestContentFilter::sameThroughReader_data()
{
    hits_data();
}

void TestContentFilter::sameThroughReader()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expr);
    QFETCH(bool, regex);
    QFETCH(int, scope);
    QFETCH(int, expected);
    TestDir dir;
    const QString path = dir.write(QStringLiteral("f.txt"), text);
    XContentFilter f{quint32(scope)};
    QVERIFY(f.createSymbols(expr, regex));
    XLineReaderDA reader;
    // Read and mapped; lines counted before the search or by it; with and without AVX2.
    for (int variant = 0; variant < 8; ++variant) {
        reader.setMapThreshold((variant & 1) ? 1 : qint64(1) << 30);
        simd_allow_avx2((variant & 4) == 0);
        QVERIFY(reader.openFile(path, 65536, true));
        const qint64 lines = (variant & 2) ? reader.countLines() : -1;
        f.seekHome();
        const XRamLayer layer = f.find(0, reader);
        QCOMPARE(int(layer.size()), expected);
        QCOMPARE(reader.countLines(), XLineStats::countExact(text.constData(), text.size(), 65536));
        if (lines >= 0)
            QCOMPARE(reader.countLines(), lines);
    }
    simd_allow_avx2(true);
}

void TestContentFilter::marksInTextOrder()
{
    const QByteArray text = "beta Alpha gamma ALPHA beta\n";
    const XRamLayer layer = runOn(text, "alpha beta", false, 0);
    QCOMPARE(marksText(text, layer), QStringLiteral("beta|Alpha|ALPHA|beta"));
    QCOMPARE(layer[1].category, 0);
    QCOMPARE(layer[0].category, 1);
    for (size_t i = 1; i < layer.size(); ++i)
        QVERIFY(layer[i - 1].offset < layer[i].offset);
    const XRamLayer rx = runOn(text, "[A-Z]+", true, 0);
    QCOMPARE(marksText(text, rx), QStringLiteral("A|ALPHA"));
}

void TestContentFilter::regexErrors_data()
{
    QTest::addColumn<QString>("expr");
    QTest::addColumn<bool>("valid");
    QTest::newRow("unbalanced paren") << "(abc" << false;
    QTest::newRow("unbalanced bracket") << "[a-" << false;
    QTest::newRow("bad repeat") << "a{2,1}" << false;
    QTest::newRow("nothing to repeat") << "*a" << false;
    QTest::newRow("trailing backslash") << "abc\\" << false;
    QTest::newRow("fine") << "a(b|c)+" << true;
}

void TestContentFilter::regexErrors()
{
    QFETCH(QString, expr);
    QFETCH(bool, valid);
    XContentFilter f(0);
    QCOMPARE(f.createSymbols(expr, true), valid);
    QCOMPARE(f.isValid(), valid);
    QCOMPARE(f.errorText().isEmpty(), valid);
    if (!valid)
        QVERIFY(f.find(0, "abc", 3).empty());
}

void TestContentFilter::matchLimitSkipsOnlyThatLine()
{
    // (a+)+$ on a long run of a's that does not end the line backtracks exponentially.
    QByteArray evil = "ok aaa\n" + QByteArray(5000, 'a') + "!\nmore aa\n";
    XContentFilter f(0);
    QVERIFY(f.createSymbols(QStringLiteral("(a+)+$"), true));
    Logger::startCapture();
    QElapsedTimer timer;
    timer.start();
    const XRamLayer layer = f.find(0, evil.constData(), evil.size());
    const qint64 ms = timer.elapsed();
    const QStringList lines = Logger::capturedLines();
    Logger::stopCapture();
    QVERIFY2(ms < 5000, qPrintable(QStringLiteral("took %1 ms").arg(ms)));
    QVERIFY(f.limitHit());
    QCOMPARE(f.skippedLines(), quint64(1));
    QCOMPARE(marksText(evil, layer), QStringLiteral("aaa|aa"));  // the run of a's is skipped
    bool logged = false;
    for (const QString& l : lines)
        logged = logged || l.contains(QLatin1String("XContentFilter::find"));
    QVERIFY(logged);
    // The next file is searched normally.
    f.seekHome();
    QVERIFY(!f.limitHit());
    const QByteArray fine = "aa\nbaa\n";
    QCOMPARE(int(f.find(0, fine.constData(), fine.size()).size()), 2);
}

void TestContentFilter::binaryFlag_data()
{
    QTest::addColumn<int>("nulAt");
    QTest::addColumn<bool>("binary");
    QTest::newRow("no nul") << -1 << false;
    QTest::newRow("nul at start") << 0 << true;
    QTest::newRow("nul at last probe byte") << 65535 << true;
    QTest::newRow("nul just past 64 KiB") << 65536 << false;
}

void TestContentFilter::binaryFlag()
{
    QFETCH(int, nulAt);
    QFETCH(bool, binary);
    QByteArray text(70000, 'x');
    text.replace(100, 6, "needle");
    text.replace(69000, 6, "needle");
    if (nulAt >= 0)
        text[nulAt] = '\0';
    XContentFilter f(0);
    QVERIFY(f.createSymbols(QStringLiteral("needle"), false));
    const XRamLayer a = f.find(0, text.constData(), text.size());
    QCOMPARE(a.isBinary(), binary);
    QCOMPARE(int(a.size()), 2);
    TestDir dir;
    XLineReaderDA reader;
    QVERIFY(reader.openFile(dir.write(QStringLiteral("b.bin"), text), 65536, true));
    const XRamLayer b = f.find(0, reader);
    QCOMPARE(b.isBinary(), binary);
    QCOMPARE(int(b.size()), 2);
}

void TestContentFilter::copiesAreIndependent()
{
    XContentFilter a(0);
    QVERIFY(a.createSymbols(QStringLiteral("b+"), true));
    XContentFilter b = a;
    XContentFilter c;
    c = b;
    const QByteArray t1 = "abbb b";
    const QByteArray t2 = "bbbbbbbb";
    QCOMPARE(int(a.find(0, t1.constData(), t1.size()).size()), 2);
    QCOMPARE(int(b.find(0, t2.constData(), t2.size()).size()), 1);
    QCOMPARE(int(c.find(0, t1.constData(), t1.size()).size()), 2);
    QVERIFY(c.createSymbols(QStringLiteral("zz"), false));
    QCOMPARE(a.text(), QStringLiteral("b+"));
    QVERIFY(a.isRegEx());
    QVERIFY(!c.isRegEx());
}

void TestContentFilter::findFromOffset()
{
    const QByteArray text = "foo foo foo";
    XContentFilter f(0);
    QVERIFY(f.createSymbols(QStringLiteral("foo"), false));
    QCOMPARE(int(f.find(4, text.constData(), text.size()).size()), 2);
    QCOMPARE(f.position(), qint64(text.size()));
    f.seekHome();
    QCOMPARE(f.position(), qint64(0));
}

void TestContentFilter::textForms()
{
    XContentFilter f(1);
    QVERIFY(f.createSymbols(QStringLiteral("  alpha \"two words\"  beta ALPHA "), false));
    QCOMPARE(f.terms(), QStringList({"alpha", "two words", "beta"}));
    QCOMPARE(f.scope_as_string(), QStringLiteral("Paragraph"));
    QCOMPARE(XContentFilter::scope_as_string(0), QStringLiteral("File"));
    QCOMPARE(XContentFilter::scope_as_string(2), QStringLiteral("Sentence"));
    QVERIFY(f.toString().contains(QLatin1String("Paragraph")));
    QVERIFY(f.toString(true).contains(QLatin1String("alpha")));
    f.setScope(7);
    QCOMPARE(f.scope(), quint32(0));
}

void TestContentFilter::emptyAndInvalidInput()
{
    XContentFilter f;
    QVERIFY(!f.createSymbols(QString(), false));
    QVERIFY(!f.createSymbols(QStringLiteral("   "), false));
    QVERIFY(!f.createSymbols(QStringLiteral("\"\""), false));
    QVERIFY(!f.createSymbols(QString(), true));
    QVERIFY(!f.errorText().isEmpty());
    QVERIFY(f.find(0, nullptr, 0).empty());
}

void TestContentFilter::fileTruncatedWhileMapped()
{
    // A log cut in place while it is searched must not take the process down.
    TestDir dir;
    QByteArray text;
    for (int i = 0; i < 20000; ++i)
        text += "line with needle " + QByteArray::number(i) + "\n";
    const QString path = dir.write(QStringLiteral("cut.log"), text);
    XLineReaderDA reader;
    reader.setMapThreshold(1);
    QVERIFY(reader.openFile(path, 65536, true));
    QVERIFY(reader.isMapped());
    QVERIFY(QFile::resize(path, 100));
    XContentFilter f(0);
    QVERIFY(f.createSymbols(QStringLiteral("needle"), false));
    Logger::startCapture();
    const XRamLayer layer = f.find(0, reader);
    Logger::stopCapture();
    QVERIFY(reader.shrankWhileRead());
    QVERIFY(layer.empty());
    reader.countLines();
    // The next file is read normally.
    QVERIFY(reader.openFile(dir.write(QStringLiteral("ok.log"), text), 65536, true));
    QVERIFY(!reader.shrankWhileRead());
    QCOMPARE(int(f.find(0, reader).size()), 20000);
}


void TestContentFilter::hugeMappedFileGivesPagesBack_data()
{
    QTest::addColumn<QString>("expr");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<int>("scope");
    QTest::addColumn<bool>("givesBack");
    QTest::newRow("literal regex") << "ValueError" << true << 0 << true;
    QTest::newRow("regex on lines with the literal") << "[A-Z][a-z]+Error" << true << 0 << true;
    QTest::newRow("one term, any case") << "valueerror" << false << 0 << true;
    // Its paragraphs are looked up around hits all over the file, after the term passes.
    QTest::newRow("two terms in a paragraph") << "value raised" << false << 1 << false;
}

// A search through a file far larger than the release step: the pages behind it leave the
// process, and the hits and line count stay those of the same bytes searched in memory.
void TestContentFilter::hugeMappedFileGivesPagesBack()
{
    QFETCH(QString, expr);
    QFETCH(bool, regex);
    QFETCH(int, scope);
    QFETCH(bool, givesBack);
    static const QByteArray text = [] {
        QByteArray t;
        t.reserve(3 * int(XLineReaderDA::kReleaseStep));
        while (t.size() < int(XLineReaderDA::kReleaseStep) + 100)
            t += kSample + "\n";
        // A 3 MB line across the point where pages are first given back: found by a look-back.
        t += "ValueError " + QByteArray(3 << 20, 'v') + " raised ValueError\n";
        while (t.size() < 3 * int(XLineReaderDA::kReleaseStep))
            t += kSample + "\n";
        return t;
    }();
    TestDir dir;
    const QString path = dir.write(QStringLiteral("huge.log"), text);
    XContentFilter f{quint32(scope)};
    QVERIFY(f.createSymbols(expr, regex));
    const qint64 expected = qint64(f.find(0, text.constData(), text.size()).size());
    QVERIFY(expected > 1000);

    XLineReaderDA reader;
    QVERIFY(reader.openFile(path, 65536, true));
    QVERIFY(reader.isMapped());
    f.seekHome();
    const XRamLayer layer = f.find(0, reader);
    // Asked before the line count: the over-long line makes it recount the whole file.
    const qint64 residentKb = residentKbOfMapping(reader.data());
    QCOMPARE(qint64(layer.size()), expected);
    QVERIFY(residentKb >= 0);
    if (givesBack)
        QVERIFY2(residentKb * 1024 < 2 * XLineReaderDA::kReleaseStep, qPrintable(QString::number(residentKb)));
    QCOMPARE(reader.countLines(), XLineStats::countExact(text.constData(), text.size(), 65536));
}

QTEST_GUILESS_MAIN(TestContentFilter)
#include "test_content_filter.moc"
