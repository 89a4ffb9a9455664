#pragma once
// The counting and the HTML page of the statistics tab: a frequency table of the characters or
// of the words (of a minimum length) of one file. The counting is plain code that runs on a pool
// thread; it reads the file through the engine's line reader (mapped, its pages given back as
// the count moves on) and holds one entry per distinct character or word, never the text.
// It stops within about a megabyte of reading once its running flag turns false.
#include <QColor>
#include <QFileInfo>
#include <QString>
#include <atomic>
#include <vector>

namespace zemFinder::stats {

struct Row {
    QString symbol;
    quint32 count = 0;
    double percentage = 0;
    QString bytes;  // hexadecimal UTF-8 bytes of a character; "---" for words
};

struct Table {
    bool readable = false;
    bool stopped = false;
    qint64 lines = 0;
    quint64 total = 0;   // symbols (or words) counted
    quint64 unique = 0;  // distinct ones
    qint64 micros = 0;
    std::vector<Row> rows;
};

// The characters that separate words and that the character table leaves out: white space and
// punctuation (ASCII and the common Unicode marks).
bool is_delimiter(uint codePoint);

// countShow 0: all rows. Characters are code points (a surrogate pair is one character);
// invalid UTF-8 bytes count as U+FFFD each.
Table count_chars(const std::atomic<bool>& running, const QString& path, quint32 countShow);
// Words: runs between delimiters of at least minLen characters, counted exactly as written.
Table count_words(const std::atomic<bool>& running, const QString& path, quint32 countShow, quint32 minLen);

// Page pieces.
QString page_head(const QColor& background, const QColor& text);
QString file_header(const QFileInfo& file);
QString page_end();
QString stopped_page(const QColor& background, const QColor& text, const QFileInfo& file);
// "%2.3f " with a leading 0 below 10: 5.5 gives "05.500 ".
QString percentage_text(double percentage);
QString frequency_table(const std::vector<Row>& rows, bool charForm);

// The whole page: len 1 the character table, 2 to 20 the word table of that minimum length.
// "break!" when running turned false on the way.
QString statistics(const std::atomic<bool>& running, const QFileInfo& file, quint32 countShow, quint32 len,
                   const QColor& background, const QColor& text);

} // namespace zemFinder::stats
