#include "XScopeUnits.h"

#include "XContentFilter.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zem::find {

namespace {
inline bool isLineEnd(char c) { return c == '\n' || c == '\r'; }
inline bool isBlankChar(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v'; }
inline bool isSpace(char c) { return isBlankChar(c) || isLineEnd(c); }
inline bool isStop(char c) { return c == '.' || c == '!' || c == '?'; }

// First offset in [from, to) holding one of the bytes a, b, c (c may repeat a), or to.
// Paragraphs and sentences are walked with this, 16 bytes a step.
qint64 findAny(const char* d, qint64 from, qint64 to, char a, char b, char c)
{
    qint64 i = from;
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a), vb = _mm_set1_epi8(b), vc = _mm_set1_epi8(c);
    for (; i + 16 <= to; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb)), _mm_cmpeq_epi8(v, vc));
        const int m = _mm_movemask_epi8(hit);
        if (m != 0)
            return i + __builtin_ctz(unsigned(m));
    }
#endif
    for (; i < to; ++i) {
        if (d[i] == a || d[i] == b || d[i] == c)
            return i;
    }
    return to;
}

// Last offset in [from, to) holding a line end, or from - 1.
qint64 findLineEndBack(const char* d, qint64 from, qint64 to)
{
    qint64 i = to;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
    for (; i - 16 >= from; i -= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i - 16));
        const int m = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)));
        if (m != 0)
            return i - 16 + (31 - __builtin_clz(unsigned(m)));
    }
#endif
    for (; i > from; --i) {
        if (isLineEnd(d[i - 1]))
            return i - 1;
    }
    return from - 1;
}
} // namespace

bool XScopeUnits::insideOneUnit(const char* data, qint64 start, qint64 end, quint32 scope)
{
    if (end <= start)
        return false;
    bool nonBlank = false;
    for (qint64 i = start; i < end; ++i) {
        const char c = data[i];
        if (isLineEnd(c))
            return false;
        nonBlank = nonBlank || !isBlankChar(c);
        // A sentence end inside the range.
        if (scope == XContentFilter::SCOPE_SENTENCE && isStop(c) && i + 1 < end && isSpace(data[i + 1]))
            return false;
    }
    if (scope == XContentFilter::SCOPE_PARAGRAPH)
        return nonBlank;  // inside one line that is not blank
    // Sentences do not start or end with white space.
    return !isSpace(data[start]) && !isSpace(data[end - 1]);
}

XScopeUnits::XScopeUnits(const char* data, qint64 size, quint32 scope)
    : m_data(data), m_size(size), m_scope(scope)
{
}

bool XScopeUnits::textMayCrossUnit(const QByteArray& text, quint32 scope)
{
    if (scope == XContentFilter::SCOPE_FILE || text.isEmpty())
        return false;
    // Leading or trailing blanks may lie in a blank line or between two sentences.
    if (isSpace(text.front()) || isSpace(text.back()))
        return true;
    for (int i = 0; i < text.size(); ++i) {
        if (isLineEnd(text[i]))
            return true;
        if (scope == XContentFilter::SCOPE_SENTENCE && isStop(text[i]) && i + 1 < text.size() && isSpace(text[i + 1]))
            return true;
    }
    return false;
}

qint64 XScopeUnits::lineStart(qint64 q) const
{
    return findLineEndBack(m_data, 0, q) + 1;
}

qint64 XScopeUnits::lineEnd(qint64 q) const
{
    return findAny(m_data, q, m_size, '\n', '\r', '\n');
}

qint64 XScopeUnits::nextLineStart(qint64 end) const
{
    if (end >= m_size)
        return m_size;
    if (m_data[end] == '\r' && end + 1 < m_size && m_data[end + 1] == '\n')
        return end + 2;
    return end + 1;
}

bool XScopeUnits::blank(qint64 from, qint64 to) const
{
    for (qint64 i = from; i < to; ++i) {
        if (!isBlankChar(m_data[i]))
            return false;
    }
    return true;
}

XScopeUnits::Span XScopeUnits::paragraphAt(qint64 offset)
{
    if (m_paragraph.valid() && offset >= m_paragraph.start && offset < m_paragraph.end)
        return m_paragraph;
    qint64 q = offset;
    // An offset on a line end belongs to the line it ends.
    if (q < m_size && m_data[q] == '\n' && q > 0 && m_data[q - 1] == '\r')
        --q;
    const qint64 ls = lineStart(q);
    const qint64 le = lineEnd(ls);
    if (blank(ls, le))
        return Span{};
    qint64 start = ls;
    while (start > 0) {
        qint64 prevEnd = start - 1;
        if (m_data[prevEnd] == '\n' && prevEnd > 0 && m_data[prevEnd - 1] == '\r')
            --prevEnd;
        const qint64 prevStart = lineStart(prevEnd);
        if (blank(prevStart, prevEnd))
            break;
        start = prevStart;
    }
    qint64 end = le;
    while (end < m_size) {
        const qint64 ns = nextLineStart(end);
        if (ns >= m_size)
            break;
        const qint64 ne = lineEnd(ns);
        if (blank(ns, ne))
            break;
        end = ne;
    }
    m_paragraph = Span{start, end};
    if (m_scope == XContentFilter::SCOPE_SENTENCE)
        splitSentences();
    return m_paragraph;
}

void XScopeUnits::splitSentences()
{
    m_sentences.clear();
    const qint64 pe = m_paragraph.end;
    qint64 i = m_paragraph.start;
    while (i < pe) {
        while (i < pe && isSpace(m_data[i]))
            ++i;
        if (i >= pe)
            break;
        const qint64 s = i;
        qint64 e = pe;
        for (;;) {
            i = findAny(m_data, i, pe, '.', '!', '?');
            if (i >= pe)
                break;
            if (i + 1 == pe || isSpace(m_data[i + 1])) {
                e = ++i;
                break;
            }
            ++i;
        }
        while (e > s && isSpace(m_data[e - 1]))
            --e;
        m_sentences.push_back(Span{s, e});
        i = std::max(i, e);
    }
}

XScopeUnits::Span XScopeUnits::unitAt(qint64 offset)
{
    if (offset < 0 || offset >= m_size)
        return Span{};
    if (m_scope == XContentFilter::SCOPE_FILE)
        return Span{0, m_size};
    const Span p = paragraphAt(offset);
    if (!p.valid() || m_scope == XContentFilter::SCOPE_PARAGRAPH)
        return p;
    // The first sentence ending after offset.
    const auto it = std::upper_bound(m_sentences.begin(), m_sentences.end(), offset,
                                     [](qint64 o, const Span& s) { return o < s.end; });
    if (it != m_sentences.end() && it->start <= offset)
        return *it;
    return Span{};
}

XScopeUnits::Span XScopeUnits::unitFrom(qint64 offset, bool atEndToo)
{
    offset = std::max<qint64>(offset, 0);
    if (offset > m_size)
        return Span{};
    if (m_scope == XContentFilter::SCOPE_FILE)
        return Span{0, m_size};
    if (atEndToo && offset > 0) {
        const Span before = unitAt(offset - 1);
        if (before.valid() && before.start < offset && before.end == offset)
            return before;
    }
    const Span here = unitAt(offset);
    if (here.valid() && here.start <= offset && offset < here.end)
        return here;
    // Between units: every byte that is not white space lies in a unit.
    qint64 q = offset;
    while (q < m_size && isSpace(m_data[q]))
        ++q;
    return q < m_size ? unitAt(q) : Span{};
}

} // namespace zem::find
