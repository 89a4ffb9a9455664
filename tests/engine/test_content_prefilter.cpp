// The literal prefilter of regular expressions changes nothing but speed: generated expressions
// (literals with classes, alternations, anchors, \b, (?i), lookarounds, back references,
// quantified literals, optional groups, escapes, literals at the edges) give the same marks,
// offsets and lengths, with and without it, in every scope, over texts with multi-byte UTF-8,
// CRLF and lone CR line ends, blank-line paragraphs, KELVIN SIGN, invalid bytes and a line
// longer than the matcher's 1 MiB window; from buffers, from mapped files and from files read
// window by window.
#include "Logger.h"
#include "TestDir.h"
#include "XLineReaderDA.h"
#include "find/XContentFilter.h"
#include "find/XRegexCode.h"
#include "find/XRegexMatcher.h"

#include <QSet>
#include <QtTest>

using namespace zem;
using namespace zem::find;

namespace {

constexpr int kGenerated = 230;  // generated expressions beside the fixed ones
constexpr int kLongText = 2;     // the text with a line longer than the matcher's window

// A small deterministic generator: the same texts and expressions on every machine.
class Lcg {
public:
    explicit Lcg(quint32 seed) : m_state(seed) {}
    int below(int n)
    {
        m_state = m_state * 1103515245u + 12345u;
        return int(((m_state >> 8) & 0xFFFFFF) % quint32(n));
    }
    template <typename T, size_t N>
    const T& pick(const T (&items)[N])
    {
        return items[below(int(N))];
    }

private:
    quint32 m_state;
};

const char* const kWords[] = {
    "the", "The", "error", "Error", "ValueError", "ConnectionError", "TimeoutError", "foo", "Foo", "FOO", "bar", "foobar",
    "foo42bar", "abab", "colour", "color", "KeyError", "\xE2\x84\xAA" "eyError", "key", "x", "id=42", "a.b", "e.g.",
    "end.", "Why?", "Yes!", "(paren)", "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "\xE6\x97\xA5\xE6\x9C\xAC",
    "\xF0\x9F\x98\x80", "caf\xC3\xA9", "tab\tfoo", "Type", "TypeError", "errors", "123"};
const char* const kGaps[] = {" ", " ", " ", "  ", "\t", ", ", ". ", "! ", "? ", " - "};
const char* const kEnds[] = {"\n", "\n", "\n", "\r\n", "\r\n", "\r", "\n\n", "\r\n\r\n", "\n  \n", ".\n"};

QByteArray generatedText(quint32 seed, int lines, qint64 longLine, bool invalid)
{
    Lcg r(seed);
    QByteArray text;
    for (int line = 0; line < lines; ++line) {
        const int words = r.below(12);
        for (int w = 0; w < words; ++w) {
            text += r.pick(kWords);
            if (invalid && r.below(30) == 0)
                text += "\xFF";
            text += r.pick(kGaps);
        }
        if (longLine > 0 && line == lines / 2) {
            // One line across the matcher's window, with a few hits in the middle only.
            const qint64 target = text.size() + longLine;
            QByteArray filler;
            for (int i = 0; i < 64; ++i)
                filler += QByteArray("~~~~ ~~~~~ =_= ") + (i % 16 == 0 ? "\xD0\xBF" : "%%% ");
            while (text.size() < target) {
                text += filler;
                if (text.size() > target / 2 && text.size() < target / 2 + filler.size())
                    text += "ConnectionError foo42bar The Error ";
            }
        }
        text += r.pick(kEnds);
    }
    return text;
}

const char* const kLiterals[] = {"Error", "foo", "bar", "the", "The", "Connection", "Timeout", "Type", "key", "ab",
                                 "\\.", "e\\.g", "\xD0\xBF\xD1\x80\xD0\xB8", "\xC3\xA9", "42", "x", "ok", "id=", "!"};
const char* const kOthers[] = {"[A-Z]", "[a-z]+", "\\d+", "\\w*", "\\s", "\\s+", ".", ".*?", "\\b", "^", "$", "\\W",
                               "(?=\\w)", "(?<=\\s)", "(?!x)", "(?<!a)", "[^ ]", "\\R", "\\n", "(?:a|b)", "\\h",
                               "[[:alpha:]]", "\\p{Lu}", "\\D", "\\S", "\\X", "\\z", "\\A"};

// Repeats that read to a long line's end from every position: quadratic in the 1 MiB line,
// for the search without the prefilter above all; such expressions skip the long text.
bool readsToLineEnd(const QByteArray& e)
{
    for (const char* wide : {".", "\\D", "\\W", "\\S", "[^ ]", "\\X", "\\w", "\\h", "\\s", "[\\s\\S]"}) {
        for (const char* repeat : {"*", "+", "{"}) {
            if (e.contains(QByteArray(wide) + repeat))
                return true;
        }
    }
    return e.contains(")*") || e.contains(")+") || e.contains("){");
}
const char* const kQuantifiers[] = {"", "", "", "", "?", "+", "*", "{2}", "{0,2}", "{1,3}", "+?", "??"};

QByteArray element(Lcg& r)
{
    const QByteArray lit = r.pick(kLiterals);
    switch (r.below(12)) {
    case 0:
    case 1:
    case 2:
        return lit;
    case 3:
        return lit + r.pick(kQuantifiers);
    case 4:
        return "(?:" + lit + ")" + r.pick(kQuantifiers);
    case 5:
        return "(" + lit + ")?";
    case 6:
        return "(?:" + lit + "|" + QByteArray(r.pick(kLiterals)) + ")";
    case 7:
        return "(" + lit + ")\\s*\\1";
    default:
        return QByteArray(r.pick(kOthers)) + (r.below(3) == 0 ? r.pick(kQuantifiers) : "");
    }
}

QByteArray branch(Lcg& r)
{
    QByteArray b;
    const int elements = 1 + r.below(5);
    for (int e = 0; e < elements; ++e)
        b += element(r);
    // Literals at the edges now and then.
    if (r.below(4) == 0)
        b = QByteArray(r.pick(kLiterals)) + b;
    if (r.below(4) == 0)
        b += r.pick(kLiterals);
    return b;
}

QByteArray generatedExpression(Lcg& r)
{
    QByteArray e = r.below(5) == 0 ? "(?i)" : "";
    const int branches = r.below(4) == 0 ? 2 + r.below(3) : 1;
    for (int b = 0; b < branches; ++b)
        e += (b ? "|" : "") + branch(r);
    return e;
}

const char* const kFixed[] = {
    "[A-Z][a-z]+Error", "ConnectionError", "ConnectionError|TimeoutError", "(?i)connectionerror", "(?i)keyerror",
    "(?i)key", "foo\\d+bar", "\\bfoo\\b", "^foo", "bar$", "Error$", "^Error", "foo\\s+bar", "foo[^x]*bar",
    "(?i)foo\\s*$", "Error\\R", "\\.\\s+The", "colou?r", "(?:Type)?Error", "Type(?:Error)?", "(?<=\\s)Error",
    "(?<!Key)Error", "Error(?=s)", "Error(?!s)", "(foo)\\1", "(?i)(foo)\\s*\\1", "e\\.g\\.", "[\\x{400}-\\x{4FF}]+\\x{442}",
    "\xD0\xBF\xD1\x80\xD0\xB8\\w+", "caf\xC3\xA9|caf(?:e|x)", "\\w+Error\\b", "(?i)^the\\b.*error",
    "The\\s[\\s\\S]*?Error", "ok|x|id=|42|the|The|foo|bar", "Error\\z", "\\Afoo", "\\s+!", "!\\s*$", "(?i)\\bTHE\\b"};

QList<QByteArray> expressions()
{
    QList<QByteArray> list;
    QSet<QByteArray> seen;
    auto add = [&](const QByteArray& e) {
        if (seen.contains(e))
            return false;
        XContentFilter probe(0);
        if (!probe.createSymbols(QString::fromUtf8(e), true))
            return false;
        seen.insert(e);
        list << e;
        return true;
    };
    for (const char* e : kFixed)
        add(e);
    Lcg r(20261208);
    for (int made = 0; made < kGenerated;)
        made += add(generatedExpression(r)) ? 1 : 0;
    return list;
}

struct Mark {
    qint64 offset;
    qint32 length;
    bool operator==(const Mark& o) const { return offset == o.offset && length == o.length; }
};
using Marks = std::vector<Mark>;

Marks marksOf(const XRamLayer& layer)
{
    Marks out;
    for (const XRam& m : layer)
        out.push_back({m.offset, m.length});
    return out;
}

QString firstDifference(const Marks& with, const Marks& without)
{
    size_t i = 0;
    while (i < with.size() && i < without.size() && with[i] == without[i])
        ++i;
    auto show = [i](const Marks& m) {
        return i < m.size() ? QStringLiteral("[%1+%2]").arg(m[i].offset).arg(m[i].length) : QStringLiteral("(none)");
    };
    return QStringLiteral("%1 vs %2 marks; at #%3: with %4, without %5")
        .arg(with.size()).arg(without.size()).arg(i).arg(show(with), show(without));
}

Marks marksInWindows(XContentFilter& filter, const QString& path)
{
    XLineReaderDA reader;
    reader.setWindowThreshold(1);
    reader.setWindowReadSize(4096);
    // Only the context the expression asks for: a look-behind that reaches further would show.
    reader.setWindowContext(filter.windowContext());
    if (!reader.openFile(path, 65536, true) || !reader.isWindowed())
        return Marks{{-1, -1}};
    filter.seekHome();
    return marksOf(filter.find(0, reader));
}

} // namespace

