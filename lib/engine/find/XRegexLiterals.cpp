#include "XRegexLiterals.h"

#include <cctype>
#include <cstring>

namespace zem::find {

namespace {

inline bool isAlnum(unsigned char c) { return c < 0x80 && std::isalnum(c); }

// Escapes that may match a line end, read past one, or depend on the subject's true ends.
bool unsafeEscape(unsigned char e)
{
    return std::strchr("sWDnrvRHxcpPXCzZAGgkoNuU0123456789", e) != nullptr;
}

// Skips a character class starting at '['; returns the index after its ']' or -1. Sets *safe
// to false for negated classes, POSIX names and escapes that may hold a line end.
int skipClass(const char* p, int n, int i, bool* safe)
{
    int j = i + 1;
    if (j < n && p[j] == '^') {
        *safe = false;
        ++j;
    }
    if (j < n && p[j] == ']')
        ++j;
    while (j < n && p[j] != ']') {
        const unsigned char c = static_cast<unsigned char>(p[j]);
        if (c == '\\' && j + 1 < n) {
            // Single-character escapes such as \t may be range ends ("[\t-\r]" holds a line
            // end): only class escapes that never match one are taken. \Q inside a class
            // quotes a ']': not followed here.
            const unsigned char e = static_cast<unsigned char>(p[j + 1]);
            if (e == 'Q')
                return -1;
            if (isAlnum(e) && std::strchr("wdhS", e) == nullptr)
                *safe = false;
            j += 2;
            continue;
        }
        if (c == '[' && j + 1 < n && (p[j + 1] == ':' || p[j + 1] == '.' || p[j + 1] == '=')) {
            // A POSIX name ends with ":]", not with the first ']'.
            *safe = false;
            const char* close = static_cast<const char*>(std::memchr(p + j + 2, p[j + 1], size_t(n - j - 2)));
            if (!close || close + 1 >= p + n || close[1] != ']')
                return -1;
            j = int(close - p) + 2;
            continue;
        }
        if (c < 0x20)
            *safe = false;  // a control character may start a range over the line ends
        ++j;
    }
    return j < n ? j + 1 : -1;
}

// After "(?": whether the group keeps '.', '^', '$' and white space as compiled.
bool lineSafeGroupHead(const char* p, int n, int i)
{
    if (i >= n)
        return false;
    const char c = p[i];
    if (c == ':' || c == '=' || c == '!' || c == '>' || c == '|')
        return true;
    if (c == '<' || c == '\'' || (c == 'P' && i + 1 < n && p[i + 1] == '<'))
        return true;  // lookbehind or named group
    int j = i;
    while (j < n && p[j] != '\0' && std::strchr("iUJn-", p[j]) != nullptr)
        ++j;
    return j > i && j < n && (p[j] == ')' || p[j] == ':');
}

// What a piece of a concatenation surely matches: its whole text when it is nothing but plain
// characters (exact), else the plain characters it surely starts and ends with and the longest
// run it surely holds somewhere.
struct Piece {
    bool exact = true;
    QByteArray whole;   // exact only
    QByteArray prefix;  // not exact only
    QByteArray suffix;
    QByteArray best;

    static Piece opaque()
    {
        Piece p;
        p.exact = false;
        return p;
    }
    static Piece literal(const QByteArray& text)
    {
        Piece p;
        p.whole = text;
        return p;
    }
    const QByteArray& head() const { return exact ? whole : prefix; }
    const QByteArray& tail() const { return exact ? whole : suffix; }
    const QByteArray& longest() const { return exact ? whole : best; }

    void append(const Piece& b)
    {
        if (exact && b.exact) {
            whole += b.whole;
            return;
        }
        Piece r = opaque();
        r.prefix = exact ? whole + b.prefix : prefix;
        r.suffix = b.exact ? tail() + b.whole : b.suffix;
        r.best = longest();
        const QByteArray joined = tail() + b.head();
        if (joined.size() > r.best.size())
            r.best = joined;
        if (b.longest().size() > r.best.size())
            r.best = b.longest();
        *this = r;
    }
    // The piece repeated at least once, more than once possible: its ends still touch what
    // stands before and after, but not each other.
    Piece repeated() const
    {
        Piece r = opaque();
        r.prefix = head();
        r.suffix = tail();
        r.best = longest();
        return r;
    }
};

// Recursive descent over the pattern; any form it does not know sets failed.
class LiteralParser {
public:
    LiteralParser(const QByteArray& pattern, int start, bool caseless)
        : m_p(pattern.constData()), m_n(pattern.size()), m_i(start), m_caseless(caseless)
    {
    }

