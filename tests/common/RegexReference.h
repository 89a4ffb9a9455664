#pragma once
// A plain PCRE2 reference for the content tests: every match of a pattern, found the way
// PCRE2's own global-match example finds them (after an empty match, an anchored non-empty
// retry at the same place, else one character further on, a CRLF counting as one), with the
// options the engine compiles with. The anchored retry runs a second code compiled anchored,
// so that the reference stays fast on subjects with many empty matches. Beside it, scope units
// found by walking the whole text, and the matches of the plain loop inside each unit.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <utility>
#include <vector>

class RegexReference {
public:
    using Match = std::pair<qint64, qint64>;  // start, end
    using Matches = std::vector<Match>;

    explicit RegexReference(const QByteArray& pattern)
    {
        m_plain = compile(pattern, 0);
        m_anchored = compile(pattern, PCRE2_ANCHORED);
        m_data = pcre2_match_data_create(1, nullptr);
        // A JIT stack as large as the engine's, so that the same patterns fit.
        m_context = pcre2_match_context_create(nullptr);
        m_stack = pcre2_jit_stack_create(32 * 1024, 1024 * 1024, nullptr);
        pcre2_jit_stack_assign(m_context, nullptr, m_stack);
        if (m_plain) {
            uint32_t nl = 0;
            pcre2_pattern_info(m_plain, PCRE2_INFO_NEWLINE, &nl);
            m_crlf = nl == PCRE2_NEWLINE_CRLF || nl == PCRE2_NEWLINE_ANY || nl == PCRE2_NEWLINE_ANYCRLF;
        }
    }
    ~RegexReference()
    {
        pcre2_match_data_free(m_data);
        pcre2_jit_stack_free(m_stack);
        pcre2_match_context_free(m_context);
        pcre2_code_free(m_anchored);
        pcre2_code_free(m_plain);
    }
    RegexReference(const RegexReference&) = delete;
    RegexReference& operator=(const RegexReference&) = delete;

    bool valid() const { return m_plain && m_anchored; }
    // The PCRE2 error of the last matches() call, 0 when there was none.
    int error() const { return m_error; }

    // Matches starting in [begin, end] of subject[0, end); notEol: '$' does not match at end.
    std::vector<Match> matches(const char* subject, qint64 end, qint64 begin = 0, bool notEol = false)
    {
        std::vector<Match> out;
        m_error = 0;
        const auto* s = reinterpret_cast<PCRE2_SPTR>(subject);
        const uint32_t base = notEol ? PCRE2_NOTEOL : 0;
        PCRE2_SIZE start = PCRE2_SIZE(begin);
        bool retry = false;
        for (;;) {
            const int rc = pcre2_match(retry ? m_anchored : m_plain, s, PCRE2_SIZE(end), start,
                                       base | (retry ? PCRE2_NOTEMPTY_ATSTART : 0), m_data, m_context);
            if (rc == PCRE2_ERROR_NOMATCH) {
                if (!retry)
                    break;
                retry = false;
                ++start;
                if (m_crlf && start < PCRE2_SIZE(end) && subject[start - 1] == '\r' && subject[start] == '\n') {
                    ++start;
                } else {
                    while (start < PCRE2_SIZE(end) && (static_cast<unsigned char>(subject[start]) & 0xC0) == 0x80)
                        ++start;
                }
                if (start > PCRE2_SIZE(end))
                    break;
                continue;
            }
            if (rc < 0) {
                m_error = rc;
                break;
            }
            const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(m_data);
            out.emplace_back(qint64(ov[0]), qint64(ov[1]));
            retry = ov[0] == ov[1];
            if (retry && ov[1] == PCRE2_SIZE(end))
                break;
            start = ov[1];
        }
        return out;
    }

private:
    static pcre2_code* compile(const QByteArray& pattern, uint32_t extra)
    {
        pcre2_compile_context* ctx = pcre2_compile_context_create(nullptr);
        pcre2_set_newline(ctx, PCRE2_NEWLINE_ANYCRLF);
        int code = 0;
        PCRE2_SIZE offset = 0;
        pcre2_code* re = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.constData()), PCRE2_SIZE(pattern.size()),
                                       PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_MULTILINE | PCRE2_UCP | extra, &code,
                                       &offset, ctx);
        pcre2_compile_context_free(ctx);
        if (re)
            pcre2_jit_compile(re, PCRE2_JIT_COMPLETE);
        return re;
    }

    pcre2_code* m_plain = nullptr;
    pcre2_code* m_anchored = nullptr;
    pcre2_match_data* m_data = nullptr;
    pcre2_match_context* m_context = nullptr;
    pcre2_jit_stack* m_stack = nullptr;
    bool m_crlf = true;
    int m_error = 0;
};

// Units by walking the whole text: paragraphs are runs of lines that are not blank (blank =
// spaces and tabs only), without the last line end; sentences end at '.', '!' or '?' before
// white space, or at their paragraph's end, without blanks at either edge.
inline RegexReference::Matches referenceUnits(const QByteArray& t, int scope)
{
    const int n = t.size();
    if (scope == 0)
        return RegexReference::Matches{{0, n}};
    auto isLineEnd = [](char c) { return c == '\n' || c == '\r'; };
    auto isSpace = [&](char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v' || isLineEnd(c); };
    RegexReference::Matches paragraphs;
    qint64 start = -1, end = -1;
    int i = 0;
    while (i <= n) {
        int le = i;
        while (le < n && !isLineEnd(t[le]))
            ++le;
        bool blank = true;
        for (int k = i; k < le; ++k)
            blank = blank && (t[k] == ' ' || t[k] == '\t' || t[k] == '\f' || t[k] == '\v');
        const bool lastEmpty = i == n;
        if (!blank) {
            if (start < 0)
                start = i;
            end = le;
        } else if (start >= 0) {
            paragraphs.emplace_back(start, end);
            start = -1;
        }
        if (lastEmpty)
            break;
        i = (le < n && t[le] == '\r' && le + 1 < n && t[le + 1] == '\n') ? le + 2 : le + 1;
        if (le >= n)
            break;
    }
    if (start >= 0)
        paragraphs.emplace_back(start, end);
    if (scope == 1)
        return paragraphs;
    RegexReference::Matches sentences;
    for (const auto& p : paragraphs) {
        qint64 k = p.first;
        while (k < p.second) {
            while (k < p.second && isSpace(t[int(k)]))
                ++k;
            if (k >= p.second)
                break;
            const qint64 s = k;
            qint64 e = p.second;
            for (; k < p.second; ++k) {
                const char c = t[int(k)];
                if ((c == '.' || c == '!' || c == '?') && (k + 1 == p.second || isSpace(t[int(k + 1)]))) {
                    e = ++k;
                    break;
                }
            }
            while (e > s && isSpace(t[int(e - 1)]))
                --e;
            sentences.emplace_back(s, e);
            k = std::max(k, e);
        }
    }
    return sentences;
}

// What a plain PCRE2 loop finds inside each unit, the text cut at the unit's end.
inline RegexReference::Matches referenceInUnits(const QByteArray& text, const QByteArray& pattern, int scope)
{
    RegexReference ref(pattern);
    RegexReference::Matches out;
    for (const auto& u : referenceUnits(text, scope)) {
        const bool notEol = u.second < text.size() && text[int(u.second)] != '\n' && text[int(u.second)] != '\r';
        for (const auto& m : ref.matches(text.constData(), u.second, u.first, notEol))
            out.push_back(m);
    }
    return out;
}

