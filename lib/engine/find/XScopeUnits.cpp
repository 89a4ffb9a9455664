#include "XScopeUnits.h"

#include "XContentFilter.h"

#include <cstring>

namespace zem::find {

namespace {
inline bool isLineEnd(char c) { return c == '\n' || c == '\r'; }
inline bool isBlankChar(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v'; }
inline bool isSpace(char c) { return isBlankChar(c) || isLineEnd(c); }
inline bool isStop(char c) { return c == '.' || c == '!' || c == '?'; }
} // namespace

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
    while (q > 0 && !isLineEnd(m_data[q - 1]))
        --q;
    return q;
}

qint64 XScopeUnits::lineEnd(qint64 q) const
{
    while (q < m_size && !isLineEnd(m_data[q]))
        ++q;
    return q;
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
    m_sentence = 0;
    const qint64 pe = m_paragraph.end;
    qint64 i = m_paragraph.start;
    while (i < pe) {
        while (i < pe && isSpace(m_data[i]))
            ++i;
        if (i >= pe)
            break;
        const qint64 s = i;
        qint64 e = pe;
        for (; i < pe; ++i) {
            if (isStop(m_data[i]) && (i + 1 == pe || isSpace(m_data[i + 1]))) {
                e = ++i;
                break;
            }
        }
        while (e > s && isSpace(m_data[e - 1]))
            --e;
        m_sentences.push_back(Span{s, e});
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
    while (m_sentence < m_sentences.size() && m_sentences[m_sentence].end <= offset)
        ++m_sentence;
    if (m_sentence < m_sentences.size() && m_sentences[m_sentence].start <= offset)
        return m_sentences[m_sentence];
    return Span{};
}

} // namespace zem::find