    // The branches of the top level; empty when the pattern is not understood.
    QList<Piece> topLevel()
    {
        QList<Piece> branches;
        for (;;) {
            branches << sequence();
            if (m_failed)
                return {};
            if (m_i >= m_n)
                return branches;
            if (m_p[m_i] != '|') {
                return {};  // an unbalanced ')': the compiler reports it
            }
            ++m_i;
        }
    }

private:
    // A concatenation up to '|', ')' or the end.
    Piece sequence()
    {
        Piece seq = Piece::literal(QByteArray());
        while (!m_failed && m_i < m_n && m_p[m_i] != '|' && m_p[m_i] != ')')
            seq.append(quantified(atom()));
        return seq;
    }

    Piece atom()
    {
        const unsigned char c = static_cast<unsigned char>(m_p[m_i]);
        if (c == '\\')
            return escape();
        if (c == '[') {
            bool dummy = true;
            const int j = skipClass(m_p, m_n, m_i, &dummy);
            if (j < 0)
                return fail();
            m_i = j;
            return Piece::opaque();
        }
        if (c == '(')
            return group();
        if (c == '.' || c == '^' || c == '$') {
            ++m_i;
            return Piece::opaque();
        }
        if (c == '*' || c == '+' || c == '?' || c == '{')
            return fail();  // a quantifier without an atom, or a '{' that may be one
        // One character, all bytes of a UTF-8 sequence together.
        int len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (m_i + len > m_n)
            return fail();
        const QByteArray text(m_p + m_i, len);
        m_i += len;
        // Under (?i) a non-ASCII letter has other forms of other lengths.
        if (m_caseless && c >= 0x80)
            return Piece::opaque();
        return Piece::literal(text);
    }

    Piece escape()
    {
        if (m_i + 1 >= m_n)
            return fail();
        const unsigned char e = static_cast<unsigned char>(m_p[m_i + 1]);
        m_i += 2;
        if (!isAlnum(e)) {
            if (e >= 0x80)
                return fail();
            return Piece::literal(QByteArray(1, char(e)));
        }
        // Classes, assertions and single control characters: no literal, nothing more to read.
        if (std::strchr("dDwWsShHvVRXbBAzZnrtfea", e))
            return Piece::opaque();
        if (e >= '0' && e <= '9') {
            // A back reference or an octal character: all its digits.
            while (m_i < m_n && m_p[m_i] >= '0' && m_p[m_i] <= '9')
                ++m_i;
            return Piece::opaque();
        }
        switch (e) {
        case 'N':
            return (m_i < m_n && m_p[m_i] == '{') ? fail() : Piece::opaque();
        case 'p':
        case 'P':
            if (m_i < m_n && m_p[m_i] == '{')
                return skipTo('}');
            if (m_i >= m_n)
                return fail();
            ++m_i;
            return Piece::opaque();
        case 'x':
            if (m_i < m_n && m_p[m_i] == '{')
                return skipTo('}');
            for (int k = 0; k < 2 && m_i < m_n && std::isxdigit(static_cast<unsigned char>(m_p[m_i])); ++k)
                ++m_i;
            return Piece::opaque();
        case 'o':
            return (m_i < m_n && m_p[m_i] == '{') ? skipTo('}') : fail();
        case 'c':
            if (m_i >= m_n)
                return fail();
            ++m_i;
            return Piece::opaque();
        case 'g':
        case 'k':
            return reference();
        default:
            // \Q..\E, \E, \K, \G, \C and the rest: not looked into.
            return fail();
        }
    }

    // \g or \k: a back reference or a subroutine call, in any of their spellings.
    Piece reference()
    {
        if (m_i >= m_n)
            return fail();
        const char open = m_p[m_i];
        if (open == '{')
            return skipTo('}');
        if (open == '<')
            return skipTo('>');
        if (open == '\'')
            return skipTo('\'', 1);
        if (m_p[m_i - 1] == 'g') {
            if (m_p[m_i] == '+' || m_p[m_i] == '-')
                ++m_i;
            const int digits = m_i;
            while (m_i < m_n && m_p[m_i] >= '0' && m_p[m_i] <= '9')
                ++m_i;
            if (m_i > digits)
                return Piece::opaque();
        }
        return fail();
    }

    Piece group()
    {
        ++m_i;  // '('
        if (m_i < m_n && m_p[m_i] == '*')
            return fail();  // verbs
        bool plain = true;
        if (m_i < m_n && m_p[m_i] == '?') {
            ++m_i;
            if (m_i >= m_n)
                return fail();
            const char k = m_p[m_i];
            const char k2 = m_i + 1 < m_n ? m_p[m_i + 1] : '\0';
            if (k == ':' || k == '>') {
                ++m_i;
            } else if (k == '=' || k == '!' || k == '|') {
                plain = false;
                ++m_i;
            } else if (k == '<' && (k2 == '=' || k2 == '!')) {
                plain = false;
                m_i += 2;
            } else if (k == '(') {
                plain = false;  // a condition: its own group is read as part of the body
            } else if (k == '<' || k == '\'' || (k == 'P' && k2 == '<')) {
                // A named group: skip the name.
                const char close = k == '\'' ? '\'' : '>';
                const char* end = static_cast<const char*>(std::memchr(m_p + m_i + 1, close, size_t(m_n - m_i - 1)));
                if (!end)
                    return fail();
                m_i = int(end - m_p) + 1;
            } else {
                return fail();  // options, comments, calls, recursion
            }
        }
        Piece inner = sequence();
        bool alternatives = false;
        while (!m_failed && m_i < m_n && m_p[m_i] == '|') {
            alternatives = true;
            ++m_i;
            sequence();
        }
        if (m_failed || m_i >= m_n)
            return fail();
        ++m_i;  // ')'
        return plain && !alternatives ? inner : Piece::opaque();
    }

