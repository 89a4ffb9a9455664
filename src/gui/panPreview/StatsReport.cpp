#include "StatsReport.h"

#include "Logger.h"
#include "XLang.h"
#include "XLineReaderDA.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

namespace zemFinder::stats {

namespace {
// The reader's longest line; the count itself does not depend on lines.
constexpr int kLineLenMax = 104857600;
// Bytes counted between two looks at the running flag (a few milliseconds of work).
constexpr qint64 kChunk = qint64(1) << 20;

const char kAsciiDelims[] = " \t\r\n\f\v.,;:!?\"'()[]{}<>/\\|+-*=&%$#@^~`";

struct AsciiTable {
    bool delim[128] = {};
    AsciiTable()
    {
        for (const char* p = kAsciiDelims; *p; ++p)
            delim[uchar(*p)] = true;
        for (int c = 0; c < 32; ++c)
            delim[c] = true;
        delim[127] = true;
    }
};
const AsciiTable& ascii()
{
    static const AsciiTable table;
    return table;
}

// Decodes the UTF-8 sequence at p (p < end, *p >= 0x80); advances p. Invalid bytes give U+FFFD,
// one byte at a time.
uint decode(const uchar*& p, const uchar* end)
{
    const uchar b = *p;
    int n = 0;
    uint cp = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 1;
        cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 2;
        cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 3;
        cp = b & 0x07;
    } else {
        ++p;
        return 0xFFFD;
    }
    if (end - p <= n) {
        ++p;
        return 0xFFFD;
    }
    for (int i = 1; i <= n; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            ++p;
            return 0xFFFD;
        }
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++p;
        return 0xFFFD;
    }
    p += n + 1;
    return cp;
}

QString char_text(uint cp)
{
    return QString::fromUcs4(&cp, 1);
}

QString bytes_hex(uint cp)
{
    return QString::fromLatin1(char_text(cp).toUtf8().toHex(' '));
}

double percent(quint64 count, quint64 total)
{
    return total ? double(count) / double(total) * 100.0 : 0.0;
}

// An open-addressing table of words (UTF-8 bytes kept in one arena) to counts: a few bytes per
// distinct word instead of a node and a string each.
class WordTable {
public:
    WordTable() : m_slots(1 << 16) {}

    void add(const char* word, quint32 length)
    {
        const quint64 h = hash(word, length);
        std::size_t mask = m_slots.size() - 1;
        std::size_t i = std::size_t(h) & mask;
        while (true) {
            Slot& s = m_slots[i];
            if (s.count == 0) {
                s.hash = h;
                s.offset = m_arena.size();
                s.length = length;
                s.count = 1;
                m_arena.insert(m_arena.end(), word, word + length);
                if (++m_used * 2 > m_slots.size())
                    grow();
                return;
            }
            if (s.hash == h && s.length == length && std::memcmp(m_arena.data() + s.offset, word, length) == 0) {
                if (s.count < UINT32_MAX)
                    ++s.count;
                return;
            }
            i = (i + 1) & mask;
        }
    }

    std::size_t size() const { return m_used; }

    struct Entry {
        const char* word;
        quint32 length;
        quint32 count;
    };
    std::vector<Entry> entries() const
    {
        std::vector<Entry> out;
        out.reserve(m_used);
        for (const Slot& s : m_slots)
            if (s.count)
                out.push_back(Entry{m_arena.data() + s.offset, s.length, s.count});
        return out;
    }

private:
    struct Slot {
        quint64 hash = 0;
        quint64 offset = 0;
        quint32 length = 0;
        quint32 count = 0;
    };
    static quint64 hash(const char* p, quint32 n)
    {
        quint64 h = 1469598103934665603ull;
        for (quint32 i = 0; i < n; ++i)
            h = (h ^ uchar(p[i])) * 1099511628211ull;
        return h ^ (h >> 29);
    }
    void grow()
    {
        std::vector<Slot> old(m_slots.size() * 2);
        old.swap(m_slots);
        const std::size_t mask = m_slots.size() - 1;
        for (const Slot& s : old) {
            if (!s.count)
                continue;
            std::size_t i = std::size_t(s.hash) & mask;
            while (m_slots[i].count)
                i = (i + 1) & mask;
            m_slots[i] = s;
        }
    }

    std::vector<Slot> m_slots;
    std::vector<char> m_arena;
    std::size_t m_used = 0;
};

// Orders by count, higher first; equal counts in ascending symbol order (less(a, b)).
template <typename T, typename Less>
void order_top(std::vector<T>& v, std::size_t keep, Less less)
{
    auto cmp = [&](const T& a, const T& b) { return a.count != b.count ? a.count > b.count : less(a, b); };
    if (keep < v.size()) {
        std::partial_sort(v.begin(), v.begin() + std::ptrdiff_t(keep), v.end(), cmp);
        v.resize(keep);
    } else {
        std::sort(v.begin(), v.end(), cmp);
    }
}

bool open_reader(zem::XLineReaderDA& reader, const QString& path)
{
    if (!reader.openFile(path, kLineLenMax, true))
        return false;
    reader.beginPass(0);
    return true;
}

