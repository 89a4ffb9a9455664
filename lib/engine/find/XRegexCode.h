#pragma once
// A compiled PCRE2 pattern (8-bit, UTF with invalid bytes allowed, JIT when available) plus
// what a quick look at the pattern tells about it: a literal that every match must contain
// and whether matches can ever span a line end. Immutable after compile, shared read-only by
// the copies of a content filter; each copy matches through its own XRegexMatcher.
#include "XLiteralSearcher.h"
#include <QByteArray>
#include <QString>
#include <memory>

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
    bool jit = false;

    // Every match contains this literal, and no match holds a line end: the search may look
    // for the literal and run the pattern on the lines holding it only.
    XLiteralSearcher required;
    bool lineFilter = false;
    // The whole pattern is this literal (case-sensitive, no special characters).
    bool pureLiteral = false;
    // The literal contains 'k' or 's' and is caseless: files with fold aliases skip the filter.
    bool requiredNeedsAliasCheck = false;

    // Exposed for tests.
    struct Analysis {
        QByteArray literal;    // longest required literal, empty when none
        bool caseless = false;
        bool lineSafe = false;
        bool pure = false;
    };
    static Analysis analyze(const QByteArray& pattern);

private:
    XRegexCode() = default;
};

} // namespace zem::find
