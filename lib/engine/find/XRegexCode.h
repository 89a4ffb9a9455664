#pragma once
// A compiled PCRE2 pattern (8-bit, UTF with invalid bytes allowed, JIT when available) plus
// what a quick look at the pattern tells about it (XRegexLiterals): literals that every match
// must contain and whether matches can ever span a line end. Immutable after compile, shared read-only by
// the copies of a content filter; each copy matches through its own XRegexMatcher.
#include "XLiteralSearcher.h"
#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

struct pcre2_real_code_8;

namespace zem::find {

struct XRegexCode {
    enum Kind { REGEX, LITERAL_CASELESS };

    // kind REGEX: a user's regular expression; LITERAL_CASELESS: a fixed text matched with
    // Unicode caseless rules. Null with *error set when the pattern does not compile.
    static std::shared_ptr<const XRegexCode> compile(const QByteArray& pattern, Kind kind, QString* error);

    ~XRegexCode();
    XRegexCode(const XRegexCode&) = delete;
    XRegexCode& operator=(const XRegexCode&) = delete;

    pcre2_real_code_8* code = nullptr;
    // The pattern runs as JIT code (false for (*NO_JIT) or where PCRE2 has no JIT).
    bool jit = false;
    // Interpreted patterns only: the same pattern without invalid-UTF support, for subjects
    // checked to be valid UTF-8 once; PCRE2 re-checks the rest of the subject on every call
    // for the invalid-UTF variant, which makes a search with many matches quadratic.
    pcre2_real_code_8* strictCode = nullptr;
    // Characters a lookbehind may reach back; the subject's check starts that far back.
    quint32 maxLookbehind = 0;
    // A line end is CRLF as well as LF and CR (the default; (*LF) and the like change it).
    bool crlfIsNewline = true;
    // Holds \G or a verb such as (*COMMIT) or (*SKIP), whose outcome depends on where a match
    // attempt starts: such patterns are searched strictly match by match, never in windows.
    bool startDependent = false;

    // Every match contains one of these literals (empty when none is known); see XRegexLiterals.
    std::vector<XLiteralSearcher> literals;
    // No match holds a line end either: the search may run the pattern on the lines holding a
    // literal only.
    bool lineFilter = false;
    // The whole pattern is literals[0] (no special characters, ASCII when caseless).
    bool pureLiteral = false;
    // A literal contains 'k' or 's' and is caseless: files with fold aliases skip the filter.
    bool requiredNeedsAliasCheck = false;

    // Exposed for tests.
    static bool isStartDependent(const QByteArray& pattern);

private:
    XRegexCode() = default;
};

} // namespace zem::find