std::size_t keep_of(quint32 countShow)
{
    // 0 shows everything.
    return countShow == 0 ? std::size_t(2000000000) : std::size_t(countShow);
}
} // namespace

bool is_delimiter(uint cp)
{
    if (cp < 128)
        return ascii().delim[cp];
    switch (cp) {
    case 0x85: case 0xA0: case 0xAB: case 0xBB: case 0xB7: case 0xBF: case 0xA1:
    case 0x2026: case 0x2013: case 0x2014: case 0x2018: case 0x2019: case 0x201A: case 0x201C: case 0x201D:
    case 0x201E: case 0x2022: case 0x2039: case 0x203A: case 0x3001: case 0x3002: case 0xFF0C: case 0xFF0E:
    case 0xFF1A: case 0xFF1B: case 0xFF01: case 0xFF1F: case 0xFEFF:
        return true;
    default:
        return QChar::isSpace(cp);
    }
}

Table count_chars(const std::atomic<bool>& running, const QString& path, quint32 countShow)
{
    Table t;
    zem::XLineReaderDA reader;
    if (!open_reader(reader, path))
        return t;
    t.readable = true;
    QElapsedTimer clock;
    clock.start();
    std::vector<quint64> counts(0x10000, 0);
    std::map<uint, quint64> beyond;  // past the Basic Multilingual Plane
    const uchar* const data = reinterpret_cast<const uchar*>(reader.data());
    const uchar* const end = data + reader.size();
    const uchar* p = data;
    while (p < end) {
        if (!running.load(std::memory_order_relaxed)) {
            t.stopped = true;
            return t;
        }
        const uchar* const chunkEnd = std::min(end, p + kChunk);
        while (p < chunkEnd) {
            if (*p < 0x80) {
                ++counts[*p++];
                continue;
            }
            const uint cp = decode(p, end);
            if (cp < 0x10000)
                ++counts[cp];
            else
                ++beyond[cp];
        }
        reader.advanceStats(p - data);
    }
    t.lines = reader.countLines();
    struct Sym {
        uint cp;
        quint64 count;
    };
    std::vector<Sym> syms;
    for (uint cp = 0; cp < 0x10000; ++cp)
        if (counts[cp] && !is_delimiter(cp))
            syms.push_back(Sym{cp, counts[cp]});
    for (const auto& [cp, n] : beyond)
        if (!is_delimiter(cp))
            syms.push_back(Sym{cp, n});
    for (const Sym& s : syms)
        t.total += s.count;
    t.unique = syms.size();
    order_top(syms, keep_of(countShow), [](const Sym& a, const Sym& b) { return a.cp < b.cp; });
    t.rows.reserve(syms.size());
    for (const Sym& s : syms)
        t.rows.push_back(Row{char_text(s.cp), quint32(std::min<quint64>(s.count, UINT32_MAX)), percent(s.count, t.total),
                             bytes_hex(s.cp)});
    t.micros = clock.nsecsElapsed() / 1000;
    return t;
}

Table count_words(const std::atomic<bool>& running, const QString& path, quint32 countShow, quint32 minLen)
{
    Table t;
    zem::XLineReaderDA reader;
    if (!open_reader(reader, path))
        return t;
    t.readable = true;
    QElapsedTimer clock;
    clock.start();
    WordTable words;
    const bool* const delim = ascii().delim;
    const uchar* const data = reinterpret_cast<const uchar*>(reader.data());
    const uchar* const end = data + reader.size();
    const uchar* p = data;
    const uchar* wordStart = nullptr;
    quint32 wordChars = 0;
    auto endWord = [&](const uchar* at) {
        if (wordStart && wordChars >= minLen) {
            words.add(reinterpret_cast<const char*>(wordStart), quint32(at - wordStart));
            ++t.total;
        }
        wordStart = nullptr;
        wordChars = 0;
    };
    while (p < end) {
        if (!running.load(std::memory_order_relaxed)) {
            t.stopped = true;
            return t;
        }
        const uchar* const chunkEnd = std::min(end, p + kChunk);
        while (p < chunkEnd) {
            const uchar* at = p;
            bool isDelim;
            if (*p < 0x80) {
                isDelim = delim[*p];
                ++p;
            } else {
                isDelim = is_delimiter(decode(p, end));
            }
            if (isDelim) {
                endWord(at);
            } else {
                if (!wordStart)
                    wordStart = at;
                ++wordChars;
            }
        }
        // A word that runs on past the chunk keeps its start; its bytes are still mapped.
        reader.advanceStats(wordStart ? wordStart - data : p - data);
    }
    endWord(end);
    t.lines = reader.countLines();
    t.micros = clock.nsecsElapsed() / 1000;
    std::vector<WordTable::Entry> list = words.entries();
    t.unique = list.size();
    order_top(list, keep_of(countShow), [](const WordTable::Entry& a, const WordTable::Entry& b) {
        const int c = std::memcmp(a.word, b.word, std::min(a.length, b.length));
        return c != 0 ? c < 0 : a.length < b.length;
    });
    t.rows.reserve(list.size());
    for (const WordTable::Entry& e : list)
        t.rows.push_back(Row{QString::fromUtf8(e.word, int(e.length)), e.count, percent(e.count, t.total),
                             QStringLiteral("---")});
    return t;
}

