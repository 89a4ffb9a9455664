#include "XRegexCode.h"

#include <pcre2.h>

#include <cctype>
#include <cstring>

namespace zem::find {

namespace {

inline bool isAlnum(unsigned char c) { return c < 0x80 && std::isalnum(c); }

// Escapes that may match a line end, read past one, or depend on the subject's true ends;
// a pattern holding any of them is searched over the whole file.
bool unsafeEscape(unsigned char e)
{
    return std::strchr("sWDnrvRHxcpPXCzZAGgkoNuU0123456789", e) != nullptr;
}

// Skips a character class starting at '['; returns the index after ']' or -1. Sets *safe to
// false for negated classes, POSIX names and escapes that may hold a line end.
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
            // end): only class escapes that never match one are taken.
            const unsigned char e = static_cast<unsigned char>(p[j + 1]);
            if (isAlnum(e) && std::strchr("wdhS", e) == nullptr)
                *safe = false;
            j += 2;
            continue;
        }
        if (c == '[' && j + 1 < n && p[j + 1] == ':')
            *safe = false;
        if (c < 0x20)
            *safe = false;  // a control character may start a range over the line ends
        ++j;
    }
    return j < n ? j + 1 : -1;
}

// After "(?": the kind of group. Returns false for forms the quick look does not handle.
bool groupHead(const char* p, int n, int i, bool* caseless, bool* flagOnly)
{
    *flagOnly = false;
    if (i >= n)
        return false;
    const char c = p[i];
    if (c == ':' || c == '=' || c == '!' || c == '>' || c == '|')
        return true;
    if (c == '<' && i + 1 < n && (p[i + 1] == '=' || p[i + 1] == '!'))
        return true;
    if (c == '<' || c == '\'' || (c == 'P' && i + 1 < n && p[i + 1] == '<'))
        return true;  // named group
    // Option letters: only those that keep '.', '^', '$' and white space as compiled.
    int j = i;
    while (j < n && std::strchr("iUJn-", p[j]) != nullptr && p[j] != '\0') {
        if (p[j] == 'i')
            *caseless = true;
        ++j;
    }
    if (j > i && j < n && (p[j] == ')' || p[j] == ':')) {
        *flagOnly = p[j] == ')';
        return true;
    }
    return false;
}

// Index after a quantifier at i (i itself when there is none); *minOne tells whether the
// atom before it must still occur once.
int skipQuantifier(const char* p, int n, int i, bool* quantified, bool* minOne)
{
    *quantified = false;
    *minOne = true;
    if (i >= n)
        return i;
    int j = i;
    if (p[j] == '*' || p[j] == '?') {
        *quantified = true;
        *minOne = false;
        ++j;
    } else if (p[j] == '+') {
        *quantified = true;
        ++j;
    } else if (p[j] == '{') {
        int k = j + 1;
        int digits = 0;
        long low = 0;
        while (k < n && p[k] >= '0' && p[k] <= '9') {
            low = low * 10 + (p[k] - '0');
            ++k;
            ++digits;
        }
        if (digits == 0)
            return i;  // "{" alone is a literal
        if (k < n && p[k] == ',') {
            ++k;
            while (k < n && p[k] >= '0' && p[k] <= '9')
                ++k;
        }
        if (k >= n || p[k] != '}')
            return i;
        *quantified = true;
        *minOne = low >= 1;
        j = k + 1;
    } else {
        return i;
    }
    if (j < n && (p[j] == '?' || p[j] == '+'))
        ++j;  // lazy or possessive
    return j;
}

} // namespace

