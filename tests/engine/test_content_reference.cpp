// Content matching against independent references: scopes against a plain walk over the whole
// text, the regular expression line filter against matching the whole buffer, and the SIMD
// literal searcher against a naive search.
#include "XSimd.h"
#include "find/XContentFilter.h"
#include "find/XLiteralSearcher.h"
#include "find/XRegexCode.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

using namespace zem;
using namespace zem::find;

namespace {

XRamLayer runOn(const QByteArray& text, const QString& expr, bool regex, int scope, bool prefilter = true)
{
    XContentFilter f{quint32(scope)};
    f.setLiteralPrefilter(prefilter);
    if (!f.createSymbols(expr, regex))
        return XRamLayer();
    return f.find(0, text.constData(), text.size());
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

class TestContentReference : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void scopesAgainstReference_data();
    void scopesAgainstReference();
    void lineFilterAgreesWithWholeBuffer_data();
    void lineFilterAgreesWithWholeBuffer();
    void literalSearcherAgainstNaive_data();
    void literalSearcherAgainstNaive();
};

void TestContentReference::scopesAgainstReference_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<int>("seed");
    for (int scope = 0; scope <= 2; ++scope)
        for (int seed = 1; seed <= 40; ++seed)
            QTest::newRow(qPrintable(QStringLiteral("scope %1 seed %2").arg(scope).arg(seed))) << scope << seed;
}

void TestContentReference::scopesAgainstReference()
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

void TestContentReference::lineFilterAgreesWithWholeBuffer_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::newRow("class word Error") << "[A-Z][a-z]+Error";
    QTest::newRow("word boundaries") << "\\bfoo\\b";
    QTest::newRow("anchors") << "^foo";
    QTest::newRow("end anchor") << "bar$";
    QTest::newRow("caseless") << "(?i)foo bar";
    QTest::newRow("lookbehind") << "(?<=x)foo";
    QTest::newRow("word class") << "\\w+Error";
    QTest::newRow("optional group") << "Type(?:Error)?";
    QTest::newRow("caseless with k, kelvin signs") << "(?i)keyerror";
    QTest::newRow("dot") << "o.B";
    QTest::newRow("lookahead at line end") << "oo(?!.)";
    QTest::newRow("non-ascii") << QString::fromUtf8("\xC3\xA9+_");
    QTest::newRow("alternatives") << "foo\\b|Type|bar";
    QTest::newRow("caseless alternatives") << "(?i)foo|keyError";
}

void TestContentReference::lineFilterAgreesWithWholeBuffer()
{
    QFETCH(QString, pattern);
    QVERIFY(XRegexCode::compile(pattern.toUtf8(), XRegexCode::REGEX, nullptr)->lineFilter);
    QRandomGenerator rng(7);
    static const char* const pieces[] = {"foo", "bar", "Foo", "BAR", "x", " ", "\n", "\r\n", "\r", "Type", "Error",
                                         "error", "\xff", "\xc3\xa9", "_", "\xE2\x84\xAA", "oo", "KeyError", "eyError"};
    for (int round = 0; round < 30; ++round) {
        QByteArray text;
        for (int i = 0; i < 400; ++i)
            text += pieces[rng.bounded(int(sizeof(pieces) / sizeof(pieces[0])))];
        for (int scope = 0; scope <= 2; ++scope) {
            const XRamLayer a = runOn(text, pattern, true, scope);
            const XRamLayer b = runOn(text, pattern, true, scope, false);
            QCOMPARE(a.marks(), b.marks());
        }
    }
}

void TestContentReference::literalSearcherAgainstNaive_data()
{
    QTest::addColumn<bool>("avx2");
    QTest::addColumn<bool>("caseless");
    QTest::newRow("avx2 exact") << true << false;
    QTest::newRow("avx2 caseless") << true << true;
    QTest::newRow("sse2 exact") << false << false;
    QTest::newRow("sse2 caseless") << false << true;
}

void TestContentReference::literalSearcherAgainstNaive()
{
    // Needles of every length up to past two vectors, haystacks whose ends fall on every
    // position of a vector step, matches right at the end.
    QFETCH(bool, avx2);
    QFETCH(bool, caseless);
    simd_allow_avx2(avx2);
    QRandomGenerator rng(99);
    static const char alphabet[] = "aAbB@`[{ \n\xC3\xA9zZ";
    for (int round = 0; round < 400; ++round) {
        const int m = 1 + int(rng.bounded(70));
        QByteArray needle;
        for (int i = 0; i < m; ++i)
            needle += alphabet[rng.bounded(int(sizeof(alphabet) - 1))];
        QByteArray hay;
        const int n = int(rng.bounded(300));
        while (hay.size() < n) {
            if (rng.bounded(8) == 0)
                hay += rng.bounded(2) ? needle.toUpper() : needle;
            else
                hay += alphabet[rng.bounded(int(sizeof(alphabet) - 1))];
        }
        if (rng.bounded(3) == 0)
            hay += needle;
        const XLiteralSearcher searcher(needle, caseless);
        auto asciiLower = [caseless](QByteArray b) {
            for (char& c : b)
                c = (caseless && c >= 'A' && c <= 'Z') ? char(c + 32) : c;
            return b;
        };
        const QByteArray h = asciiLower(hay);
        const QByteArray k = asciiLower(needle);
        const qint64 from = hay.isEmpty() ? 0 : qint64(rng.bounded(uint(hay.size())));
        QCOMPARE(searcher.find(hay.constData(), hay.size(), from), qint64(h.indexOf(k, int(from))));
    }
    simd_allow_avx2(true);
}

QTEST_GUILESS_MAIN(TestContentReference)
#include "test_content_reference.moc"
