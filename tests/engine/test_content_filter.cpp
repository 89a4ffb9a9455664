// The content filter: terms and regular expressions, scopes, hit counts, hostile input.
#include "Logger.h"
#include "XLineReaderDA.h"
#include "XSimd.h"
#include "find/XContentFilter.h"
#include "find/XRegexCode.h"
#include "TestDir.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
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

QString marksText(const QByteArray& text, const XRamLayer& layer)
{
    QStringList parts;
    for (const XRam& m : layer)
        parts << QString::fromUtf8(text.mid(int(m.offset), m.length));
    return parts.join(QLatin1Char('|'));
}

// Reference for scopes: units found by walking the whole text, terms by plain comparison.
struct Unit {
    int start, end;
};
bool isSpaceByte(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

std::vector<Unit> referenceUnits(const QByteArray& t, int scope)
{
    std::vector<Unit> paragraphs;
    if (scope == 0) {
        paragraphs.push_back({0, int(t.size())});
        return paragraphs;
    }
    // Lines with their ends.
    struct Line {
        int start, end;
        bool blank;
    };
    std::vector<Line> lines;
    int s = 0;
    for (int i = 0; i <= t.size(); ++i) {
        if (i == t.size() || t[i] == '\n' || t[i] == '\r') {
            bool blank = true;
            for (int k = s; k < i; ++k)
                blank = blank && (t[k] == ' ' || t[k] == '\t' || t[k] == '\f' || t[k] == '\v');
            if (!(i == t.size() && s == i))
                lines.push_back({s, i, blank});
            if (i < t.size() && t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n')
                ++i;
            s = i + 1;
        }
    }
    for (size_t k = 0; k < lines.size();) {
        if (lines[k].blank) {
            ++k;
            continue;
        }
        const int start = lines[k].start;
        int end = lines[k].end;
        while (k + 1 < lines.size() && !lines[k + 1].blank)
            end = lines[++k].end;
        ++k;
        paragraphs.push_back({start, end});
    }
    if (scope == 1)
        return paragraphs;
    std::vector<Unit> sentences;
    for (const Unit& p : paragraphs) {
        int i = p.start;
        while (i < p.end) {
            while (i < p.end && isSpaceByte(t[i]))
                ++i;
            if (i >= p.end)
                break;
            const int st = i;
            int en = p.end;
            for (; i < p.end; ++i) {
                const char c = t[i];
                if ((c == '.' || c == '!' || c == '?') && (i + 1 == p.end || isSpaceByte(t[i + 1]))) {
                    en = ++i;
                    break;
                }
            }
            while (en > st && isSpaceByte(t[en - 1]))
                --en;
            sentences.push_back({st, en});
        }
    }
    return sentences;
}

// Marks of ASCII terms (caseless, non-overlapping per term) inside units holding all terms.
QList<QPair<int, int>> referenceMarks(const QByteArray& text, const QList<QByteArray>& terms, int scope)
{
    const QByteArray lower = text.toLower();
    QList<QPair<int, int>> marks;
    for (const Unit& u : referenceUnits(text, scope)) {
        QList<QPair<int, int>> unitMarks;
        bool all = true;
        for (int t = 0; t < terms.size(); ++t) {
            const QByteArray term = terms[t].toLower();
            bool any = false;
            // Occurrences over the whole text (as a search does), kept when inside the unit.
            for (int pos = lower.indexOf(term); pos >= 0; pos = lower.indexOf(term, pos + term.size())) {
                if (pos >= u.start && pos + term.size() <= u.end) {
                    unitMarks << qMakePair(pos, t);
                    any = true;
                }
            }
            all = all && any;
        }
        if (!all)
            continue;
        std::sort(unitMarks.begin(), unitMarks.end());
        marks << unitMarks;
    }
    return marks;
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
    void scopesAgainstReference_data();
    void scopesAgainstReference();
    void regexErrors_data();
    void regexErrors();
    void matchLimitStopsOnlyThatFile();
    void binaryFlag_data();
    void binaryFlag();
    void lineFilterAgreesWithWholeBuffer_data();
    void lineFilterAgreesWithWholeBuffer();
    void regexAnalysis_data();
    void regexAnalysis();
    void copiesAreIndependent();
    void findFromOffset();
    void textForms();
    void emptyAndInvalidInput();
    void fileTruncatedWhileMapped();
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

void TestContentFilter::scopesAgainstReference_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<int>("seed");
    for (int scope = 0; scope <= 2; ++scope)
        for (int seed = 1; seed <= 40; ++seed)
            QTest::newRow(qPrintable(QStringLiteral("scope %1 seed %2").arg(scope).arg(seed))) << scope << seed;
}

void TestContentFilter::scopesAgainstReference()
{
    QFETCH(int, scope);
    QFETCH(int, seed);
    QRandomGenerator rng{quint32(seed)};
    static const char* const pieces[] = {"foo", "Bar", "baz", "qux", " ", " ", " ", ". ", "! ", "?", ".", "\n",
                                         "\n\n", "\r\n", "\r\n\r\n", " \t\n", "\r", "x", "FOO", "e.g.", "  "};
    QByteArray text;
    const int count = 20 + int(rng.bounded(300));
    for (int i = 0; i < count; ++i)
        text += pieces[rng.bounded(int(sizeof(pieces) / sizeof(pieces[0])))];
    const QList<QList<QByteArray>> termSets = {{"foo"}, {"foo", "bar"}, {"baz", "qux", "x"}, {"bar", "o b"}, {"a"}};
    for (const QList<QByteArray>& terms : termSets) {
        QStringList quoted;
        for (const QByteArray& t : terms)
            quoted << QLatin1Char('"') + QString::fromLatin1(t) + QLatin1Char('"');
        const XRamLayer layer = runOn(text, quoted.join(QLatin1Char(' ')), false, scope);
        const QList<QPair<int, int>> expected = referenceMarks(text, terms, scope);
        QList<QPair<int, int>> got;
        for (const XRam& m : layer)
            got << qMakePair(int(m.offset), int(m.category));
        if (got != expected)
            qWarning() << "text" << text << "terms" << terms;
        QCOMPARE(got, expected);
        if (terms.size() == 1) {
            // The same term as a caseless regular expression marks the same places.
            const XRamLayer rx = runOn(text, QStringLiteral("(?i)") + QRegularExpression::escape(QString::fromLatin1(terms[0])), true, scope);
            QList<QPair<int, int>> gotRx;
            for (const XRam& m : rx)
                gotRx << qMakePair(int(m.offset), int(m.category));
            QCOMPARE(gotRx, expected);
        }
    }
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

void TestContentFilter::matchLimitStopsOnlyThatFile()
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
    QCOMPARE(int(layer.size()), 1);  // "aaa" on the first line, then nothing more
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

void TestContentFilter::lineFilterAgreesWithWholeBuffer_data()
{
    QTest::addColumn<QString>("fast");
    QTest::addColumn<QString>("slow");  // same meaning, written so that no literal is taken out
    QTest::newRow("class word Error") << "[A-Z][a-z]+Error" << "(?:[A-Z][a-z]+Error)";
    QTest::newRow("word boundaries") << "\\bfoo\\b" << "(?:\\bfoo\\b)";
    QTest::newRow("anchors") << "^foo" << "(?:^foo)";
    QTest::newRow("end anchor") << "bar$" << "(?:bar$)";
    QTest::newRow("caseless") << "(?i)foo bar" << "(?i)(?:foo bar)";
    QTest::newRow("lookbehind") << "(?<=x)foo" << "(?:(?<=x)foo)";
    QTest::newRow("word class") << "\\w+Error" << "(?:\\w+Error)";
    QTest::newRow("optional group") << "Type(?:Error)?" << "(?:Type(?:Error)?)";
    QTest::newRow("caseless with k, kelvin signs") << "(?i)keyerror" << "(?i)(?:keyerror)";
    QTest::newRow("dot") << "o.B" << "(?:o.B)";
    QTest::newRow("lookahead at line end") << "oo(?!.)" << "(?:oo(?!.))";
    QTest::newRow("non-ascii") << QString::fromUtf8("\xC3\xA9+_") << QString::fromUtf8("(?:\xC3\xA9+_)");
}

void TestContentFilter::lineFilterAgreesWithWholeBuffer()
{
    QFETCH(QString, fast);
    QFETCH(QString, slow);
    QVERIFY(XRegexCode::compile(fast.toUtf8(), XRegexCode::REGEX, nullptr)->lineFilter);
    QVERIFY(!XRegexCode::compile(slow.toUtf8(), XRegexCode::REGEX, nullptr)->lineFilter);
    QRandomGenerator rng(7);
    static const char* const pieces[] = {"foo", "bar", "Foo", "BAR", "x", " ", "\n", "\r\n", "\r", "Type", "Error",
                                         "error", "\xff", "\xc3\xa9", "_", "\xE2\x84\xAA", "oo", "KeyError", "eyError"};
    for (int round = 0; round < 30; ++round) {
        QByteArray text;
        for (int i = 0; i < 400; ++i)
            text += pieces[rng.bounded(int(sizeof(pieces) / sizeof(pieces[0])))];
        for (int scope = 0; scope <= 2; ++scope) {
            const XRamLayer a = runOn(text, fast, true, scope);
            const XRamLayer b = runOn(text, slow, true, scope);
            QCOMPARE(a.marks(), b.marks());
        }
    }
}

void TestContentFilter::regexAnalysis_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QByteArray>("literal");
    QTest::addColumn<bool>("lineSafe");
    QTest::addColumn<bool>("pure");
    QTest::newRow("pure literal") << "hello" << QByteArray("hello") << true << true;
    QTest::newRow("escaped dot") << "a\\.b" << QByteArray("a.b") << true << true;
    QTest::newRow("class prefix") << "[A-Z][a-z]+Error" << QByteArray("Error") << true << false;
    QTest::newRow("optional char") << "colou?r" << QByteArray("colo") << true << false;
    QTest::newRow("plus keeps one") << "ab+c" << QByteArray("ab") << true << false;
    QTest::newRow("zero repeat") << "x{0,3}yz" << QByteArray("yz") << true << false;
    QTest::newRow("alternation") << "foo|bar" << QByteArray() << true << false;
    QTest::newRow("white space class") << "foo\\s+bar" << QByteArray() << false << false;
    QTest::newRow("negated class") << "foo[^x]bar" << QByteArray() << false << false;
    QTest::newRow("dotall") << "(?s)foo.bar" << QByteArray() << false << false;
    QTest::newRow("caseless") << "(?i)hello" << QByteArray("hello") << true << false;
    QTest::newRow("verb") << "(*CR)foo" << QByteArray() << false << false;
    QTest::newRow("group skipped") << "(abc)+defg" << QByteArray("defg") << true << false;
    QTest::newRow("escaped range over line ends") << "[\\t-\\r]foo" << QByteArray() << false << false;
    QTest::newRow("control range over line ends") << QString::fromLatin1("[\x01-z]foo") << QByteArray() << false << false;
    QTest::newRow("printable range") << "[ -~]+foo" << QByteArray("foo") << true << false;
    QTest::newRow("quoted caseless non-ascii") << QString::fromUtf8("(?i)\\Qab\xC3\xA9" "cd\\E") << QByteArray("ab") << true << false;
    QTest::newRow("utf-8 literal") << QString::fromUtf8("привет") << QString::fromUtf8("привет").toUtf8() << true << true;
}

void TestContentFilter::regexAnalysis()
{
    QFETCH(QString, pattern);
    QFETCH(QByteArray, literal);
    QFETCH(bool, lineSafe);
    QFETCH(bool, pure);
    const XRegexCode::Analysis a = XRegexCode::analyze(pattern.toUtf8());
    QCOMPARE(a.lineSafe, lineSafe);
    if (lineSafe)
        QCOMPARE(a.literal, literal);
    QCOMPARE(a.pure, pure);
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

QTEST_GUILESS_MAIN(TestContentFilter)
#include "test_content_filter.moc"
