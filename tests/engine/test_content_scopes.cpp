// Regular expressions that match empty or at line ends, in every scope: every search ends, and
// gives what a plain PCRE2 loop gives inside each unit; the match limit skips one line, not a
// file; regex verbs; a stop inside a file. Every search runs under a hang guard.
#include "Logger.h"
#include "RegexReference.h"
#include "TestDir.h"
#include "XLineReaderDA.h"
#include "find/XContentFilter.h"

#include <QElapsedTimer>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <future>

using namespace zem;
using namespace zem::find;

namespace {

// A search that has not ended after this long is taken for a hang and ends the test program:
// a generous bound for the sanitizer build, not a timing expectation.
constexpr int kHangSeconds = 60;

// Runs the search on another thread and ends the test program if it never comes back.
template <typename F>
auto guarded(const char* what, F&& search) -> decltype(search())
{
    auto future = std::async(std::launch::async, std::forward<F>(search));
    if (future.wait_for(std::chrono::seconds(kHangSeconds)) != std::future_status::ready)
        qFatal("hang guard: %s did not end within %d s", what, kHangSeconds);
    return future.get();
}

XRamLayer findGuarded(XContentFilter& filter, const QByteArray& text)
{
    const QByteArray what = filter.toString().toUtf8();
    return guarded(what.constData(), [&] { return filter.find(0, text.constData(), text.size()); });
}

using Marks = std::vector<std::pair<qint64, qint64>>;

Marks marksOf(const XRamLayer& layer)
{
    Marks out;
    for (const XRam& m : layer)
        out.emplace_back(m.offset, m.offset + m.length);
    return out;
}

QString scopeName(int scope)
{
    return XContentFilter::scope_as_string(quint32(scope));
}

// Expressions that can match a line end or nothing at all.
const char* const kEdgeExpressions[] = {"\\s", "\\D+", "\\W+", "[^a-z]+", "[^ ]+", "$", "^", "x?", "\\b", "\\s*",
                                        ".*", "\\n", "^$", "\\R", "$\\n?", "[^.]*", "\\S*", "(?:\\s|\\w)*", "\\B",
                                        "(?<=\\s)", "\\w+\\s+\\w+", "b.*", "\\s+cd", "[[:space:]]+", "\\X"};

const QByteArray kTexts[] = {
    "ab\n\ncd\n",
    "",
    "\n\n\n",
    "x",
    "  lead\n\t\n trail  \n  \n",
    "One. Two!  Three?\n\n\nfour\r\nfive\r\n\r\nsix. seven.",
    "ab. cd\rlone cr\r\rnext",
    "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xD0\xBC\xD0\xB8\xD1\x80.\n\xD0\x81\xD0\xB6?\n\n"
    "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80 x.y z",
    "bad \xFF\xC3 bytes\n\n\x80\x80 a. b",
};

} // namespace

class TestContentScopes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        isolateHomes();
        Logger::setStderrEnabled(false);
    }
    void cleanupTestCase() { Logger::setStderrEnabled(true); }

    void edgeExpressionsEndAndAgreeWithUnits_data();
    void edgeExpressionsEndAndAgreeWithUnits();
    void sevenByteFileThroughTheReader_data();
    void sevenByteFileThroughTheReader();
    void cutAtAUnitEndCountsThePartInside_data();
    void cutAtAUnitEndCountsThePartInside();
    void dollarDoesNotGrowWithoutEnd();
    void emptyMatchesOverMegabytesEnd_data();
    void emptyMatchesOverMegabytesEnd();
    void matchLimitSkipsOnlyThatLine_data();
    void matchLimitSkipsOnlyThatLine();
    void matchLimitInsideABigWindowKeepsTheOtherHits();
    void manySkippedLinesAreSummedUp();
    void verbs_data();
    void verbs();
    void unknownVerbIsRefused();
    void stopInsideOneFile_data();
    void stopInsideOneFile();
    void linesCountedOnTheWayOrAfter_data();
    void linesCountedOnTheWayOrAfter();
};

void TestContentScopes::edgeExpressionsEndAndAgreeWithUnits_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expr");
    QTest::addColumn<int>("scope");
    int t = 0;
    for (const QByteArray& text : kTexts) {
        for (const char* expr : kEdgeExpressions) {
            for (int scope = 0; scope <= 2; ++scope)
                QTest::addRow("text%d %s %s", t, expr, qPrintable(scopeName(scope))) << text << QString::fromUtf8(expr) << scope;
        }
        ++t;
    }
}