XRegexCode::Analysis XRegexCode::analyze(const QByteArray& pattern)
{
    Analysis a;
    const char* p = pattern.constData();
    const int n = pattern.size();
    if (pattern.contains("(*"))
        return a;  // leading verbs may change what a line end is

    // Pass 1: can a match hold a line end, and is any part caseless.
    bool safe = true;
    bool caseless = false;
    for (int i = 0; i < n && safe;) {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if (c == '\\') {
            if (i + 1 >= n)
                return a;
            const unsigned char e = static_cast<unsigned char>(p[i + 1]);
            if (e == 'Q') {
                const int end = pattern.indexOf("\\E", i + 2);
                const int stop = end < 0 ? n : end;
                for (int k = i + 2; k < stop; ++k)
                    safe = safe && p[k] != '\n' && p[k] != '\r';
                i = end < 0 ? n : end + 2;
                continue;
            }
            if (isAlnum(e) && unsafeEscape(e))
                safe = false;
            i += 2;
        } else if (c == '[') {
            const int j = skipClass(p, n, i, &safe);
            if (j < 0)
                return a;
            i = j;
        } else if (c == '(' && i + 1 < n && p[i + 1] == '?') {
            bool flagOnly = false;
            if (!groupHead(p, n, i + 2, &caseless, &flagOnly))
                safe = false;
            i += 2;
        } else {
            if (c == '\n' || c == '\r')
                safe = false;
            ++i;
        }
    }
    a.caseless = caseless;
    a.lineSafe = safe;
    if (!safe)
        return a;

    // Pass 2: the longest run of literal atoms in the top-level sequence.
    QByteArray run, best;
    bool pure = true;
    auto endRun = [&] {
        if (run.size() > best.size())
            best = run;
        run.clear();
    };
    auto literalAtom = [&](const QByteArray& atom, int next) {
        bool quantified = false, minOne = true;
        const int after = skipQuantifier(p, n, next, &quantified, &minOne);
        const bool usable = !(caseless && static_cast<unsigned char>(atom[0]) >= 0x80);
        if (quantified || !usable)
            pure = false;
        if (!usable) {
            endRun();
        } else if (!quantified) {
            run += atom;
        } else {
            if (minOne)
                run += atom;
            endRun();
        }
        return after;
    };
    auto otherAtom = [&](int next) {
        pure = false;
        endRun();
        bool quantified = false, minOne = true;
        return skipQuantifier(p, n, next, &quantified, &minOne);
    };

    for (int i = 0; i < n;) {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if (c == '|')
            return a;  // top-level alternatives share no required literal here
        if (c == '\\') {
            const unsigned char e = static_cast<unsigned char>(p[i + 1]);
            if (e == 'Q') {
                const int end = pattern.indexOf("\\E", i + 2);
                const int stop = end < 0 ? n : end;
                pure = false;
                for (int k = i + 2; k < stop; ++k) {
                    // Caseless non-ASCII characters have other forms: not part of the literal.
                    if (caseless && static_cast<unsigned char>(p[k]) >= 0x80)
                        endRun();
                    else
                        run += p[k];
                }
                if (stop > i + 2 && end >= 0 && end + 2 < n && std::strchr("*?+{", p[end + 2]))
                    return Analysis{QByteArray(), caseless, safe, false};  // rare; keep it simple
                i = end < 0 ? n : end + 2;
                continue;
            }
            if (isAlnum(e)) {
                int next = i + 2;
                if (next < n && p[next] == '{') {
                    const int close = pattern.indexOf('}', next);
                    next = close < 0 ? n : close + 1;
                }
                i = otherAtom(next);
                continue;
            }
            i = literalAtom(QByteArray(1, char(e)), i + 2);
            continue;
        }
        if (c == '[') {
            bool dummy = true;
            const int j = skipClass(p, n, i, &dummy);
            i = otherAtom(j < 0 ? n : j);
            continue;
        }
        if (c == '(') {
            bool flagOnly = false;
            bool ci = caseless;
            if (i + 1 < n && p[i + 1] == '?')
                groupHead(p, n, i + 2, &ci, &flagOnly);
            // Find the matching parenthesis, stepping over escapes and classes.
            int depth = 0;
            int j = i;
            for (; j < n; ++j) {
                if (p[j] == '\\') {
                    ++j;
                } else if (p[j] == '[') {
                    bool dummy = true;
                    const int k = skipClass(p, n, j, &dummy);
                    if (k < 0)
                        return a;
                    j = k - 1;
                } else if (p[j] == '(') {
                    ++depth;
                } else if (p[j] == ')' && --depth == 0) {
                    break;
                }
            }
            if (j >= n)
                return a;
            if (flagOnly) {
                pure = false;
                endRun();
                i = j + 1;
            } else {
                i = otherAtom(j + 1);
            }
            continue;
        }
        if (c == '.' || c == '^' || c == '$') {
            i = otherAtom(i + 1);
            continue;
        }
        if (c == '*' || c == '+' || c == '?' || c == ')')
            return a;  // not a valid pattern; the compiler reports it
        if (c == '{') {
            bool quantified = false, minOne = true;
            if (skipQuantifier(p, n, i, &quantified, &minOne) != i)
                return a;
        }
        // One literal character, all bytes of a UTF-8 sequence together.
        int len = 1;
        if (c >= 0xC0)
            len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        len = std::min(len, n - i);
        i = literalAtom(QByteArray(p + i, len), i + len);
    }
    endRun();
    a.literal = best;
    // Every atom was a plain character: the literal is the whole pattern.
    a.pure = pure && !caseless && !best.isEmpty();
    return a;
}

