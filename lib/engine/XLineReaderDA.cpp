#include "XLineReaderDA.h"

#include "XLongPath.h"
#include "XMapGuard.h"
#include "XReadAhead.h"

#include <QFile>
#include <algorithm>
#include <functional>
#include <cstring>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif


namespace zem {

XLineReaderDA::XLineReaderDA() = default;

XLineReaderDA::~XLineReaderDA()
{
    close();
    setBaseFolder(QByteArray());
}

void XLineReaderDA::setBaseFolder(const QByteArray& native)
{
#ifdef Q_OS_UNIX
    if (m_baseFd >= 0)
        ::close(m_baseFd);
    m_baseFd = -1;
    m_baseNative = native;
    while (m_baseNative.endsWith('/'))
        m_baseNative.chop(1);
    if (!m_baseNative.isEmpty())
        m_baseFd = ::open(m_baseNative.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#else
    Q_UNUSED(native);
#endif
}

int XLineReaderDA::openPath(const QByteArray& native, int flags) const
{
#ifdef Q_OS_UNIX
    const int n = m_baseNative.size();
    if (m_baseFd >= 0 && native.size() > n + 1 && native[n] == '/' && native.startsWith(m_baseNative)) {
        const int fd = ::openat(m_baseFd, native.constData() + n + 1, flags);
        if (fd >= 0 || errno != ENAMETOOLONG)
            return fd;
    }
#endif
    return XLongPath::open(native, flags);
}

void XLineReaderDA::unmap()
{
#ifdef Q_OS_UNIX
    if (m_map) {
        XMapGuard::unwatch(m_map);
        ::munmap(m_map, size_t(m_mapLength));
    }
#endif
    m_map = nullptr;
    m_mapLength = 0;
    m_released = 0;
}

void XLineReaderDA::advanceStats(qint64 upTo)
{
    if (isWindowed())
        return;
    m_stats.feed(m_data, m_size, upTo);
    releaseBehind(m_stats.processed());
}

void XLineReaderDA::beginPass(qint64 from)
{
    m_released = std::min(m_released, std::max<qint64>(from, 0) & ~qint64(0xFFFF));
}

void XLineReaderDA::releaseBehind(qint64 upTo)
{
#ifdef Q_OS_UNIX
    if (!m_map)
        return;
    static const qint64 page = std::max<qint64>(::sysconf(_SC_PAGESIZE), 1);
    const qint64 end = ((upTo - kKeptBehind) / page) * page;
    if (end - m_released < kReleaseStep)
        return;
    // The mapping is private and never written: dropped pages read the file again if touched.
    ::madvise(static_cast<char*>(m_map) + m_released, size_t(end - m_released), MADV_DONTNEED);
    m_released = end;
#else
    Q_UNUSED(upTo);
#endif
}

void XLineReaderDA::closeWindows()
{
    // The reading thread may still read from m_fd.
    if (m_readAhead)
        m_readAhead->stop();
    m_readingAhead = false;
#ifdef Q_OS_UNIX
    if (m_fd >= 0)
        ::close(m_fd);
#endif
    m_fd = -1;
    m_filePos = 0;
    m_windowStart = 0;
    m_bufferBase = 0;
    m_bufferUsed = 0;
    m_windowEnd = 0;
    m_windowLines = 0;
    m_windowsDone = false;
    m_windowFailed = false;
    m_lineCounter.reset();
    m_counterWindow = Window{};
    m_counterBefore = 0;
}

void XLineReaderDA::close()
{
    closeWindows();
    unmap();
    m_open = false;
    m_data = nullptr;
    m_size = 0;
    m_stats.reset(m_lineLenMax);
    m_binary = -1;
    m_aliases = -1;
    m_indexDone = false;
    m_lineStarts.clear();
    // A buffer grown for one huge unmapped file is not kept for the small ones after it.
    if (m_capacity > 16 * kDefaultMapThreshold) {
        m_buffer.reset();
        m_capacity = 0;
    }
}

void XLineReaderDA::reserveBuffer(qint64 bytes)
{
    if (bytes <= m_capacity)
        return;
    // Rounded up to 64 KiB so that a run of slightly growing files does not regrow each time;
    // a window growing around a long line grows by half at least, so its copies stay few.
    const qint64 grow = m_bufferUsed > 0 ? std::max(bytes, m_capacity + m_capacity / 2) : bytes;
    const qint64 cap = (grow + 0xFFFF) & ~qint64(0xFFFF);
    std::unique_ptr<char[]> grown(new char[size_t(cap)]);
    if (m_windowStart + m_bufferUsed > 0)
        std::memcpy(grown.get(), m_buffer.get(), size_t(m_windowStart + m_bufferUsed));
    m_buffer = std::move(grown);
    m_capacity = cap;
}

bool XLineReaderDA::readInto(int fd, qint64 size)
{
    reserveBuffer(size);
    qint64 got = 0;
#ifdef Q_OS_UNIX
    while (got < size) {
        const ssize_t r = ::read(fd, m_buffer.get() + got, size_t(size - got));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (r == 0)
            break;  // the file shrank since fstat
        got += r;
    }
#else
    Q_UNUSED(fd);
#endif
    m_data = m_buffer.get();
    m_size = got;
    return true;
}

const QString& XLineReaderDA::path() const
{
    if (m_path.isEmpty() && !m_native.isEmpty())
        m_path = QFile::decodeName(m_native);
    return m_path;
}

bool XLineReaderDA::openFile(const QString& path, int lineLenMax, bool mayMap)
{
#ifdef Q_OS_UNIX
    const bool ok = openNative(QFile::encodeName(path), lineLenMax, mayMap);
    m_path = path;
    return ok;
#else
    return openPlain(path, lineLenMax);
#endif
}

bool XLineReaderDA::openNative(const QByteArray& native, int lineLenMax, bool mayMap)
{
#ifdef Q_OS_UNIX
    m_lineLenMax = std::max(1, lineLenMax);
    close();
    m_path.clear();
    m_native = native;
    // O_NONBLOCK: a FIFO put where a file was must not hang the reader in open; the fstat
    // below turns it away. Regular files ignore the flag.
    const int fd = openPath(native, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    if (m_smallReadLimit > 0 && readSmall(fd)) {
        ::close(fd);
        m_open = true;
        return true;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    const qint64 size = qint64(st.st_size);
    if (m_windowThreshold > 0 && size >= m_windowThreshold) {
        // Left open: the caller reads it window by window (or leaves windows for the whole).
        m_fd = fd;
        m_mayMap = mayMap;
        m_size = size;
        m_open = true;
        return true;
    }
    const bool ok = openWhole(fd, size, mayMap);
    ::close(fd);
    m_open = ok;
    return ok;
#else
    Q_UNUSED(mayMap);
    return openPlain(QFile::decodeName(native), lineLenMax);
#endif
}

#ifdef Q_OS_UNIX
bool XLineReaderDA::openWhole(int fd, qint64 size, bool mayMap)
{
    bool ok = false;
    if (mayMap && size > 0 && size >= m_mapThreshold) {
        void* p = ::mmap(nullptr, size_t(size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (p != MAP_FAILED) {
            ::madvise(p, size_t(size), MADV_SEQUENTIAL);
            XMapGuard::watch(p, size);
            m_map = p;
            m_mapLength = size;
            m_data = static_cast<const char*>(p);
            m_size = size;
            ok = true;
        }
    }
    if (!ok)
        ok = readInto(fd, size);
    return ok;
}
#endif

bool XLineReaderDA::readSmall(int fd)
{
    // A read short of the limit has the whole file. A directory fails the read; an empty read
    // or a full one (a big file, a device) is left to fstat, from the start.
    const qint64 limit = m_smallReadLimit;
    reserveBuffer(limit);
    ssize_t r;
    do {
        r = ::read(fd, m_buffer.get(), size_t(limit));
    } while (r < 0 && errno == EINTR);
    if (r > 0 && r < limit) {
        m_data = m_buffer.get();
        m_size = r;
        return true;
    }
    if (r > 0)
        ::lseek(fd, 0, SEEK_SET);
    return false;
}

bool XLineReaderDA::leaveWindows()
{
#ifdef Q_OS_UNIX
    if (!isWindowed())
        return m_open;
    const int fd = m_fd;
    m_fd = -1;
    closeWindows();
    m_stats.reset(m_lineLenMax);
    m_binary = -1;
    const bool ok = ::lseek(fd, 0, SEEK_SET) == 0 && openWhole(fd, m_size, m_mayMap);
    ::close(fd);
    m_open = ok;
    if (!ok) {
        m_data = nullptr;
        m_size = 0;
    }
    return ok;
#else
    return m_open;
#endif
}

bool XLineReaderDA::fillWindow(qint64 keep)
{
#ifdef Q_OS_UNIX
    // Reads on until the buffer holds one read size more than kept, or the file ends.
    const qint64 want = keep + std::min(m_windowRead, m_size - m_filePos);
    reserveBuffer(m_windowStart + want);
    while (m_bufferUsed < want) {
        // pread: the reading thread reads by offset too, so the file position means nothing.
        const ssize_t r = ::pread(m_fd, windowBytes() + m_bufferUsed, size_t(want - m_bufferUsed), off_t(m_filePos));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (r == 0) {
            m_size = m_filePos;  // the file shrank since it was opened
            break;
        }
        m_bufferUsed += r;
        m_filePos += r;
    }
    return true;
#else
    Q_UNUSED(keep);
    return false;
#endif
}

bool XLineReaderDA::nextWindow(Window& window)
{
    if (!isWindowed() || m_windowsDone || m_windowFailed)
        return false;
    if (m_windowEnd >= m_bufferUsed && m_filePos >= m_size) {
        m_windowsDone = true;
        return false;
    }
    // Keep the context before the next window and the partial line after the last one.
    const qint64 contextStart = std::max<qint64>(0, m_windowEnd - m_windowContext);
    const bool tookAhead = m_readingAhead;
    if (tookAhead) {
        if (!takePiece(contextStart)) {
            m_windowFailed = true;
            return false;
        }
    } else {
        keepForNextWindow(contextStart);
    }
    const qint64 from = m_windowEnd - contextStart;
    // The window ends after its last line end; a line longer than one read makes it longer.
    qint64 end = -1;
    qint64 searched = from;
    for (bool filled = tookAhead;; filled = false) {
        const bool more = filled || (m_readingAhead ? appendPiece() : fillWindow(m_bufferUsed));
        if (!more || (m_bufferUsed - from) > kWindowLineMax) {
            m_windowFailed = true;
            return false;
        }
        const bool atEnd = m_filePos >= m_size;
        if (atEnd) {
            end = m_bufferUsed;
            break;
        }
        const char* nl = XLineStats::lastNewline(windowBytes() + searched, windowBytes() + m_bufferUsed);
        if (nl) {
            end = nl - windowBytes() + 1;
            break;
        }
        // Not at the end: the read added bytes (a read of none marks the end).
        searched = m_bufferUsed;
    }
    if (end <= from) {
        m_windowsDone = true;
        return false;
    }
    m_windowEnd = end;
    window.data = windowBytes();
    window.size = end;
    window.from = from;
    window.base = m_bufferBase;
    // The binary probe looks at the file's first bytes, whichever windows hold them.
    const qint64 probeEnd = kBinaryProbeBytes - window.base;
    if (m_binary < 0 && probeEnd > from) {
        const qint64 upTo = std::min(end, probeEnd);
        if (std::memchr(window.data + from, 0, size_t(upTo - from)))
            m_binary = 1;
    }
    startReadAhead();
    if (m_countWindowLines)
        countWindowLines(window.data + from, end - from);
    return true;
}

void XLineReaderDA::keepForNextWindow(qint64 contextStart)
{
    const qint64 kept = m_bufferUsed - contextStart;
    // The kept bytes go where the next read lands on a page boundary: the kernel copies into
    // an aligned buffer faster.
    const qint64 page = 4096;
    reserveBuffer(m_windowStart + m_bufferUsed + page);
    const auto address = quintptr(m_buffer.get());
    const qint64 start = qint64((page - ((address + quintptr(kept)) % page)) % page);
    if (kept > 0)
        std::memmove(m_buffer.get() + start, windowBytes() + contextStart, size_t(kept));
    m_windowStart = start;
    m_bufferBase += contextStart;
    m_bufferUsed = kept;
}

bool XLineReaderDA::takePiece(qint64 contextStart)
{
    XReadAhead::Piece piece;
    if (!m_readAhead->next(piece) || piece.size < 0)
        return false;
    const qint64 kept = m_bufferUsed - contextStart;
    if (kept > piece.landing) {
        // More kept than room in front of the piece (a very long line): the piece is copied on.
        keepForNextWindow(contextStart);
        appendTaken(piece);
        return true;
    }
    // The usual case: the kept bytes go in front of the piece, which becomes the window's
    // buffer; the buffer searched so far goes to the reading thread for a later piece.
    if (kept > 0)
        std::memcpy(piece.buffer + piece.landing - kept, windowBytes() + contextStart, size_t(kept));
    m_readAhead->swapIn(m_buffer, m_capacity);
    m_windowStart = piece.landing - kept;
    m_bufferBase += contextStart;
    m_bufferUsed = kept;
    countTaken(piece);
    return true;
}

bool XLineReaderDA::appendPiece()
{
    // A line longer than a piece: the window grows by the next one.
    XReadAhead::Piece piece;
    if (!m_readAhead->next(piece) || piece.size < 0)
        return false;
    appendTaken(piece);
    return true;
}

void XLineReaderDA::appendTaken(const XReadAhead::Piece& piece)
{
    reserveBuffer(m_windowStart + m_bufferUsed + piece.size);
    std::memcpy(windowBytes() + m_bufferUsed, piece.buffer + piece.landing, size_t(piece.size));
    m_readAhead->giveBack();
    countTaken(piece);
}

void XLineReaderDA::countTaken(const XReadAhead::Piece& piece)
{
    m_bufferUsed += piece.size;
    m_filePos += piece.size;
    if (piece.size < piece.asked)
        m_size = m_filePos;  // the file shrank since it was opened
}

void XLineReaderDA::startReadAhead()
{
    if (m_readingAhead || m_windowsDone || m_filePos >= m_size || !m_readAheadWanted || !m_readAheadWanted())
        return;
    if (!m_readAhead)
        m_readAhead = std::make_unique<XReadAhead>();
    // Room in front of each piece for the bytes kept from the window before: its context and
    // its unfinished last line.
    const qint64 room = kWindowContext + qint64(64 << 10);
    m_readAhead->start(m_fd, m_filePos, m_size, 2 * m_windowRead, room);
    m_readingAhead = true;
}

#ifndef Q_OS_UNIX
// Elsewhere a plain read: QFile::map would need the file object kept open beside the view.
bool XLineReaderDA::openPlain(const QString& path, int lineLenMax)
{
    m_lineLenMax = std::max(1, lineLenMax);
    close();
    m_path = path;
    m_native.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = f.size();
    reserveBuffer(size);
    const qint64 got = size > 0 ? f.read(m_buffer.get(), size) : 0;
    if (got < 0)
        return false;
    m_data = m_buffer.get();
    m_size = got;
    m_open = true;
    return true;
}
#endif

void XLineReaderDA::openBytes(const QByteArray& bytes, int lineLenMax)
{
    m_lineLenMax = std::max(1, lineLenMax);
    close();
    m_path.clear();
    m_native.clear();
    const qint64 size = bytes.size();
    reserveBuffer(size);
    if (size > 0)
        std::memcpy(m_buffer.get(), bytes.constData(), size_t(size));
    m_data = m_buffer.get();
    m_size = size;
    m_open = true;
}

bool XLineReaderDA::shrankWhileRead() const
{
    return m_map && XMapGuard::hit();
}

qint64 XLineReaderDA::countLines()
{
    if (isWindowed())
        return m_countWindowLines ? m_windowLines : linesBefore(m_size);
    return m_stats.lines(m_data, m_size);
}

qint64 XLineReaderDA::linesBefore(qint64 offset)
{
    XLineStats stats;
    stats.reset(m_lineLenMax);
    if (!isWindowed())
        return stats.lines(m_data, std::clamp<qint64>(offset, 0, m_size));
    if (!m_lineCounter || offset < m_counterWindow.base + m_counterWindow.from) {
        m_lineCounter = std::make_unique<XLineReaderDA>();
        m_lineCounter->setWindowThreshold(1);
        m_lineCounter->setWindowReadSize(m_windowRead);
        m_lineCounter->setWindowContext(1);
        m_counterWindow = Window{};
        m_counterBefore = 0;
        if (!m_lineCounter->openNative(m_native, m_lineLenMax, false)) {
            m_lineCounter.reset();
            return -1;
        }
    }
    // Whole windows before offset add up; the one holding offset counts its lines before it.
    for (;;) {
        const Window& w = m_counterWindow;
        if (w.data && offset <= w.base + w.size) {
            const qint64 upTo = std::max(offset - w.base, w.from);
            return m_counterBefore + stats.lines(w.data + w.from, upTo - w.from);
        }
        m_counterBefore = m_lineCounter->countLines();
        if (!m_lineCounter->nextWindow(m_counterWindow)) {
            // The end of the file (it may have shrunk meanwhile), or it cannot be read on.
            const qint64 total = m_lineCounter->windowFailed() ? -1 : m_lineCounter->countLines();
            m_lineCounter.reset();
            m_counterWindow = Window{};
            return total;
        }
    }
}

void XLineReaderDA::countWindowLines(const char* piece, qint64 length)
{
    // A window holds whole lines (the last one may end with the file), so the pieces' counts add up.
    XLineStats stats;
    stats.reset(m_lineLenMax);
    m_windowLines += stats.lines(piece, length);
}

bool XLineReaderDA::hasFoldAliases()
{
    if (!m_data)
        return false;  // windowed: the searcher looks at each window itself
    if (m_stats.aliasesTracked()) {
        m_stats.feed(m_data, m_size, m_size);
        return m_stats.aliases();
    }
    if (m_aliases < 0) {
        static const char kelvin[] = "\xE2\x84\xAA";
        static const char longS[] = "\xC5\xBF";
        const char* end = m_data + m_size;
        const bool found = std::search(m_data, end, std::boyer_moore_horspool_searcher(kelvin, kelvin + 3)) != end
            || std::search(m_data, end, std::boyer_moore_horspool_searcher(longS, longS + 2)) != end;
        m_aliases = found ? 1 : 0;
    }
    return m_aliases == 1;
}

bool XLineReaderDA::isBinary()
{
    if (m_binary < 0 && m_data) {
        const qint64 probe = std::min(m_size, kBinaryProbeBytes);
        m_binary = (probe > 0 && std::memchr(m_data, 0, size_t(probe)) != nullptr) ? 1 : 0;
    }
    return m_binary == 1;
}

void XLineReaderDA::buildIndex()
{
    if (m_indexDone)
        return;
    m_indexDone = true;
    m_lineStarts.clear();
    if (!m_data)
        return;  // windowed: no line index over the whole file
    const char* d = m_data;
    const qint64 n = m_size;
    const qint64 maxLen = m_lineLenMax;
    auto addLine = [&](qint64 start, qint64 end) {
        // A line longer than the limit becomes several; an empty line is still one.
        m_lineStarts.push_back(start);
        for (qint64 p = start + maxLen; p < end; p += maxLen)
            m_lineStarts.push_back(p);
    };
    const bool hasCr = n > 0 && std::memchr(d, '\r', size_t(n)) != nullptr;
    qint64 start = 0;
    while (start < n) {
        qint64 end;
        qint64 next;
        if (!hasCr) {
            const void* hit = std::memchr(d + start, '\n', size_t(n - start));
            end = hit ? static_cast<const char*>(hit) - d : n;
            next = hit ? end + 1 : n;
        } else {
            end = start;
            while (end < n && d[end] != '\n' && d[end] != '\r')
                ++end;
            next = end;
            if (end < n)
                next = (d[end] == '\r' && end + 1 < n && d[end + 1] == '\n') ? end + 2 : end + 1;
        }
        addLine(start, end);
        start = next;
    }
}

XLineReaderDA::Span XLineReaderDA::lineSpan(qint64 i)
{
    buildIndex();
    if (i < 0 || i >= qint64(m_lineStarts.size()))
        return Span{};
    const qint64 start = m_lineStarts[size_t(i)];
    qint64 end = (i + 1 < qint64(m_lineStarts.size())) ? m_lineStarts[size_t(i + 1)] : m_size;
    // Line-end bytes never belong to a line's text, so stripping them is safe for split pieces.
    if (end > start && m_data[end - 1] == '\n')
        --end;
    if (end > start && m_data[end - 1] == '\r')
        --end;
    return Span{start, end - start};
}

QByteArray XLineReaderDA::lineAt(qint64 i)
{
    const Span s = lineSpan(i);
    return QByteArray(m_data + s.offset, int(s.length));
}

qint64 XLineReaderDA::lineOfOffset(qint64 offset)
{
    buildIndex();
    if (offset < 0 || offset >= m_size || m_lineStarts.empty())
        return -1;
    const auto it = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset);
    return qint64(it - m_lineStarts.begin()) - 1;
}

} // namespace zem