void TestContentScopes::edgeExpressionsEndAndAgreeWithUnits()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expr);
    QFETCH(int, scope);
    XContentFilter f{quint32(scope)};
    QVERIFY(f.createSymbols(expr, true));
    const Marks got = marksOf(findGuarded(f, text));
    QCOMPARE(got, referenceInUnits(text, expr.toUtf8(), scope));
    QVERIFY(!f.limitHit());
}

void TestContentScopes::sevenByteFileThroughTheReader_data()
{
    QTest::addColumn<QString>("expr");
    QTest::addColumn<int>("file");
    QTest::addColumn<int>("paragraph");
    QTest::addColumn<int>("sentence");
    // "ab\n\ncd\n": two paragraphs "ab" and "cd"; the line ends lie between them.
    QTest::newRow("\\s") << "\\s" << 3 << 0 << 0;
    QTest::newRow("\\D+") << "\\D+" << 1 << 2 << 2;
    QTest::newRow("\\W+") << "\\W+" << 2 << 0 << 0;
    QTest::newRow("[^a-z]+") << "[^a-z]+" << 2 << 0 << 0;
    QTest::newRow("[^ ]+") << "[^ ]+" << 1 << 2 << 2;
    QTest::newRow("$") << "$" << 4 << 2 << 2;
    QTest::newRow("^") << "^" << 3 << 2 << 2;  // not after the last line end
}

void TestContentScopes::sevenByteFileThroughTheReader()
{
    QFETCH(QString, expr);
    QFETCH(int, file);
    QFETCH(int, paragraph);
    QFETCH(int, sentence);
    TestDir dir;
    const QString path = dir.write(QStringLiteral("seven.txt"), QByteArray("ab\n\ncd\n"));
    const int expected[] = {file, paragraph, sentence};
    for (int scope = 0; scope <= 2; ++scope) {
        XContentFilter f{quint32(scope)};
        QVERIFY(f.createSymbols(expr, true));
        XLineReaderDA reader;
        QVERIFY(reader.openFile(path, 65536, true));
        const XRamLayer layer = guarded("seven-byte file", [&] { return f.find(0, reader); });
        QCOMPARE(int(layer.size()), expected[scope]);
    }
}

void TestContentScopes::cutAtAUnitEndCountsThePartInside_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expr");
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("marks");
    // A match running past its unit is looked for again inside the unit.
    QTest::newRow("sentence b.*") << QByteArray("ab. cd") << "b.*" << 2 << "b.";
    QTest::newRow("paragraph a[^x]*") << QByteArray("ab\ncd\n\nef") << "a[^x]*" << 1 << "ab\ncd";
    QTest::newRow("file a[^x]*") << QByteArray("ab\ncd\n\nef") << "a[^x]*" << 0 << "ab\ncd\n\nef";
    QTest::newRow("paragraph two words") << QByteArray("ab cd\n\nef") << "\\w+\\s+\\w+" << 1 << "ab cd";
    // A match starting between units is dropped; the search goes on at the next unit.
    QTest::newRow("paragraph blank start") << QByteArray("ab\n\n  cd") << "\\s+cd" << 1 << "  cd";
    QTest::newRow("sentence blank start") << QByteArray("ab.  cd") << " +cd" << 2 << "";
    QTest::newRow("no unit holds both") << QByteArray("xa\n\nb") << "a\\s+b" << 1 << "";
    // Empty matches sit at either edge of their unit, not between units.
    QTest::newRow("paragraph edges") << QByteArray("ab\n\ncd") << "\\b" << 1 << "|||";
}

void TestContentScopes::cutAtAUnitEndCountsThePartInside()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expr);
    QFETCH(int, scope);
    QFETCH(QString, marks);
    XContentFilter f{quint32(scope)};
    QVERIFY(f.createSymbols(expr, true));
    const XRamLayer layer = findGuarded(f, text);
    QStringList parts;
    for (const XRam& m : layer)
        parts << QString::fromUtf8(text.mid(int(m.offset), m.length));
    QCOMPARE(parts.join(QLatin1Char('|')), marks);
}

