#pragma once
// A quick, conservative look at a regular expression's text: the literals that every match
// must contain, and whether a match can ever hold a line end. The content search looks for the
// literals with the SIMD searcher first and runs PCRE2 only where a match can be.
//
// One required literal comes from the longest run of plain characters that a concatenation
// must match (groups without alternatives inside take part); a top-level alternation gives one
// literal per branch (at most kMaxAlternatives). Anything the look does not understand gives no
// literal at all: a missing literal only makes the search slower, a wrong one loses hits.
// Pure value type; analyze() runs on any thread.
#include <QByteArray>
#include <QList>

namespace zem::find {

class XRegexLiterals {
public:
    static constexpr int kMaxAlternatives = 8;

    static XRegexLiterals analyze(const QByteArray& pattern);

    // Every match contains at least one of these; empty when nothing is known.
    const QList<QByteArray>& literals() const { return m_literals; }
    // The literals are matched ignoring ASCII case (the pattern starts with (?i)).
    bool caseless() const { return m_caseless; }
    // No match can hold a line end, so a match holding a literal lies on the literal's line.
    bool lineSafe() const { return m_lineSafe; }
    // The whole pattern is the one literal and nothing else.
    bool pure() const { return m_pure; }

private:
    static bool analyzeLineSafety(const QByteArray& pattern);

    QList<QByteArray> m_literals;
    bool m_caseless = false;
    bool m_lineSafe = false;
    bool m_pure = false;
};

} // namespace zem::find