class TestContentPrefilter : public QObject {
    Q_OBJECT

    TestDir m_dir;
    QList<QByteArray> m_texts;
    QStringList m_paths;

private Q_SLOTS:
    void initTestCase()
    {
        isolateHomes();
        Logger::setStderrEnabled(false);
        m_texts << generatedText(1, 200, 0, false) << generatedText(2, 200, 0, true)
                << generatedText(3, 60, XRegexMatcher::kWindow + XRegexMatcher::kWindow / 8, false);
        for (int i = 0; i < m_texts.size(); ++i)
            m_paths << m_dir.write(QStringLiteral("t%1.txt").arg(i), m_texts[i]);
    }
    void cleanupTestCase() { Logger::setStderrEnabled(true); }

    void expressionsUseEveryKindOfFilter()
    {
        // Enough expressions, and most of them really filtered, in both ways.
        const QList<QByteArray> list = expressions();
        QVERIFY(list.size() >= 200);
        int lineFilter = 0, unitsOnly = 0, alternatives = 0, pure = 0;
        for (const QByteArray& e : list) {
            const auto code = XRegexCode::compile(e, XRegexCode::REGEX, nullptr);
            lineFilter += code->lineFilter ? 1 : 0;
            unitsOnly += !code->lineFilter && !code->literals.empty() ? 1 : 0;
            alternatives += code->literals.size() > 1 ? 1 : 0;
            pure += code->pureLiteral ? 1 : 0;
        }
        QVERIFY2(lineFilter >= 60, qPrintable(QString::number(lineFilter)));
        QVERIFY2(unitsOnly >= 30, qPrintable(QString::number(unitsOnly)));
        QVERIFY2(alternatives >= 10, qPrintable(QString::number(alternatives)));
        QVERIFY2(pure >= 5, qPrintable(QString::number(pure)));
    }