void TestContentScopes::dollarDoesNotGrowWithoutEnd()
{
    // '$' once searched on and on, adding the same empty mark each round.
    QByteArray text;
    for (int i = 0; i < 1000; ++i)
        text += (i % 3 == 2) ? "\n" : "some words here\n";
    for (int scope = 0; scope <= 2; ++scope) {
        XContentFilter f{quint32(scope)};
        QVERIFY(f.createSymbols(QStringLiteral("$"), true));
        const XRamLayer layer = findGuarded(f, text);
        QCOMPARE(marksOf(layer), referenceInUnits(text, "$", scope));
        QVERIFY(layer.size() <= 1001);
    }
}

void TestContentScopes::emptyMatchesOverMegabytesEnd_data()
{
    QTest::addColumn<QString>("expr");
    QTest::addColumn<int>("scope");
    for (const char* expr : {"^", "\\b", "x?", "(?=o)", "(*NO_JIT)^", "(*NO_JIT)x?"})
        QTest::addRow("%s File", expr) << QString::fromUtf8(expr) << 0;
    for (const char* expr : {"^", "x?"}) {
        for (int scope = 1; scope <= 2; ++scope)
            QTest::addRow("%s %s", expr, qPrintable(scopeName(scope))) << QString::fromUtf8(expr) << scope;
    }
}

void TestContentScopes::emptyMatchesOverMegabytesEnd()
{
    // A megabyte of short lines: each empty match once cost a check of the rest of the file
    // (some 30,000 checks of half a megabyte for '^').
    QFETCH(QString, expr);
    QFETCH(int, scope);
    QByteArray text;
    text.reserve(1 << 20);
    for (int i = 0; text.size() < (1 << 20); ++i)
        text += (i % 7 == 6) ? QByteArray("\n") : QByteArray("two words. \xD0\xBE\xD0\xBA one more\n");
    XContentFilter f{quint32(scope)};
    QVERIFY(f.createSymbols(expr, true));
    const XRamLayer layer = findGuarded(f, text);
    // The reference runs (*NO_JIT) patterns through the JIT: the same matches, sooner.
    const QByteArray pattern = expr.toUtf8().replace("(*NO_JIT)", "");
    if (scope == 0) {
        RegexReference ref(pattern);
        QCOMPARE(qint64(layer.size()), qint64(ref.matches(text.constData(), text.size()).size()));
    } else {
        QCOMPARE(marksOf(layer), referenceInUnits(text, pattern, scope));
    }
}

void TestContentScopes::matchLimitSkipsOnlyThatLine_data()
{
    QTest::addColumn<int>("scope");
    QTest::newRow("File") << 0;
    QTest::newRow("Paragraph") << 1;
    QTest::newRow("Sentence") << 2;
}

void TestContentScopes::matchLimitSkipsOnlyThatLine()
{
    QFETCH(int, scope);
    // A line of 100 kB of words that does not end as the pattern wants sends it into
    // exponential backtracking.
    QByteArray words;
    while (words.size() < 100 * 1024)
        words += "word ";
    const QByteArray text = words + "!\nmatching line\nanother one\n" + words + "?\nlast\n";
    TestDir dir;
    const QString path = dir.write(QStringLiteral("evil.txt"), text);
    XContentFilter f{quint32(scope)};
    QVERIFY(f.createSymbols(QStringLiteral("^(\\w+ ?)*$"), true));
    XLineReaderDA reader;
    QVERIFY(reader.openFile(path, 65536, true));
    Logger::startCapture();
    const XRamLayer layer = guarded("match limit", [&] { return f.find(0, reader); });
    const QStringList log = Logger::capturedLines();
    Logger::stopCapture();
    QCOMPARE(f.skippedLines(), quint64(2));
    QVERIFY(f.limitHit());
    QStringList parts;
    for (const XRam& m : layer)
        parts << QString::fromUtf8(text.mid(int(m.offset), m.length));
    QCOMPARE(parts, QStringList({"matching line", "another one", "last"}));
    // Named at the default log level, with the file and the line.
    QVERIFY(Logger::isLogged(LOG_ERROR));
    const QString first = QStringLiteral("XContentFilter::find, <<<%1>>> line 1 skipped").arg(path);
    const QString second = QStringLiteral("XContentFilter::find, <<<%1>>> line 4 skipped").arg(path);
    QVERIFY2(log.filter(first).size() == 1, qPrintable(log.join(QLatin1Char('\n'))));
    QVERIFY2(log.filter(second).size() == 1, qPrintable(log.join(QLatin1Char('\n'))));
    // The next file starts with a clean count.
    f.seekHome();
    QCOMPARE(f.skippedLines(), quint64(0));
    const QByteArray fine = "aa\nbaa\n";
    QCOMPARE(int(f.find(0, fine.constData(), fine.size()).size()), 2);
}

