#pragma once
// The per-copy state for running XRegexCode patterns: match data, match limits, the JIT stack,
// and the loop over every match of a range. Made lazily by a content filter copy and never
// shared between threads; runs on the thread of its filter.
//
// The loop gives the matches of PCRE2's own global-match example (after an empty match, a
// non-empty match at the same place, else the search goes on one character further, a CRLF
// counting as one), with every call through the JIT when the pattern has JIT code. Match starts
// are looked for one window at a time (the pattern's offset limit); between windows the stop
// check runs, and when the match limit gives up inside a window its lines are searched one by
// one, so that only the line that is too hard is skipped.
#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <functional>
#include <type_traits>
#include <utility>

struct pcre2_real_code_8;
struct pcre2_real_match_data_8;
struct pcre2_real_match_context_8;
struct pcre2_real_jit_stack_8;

namespace zem::find {

struct XRegexCode;

// A non-owning reference to a callable, valid for the call it is passed to.
template <typename Sig>
class XFunctionRef;
template <typename R, typename... A>
class XFunctionRef<R(A...)> {
public:
    template <typename F, typename = std::enable_if_t<!std::is_same_v<std::decay_t<F>, XFunctionRef>>>
    XFunctionRef(F&& f) // NOLINT: implicit on purpose, like a function pointer
        : m_object(const_cast<void*>(static_cast<const void*>(&f))),
          m_call([](void* o, A... a) -> R { return (*static_cast<std::remove_reference_t<F>*>(o))(std::forward<A>(a)...); })
    {
    }
    R operator()(A... a) const { return m_call(m_object, std::forward<A>(a)...); }

private:
    void* m_object;
    R (*m_call)(void*, A...);
};

class XRegexMatcher {
public:
    enum Result { MATCH, NO_MATCH, LIMIT, FAILED, STOPPED };
    enum Flag : uint32_t {
        NOT_EMPTY_AT_BEGIN = 1,  // an empty match at begin was already taken
        NOT_EOL = 2,             // the range's end is not a line end: '$' does not match there
    };

    // Backtracking steps per match attempt before PCRE2 gives up; pathological patterns such
    // as (a+)+$ reach it within a few milliseconds instead of running for years.
    static constexpr uint32_t kMatchLimit = 5000000;
    // Bytes of match starts per window: a fast pattern covers one in well under a millisecond,
    // a slow one in some tens of milliseconds, which bounds how late a stop is noticed.
    static constexpr qint64 kWindow = qint64(1) << 20;
    // Every this many matches the stop check runs as well (patterns with dense matches).
    static constexpr unsigned kStopEveryMatches = 1024;

    using OnMatch = XFunctionRef<bool(qint64, qint64)>;
    using OnSkip = XFunctionRef<void(qint64, qint64)>;

    XRegexMatcher();
    ~XRegexMatcher();
    XRegexMatcher(const XRegexMatcher&) = delete;
    XRegexMatcher& operator=(const XRegexMatcher&) = delete;

    // True ends a forEach with STOPPED; asked between windows and every kStopEveryMatches.
    void setStopCheck(std::function<bool()> stop) { m_stop = std::move(stop); }
    // Told, between windows, that no match will start before this offset any more.
    void setProgress(std::function<void(qint64)> progress) { m_progress = std::move(progress); }

    // Every match starting in [begin, end] of subject[0, end), in order, empty matches included;
    // the subject before begin is visible to lookbehinds. onMatch(start, end) returns false to
    // stop early (result MATCH). A line where the match limit gives up is handed to
    // onSkip(lineStart, lineEnd) and the search goes on after it. Ends with NO_MATCH when all
    // matches are through, STOPPED on the stop check, FAILED on any other PCRE2 error.
    // lastStart (when in [begin, end)) limits the match starts to [begin, lastStart], while
    // matches still see and may run to the subject's end.
    Result forEach(const XRegexCode& code, const char* subject, qint64 end, qint64 begin, OnMatch onMatch,
                   OnSkip onSkip, uint32_t flags = 0, qint64 lastStart = -1);

    int lastErrorCode() const { return m_lastError; }
    QString lastErrorText() const;

    // The offset after the character at pos (a CRLF counts as one when crlf is set).
    static qint64 nextChar(const char* subject, qint64 length, qint64 pos, bool crlf = true);
    // Line helpers: the start of the line holding pos, the offset of its line end (or length),
    // and the start of the next line after a line end.
    static qint64 lineStart(const char* subject, qint64 pos);
    static qint64 lineEnd(const char* subject, qint64 length, qint64 pos);
    static qint64 nextLineStart(const char* subject, qint64 length, qint64 lineEnd);
    // Whether bytes are valid UTF-8 as PCRE2 sees it (no overlong forms, no surrogates), and
    // the offset of the first byte that is not (-1 when all are).
    static bool validUtf8(const char* data, qint64 size);
    static qint64 firstInvalid(const char* data, qint64 size);

    // The next forEach searches other bytes than the last, even at the same address.
    void newSubject() { m_checked = nullptr; }

private:
    struct Compiled {
        const pcre2_real_code_8* code;
        uint32_t options;  // PCRE2_NO_UTF_CHECK where the range was checked once
    };
    Compiled pick(const XRegexCode& code, const char* subject, qint64 end, qint64 begin);
    Result run(const Compiled& c, const char* subject, qint64 length, qint64 start, uint32_t options, qint64 limit,
               qint64* matchStart, qint64* matchEnd);
    static qint64 windowAfter(const char* subject, qint64 end, qint64 pos);
    bool stopRequested() const { return m_stop && m_stop(); }

    pcre2_real_match_data_8* m_data = nullptr;
    pcre2_real_match_context_8* m_context = nullptr;
    pcre2_real_jit_stack_8* m_stack = nullptr;
    std::function<bool()> m_stop;
    std::function<void(qint64)> m_progress;
    int m_lastError = 0;
    // Interpreted patterns: the part of the subject known to be valid UTF-8, and an offset
    // known to be invalid (-1 none), so that repeated calls do not check it again.
    const char* m_checked = nullptr;
    qint64 m_validFrom = 0;
    qint64 m_validTo = 0;
    qint64 m_badAt = -1;
};

} // namespace zem::find