    Piece quantified(const Piece& atom)
    {
        if (m_failed || m_i >= m_n)
            return atom;
        int low = 1;
        bool many = false;
        const char q = m_p[m_i];
        if (q == '*' || q == '?') {
            low = 0;
            ++m_i;
        } else if (q == '+') {
            many = true;
            ++m_i;
        } else if (q == '{') {
            if (!braces(&low, &many))
                return fail();
        } else {
            return atom;
        }
        if (m_i < m_n && (m_p[m_i] == '?' || m_p[m_i] == '+'))
            ++m_i;  // lazy or possessive
        if (m_i < m_n && std::strchr("*+?{", m_p[m_i]))
            return fail();
        if (low == 0)
            return Piece::opaque();
        return many ? atom.repeated() : atom;
    }

    // {n}, {n,} or {n,m}; anything else after an atom is not followed.
    bool braces(int* low, bool* many)
    {
        int j = m_i + 1;
        long lo = 0;
        const int from = j;
        while (j < m_n && m_p[j] >= '0' && m_p[j] <= '9' && j - from < 6)
            lo = lo * 10 + (m_p[j++] - '0');
        if (j == from)
            return false;
        long hi = lo;
        if (j < m_n && m_p[j] == ',') {
            ++j;
            const int upper = j;
            hi = 0;
            while (j < m_n && m_p[j] >= '0' && m_p[j] <= '9' && j - upper < 6)
                hi = hi * 10 + (m_p[j++] - '0');
            if (j == upper)
                hi = -1;  // no upper bound
        }
        if (j >= m_n || m_p[j] != '}')
            return false;
        m_i = j + 1;
        *low = lo > 0 ? 1 : 0;
        *many = hi != 1;
        return true;
    }

    Piece skipTo(char close, int from = 0)
    {
        const char* end = static_cast<const char*>(std::memchr(m_p + m_i + from, close, size_t(m_n - m_i - from)));
        if (!end)
            return fail();
        m_i = int(end - m_p) + 1;
        return Piece::opaque();
    }

    Piece fail()
    {
        m_failed = true;
        m_i = m_n;
        return Piece::opaque();
    }

    const char* m_p;
    int m_n;
    int m_i;
    bool m_caseless;
    bool m_failed = false;
};

} // namespace

bool XRegexLiterals::analyzeLineSafety(const QByteArray& pattern)
{
    const char* p = pattern.constData();
    const int n = pattern.size();
    for (int i = 0; i < n;) {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if (c == '\\') {
            if (i + 1 >= n)
                return false;
            const unsigned char e = static_cast<unsigned char>(p[i + 1]);
            if (isAlnum(e) && unsafeEscape(e))
                return false;
            if (e == 'Q')
                return false;
            i += 2;
        } else if (c == '[') {
            bool safe = true;
            const int j = skipClass(p, n, i, &safe);
            if (j < 0 || !safe)
                return false;
            i = j;
        } else if (c == '(' && i + 1 < n && p[i + 1] == '?') {
            if (!lineSafeGroupHead(p, n, i + 2))
                return false;
            i += 2;
        } else if (c == '(' && i + 1 < n && p[i + 1] == '*') {
            return false;  // verbs may change what a line end is
        } else {
            if (c == '\n' || c == '\r')
                return false;
            ++i;
        }
    }
    return true;
}

XRegexLiterals XRegexLiterals::analyze(const QByteArray& pattern)
{
    XRegexLiterals a;
    if (pattern.isEmpty())
        return a;
    a.m_lineSafe = analyzeLineSafety(pattern);
    // Only a leading (?i) is followed; other options change too much of the pattern's reading.
    const bool caseless = pattern.startsWith("(?i)");
    LiteralParser parser(pattern, caseless ? 4 : 0, caseless);
    const QList<Piece> branches = parser.topLevel();
    if (branches.isEmpty() || branches.size() > kMaxAlternatives)
        return a;
    QList<QByteArray> literals;
    for (const Piece& b : branches) {
        if (b.longest().isEmpty())
            return a;  // a branch without a literal lets anything through
        if (!literals.contains(b.longest()))
            literals << b.longest();
    }
    a.m_literals = literals;
    a.m_caseless = caseless;
    a.m_pure = branches.size() == 1 && branches[0].exact;
    return a;
}

} // namespace zem::find
