#include "XRegexCode.h"

#include "XRegexLiterals.h"

#include <pcre2.h>

#include <cctype>
#include <cstring>

namespace zem::find {

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
        const XRegexLiterals a = XRegexLiterals::analyze(pattern);
        bool aliases = false;
        for (const QByteArray& literal : a.literals()) {
            rc->literals.emplace_back(literal, a.caseless());
            const QByteArray lower = literal.toLower();
            aliases = aliases || (a.caseless() && (lower.contains('k') || lower.contains('s')));
        }
        rc->requiredNeedsAliasCheck = aliases;
        rc->lineFilter = a.lineSafe() && !rc->literals.empty();
        // Caseless literals with 'k' or 's' may meet KELVIN SIGN or LONG S: not taken as is.
        rc->pureLiteral = a.pure() && !aliases;
    }
    return rc;
}

XRegexCode::~XRegexCode()
{
    pcre2_code_free(strictCode);
    pcre2_code_free(code);
}

} // namespace zem::find
