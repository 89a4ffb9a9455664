#include "XTextSource.h"

#include "Logger.h"

#include <algorithm>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/mman.h>
#endif

namespace zem::viewText {

namespace {

const char* findLast(const char* lo, const char* hi, char c)
{
#if defined(__GLIBC__)
    return static_cast<const char*>(::memrchr(lo, c, size_t(hi - lo)));
#else
    for (const char* p = hi; p > lo;)
        if (*--p == c)
            return p;
    return nullptr;
#endif
}

// Appends the characters of d[a, b) to out. display: control characters become their visible
// pictures (U+2400...) except tab, so that a row never holds something that moves the pen oddly.
void decodeInto(const char* d, qint64 a, qint64 b, bool display, QString* out, std::vector<qint64>* byteOf)
{
    const auto* u = reinterpret_cast<const unsigned char*>(d);
    out->reserve(int(out->size() + (b - a)));
    if (byteOf)
        byteOf->reserve(byteOf->size() + size_t(b - a) + 1);
    qint64 i = a;
    while (i < b) {
        const unsigned c = u[i];
        char32_t cp = 0xFFFD;
        int len = 1;
        if (c < 0x80) {
            cp = c;
            if (display && (c < 0x20 || c == 0x7F) && c != '\t')
                cp = c == 0x7F ? 0x2421 : 0x2400 + c;
        } else {
            int need = 0;
            char32_t min = 0;
            if (c >= 0xC2 && c <= 0xDF) {
                need = 1; cp = c & 0x1F; min = 0x80;
            } else if (c >= 0xE0 && c <= 0xEF) {
                need = 2; cp = c & 0x0F; min = 0x800;
            } else if (c >= 0xF0 && c <= 0xF4) {
                need = 3; cp = c & 0x07; min = 0x10000;
            }
            bool ok = need > 0 && i + need < b;
            for (int k = 1; ok && k <= need; ++k) {
                const unsigned cc = u[i + k];
                if ((cc & 0xC0) != 0x80)
                    ok = false;
                else
                    cp = (cp << 6) | (cc & 0x3F);
            }
            if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
                ok = false;
            if (ok)
                len = need + 1;
            else
                cp = 0xFFFD;  // one replacement per bad byte keeps every byte reachable
        }
        if (cp >= 0x10000) {
            out->append(QChar(QChar::highSurrogate(uint(cp))));
            out->append(QChar(QChar::lowSurrogate(uint(cp))));
            if (byteOf) {
                byteOf->push_back(i);
                byteOf->push_back(i);
            }
        } else {
            out->append(QChar(ushort(cp)));
            if (byteOf)
                byteOf->push_back(i);
        }
        i += len;
    }
}

} // namespace

int XLineText::unitOfByte(qint64 b) const
{
    const int n = text.size();
    if (n == 0 || b >= byteOf.back())
        return n;
    auto first = byteOf.begin();
    auto it = std::upper_bound(first, first + n, b);
    int i = int(it - first) - 1;
    if (i < 0)
        return 0;
    while (i > 0 && byteOf[size_t(i - 1)] == byteOf[size_t(i)])
        --i;
    return i;
}

int XLineText::unitEndOfByte(qint64 b) const
{
    auto it = std::lower_bound(byteOf.begin(), byteOf.end(), b);
    return std::min(int(it - byteOf.begin()), text.size());
}

XTextSource::XTextSource() = default;

XTextSource::~XTextSource()
{
    close();
}

bool XTextSource::openFile(const QString& path)
{
    close();
    m_path = path;
    // Line splitting is ours (pieces), so the reader's own limit does not matter here.
    if (!m_reader.openFile(path)) {
        xlog(LOG_ERROR, "XTextSource::openFile, cannot open <<<$>>>", path);
        return false;
    }
    takeData();
    startIndex();
    return true;
}

void XTextSource::takeData()
{
    m_utf16Shown = m_utf16.decode(m_reader.data(), m_reader.size());
    m_data = m_utf16Shown ? m_utf16.utf8() : m_reader.data();
    m_size = m_utf16Shown ? m_utf16.utf8Size() : m_reader.size();
}

find::XRam XTextSource::fromFileMark(const find::XRam& mark) const
{
    if (!m_utf16Shown)
        return mark;
    const qint64 start = m_utf16.utf8Offset(mark.offset);
    const qint64 end = m_utf16.utf8Offset(mark.offset + mark.length);
    return find::XRam{start, qint32(end - start), mark.category};
}

void XTextSource::openBytes(const QByteArray& bytes)
{
    close();
    m_reader.openBytes(bytes);
    takeData();
    startIndex();
}

void XTextSource::close()
{
    stopIndex();
    m_reader.close();
    m_utf16.decode(nullptr, 0);
    m_utf16Shown = false;
    m_path.clear();
    m_data = nullptr;
    m_size = 0;
    m_blocks.clear();
    m_blocksDone.store(0);
    m_indexDone.store(false);
    m_lineCount = 0;
}

void XTextSource::startIndex()
{
    const qint64 nb = (m_size + kBlockBytes - 1) / kBlockBytes;
    m_blocks.assign(size_t(nb), BlockEntry{});
    m_blocksDone.store(0);
    m_indexDone.store(false);
    m_stop.store(false);
    m_indexer = std::thread([this] { runIndex(); });
}

void XTextSource::stopIndex()
{
    m_stop.store(true);
    if (m_indexer.joinable())
        m_indexer.join();
}

void XTextSource::waitForIndex()
{
    if (m_indexer.joinable())
        m_indexer.join();
}

int XTextSource::indexPercent() const
{
    if (indexDone() || m_blocks.empty())
        return 100;
    return int(m_blocksDone.load(std::memory_order_acquire) * 100 / qint64(m_blocks.size()));
}

bool XTextSource::isTerminatorEnd(qint64 i) const
{
    const char c = m_data[i];
    return c == '\n' || (c == '\r' && (i + 1 >= m_size || m_data[i + 1] != '\n'));
}

void XTextSource::runIndex()
{
    const qint64 nb = qint64(m_blocks.size());
    qint64 lines = 0;
    qint64 lastEnd = -1;
    // Scanned stretches of a mapping are handed back to the kernel as we go, so indexing a
    // file larger than memory does not push everything else out (clean pages, re-read on demand).
    constexpr qint64 kDropChunk = qint64(32) << 20;
    qint64 dropped = 0;
    for (qint64 b = 0; b < nb; ++b) {
        if (m_stop.load(std::memory_order_relaxed))
            return;
        m_blocks[size_t(b)] = BlockEntry{lines, lastEnd + 1};
        m_blocksDone.store(b + 1, std::memory_order_release);
        const qint64 a = b * kBlockBytes;
        const qint64 e = std::min(m_size, a + kBlockBytes);
        for (const char* p = m_data + a; (p = static_cast<const char*>(std::memchr(p, '\n', size_t(m_data + e - p))));) {
            ++lines;
            lastEnd = std::max(lastEnd, qint64(p - m_data));
            ++p;
        }
        for (const char* p = m_data + a; (p = static_cast<const char*>(std::memchr(p, '\r', size_t(m_data + e - p))));) {
            const qint64 i = p - m_data;
            if (i + 1 >= m_size || m_data[i + 1] != '\n') {
                ++lines;
                lastEnd = std::max(lastEnd, i);
            }
            ++p;
        }
#ifdef Q_OS_UNIX
        // Only the mapping's pages go back; a transcoding is the process's own memory.
        if (m_reader.isMapped() && !m_utf16Shown && e - dropped >= kDropChunk) {
            ::madvise(const_cast<char*>(m_data) + dropped, size_t(e - dropped) & ~size_t(0xFFFF), MADV_DONTNEED);
            dropped += qint64(size_t(e - dropped) & ~size_t(0xFFFF));
        }
#endif
    }
    m_lineCount = lines + ((m_size > 0 && !isTerminatorEnd(m_size - 1)) ? 1 : 0);
    m_indexDone.store(true, std::memory_order_release);
}

qint64 XTextSource::lineStartOf(qint64 pos) const
{
    pos = std::clamp<qint64>(pos, 0, m_size);
    if (pos == 0)
        return 0;
    const qint64 b = pos / kBlockBytes;
    const bool indexed = b < qint64(m_blocks.size()) && b < m_blocksDone.load(std::memory_order_acquire);
    const qint64 lo = indexed ? b * kBlockBytes : 0;
    // The last terminator-final byte before pos: an LF, or a CR not followed by LF. A CR right
    // before pos that pairs with the LF at pos does not end the line of pos.
    const char* hi = m_data + pos;
    const char* lf = findLast(m_data + lo, hi, '\n');
    const char* crFrom = lf ? lf + 1 : m_data + lo;
    while (hi > crFrom) {
        const char* cr = findLast(crFrom, hi, '\r');
        if (!cr)
            break;
        const qint64 j = cr - m_data;
        if (isTerminatorEnd(j))
            return j + 1;
        hi = cr;
    }
    if (lf)
        return (lf - m_data) + 1;
    return indexed ? m_blocks[size_t(b)].lineStart : 0;
}

qint64 XTextSource::lineNumberOf(qint64 pos) const
{
    pos = std::clamp<qint64>(pos, 0, m_size);
    const qint64 b = pos / kBlockBytes;
    if (b >= qint64(m_blocks.size()))
        return indexDone() ? m_lineCount : -1;
    if (b >= m_blocksDone.load(std::memory_order_acquire))
        return -1;
    qint64 n = m_blocks[size_t(b)].lineNo;
    for (qint64 i = b * kBlockBytes; i < pos; ++i)
        if (isLineEndByte(m_data[i]) && isTerminatorEnd(i))
            ++n;
    return n;
}

qint64 XTextSource::cut(qint64 lineStart, qint64 k) const
{
    if (k <= 0)
        return lineStart;
    qint64 b = lineStart + k * m_pieceBytes;
    if (b >= m_size)
        return m_size;
    // Never cut inside a UTF-8 sequence (at most 3 continuation bytes follow a lead byte).
    for (int back = 0; back < 3 && b > lineStart && (uchar(m_data[b]) & 0xC0) == 0x80; ++back)
        --b;
    return b;
}

qint64 XTextSource::lineEndLen(qint64 i) const
{
    return (m_data[i] == '\r' && i + 1 < m_size && m_data[i + 1] == '\n') ? 2 : 1;
}

XTextPiece XTextSource::pieceAt(qint64 pos) const
{
    XTextPiece piece;
    if (m_size <= 0)
        return piece;
    pos = std::clamp<qint64>(pos, 0, m_size - 1);
    const qint64 ls = lineStartOf(pos);
    qint64 k = (pos - ls) / m_pieceBytes;
    if (pos >= cut(ls, k + 1))
        ++k;  // the next cut moved back onto a character start at or before pos
    qint64 c = cut(ls, k);
    if (pos < c)
        c = cut(ls, --k);
    // A line end that falls right on a cut belongs to the piece before it.
    if (k > 0 && isLineEndByte(m_data[c]))
        c = cut(ls, --k);
    const qint64 limit = std::min(m_size, cut(ls, k + 1) + 1);
    const char* from = m_data + c;
    const auto* lf = static_cast<const char*>(std::memchr(from, '\n', size_t(limit - c)));
    const qint64 crLen = (lf ? lf : m_data + limit) - from;
    const auto* cr = static_cast<const char*>(std::memchr(from, '\r', size_t(crLen)));
    const char* t = cr ? cr : lf;
    piece.start = c;
    piece.firstOfLine = k == 0;
    if (t) {
        piece.textEnd = t - m_data;
        piece.next = piece.textEnd + lineEndLen(piece.textEnd);
    } else {
        piece.textEnd = piece.next = std::min(m_size, cut(ls, k + 1));
    }
    return piece;
}

qint64 XTextSource::prevPieceStart(qint64 pieceStart) const
{
    if (pieceStart <= 0 || m_size <= 0)
        return -1;
    return pieceAt(pieceStart - 1).start;
}

qint64 XTextSource::lastPieceStart() const
{
    return m_size > 0 ? pieceAt(m_size - 1).start : 0;
}

XLineText XTextSource::decode(const XTextPiece& piece) const
{
    XLineText lt;
    if (m_data && piece.textEnd > piece.start)
        decodeInto(m_data, piece.start, piece.textEnd, true, &lt.text, &lt.byteOf);
    lt.byteOf.push_back(piece.textEnd);
    return lt;
}

QString XTextSource::text(qint64 offset, qint64 length) const
{
    QString s;
    const qint64 a = std::clamp<qint64>(offset, 0, m_size);
    const qint64 b = std::clamp<qint64>(offset + std::max<qint64>(0, length), a, m_size);
    if (m_data && b > a)
        decodeInto(m_data, a, b, false, &s, nullptr);
    return s;
}

} // namespace zem::viewText