    void sameMarksWithAndWithout_data()
    {
        QTest::addColumn<QByteArray>("expr");
        int i = 0;
        for (const QByteArray& e : expressions())
            QTest::addRow("%03d %s", i++, e.constData()) << e;
    }

    void sameMarksWithAndWithout()
    {
        QFETCH(QByteArray, expr);
        for (int t = 0; t < m_texts.size(); ++t) {
            const QByteArray& text = m_texts[t];
            if (t == kLongText && readsToLineEnd(expr))
                continue;
            for (quint32 scope = 0; scope <= 2; ++scope) {
                XContentFilter with(scope), without(scope);
                QVERIFY(with.createSymbols(QString::fromUtf8(expr), true));
                QVERIFY(without.createSymbols(QString::fromUtf8(expr), true));
                without.setLiteralPrefilter(false);
                const Marks a = marksOf(with.find(0, text.constData(), text.size()));
                const Marks b = marksOf(without.find(0, text.constData(), text.size()));
                QVERIFY2(a == b, qPrintable(QStringLiteral("text %1, scope %2: %3").arg(t).arg(scope).arg(firstDifference(a, b))));
                QCOMPARE(with.skippedLines(), without.skippedLines());
                if (scope != 0 && t == kLongText)
                    continue;
                // From a mapped file the line count runs along with the literal scan.
                XLineReaderDA reader;
                reader.setMapThreshold(1);
                QVERIFY(reader.openFile(m_paths[t], 65536, true));
                with.seekHome();
                const Marks c = marksOf(with.find(0, reader));
                QVERIFY2(c == b, qPrintable(QStringLiteral("text %1, scope %2, file: %3").arg(t).arg(scope).arg(firstDifference(c, b))));
                if (!with.searchesInWindows())
                    continue;
                // Read in small windows of whole lines: the same marks at the file's offsets.
                const Marks d = marksInWindows(with, m_paths[t]);
                QVERIFY2(d == b, qPrintable(QStringLiteral("text %1, scope %2, windows: %3").arg(t).arg(scope).arg(firstDifference(d, b))));
            }
        }
    }

