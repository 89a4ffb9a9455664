#pragma once
// The per-copy state for running XRegexCode patterns: match data, match limits and the JIT
// stack. Made lazily by a content filter copy and never shared between threads.
#include <QString>
#include <QtGlobal>
#include <cstdint>

struct pcre2_real_match_data_8;
struct pcre2_real_match_context_8;
struct pcre2_real_jit_stack_8;

namespace zem::find {

struct XRegexCode;

class XRegexMatcher {
public:
    enum Result { MATCH, NO_MATCH, LIMIT, FAILED };

    // Backtracking steps per match attempt before PCRE2 gives up; pathological patterns such
    // as (a+)+$ reach it within a few milliseconds instead of running for years.
    static constexpr uint32_t kMatchLimit = 5000000;

    XRegexMatcher();
    ~XRegexMatcher();
    XRegexMatcher(const XRegexMatcher&) = delete;
    XRegexMatcher& operator=(const XRegexMatcher&) = delete;

    // One match in subject[0, length) starting the search at start; the subject before start
    // is visible to lookbehinds.
    Result match(const XRegexCode& code, const char* subject, qint64 length, qint64 start, uint32_t options,
                 qint64* matchStart, qint64* matchEnd);

    // Every match in [begin, end), in order, empty matches included; onMatch(start, end)
    // returns false to stop early.
    template <typename F>
    Result forEach(const XRegexCode& code, const char* subject, qint64 end, qint64 begin, F&& onMatch);

    int lastErrorCode() const { return m_lastError; }
    QString lastErrorText() const;

    // The offset after the character at pos (a CRLF counts as one).
    static qint64 nextChar(const char* subject, qint64 length, qint64 pos);

private:
    static uint32_t notEmptyAnchored();

    pcre2_real_match_data_8* m_data = nullptr;
    pcre2_real_match_context_8* m_context = nullptr;
    pcre2_real_jit_stack_8* m_stack = nullptr;
    int m_lastError = 0;
};

template <typename F>
XRegexMatcher::Result XRegexMatcher::forEach(const XRegexCode& code, const char* subject, qint64 end, qint64 begin, F&& onMatch)
{
    qint64 pos = begin;
    uint32_t options = 0;
    while (pos <= end) {
        qint64 s = 0, e = 0;
        const Result r = match(code, subject, end, pos, options, &s, &e);
        if (r == NO_MATCH) {
            if (options == 0)
                return NO_MATCH;
            // No non-empty match where the empty one was: step over one character.
            options = 0;
            pos = nextChar(subject, end, pos);
            continue;
        }
        if (r != MATCH)
            return r;
        if (!onMatch(s, e))
            return MATCH;
        options = (e == s) ? notEmptyAnchored() : 0;
        pos = e;
    }
    return NO_MATCH;
}

} // namespace zem::find