QString page_head(const QColor& background, const QColor& text)
{
    return QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\n") + QStringLiteral("<html>\n") +
           QStringLiteral("<head>\n") +
           QStringLiteral("<meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\"/>") + "\n" +
           QStringLiteral("<title>Statistics</title>") + "\n" + QStringLiteral("</head>\n") +
           zem::xprintF(QStringLiteral("<body style=\"background-color:$;color:$;\">\n"), background.name(), text.name());
}

QString file_header(const QFileInfo& file)
{
    auto pair = [](const QString& label, const QString& value) {
        return QStringLiteral("<tr>") + QStringLiteral("<td style=\"padding-right:20px;padding-left:20px;\">") + label +
               QStringLiteral("</td>") + QStringLiteral("<td>") + value + QStringLiteral("</td>") + QStringLiteral("</tr>");
    };
    const QDateTime modified = file.lastModified();
    QString html = zem::xprintF(QStringLiteral("<h2>\"$\"</h2>"), file.absoluteFilePath().toHtmlEscaped());
    html += QStringLiteral("<h3>");
    html += QStringLiteral("<table>");
    html += pair(zem::xt("Timestamp:"),
                 modified.toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral(" - ") + modified.toString(QStringLiteral("hh:mm")));
    html += pair(zem::xt("Size:"), zem::xprintF(zem::xt("$ bytes"), zem::format1000(file.size())) + QStringLiteral("  ~") +
                                              zem::formatBytes(quint64(std::max<qint64>(0, file.size()))));
    html += QStringLiteral("</table>");
    html += QStringLiteral("</h3>");
    return html;
}

QString page_end()
{
    return QStringLiteral("</body>\n") + QStringLiteral("</html>\n");
}

QString stopped_page(const QColor& background, const QColor& text, const QFileInfo& file)
{
    return page_head(background, text) + file_header(file) + QStringLiteral("<hr/>\n") + QStringLiteral("<br/>\n") +
           QStringLiteral("<h3>") + zem::xt("Generating Statistics Stopped") + QStringLiteral("</h3>\n") + page_end();
}

QString percentage_text(double percentage)
{
    QString s = QString::asprintf("%2.3f ", percentage);
    if (s.size() > 1 && s.at(1) == QLatin1Char('.'))
        s.prepend(QLatin1Char('0'));
    return s;
}

QString frequency_table(const std::vector<Row>& rows, bool charForm)
{
    QString html = QStringLiteral("<table width = '100%' style='border: 1px solid black'  >");
    html += QStringLiteral("<tr>");
    QStringList heads{zem::xt("Number"), charForm ? zem::xt("Char") : zem::xt("Word"), zem::xt("Count"),
                      zem::xt("Percentage")};
    if (charForm)
        heads << zem::xt("Bytes");
    for (const QString& h : heads)
        html += QStringLiteral("<th>") + h + QStringLiteral("</th>");
    html += QStringLiteral("</tr>");
    const QString cell = QStringLiteral("<td style='text-align:center;'>");
    const QString cellEnd = QStringLiteral("</td>");
    int number = 0;
    for (const Row& r : rows) {
        html += QStringLiteral("<tr>");
        html += cell + QString::number(++number) + cellEnd;
        html += cell + r.symbol.toHtmlEscaped() + cellEnd;
        html += cell + QString::number(r.count) + cellEnd;
        html += cell + percentage_text(r.percentage) + cellEnd;
        if (charForm)
            html += cell + r.bytes + cellEnd;
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    return html;
}

QString statistics(const std::atomic<bool>& running, const QFileInfo& file, quint32 countShow, quint32 len,
                   const QColor& background, const QColor& text)
{
    const bool charForm = len <= 1;
    QString page = page_head(background, text) + file_header(file) + QStringLiteral("<hr/>\n");
    const QString path = file.absoluteFilePath();
    const Table t = charForm ? count_chars(running, path, countShow) : count_words(running, path, countShow, len);
    if (t.stopped)
        return QStringLiteral("break!");
    if (!t.readable)
        return page + QStringLiteral("<p>") + zem::xprintF(zem::xt("Problems with '$'"), path.toHtmlEscaped()) +
               QStringLiteral("</p>") + page_end();
    page += zem::xprintF(zem::xt("read $ lines, found $ symbols, $ are unique ( in $ sec)") + QLatin1Char('\n'),
                         zem::format1000(t.lines), zem::format1000(qint64(t.total)), zem::format1000(qint64(t.unique)),
                         QString::number(double(t.micros) / 1e6, 'f', 3));
    page += QStringLiteral("<hr/>\n");
    page += frequency_table(t.rows, charForm);
    page += page_end();
    return page;
}

} // namespace zemFinder::stats
