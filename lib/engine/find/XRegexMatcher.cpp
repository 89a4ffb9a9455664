#include "XRegexMatcher.h"

#include "XRegexCode.h"

#include <pcre2.h>

namespace zem::find {

namespace {
// The JIT stack grows from 32 KiB up to 1 MiB: enough for deeply nested patterns, small enough
// for 64 workers.
constexpr PCRE2_SIZE kJitStackStart = 32 * 1024;
constexpr PCRE2_SIZE kJitStackMax = 1024 * 1024;
} // namespace

XRegexMatcher::XRegexMatcher()
{
    // Only the whole match is needed; a short vector is allowed and still reports it.
    m_data = pcre2_match_data_create(1, nullptr);
    m_context = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(m_context, kMatchLimit);
    pcre2_set_depth_limit(m_context, kMatchLimit);
    m_stack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
    if (m_stack)
        pcre2_jit_stack_assign(m_context, nullptr, m_stack);
}

XRegexMatcher::~XRegexMatcher()
{
    pcre2_jit_stack_free(m_stack);
    pcre2_match_context_free(m_context);
    pcre2_match_data_free(m_data);
}

uint32_t XRegexMatcher::notEmptyAnchored()
{
    return PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED;
}

qint64 XRegexMatcher::nextChar(const char* subject, qint64 length, qint64 pos)
{
    if (pos < length && subject[pos] == '\r' && pos + 1 < length && subject[pos + 1] == '\n')
        return pos + 2;  // CRLF is one line end
    ++pos;
    // Whole UTF-8 characters; at most three continuation bytes so that junk cannot stall us.
    for (int k = 0; k < 3 && pos < length && (static_cast<unsigned char>(subject[pos]) & 0xC0) == 0x80; ++k)
        ++pos;
    return pos;
}

XRegexMatcher::Result XRegexMatcher::match(const XRegexCode& code, const char* subject, qint64 length, qint64 start,
                                           uint32_t options, qint64* matchStart, qint64* matchEnd)
{
    if (!m_data || !m_context)
        return FAILED;
    const auto* s = reinterpret_cast<PCRE2_SPTR>(subject);
    int rc;
    // Anchored retries after an empty match go through the interpreter: the JIT code was
    // compiled for unanchored use only.
    if (code.jit && (options & PCRE2_ANCHORED) == 0)
        rc = pcre2_jit_match(code.code, s, PCRE2_SIZE(length), PCRE2_SIZE(start), options, m_data, m_context);
    else
        rc = pcre2_match(code.code, s, PCRE2_SIZE(length), PCRE2_SIZE(start), options | PCRE2_NO_UTF_CHECK, m_data, m_context);
    if (rc == PCRE2_ERROR_NOMATCH)
        return NO_MATCH;
    if (rc < 0) {
        m_lastError = rc;
        if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT
            || rc == PCRE2_ERROR_JIT_STACKLIMIT)
            return LIMIT;
        return FAILED;
    }
    const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(m_data);
    *matchStart = qint64(ov[0]);
    // \K inside a lookahead can report an end before the start.
    *matchEnd = qint64(ov[1] < ov[0] ? ov[0] : ov[1]);
    return MATCH;
}

QString XRegexMatcher::lastErrorText() const
{
    PCRE2_UCHAR buffer[256];
    if (pcre2_get_error_message(m_lastError, buffer, sizeof(buffer)) < 0)
        return QStringLiteral("PCRE2 error %1").arg(m_lastError);
    return QString::fromUtf8(reinterpret_cast<const char*>(buffer));
}

} // namespace zem::find