void TestContentScopes::matchLimitInsideABigWindowKeepsTheOtherHits()
{
    // Two megabytes of good lines around one bad line: the lines of its window are searched one
    // by one, so the good lines on both sides of it still count.
    QByteArray words;
    while (words.size() < 60 * 1024)
        words += "word ";
    QByteArray text;
    int good = 0;
    while (text.size() < (1 << 20) + 4096) {
        text += "good line\n";
        ++good;
    }
    text += words + "!\n";
    while (text.size() < (2 << 20)) {
        text += "good line\n";
        ++good;
    }
    XContentFilter f(0);
    QVERIFY(f.createSymbols(QStringLiteral("^(\\w+ ?)*$"), true));
    const XRamLayer layer = findGuarded(f, text);
    QCOMPARE(f.skippedLines(), quint64(1));
    QCOMPARE(int(layer.size()), good);
}

void TestContentScopes::manySkippedLinesAreSummedUp()
{
    QByteArray words;
    while (words.size() < 20 * 1024)
        words += "word ";
    QByteArray text;
    for (int i = 0; i < 14; ++i)
        text += words + "!\nok\n";
    XContentFilter f(0);
    QVERIFY(f.createSymbols(QStringLiteral("^(\\w+ ?)*$"), true));
    Logger::startCapture();
    const XRamLayer layer = findGuarded(f, text);
    const QStringList log = Logger::capturedLines();
    Logger::stopCapture();
    QCOMPARE(int(layer.size()), 14);
    QCOMPARE(f.skippedLines(), quint64(14));
    QCOMPARE(log.filter(QStringLiteral("skipped - ")).size(), 10);
    QCOMPARE(log.filter(QStringLiteral("<<<(buffer)>>> - 4 more lines skipped")).size(), 1);
}

void TestContentScopes::verbs_data()
{
    QTest::addColumn<QString>("expr");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("expected");
    const QByteArray abc = "ab\nb cb\nxxb";
    QTest::newRow("(*NO_JIT)b") << "(*NO_JIT)b" << abc << 4;
    QTest::newRow("(*NOTEMPTY)x*") << "(*NOTEMPTY)x*" << QByteArray("abcdefg") << 0;
    QTest::newRow("(*NOTEMPTY)x* with x") << "(*NOTEMPTY)x*" << abc << 1;
    QTest::newRow("(*NOTEMPTY_ATSTART)x*") << "(*NOTEMPTY_ATSTART)x*" << abc << -1;
    QTest::newRow("(*UCP)(*UTF)\\w+") << "(*UCP)(*UTF)\\w+" << abc << 4;
    QTest::newRow("(*LF)^b") << "(*LF)^b" << QByteArray("a\rb\nb") << 1;
    QTest::newRow("(*CR)^b") << "(*CR)^b" << QByteArray("a\rb\nb") << 1;
    QTest::newRow("(*COMMIT)") << "a(*COMMIT)b|ac" << QByteArray("ac ab ac") << -1;
    QTest::newRow("(*SKIP)") << "aa(*SKIP)b|a+c" << QByteArray("aaac aab") << -1;
    QTest::newRow("(*PRUNE)(*MARK)") << "(*MARK:A)a(*PRUNE)b|." << QByteArray("abxa") << -1;
    QTest::newRow("(*FAIL)") << "a(*FAIL)|b" << abc << 4;
    QTest::newRow("(*ACCEPT)") << "a(*ACCEPT)b|c" << abc << -1;
    QTest::newRow("\\G") << "\\Gx?" << QByteArray("xxaxx") << -1;
    QTest::newRow("(*LIMIT_MATCH)") << "(*LIMIT_MATCH=100000)b" << abc << 4;
}

void TestContentScopes::verbs()
{
    // -1: as many as the plain PCRE2 loop finds.
    QFETCH(QString, expr);
    QFETCH(QByteArray, text);
    QFETCH(int, expected);
    XContentFilter f(0);
    QVERIFY2(f.createSymbols(expr, true), qPrintable(f.errorText()));
    const Marks got = marksOf(findGuarded(f, text));
    RegexReference ref(expr.toUtf8());
    const Marks want = ref.matches(text.constData(), text.size());
    QCOMPARE(got, want);
    if (expected >= 0)
        QCOMPARE(int(got.size()), expected);
}

