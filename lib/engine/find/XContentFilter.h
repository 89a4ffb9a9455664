#pragma once
// The content part of a search filter: an expression matched inside a file's bytes.
//
// Simple expression: blank-separated terms, all of which must occur inside one scope unit; a
// term in double quotes is one literal that may hold blanks; case-insensitive (Unicode simple
// case folding). Regular expression: PCRE2 syntax over UTF-8 (invalid bytes never stop the
// search), case-sensitive unless the pattern says (?i); '^' and '$' match at line ends.
//
// Scope units: File, Paragraph (blocks of non-blank lines), Sentence (ends at '.', '!' or '?'
// followed by white space, or at the end of its paragraph). Marks never cross a unit: a
// regular expression is matched inside each unit as if the text ended at the unit's end (a
// match that would run past it is tried again inside the unit, so what the expression matches
// there counts; an empty match may sit at either edge of its unit); a match that starts
// between units (a blank line, the blanks between two sentences) is dropped.
//
// A line on which PCRE2's match limit gives up is skipped (logged, counted in skippedLines)
// and the search goes on with the rest of the file.
//
// Copies are cheap and independent: compiled patterns are shared read-only, match data is
// per copy. Each worker thread owns its copy; a copy is not used by two threads at once.
#include "XRamLayer.h"
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <vector>

namespace zem {
class XLineReaderDA;
}

namespace zem::find {

struct XRegexCode;
class XRegexMatcher;
class XScopeUnits;
class XUtf16Text;

class XContentFilter {
public:
    enum Scope : quint32 { SCOPE_FILE = 0, SCOPE_PARAGRAPH = 1, SCOPE_SENTENCE = 2 };

    explicit XContentFilter(quint32 scope = SCOPE_PARAGRAPH);
    XContentFilter(const XContentFilter& other);
    XContentFilter& operator=(const XContentFilter& other);
    XContentFilter(XContentFilter&&) noexcept;
    XContentFilter& operator=(XContentFilter&&) noexcept;
    ~XContentFilter();

    // Compiles text; false (with errorText) when it is empty or, as a regular expression,
    // does not compile. The scope may be set before or after.
    bool createSymbols(const QString& text, bool regEx);
    bool isValid() const { return m_valid; }
    const QString& errorText() const { return m_error; }

    const QString& text() const { return m_text; }
    bool isRegEx() const { return m_regEx; }
    quint32 scope() const { return m_scope; }
    void setScope(quint32 scope);
    QString scope_as_string() const;
    static QString scope_as_string(quint32 scope);
    // The terms of a simple expression as matched (quotes removed), for tests and tool tips.
    QStringList terms() const;

    // Rewinds the reading position; call before each file.
    void seekHome()
    {
        m_position = 0;
        m_skippedLines = 0;
        m_stopped = false;
    }
    qint64 position() const { return m_position; }
    // Lines of the last find on which PCRE2's match limit gave up (they were skipped).
    quint64 skippedLines() const { return m_skippedLines; }
    bool limitHit() const { return m_skippedLines > 0; }

    // Asked every block of a find (a few hundred kilobytes to a megabyte); true ends the find
    // early with the marks found so far and stopped() set. Copies take it along.
    void setStopCheck(std::function<bool()> stop);
    bool stopped() const { return m_stopped; }

    // Regular expressions look for the literals every match must contain first and run the
    // pattern only where a match can be (on by default; the marks are the same either way).
    void setLiteralPrefilter(bool on) { m_prefilter = on; }
    bool literalPrefilter() const { return m_prefilter; }

    // The expression can be searched a window of whole lines at a time with the same marks as
    // over the whole file: no match or look-around needs more than its line and the window's
    // context before it. Workers then let big files be read window by window.
    bool searchesInWindows() const;
    // The bytes before a window its search may look at: a look-behind's characters of up to 4
    // bytes each, and the line end before the window.
    qint64 windowContext() const;

    // Marks from byte offset 'from' to the end of the reader's data (or of the buffer). A text
    // with a UTF-16 byte-order mark is searched as its UTF-8 transcoding; its marks still give
    // the offsets and lengths of the file's bytes.
    XRamLayer find(qint64 from, XLineReaderDA& reader);
    XRamLayer find(qint64 from, const char* data, qint64 size);

    // "text" [Scope] or "/regex/ [Scope]"; the long form names the kind.
    QString toString(bool longForm = false) const;

private:
    struct Term;
    XRamLayer findIn(qint64 from, const char* data, qint64 size);
    bool findWindows(XLineReaderDA& reader, XRamLayer& layer);
    XRamLayer findUtf16(qint64 from, const char* data, qint64 size);
    void findTerms(const char* data, qint64 size, qint64 from, XRamLayer& layer);
    void findRegex(const char* data, qint64 size, qint64 from, XRamLayer& layer);
    template <typename Finder, typename Run>
    bool searchCandidateLines(Finder& literals, const char* data, qint64 size, qint64 from, Run& run, bool* failed);
    template <typename Finder, typename Run>
    bool searchCandidateUnits(Finder& literals, XScopeUnits& scope, const char* data, qint64 size, qint64 from,
                              Run& run, bool* failed);
    bool occurrences(const Term& term, int index, const char* data, qint64 size, qint64 from, std::vector<XRam>& out);
    bool aliasesKnown() const;
    bool aliasesPresent(const char* data, qint64 size);
    static void mergeInto(std::vector<std::vector<XRam>>& lists, std::vector<XRam>& out);
    bool stopOnError(int result);
    void noteSkippedLine(const char* data, qint64 size, qint64 lineStart);
    qint64 lineNumberAt(const char* data, qint64 size, qint64 offset);
    QString where() const;
    bool stopRequested();

    QString m_text;
    bool m_regEx = false;
    bool m_valid = false;
    bool m_prefilter = true;
    quint32 m_scope = SCOPE_PARAGRAPH;
    QString m_error;

    std::vector<std::shared_ptr<const Term>> m_terms;
    std::shared_ptr<const XRegexCode> m_regex;
    std::unique_ptr<XRegexMatcher> m_matcher;  // per copy, made on first use
    std::unique_ptr<XUtf16Text> m_utf16;       // per copy, made for the first UTF-16 text

    std::function<bool()> m_stop;

    qint64 m_position = 0;
    quint64 m_skippedLines = 0;
    bool m_stopped = false;
    // Set during one find only.
    XLineReaderDA* m_reader = nullptr;  // fed with line counts as the search scans
    QString m_logPath;                  // the file named in log lines when there is no reader
    int m_aliases = -1;                 // fold aliases in the data: -1 not known yet
    qint64 m_lineCountAt = 0;           // line ends before this offset: m_lineCountValue
    qint64 m_lineCountValue = 0;
    qint64 m_lineOriginAt = 0;          // where findIn starts counting lines, and the count there
    qint64 m_lineOriginValue = 0;       // -1: asked of m_windowReader when first needed
    XLineReaderDA* m_windowReader = nullptr;  // the windowed file searched, and where its
    qint64 m_windowStart = 0;                 // window in hand begins (for m_lineOriginValue)
};

} // namespace zem::find
