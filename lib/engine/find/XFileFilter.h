#pragma once
// The file part of a search filter: name patterns, modification day, size and text extensions.
// Built on the GUI thread, then copied; matching is const and safe from any thread.
//
// Patterns are comma-separated wildcards ('*', '?', '[...]' with '!' or '^' to negate) matched
// case-insensitively against the file name only. A pattern without a wildcard character
// matches names that contain it ("bitmap" is "*bitmap*").
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>
#include <string>
#include <vector>

class QFileInfo;

namespace zem {

class XFileFilter {
public:
    enum Area : quint32 { NONE = 0, LE = 1, EQ = 2, GE = 4, BETWEEN = 3, YEAR = 5 };

    // What a scanner must know about an entry before match() can answer.
    enum Need : quint32 { NEED_NOTHING = 0, NEED_NAME = 1, NEED_SIZE = 2, NEED_MTIME = 4 };

    XFileFilter();

    // notPattern false: include pattern; true: exclude pattern. Blank text removes it.
    void setPattern(const QString& text, bool notPattern = false);
    void setNotPattern(const QString& text) { setPattern(text, true); }
    bool has_Pattern() const { return !m_include.empty(); }
    bool has_not_Pattern() const { return !m_exclude.empty(); }
    const QString& pattern() const { return m_includeText; }
    const QString& notPattern() const { return m_excludeText; }

    // Bounds are milliseconds since the epoch; only their local calendar day counts.
    // LE: up to the end of day 1; EQ: on day 1; GE: from the start of day 1;
    // BETWEEN: from the start of the earlier day to the end of the later; YEAR: in day 1's year.
    void setTime(quint32 area, qint64 msBound1, qint64 msBound2 = 0);
    quint32 timeArea() const { return m_timeArea; }
    qint64 timeBound1() const { return m_time1; }
    qint64 timeBound2() const { return m_time2; }
    // The half-open range [from, to) of accepted modification times, once setTime has run.
    qint64 timeFrom() const { return m_timeFrom; }
    qint64 timeTo() const { return m_timeTo; }

    // Inclusive byte bounds; YEAR and NONE mean no size condition.
    void setSize(quint32 area, quint64 bound1, quint64 bound2 = 0);
    quint32 sizeArea() const { return m_sizeArea; }
    quint64 sizeBound1() const { return m_size1; }
    quint64 sizeBound2() const { return m_size2; }

    // Only files whose extension (after the last dot, any case) is in the set; an entry may be
    // written "txt", ".txt" or "*.txt". An empty set means no condition.
    void setTextExtensions(const QStringList& extensions);
    void setTextExtensions(const QSet<QString>& extensions);
    QStringList textExtensions() const;
    bool has_text_extensions() const { return !m_extensions.empty(); }

    // Bits of Need: the scanner may skip stat() when only the name is needed.
    quint32 needs() const;
    bool isEmpty() const { return needs() == NEED_NOTHING; }

    // Name conditions alone (patterns and extension); the name is a file name, not a path.
    bool matchName(QStringView name) const;
    bool matchNameUtf8(const char* name, std::size_t length) const;
    bool matchSize(quint64 size) const;
    bool matchTime(qint64 msSinceEpoch) const;
    // Every condition; size and time are read only when a condition needs them.
    bool matchValues(QStringView name, quint64 size, qint64 mtimeMs) const;
    bool matches(const QFileInfo& info) const;

    // "pattern:*.txt not:*.bak size>=:1024 ..." for logs and summaries.
    QString toString() const;

    // Public for tests: one compiled wildcard pattern over case-folded code points.
    struct Glob {
        struct Token {
            enum Kind : quint8 { LITERAL, ANY, STAR, CLASS } kind;
            bool negated = false;
            char32_t ch = 0;       // LITERAL
            int classIndex = -1;   // CLASS: index into ranges
        };
        std::vector<Token> tokens;
        std::vector<std::vector<std::pair<char32_t, char32_t>>> classes;
        // Common shapes ("*.txt", "abc*", "*abc*") skip the general matcher.
        enum Shape : quint8 { GENERAL, PREFIX, SUFFIX, CONTAINS } shape = GENERAL;
        std::u32string literal;
        static Glob compile(QStringView pattern);
        bool match(const char32_t* name, std::size_t length) const;
    };

private:
    bool matchFolded(const char32_t* name, std::size_t length) const;
    bool matchExtensionFolded(const char32_t* name, std::size_t length) const;

    QString m_includeText;
    QString m_excludeText;
    std::vector<Glob> m_include;
    std::vector<Glob> m_exclude;
    quint32 m_timeArea = NONE;
    qint64 m_time1 = 0;
    qint64 m_time2 = 0;
    qint64 m_timeFrom = 0;
    qint64 m_timeTo = 0;
    quint32 m_sizeArea = NONE;
    quint64 m_size1 = 0;
    quint64 m_size2 = 0;
    std::vector<std::u32string> m_extensions;  // case-folded, without the dot, sorted
};

} // namespace zem