void TestContentScopes::unknownVerbIsRefused()
{
    XContentFilter f(0);
    QVERIFY(!f.createSymbols(QStringLiteral("(*BOGUS)a"), true));
    QVERIFY(!f.errorText().isEmpty());
    QVERIFY(f.find(0, "aaa", 3).empty());
}

void TestContentScopes::stopInsideOneFile_data()
{
    QTest::addColumn<QString>("expr");
    QTest::addColumn<bool>("regex");
    QTest::newRow("regex, no literal") << "[xyz]{3}q" << true;
    QTest::newRow("regex with a literal") << "needle\\d+" << true;
    QTest::newRow("plain literal") << "needle" << true;
    QTest::newRow("terms") << "needle haystack" << false;
}

void TestContentScopes::stopInsideOneFile()
{
    // A sparse file of 8 GiB: zeros cost no disk and read fast, but far longer than the stop.
    QFETCH(QString, expr);
    QFETCH(bool, regex);
    TestDir dir;
    const QString path = dir.abs(QStringLiteral("huge.log"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("needle haystack\n");
        QVERIFY(file.resize(qint64(8) << 30));
    }
    XContentFilter f(0);
    QVERIFY(f.createSymbols(expr, regex));
    XLineReaderDA reader;
    QVERIFY(reader.openFile(path, 65536, true));
    QElapsedTimer timer;
    std::atomic<bool> stop{false};
    f.setStopCheck([&] { return stop.load(); });
    timer.start();
    auto future = std::async(std::launch::async, [&] { return f.find(0, reader); });
    QTest::qWait(50);
    stop = true;
    if (future.wait_for(std::chrono::seconds(kHangSeconds)) != std::future_status::ready)
        qFatal("hang guard: the stop was not seen inside the file");
    future.get();
    QVERIFY(f.stopped());
    // Stopped early: the reader's line count did not get near the end.
    QVERIFY(!reader.statsDone());
    f.seekHome();
    QVERIFY(!f.stopped());
}

void TestContentScopes::linesCountedOnTheWayOrAfter_data()
{
    QTest::addColumn<QString>("expr");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("fedAnyway");  // caseless with an s: the fold aliases are noted by the count
    QTest::newRow("literal") << QStringLiteral("needle") << true << 310 << false;
    QTest::newRow("expression with a literal") << QStringLiteral("ne+dle\\b") << true << 310 << false;
    QTest::newRow("expression without one") << QStringLiteral("[nN]e{2}") << true << 310 << false;
    QTest::newRow("two terms") << QStringLiteral("needle line") << false << 30310 << false;
    QTest::newRow("caseless term") << QStringLiteral("HAYS") << false << 30000 << true;
}

void TestContentScopes::linesCountedOnTheWayOrAfter()
{
    // Counted on the way or only when asked, read or mapped: the same marks and line count.
    QFETCH(QString, expr);
    QFETCH(bool, regex);
    QFETCH(int, count);
    QFETCH(bool, fedAnyway);
    QByteArray text;
    for (int i = 0; i < 30000; ++i)
        text += "line " + QByteArray::number(i) + (i % 97 ? " hays\r\n" : " needle hays\n");
    TestDir dir;
    const QString path = dir.write(QStringLiteral("t.txt"), text);
    XContentFilter f(0);
    QVERIFY(f.createSymbols(expr, regex));
    Marks expected;
    for (qint64 mapThreshold : {qint64(1) << 40, qint64(1)}) {
        for (bool onTheWay : {true, false}) {
            XLineReaderDA reader;
            reader.setMapThreshold(mapThreshold);
            reader.setCountOnTheWay(onTheWay);
            QVERIFY(reader.openFile(path, 65536, true));
            const Marks marks = marksOf(f.find(0, reader));
            f.seekHome();
            if (expected.empty())
                expected = marks;
            QCOMPARE(marks.size(), std::size_t(count));
            QCOMPARE(marks, expected);
            // Not fed, the search spent no pass on the lines.
            QCOMPARE(reader.statsDone(), onTheWay || fedAnyway);
            QCOMPARE(reader.countLines(), qint64(30000));
        }
    }
}

QTEST_GUILESS_MAIN(TestContentScopes)
#include "test_content_scopes.moc"
