#pragma once
// Finds the scope unit (file, paragraph or sentence) around a byte offset, looking only at the
// neighbourhood of that offset so that files with few hits are not split up as a whole.
//
// Paragraph: a run of lines that are not blank (blank = only spaces and tabs), without the
// final line end. Sentence: inside a paragraph, from the first non-blank character to '.', '!'
// or '?' followed by white space (inclusive), or to the end of the paragraph.
// Queries are fastest with non-decreasing offsets; one object serves one search of one buffer.
#include <QByteArray>
#include <QtGlobal>
#include <vector>

namespace zem::find {

class XScopeUnits {
public:
    struct Span {
        qint64 start = -1;
        qint64 end = -1;
        bool valid() const { return start >= 0; }
        bool contains(qint64 s, qint64 e) const { return s >= start && e <= end; }
    };

    XScopeUnits(const char* data, qint64 size, quint32 scope);

    // The unit holding offset, or an invalid span when offset lies between units. (For an
    // offset on the line end after a paragraph, the paragraph is returned: check its end.)
    Span unitAt(qint64 offset);
    // The unit holding offset, or else the first unit after it; with atEndToo an offset right
    // at a unit's end counts as held by it (an empty match there). Invalid when none is left.
    Span unitFrom(qint64 offset, bool atEndToo);

    // Whether an occurrence of this fixed text could ever lie across a unit's edge; when not,
    // a lone term needs no units at all.
    static bool textMayCrossUnit(const QByteArray& text, quint32 scope);

    // True when the range surely lies inside one paragraph or sentence, judged from its own
    // bytes (no line end, not blank, no sentence end inside); false means "ask unitAt".
    static bool insideOneUnit(const char* data, qint64 start, qint64 end, quint32 scope);

private:
    Span paragraphAt(qint64 offset);
    qint64 lineStart(qint64 q) const;
    qint64 lineEnd(qint64 q) const;
    qint64 nextLineStart(qint64 lineEnd) const;
    bool blank(qint64 from, qint64 to) const;
    void splitSentences();

    const char* m_data;
    qint64 m_size;
    quint32 m_scope;
    Span m_paragraph;
    std::vector<Span> m_sentences;  // of m_paragraph, in order
};

} // namespace zem::find
