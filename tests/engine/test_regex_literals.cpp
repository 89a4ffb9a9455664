// The quick look at regular expressions that decides on the literal prefilter: which literals
// it takes out, and that it takes none where a literal could lose hits.
#include "find/XRegexCode.h"
#include "find/XRegexLiterals.h"

#include <QtTest>

using namespace zem::find;

Q_DECLARE_METATYPE(QList<QByteArray>)

class TestRegexLiterals : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void literals_data()
    {
        QTest::addColumn<QByteArray>("pattern");
        QTest::addColumn<QList<QByteArray>>("literals");
        QTest::addColumn<bool>("caseless");
        QTest::addColumn<bool>("pure");
        using L = QList<QByteArray>;
        QTest::newRow("plain literal") << QByteArray("hello") << L{"hello"} << false << true;
        QTest::newRow("escaped dot") << QByteArray("a\\.b") << L{"a.b"} << false << true;
        QTest::newRow("class prefix") << QByteArray("[A-Z][a-z]+Error") << L{"Error"} << false << false;
        QTest::newRow("digits between") << QByteArray("foo\\d+bar") << L{"foo"} << false << false;
        QTest::newRow("longer after digits") << QByteArray("fo\\d+barz") << L{"barz"} << false << false;
        QTest::newRow("alternation") << QByteArray("ConnectionError|TimeoutError") << L{"ConnectionError", "TimeoutError"}
                                     << false << false;
        QTest::newRow("alternation of patterns") << QByteArray("\\bfoo\\d|[a-z]+Bar") << L{"foo", "Bar"} << false << false;
        QTest::newRow("optional char") << QByteArray("colou?r") << L{"colo"} << false << false;
        QTest::newRow("star char") << QByteArray("abcx*yz") << L{"abc"} << false << false;
        QTest::newRow("plus keeps one") << QByteArray("ab+c") << L{"ab"} << false << false;
        QTest::newRow("zero repeat") << QByteArray("x{0,3}yz") << L{"yz"} << false << false;
        QTest::newRow("exact repeat") << QByteArray("a{2}bc") << L{"abc"} << false << false;
        QTest::newRow("one repeat") << QByteArray("a{1}bc") << L{"abc"} << false << true;
        QTest::newRow("group joins") << QByteArray("(?:Type)Error") << L{"TypeError"} << false << true;
        QTest::newRow("capturing group joins") << QByteArray("(Type)Error\\d") << L{"TypeError"} << false << false;
        QTest::newRow("named group joins") << QByteArray("(?<n>Key)Error\\k<n>") << L{"KeyError"} << false << false;
        QTest::newRow("repeated group touches its neighbours") << QByteArray("(abc)+defg") << L{"abcdefg"} << false << false;
        QTest::newRow("optional group") << QByteArray("Type(?:Error)?") << L{"Type"} << false << false;
        QTest::newRow("group with alternatives") << QByteArray("ab(c|d)efg") << L{"efg"} << false << false;
        QTest::newRow("group ends join") << QByteArray("xy(?:z\\d+ab)cd") << L{"abcd"} << false << false;
        QTest::newRow("lookbehind is no literal") << QByteArray("(?<=foo)bar") << L{"bar"} << false << false;
        QTest::newRow("lookahead is no literal") << QByteArray("ba(?=foolish)") << L{"ba"} << false << false;
        QTest::newRow("back reference breaks the run") << QByteArray("(a)\\1bcd") << L{"bcd"} << false << false;
        QTest::newRow("octal or reference digits") << QByteArray("ab\\12cd") << L{"ab"} << false << false;
        QTest::newRow("hex escape breaks the run") << QByteArray("\\x{41}bcd") << L{"bcd"} << false << false;
        QTest::newRow("property") << QByteArray("\\p{Lu}+end") << L{"end"} << false << false;
        QTest::newRow("posix class") << QByteArray("[[:alpha:]]foo") << L{"foo"} << false << false;
        QTest::newRow("class with bracket") << QByteArray("[]x]foo") << L{"foo"} << false << false;
        QTest::newRow("caseless") << QByteArray("(?i)hello") << L{"hello"} << true << true;
        QTest::newRow("caseless non-ascii breaks the run")
            << QByteArray("(?i)stra\xC3\x9F" "e") << L{"stra"} << true << false;
        QTest::newRow("utf-8 literal") << QByteArray("\xD0\xBF\xD1\x80\xD0\xB8") << L{"\xD0\xBF\xD1\x80\xD0\xB8"} << false << true;
        QTest::newRow("utf-8 repeated") << QByteArray("\xC3\xA9+x") << L{"\xC3\xA9x"} << false << false;
        QTest::newRow("crossing lines") << QByteArray("foo\\s+bar") << L{"foo"} << false << false;
        QTest::newRow("literal at the edges") << QByteArray("^Error: .*$") << L{"Error: "} << false << false;
    }
    void literals()
    {
        QFETCH(QByteArray, pattern);
        QFETCH(QList<QByteArray>, literals);
        QFETCH(bool, caseless);
        QFETCH(bool, pure);
        const XRegexLiterals a = XRegexLiterals::analyze(pattern);
        QCOMPARE(a.literals(), literals);
        QCOMPARE(a.caseless(), caseless);
        QCOMPARE(a.pure(), pure);
    }

    void noLiteral_data()
    {
        QTest::addColumn<QByteArray>("pattern");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("classes only") << QByteArray("[a-z]+\\d");
        QTest::newRow("empty branch") << QByteArray("foo|");
        QTest::newRow("branch without literal") << QByteArray("foo|\\d+");
        QTest::newRow("too many branches") << QByteArray("a1|b1|c1|d1|e1|f1|g1|h1|i1");
        QTest::newRow("optional literal") << QByteArray("(?:foo)?\\d");
        QTest::newRow("star on group") << QByteArray("(foo)*");
        QTest::newRow("extended") << QByteArray("(?x)f o o");
        QTest::newRow("inline caseless later") << QByteArray("foo(?i)bar");
        QTest::newRow("caseless group") << QByteArray("(?i:foo)bar");
        QTest::newRow("dotall") << QByteArray("(?s)foo.bar");
        QTest::newRow("multiline option") << QByteArray("(?m)^foo");
        QTest::newRow("quoted") << QByteArray("\\Qfoo\\E");
        QTest::newRow("keep out") << QByteArray("foo\\Kbar");
        QTest::newRow("start of attempt") << QByteArray("\\Gfoo");
        QTest::newRow("code unit") << QByteArray("foo\\Cbar");
        QTest::newRow("verb") << QByteArray("(*CR)foo");
        QTest::newRow("verb inside") << QByteArray("foo(*SKIP)bar");
        QTest::newRow("comment") << QByteArray("foo(?#x)bar");
        QTest::newRow("recursion") << QByteArray("foo(?R)?bar");
        QTest::newRow("brace that is not a repeat") << QByteArray("foo{,3}");
        QTest::newRow("named character") << QByteArray("foo\\N{U+41}");
        QTest::newRow("unbalanced") << QByteArray("foo)bar");
        QTest::newRow("trailing backslash") << QByteArray("foo\\");
        QTest::newRow("only assertions") << QByteArray("^$");
    }
    void noLiteral()
    {
        QFETCH(QByteArray, pattern);
        QVERIFY(XRegexLiterals::analyze(pattern).literals().isEmpty());
        QVERIFY(!XRegexLiterals::analyze(pattern).pure());
    }

    void lineSafety_data()
    {
        QTest::addColumn<QByteArray>("pattern");
        QTest::addColumn<bool>("lineSafe");
        QTest::newRow("class word") << QByteArray("[A-Z][a-z]+Error") << true;
        QTest::newRow("horizontal space") << QByteArray("foo\\h+bar") << true;
        QTest::newRow("word boundary") << QByteArray("\\bfoo\\b") << true;
        QTest::newRow("white space") << QByteArray("foo\\s+bar") << false;
        QTest::newRow("negated class") << QByteArray("foo[^x]bar") << false;
        QTest::newRow("not a digit") << QByteArray("foo\\Dbar") << false;
        QTest::newRow("not a word char") << QByteArray("foo\\Wbar") << false;
        QTest::newRow("line feed") << QByteArray("foo\\nbar") << false;
        QTest::newRow("any line end") << QByteArray("foo\\Rbar") << false;
        QTest::newRow("vertical space") << QByteArray("foo\\vbar") << false;
        QTest::newRow("not horizontal space") << QByteArray("foo\\Hbar") << false;
        QTest::newRow("dotall") << QByteArray("(?s)foo.bar") << false;
        QTest::newRow("grapheme") << QByteArray("foo\\Xbar") << false;
        QTest::newRow("escaped range over line ends") << QByteArray("[\\t-\\r]foo") << false;
        QTest::newRow("control range over line ends") << QByteArray("[\x01-z]foo") << false;
        QTest::newRow("posix class") << QByteArray("[[:space:]]foo") << false;
        QTest::newRow("printable range") << QByteArray("[ -~]+foo") << true;
        QTest::newRow("subject end") << QByteArray("foo\\z") << false;
    }
    void lineSafety()
    {
        QFETCH(QByteArray, pattern);
        QFETCH(bool, lineSafe);
        QCOMPARE(XRegexLiterals::analyze(pattern).lineSafe(), lineSafe);
    }

    void compiledFilterKinds()
    {
        // Line filter for patterns that stay on a line, literals alone for the others, and no
        // plain literal search where KELVIN SIGN or LONG S could match 'k' or 's'.
        auto code = [](const char* p) { return XRegexCode::compile(p, XRegexCode::REGEX, nullptr); };
        QVERIFY(code("[A-Z][a-z]+Error")->lineFilter);
        QCOMPARE(code("ConnectionError|TimeoutError")->literals.size(), size_t(2));
        QVERIFY(!code("foo\\s+bar")->lineFilter);
        QCOMPARE(code("foo\\s+bar")->literals.size(), size_t(1));
        QVERIFY(code("(?i)error")->pureLiteral);
        QVERIFY(!code("(?i)keyerror")->pureLiteral);
        QVERIFY(code("(?i)keyerror")->requiredNeedsAliasCheck);
        QVERIFY(code("keyerror")->pureLiteral);
    }
};

QTEST_GUILESS_MAIN(TestRegexLiterals)
#include "test_regex_literals.moc"