    void windowsForTheRightExpressions()
    {
        // Windows only where a match and its look-arounds stay within its line.
        struct Case {
            const char* expr;
            bool regEx;
            quint32 scope;
            bool windows;
        };
        const Case cases[] = {
            {"ConnectionError", true, 0, true},     {"ConnectionError", true, 1, true},
            {"[A-Z][a-z]+Error", true, 0, true},    {"[A-Z][a-z]+Error", true, 1, false},
            {"(?<!Key)Error", true, 0, true},      {"\\GError", true, 0, false},
            {"foo\\s+bar", true, 0, false},        {"[a-z]+", true, 0, false},
            {"(?i)keyerror", true, 0, false},       {"error", false, 0, true},
            {"error", false, 1, true},              {"error value", false, 0, false},
            {"\"connection error\"", false, 0, true}, {"\"end. The\"", false, 2, false}, {"e.g.", false, 2, true},
        };
        for (const Case& c : cases) {
            XContentFilter f(c.scope);
            QVERIFY(f.createSymbols(QString::fromLatin1(c.expr), c.regEx));
            QVERIFY2(f.searchesInWindows() == c.windows, c.expr);
            f.setLiteralPrefilter(false);
            QVERIFY(!c.regEx || !f.searchesInWindows());
        }
    }

    void termsInWindows_data()
    {
        QTest::addColumn<QString>("expr");
        for (const char* e : {"error", "ValueError", "keyerror", "Error", "x", "caf\xC3\xA9", "\xD0\xBF\xD1\x80\xD0\xB8", "\"foo bar\"", "id=42"})
            QTest::newRow(e) << QString::fromUtf8(e);
    }

    void termsInWindows()
    {
        // Simple expressions, KELVIN SIGN in some windows: the same marks as from the whole file.
        QFETCH(QString, expr);
        for (int t = 0; t < m_texts.size(); ++t) {
            for (quint32 scope = 0; scope <= 1; ++scope) {
                XContentFilter f(scope);
                QVERIFY(f.createSymbols(expr, false));
                QVERIFY(f.searchesInWindows());
                const Marks whole = marksOf(f.find(0, m_texts[t].constData(), m_texts[t].size()));
                const Marks windows = marksInWindows(f, m_paths[t]);
                QVERIFY2(windows == whole, qPrintable(QStringLiteral("text %1: %2").arg(t).arg(firstDifference(windows, whole))));
            }
        }
    }

    void utf16AndLongLinesLeaveWindows()
    {
        // A UTF-16 text and a line longer than a window allows are searched whole instead.
        QByteArray utf16("\xFF\xFE", 2);
        for (int i = 0; i < 3000; ++i)
            utf16 += QByteArray("E\0r\0r\0o\0r\0\n\0", 12);
        const QString path = m_dir.write(QStringLiteral("u16.txt"), utf16);
        XContentFilter f(0);
        QVERIFY(f.createSymbols(QStringLiteral("Error"), true));
        QVERIFY(f.searchesInWindows());
        const Marks marks = marksInWindows(f, path);
        QCOMPARE(int(marks.size()), 3000);
        QCOMPARE(marks[1].offset, qint64(2 + 12));
        QCOMPARE(marks[1].length, 10);
    }

    void fromAnOffset()
    {
        // A search that starts inside the text: the prefilter starts there too.
        const QByteArray& text = m_texts[0];
        for (const char* e : {"[A-Z][a-z]+Error", "foo\\s+bar", "Error|bar"}) {
            for (quint32 scope = 0; scope <= 2; ++scope) {
                for (qint64 from : {qint64(1), qint64(777), qint64(text.size() / 2)}) {
                    XContentFilter with(scope), without(scope);
                    QVERIFY(with.createSymbols(QString::fromLatin1(e), true));
                    QVERIFY(without.createSymbols(QString::fromLatin1(e), true));
                    without.setLiteralPrefilter(false);
                    QVERIFY(marksOf(with.find(from, text.constData(), text.size()))
                            == marksOf(without.find(from, text.constData(), text.size())));
                }
            }
        }
    }

    void stopCheckWhileSkipping()
    {
        // A long text without the literal: the literal scan alone runs, and still asks.
        const QByteArray text(8 * 1024 * 1024, 'a');
        for (const char* e : {"[A-Z]Error", "Error\\s+x", "Error|Timeout"}) {
            XContentFilter f(0);
            QVERIFY(f.createSymbols(QString::fromLatin1(e), true));
            int asked = 0;
            f.setStopCheck([&asked] { return ++asked >= 3; });
            QVERIFY(f.find(0, text.constData(), text.size()).empty());
            QVERIFY(f.stopped());
            QCOMPARE(asked, 3);
        }
    }

    void switchTravelsWithCopies()
    {
        XContentFilter f(1);
        QVERIFY(f.literalPrefilter());
        f.setLiteralPrefilter(false);
        const XContentFilter copy(f);
        QVERIFY(!copy.literalPrefilter());
    }
};

QTEST_GUILESS_MAIN(TestContentPrefilter)
#include "test_content_prefilter.moc"