bool XRegexCode::isStartDependent(const QByteArray& pattern)
{
    // Settings that may open a pattern and act the same wherever an attempt starts.
    static const char* const kLeading[] = {"UTF)", "UCP)", "NO_AUTO_POSSESS)", "NO_DOTSTAR_ANCHOR)", "NO_JIT)",
                                           "NO_START_OPT)", "NOTEMPTY)", "LIMIT_DEPTH=", "LIMIT_HEAP=",
                                           "LIMIT_MATCH=", "LIMIT_RECURSION=", "CR)", "LF)", "CRLF)", "ANYCRLF)",
                                           "ANY)", "NUL)", "BSR_ANYCRLF)", "BSR_UNICODE)"};
    int i = 0;
    const int n = pattern.size();
    while (i + 1 < n && pattern[i] == '(' && pattern[i + 1] == '*') {
        const char* rest = pattern.constData() + i + 2;
        int matched = 0;
        for (const char* name : kLeading) {
            const int len = int(std::strlen(name));
            if (i + 2 + len <= n && std::strncmp(rest, name, size_t(len)) == 0) {
                matched = len;
                break;
            }
        }
        if (matched == 0)
            break;
        const int close = pattern.indexOf(')', i + 2);
        if (close < 0)
            return true;
        i = close + 1;
    }
    // Any verb further on, and \G, which asserts the start of the attempt.
    for (int k = i; k + 1 < n; ++k) {
        if (pattern[k] == '\\') {
            if (pattern[k + 1] == 'G')
                return true;
            ++k;
            continue;
        }
        if (pattern[k] == '(' && pattern[k + 1] == '*')
            return true;
    }
    return false;
}

namespace {

pcre2_code* compileWith(const QByteArray& pattern, uint32_t options, QString* error)
{
    pcre2_compile_context* ctx = pcre2_compile_context_create(nullptr);
    // '^', '$' and '.' treat LF, CRLF and a lone CR alike, as the line reader does.
    pcre2_set_newline(ctx, PCRE2_NEWLINE_ANYCRLF);
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.constData()), PCRE2_SIZE(pattern.size()),
                                     options, &errorCode, &errorOffset, ctx);
    pcre2_compile_context_free(ctx);
    if (!code && error) {
        PCRE2_UCHAR buffer[256];
        pcre2_get_error_message(errorCode, buffer, sizeof(buffer));
        *error = QStringLiteral("%1 at offset %2").arg(QString::fromUtf8(reinterpret_cast<const char*>(buffer))).arg(qulonglong(errorOffset));
    }
    return code;
}

} // namespace

std::shared_ptr<const XRegexCode> XRegexCode::compile(const QByteArray& pattern, Kind kind, QString* error)
{
    // The offset limit lets a search look for match starts one window at a time (stop checks,
    // match-limit recovery) while matches still run past the window.
    uint32_t options = PCRE2_UTF | PCRE2_USE_OFFSET_LIMIT;
    if (kind == REGEX)
        options |= PCRE2_MULTILINE | PCRE2_UCP;
    else
        options |= PCRE2_LITERAL | PCRE2_CASELESS;
    pcre2_code* code = compileWith(pattern, options | PCRE2_MATCH_INVALID_UTF, error);
    if (!code)
        return nullptr;
    std::shared_ptr<XRegexCode> rc(new XRegexCode);
    rc->code = code;
    size_t jitSize = 0;
    // (*NO_JIT) makes the JIT compile "succeed" without code: ask for the code's size.
    rc->jit = pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0
        && pcre2_pattern_info(code, PCRE2_INFO_JITSIZE, &jitSize) == 0 && jitSize > 0;
    if (!rc->jit)
        rc->strictCode = compileWith(pattern, options, nullptr);
    uint32_t value = 0;
    if (pcre2_pattern_info(code, PCRE2_INFO_MAXLOOKBEHIND, &value) == 0)
        rc->maxLookbehind = value;
    if (pcre2_pattern_info(code, PCRE2_INFO_NEWLINE, &value) == 0)
        rc->crlfIsNewline = value == PCRE2_NEWLINE_CRLF || value == PCRE2_NEWLINE_ANY || value == PCRE2_NEWLINE_ANYCRLF;
    if (kind == REGEX) {
        rc->startDependent = isStartDependent(pattern);
        const Analysis a = analyze(pattern);
        if (a.lineSafe && !a.literal.isEmpty()) {
            rc->required = XLiteralSearcher(a.literal, a.caseless);
            rc->lineFilter = true;
            rc->pureLiteral = a.pure;
            const QByteArray lower = a.literal.toLower();
            rc->requiredNeedsAliasCheck = a.caseless && (lower.contains('k') || lower.contains('s'));
        }
    }
    return rc;
}

XRegexCode::~XRegexCode()
{
    pcre2_code_free(strictCode);
    pcre2_code_free(code);
}

} // namespace zem::find
