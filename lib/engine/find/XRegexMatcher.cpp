#include "XRegexMatcher.h"

#include "XRegexCode.h"

#include <pcre2.h>

#include <algorithm>
#include <cstring>

namespace zem::find {

namespace {
// The JIT stack grows from 32 KiB up to 1 MiB: enough for deeply nested patterns, small enough
// for 64 workers.
constexpr PCRE2_SIZE kJitStackStart = 32 * 1024;
constexpr PCRE2_SIZE kJitStackMax = 1024 * 1024;
// How far past a window's nominal end a line start is looked for before any character start
// is taken instead (a file of very long lines).
constexpr qint64 kLineLookahead = 64 * 1024;

inline bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Bytes of the UTF-8 character a lead byte starts, 0 for a byte that starts none.
inline int sequenceLength(unsigned char c)
{
    return c < 0x80 ? 1 : (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3 : (c >= 0xF0 && c <= 0xF4) ? 4 : 0;
}

// A valid character (or the end) at pos. Around invalid bytes PCRE2's result depends on where
// an attempt starts, so the loop takes no short cut there.
bool cleanAt(const char* subject, qint64 end, qint64 pos)
{
    if (pos >= end)
        return true;
    const int len = sequenceLength(static_cast<unsigned char>(subject[pos]));
    return len == 1 || (len > 1 && pos + len <= end && XRegexMatcher::validUtf8(subject + pos, len));
}
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

qint64 XRegexMatcher::nextChar(const char* subject, qint64 length, qint64 pos, bool crlf)
{
    if (crlf && pos + 1 < length && subject[pos] == '\r' && subject[pos + 1] == '\n')
        return pos + 2;  // CRLF is one line end
    ++pos;
    // Whole UTF-8 characters; a run of stray continuation bytes is one step too, as PCRE2
    // never starts a match inside it.
    while (pos < length && isContinuation(subject[pos]))
        ++pos;
    return pos;
}

qint64 XRegexMatcher::lineStart(const char* subject, qint64 pos)
{
    while (pos > 0 && subject[pos - 1] != '\n' && subject[pos - 1] != '\r')
        --pos;
    return pos;
}

qint64 XRegexMatcher::lineEnd(const char* subject, qint64 length, qint64 pos)
{
    while (pos < length && subject[pos] != '\n' && subject[pos] != '\r')
        ++pos;
    return pos;
}

qint64 XRegexMatcher::nextLineStart(const char* subject, qint64 length, qint64 end)
{
    if (end >= length)
        return length;
    if (subject[end] == '\r' && end + 1 < length && subject[end + 1] == '\n')
        return end + 2;
    return end + 1;
}

bool XRegexMatcher::validUtf8(const char* data, qint64 size)
{
    return firstInvalid(data, size) < 0;
}

qint64 XRegexMatcher::firstInvalid(const char* data, qint64 size)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    qint64 i = 0;
    while (i < size) {
        // ASCII runs eight bytes at a time.
        if (i + 8 <= size) {
            quint64 word;
            std::memcpy(&word, p + i, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int len;
        quint32 cp;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return i;
        }
        if (i + len > size)
            return i;
        for (int k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return i;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return i;
        i += len;
    }
    return -1;
}

XRegexMatcher::Compiled XRegexMatcher::pick(const XRegexCode& code, const char* subject, qint64 end, qint64 begin)
{
    const Compiled invalidAllowed{code.code, 0};
    if (code.jit || !code.strictCode)
        return invalidAllowed;
    // The interpreter checks the rest of the subject on every call when invalid UTF-8 is
    // allowed: check the range (and what a lookbehind may see) once, and run the strict code.
    qint64 from = std::min(begin, end);
    for (quint32 k = 0; k < code.maxLookbehind && from > 0; ++k) {
        --from;
        while (from > 0 && isContinuation(subject[from]))
            --from;
    }
    if (subject != m_checked) {
        m_checked = subject;
        m_validFrom = m_validTo = from;
        m_badAt = -1;
    }
    if (m_badAt >= from && m_badAt < end)
        return invalidAllowed;
    if (from < m_validFrom || from > m_validTo) {
        m_validFrom = m_validTo = from;
    }
    // Only what lies past the range checked before is new.
    if (end > m_validTo) {
        const qint64 bad = firstInvalid(subject + m_validTo, end - m_validTo);
        if (bad >= 0) {
            m_badAt = m_validTo + bad;
            return invalidAllowed;
        }
        m_validTo = end;
    }
    return Compiled{code.strictCode, PCRE2_NO_UTF_CHECK};
}

XRegexMatcher::Result XRegexMatcher::run(const Compiled& c, const char* subject, qint64 length, qint64 start,
                                         uint32_t options, qint64 limit, qint64* matchStart, qint64* matchEnd)
{
    if (!m_data || !m_context)
        return FAILED;
    pcre2_set_offset_limit(m_context, limit < 0 ? PCRE2_UNSET : PCRE2_SIZE(limit));
    // pcre2_match takes the JIT path itself when it can, and adds the pattern's own
    // (*NOTEMPTY) settings, which pcre2_jit_match would skip.
    const int rc = pcre2_match(c.code, reinterpret_cast<PCRE2_SPTR>(subject), PCRE2_SIZE(length), PCRE2_SIZE(start),
                               options | c.options, m_data, m_context);
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

qint64 XRegexMatcher::windowAfter(const char* subject, qint64 end, qint64 pos)
{
    const qint64 nominal = pos + kWindow;
    if (nominal >= end)
        return end + 1;
    // A line start, so that a match limit is traced to whole lines; failing that any character
    // start that does not split a CRLF (never the case here: no LF was found).
    const qint64 stop = std::min(end, nominal + kLineLookahead);
    for (qint64 from = nominal; from < stop;) {
        const void* lf = std::memchr(subject + from, '\n', size_t(stop - from));
        if (!lf)
            break;
        const qint64 w = static_cast<const char*>(lf) - subject + 1;
        if (cleanAt(subject, end, w))
            return w;
        from = w;
    }
    // Very long lines: any place between two ASCII bytes, else no window boundary here.
    for (qint64 w = nominal; w < stop; ++w) {
        if (static_cast<unsigned char>(subject[w - 1]) < 0x80 && static_cast<unsigned char>(subject[w]) < 0x80
            && !(subject[w - 1] == '\r' && subject[w] == '\n'))
            return w;
    }
    return end + 1;
}

XRegexMatcher::Result XRegexMatcher::forEach(const XRegexCode& code, const char* subject, qint64 end, qint64 begin,
                                             OnMatch onMatch, OnSkip onSkip, uint32_t flags, qint64 lastStart)
{
    if (lastStart < begin || lastStart > end)
        lastStart = end;
    if (begin > end)
        return NO_MATCH;
    const Compiled compiled = pick(code, subject, end, begin);
    const uint32_t base = (flags & NOT_EOL) ? PCRE2_NOTEOL : 0;
    // Windows would start attempts where the plain loop does not: not for \G and verbs.
    const bool windowed = !code.startDependent;
    qint64 pos = begin;
    bool afterEmpty = (flags & NOT_EMPTY_AT_BEGIN) != 0;
    qint64 windowEnd = -1;    // attempts start in [pos, windowEnd)
    qint64 narrowUntil = -1;  // up to here windows are single lines, after a match limit
    unsigned matches = 0;
    while (pos <= lastStart) {
        if (windowed && pos >= windowEnd) {
            if (stopRequested())
                return STOPPED;
            if (m_progress)
                m_progress(pos);
            windowEnd = pos < narrowUntil ? nextLineStart(subject, end, lineEnd(subject, end, pos)) : windowAfter(subject, end, pos);
            if (windowEnd <= pos || windowEnd > lastStart)
                windowEnd = lastStart + 1;
        } else if (++matches % kStopEveryMatches == 0 && stopRequested()) {
            return STOPPED;
        }
        qint64 s = 0, e = 0;
        const Result r = run(compiled, subject, end, pos, base | (afterEmpty ? PCRE2_NOTEMPTY_ATSTART : 0),
                             windowed ? windowEnd - 1 : (lastStart < end ? lastStart : -1), &s, &e);
        if (r == LIMIT) {
            if (windowed && pos >= narrowUntil) {
                // Somewhere in this window a line is too hard: go over its lines one by one.
                narrowUntil = windowEnd;
                windowEnd = -1;
                continue;
            }
            const qint64 le = lineEnd(subject, end, pos);
            onSkip(lineStart(subject, pos), le);
            const qint64 next = nextLineStart(subject, end, le);
            if (le >= end || next <= pos || next > lastStart)
                return NO_MATCH;
            pos = next;
            afterEmpty = false;
            windowEnd = -1;
            continue;
        }
        if (r == FAILED)
            return FAILED;
        if (afterEmpty) {
            afterEmpty = false;
            if (!(r == MATCH && s == pos)) {
                // No non-empty match where the empty one was: the plain loop goes on one
                // character further. The windowed search already did, unless its next start
                // lies inside that character (or a CRLF).
                if (pos >= lastStart)
                    return NO_MATCH;
                const qint64 next = nextChar(subject, end, pos, code.crlfIsNewline);
                if (!windowed || (r == MATCH && s < next) || !cleanAt(subject, end, pos) || !cleanAt(subject, end, next)) {
                    pos = next;
                    continue;
                }
            }
        }
        if (r == NO_MATCH) {
            if (!windowed || windowEnd > lastStart)
                return NO_MATCH;
            pos = windowEnd;
            continue;
        }
        if (!onMatch(s, e))
            return MATCH;
        afterEmpty = e == s || e <= pos;
        pos = std::max(e, pos);
    }
    return NO_MATCH;
}

QString XRegexMatcher::lastErrorText() const
{
    PCRE2_UCHAR buffer[256];
    if (pcre2_get_error_message(m_lastError, buffer, sizeof(buffer)) < 0)
        return QStringLiteral("PCRE2 error %1").arg(m_lastError);
    return QString::fromUtf8(reinterpret_cast<const char*>(buffer));
}

} // namespace zem::find
