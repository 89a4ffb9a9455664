#pragma once
// Read access to one file at a time as a contiguous byte range, with lines on demand.
//
// One reader per worker thread, reused across files: small files are read into a buffer the
// reader keeps (a mapping per small file costs more than a copy); large files are mapped, or,
// for a caller that can search piece by piece, read window by window (see nextWindow).
// Nothing of a file is kept once the next openFile or close runs, except the buffer's capacity.
// Not thread-safe; one thread uses a reader at a time.
//
// Lines end at LF, CRLF or a lone CR; a line longer than lineLenMax bytes counts as several.
// countLines and the line index are computed on first use. A search over the bytes may feed
// the line count as it goes (advanceStats), so that searching and counting cost one pass over
// memory: call countLines after the search to profit from it.
#include "XLineStats.h"
#include "XReadAhead.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace zem {

class XLineReaderDA {
public:
    // A mapped file's pages behind the line count are given back in steps of this many bytes,
    // the last kKeptBehind bytes kept for look-backs (a look-back further still works: the
    // pages come back from the page cache).
    static constexpr qint64 kReleaseStep = qint64(16) << 20;
    static constexpr qint64 kKeptBehind = qint64(1) << 20;
    // Files of at least this many bytes are mapped when openFile may map.
    static constexpr qint64 kDefaultMapThreshold = qint64(1) << 20;
    // The part of a file that decides whether it is binary (a NUL byte in it).
    static constexpr qint64 kBinaryProbeBytes = 65536;

    XLineReaderDA();
    ~XLineReaderDA();
    XLineReaderDA(const XLineReaderDA&) = delete;
    XLineReaderDA& operator=(const XLineReaderDA&) = delete;

    // False when the file cannot be opened or read; the reader is then empty.
    // mayMap: large files are mapped instead of read (false reads every file into the buffer).
    bool openFile(const QString& path, int lineLenMax = 65536, bool mayMap = true);
    // Same for a path in the file system's own bytes (a walk's): no conversion to text unless
    // path() is asked for.
    bool openNative(const QByteArray& native, int lineLenMax = 65536, bool mayMap = true);
    // Same for bytes already in memory (the text preview, tests); the reader keeps a copy.
    void openBytes(const QByteArray& bytes, int lineLenMax = 65536);
    void close();

    bool isOpen() const { return m_open; }
    bool isMapped() const { return m_map != nullptr; }
    // The mapped file got shorter since openFile: the bytes past its new end read as zeros
    // (instead of a crash), so results from this file are not to be trusted.
    bool shrankWhileRead() const;
    const QString& path() const;
    int lineLenMax() const { return m_lineLenMax; }

    const char* data() const { return m_data; }
    qint64 size() const { return m_size; }
    // Bytes of the file held in memory (read or mapped).
    qint64 getMemorySize() const { return m_size; }

    qint64 countLines();
    // Counts lines of the bytes before upTo now, while a caller's scan has them in the cache.
    // Of a mapped file, the pages well behind upTo leave the process's memory on the way, so
    // that a search through a huge file holds a few megabytes of it, not all of it.
    void advanceStats(qint64 upTo);
    // For a further pass over the bytes (the next term of a search): the pages it leaves
    // behind are given back the same way; releaseBehind(upTo) as it goes.
    void beginPass(qint64 from);
    void releaseBehind(qint64 upTo);
    // Whether a search feeds the line count as it scans (on by default). Off, lines cost a pass
    // when asked for: cheaper for a caller that asks for few files (a search, for the files
    // with hits only). Caseless searches that track fold aliases feed it either way.
    void setCountOnTheWay(bool on) { m_countOnTheWay = on; }
    bool countsOnTheWay() const { return m_countOnTheWay || m_stats.aliasesTracked(); }
    // A windowed file has nothing to feed: its lines are counted as its windows are read, or
    // (setCountWindowLines off) read again when asked.
    bool statsDone() const { return isWindowed() || m_stats.processed() >= m_size; }
    // A NUL byte within the first kBinaryProbeBytes.
    bool isBinary();
    // The bytes of KELVIN SIGN or LATIN SMALL LETTER LONG S occur: the only non-ASCII letters
    // whose case folding is ASCII, so caseless ASCII matching must look closer. Noted by the
    // line count when asked for before it starts (trackFoldAliases), else a pass of its own.
    bool hasFoldAliases();
    void trackFoldAliases() { m_stats.trackAliases(); }
    bool foldAliasesTracked() const { return m_stats.aliasesTracked(); }

    // Line i (0-based) without its line end; empty when i is out of range.
    QByteArray lineAt(qint64 i);
    struct Span {
        qint64 offset = 0;
        qint64 length = 0;
    };
    Span lineSpan(qint64 i);
    // The line holding byte offset, or -1 when offset is outside the data.
    qint64 lineOfOffset(qint64 offset);

    // Files of at least this many bytes are opened for reading window by window instead of
    // being mapped (0: never). Searching a mapping costs a page-table walk and a cold cache
    // line per page; a read copies into a buffer that stays in the cache, several times faster.
    // Takes effect at the next openFile.
    void setWindowThreshold(qint64 bytes) { m_windowThreshold = bytes; }
    bool isWindowed() const { return m_fd >= 0; }
    // Files are first read up to this many bytes without asking their size (0: fstat first): a
    // shorter read holds the whole file, the common case of a search, one system call less.
    void setSmallReadLimit(qint64 bytes) { m_smallReadLimit = bytes; }
    // Bytes read per window (tests make it small to cut files into many windows), and the
    // bytes before a window kept for look-backs.
    static constexpr qint64 kWindowRead = qint64(256) << 10;
    void setWindowReadSize(qint64 bytes) { m_windowRead = std::max<qint64>(1, bytes); }
    static constexpr qint64 kWindowContext = qint64(64) << 10;
    // The context a search needs (1 to kWindowContext bytes): less is less to move per window.
    void setWindowContext(qint64 bytes) { m_windowContext = std::clamp<qint64>(bytes, 1, kWindowContext); }
    // A line longer than this cannot be held in one window (nextWindow fails; leaveWindows).
    static constexpr qint64 kWindowLineMax = qint64(8) << 20;
    // data[0, from) repeats bytes before the window (up to the window context, at least the line
    // end before it), data[from, size) are the window's own bytes: whole lines, the last window
    // up to the end of the file. data[0] is the file's byte at base.
    struct Window {
        const char* data = nullptr;
        qint64 size = 0;
        qint64 from = 0;
        qint64 base = 0;
    };
    // The next window of a windowed file; false at the end of the file or when it cannot be
    // read on (windowFailed: a read error or a line longer than kWindowLineMax). Lines are
    // counted window by window, so countLines needs no pass of its own afterwards.
    bool nextWindow(Window& window);
    // Lines are counted window by window (the default). Off, a search spends no pass on them,
    // and countLines and linesBefore read the file again when asked (a caller that needs a
    // line number only now and then, to name a line in the log).
    void setCountWindowLines(bool on) { m_countWindowLines = on; }
    bool countsWindowLines() const { return m_countWindowLines; }
    // Lines before offset (a line start, or the end of the file), as countLines counts them;
    // -1 when a windowed file cannot be read again.
    qint64 linesBefore(qint64 offset);
    bool windowFailed() const { return m_windowFailed; }
    // Falls back from windows to the whole file (mapped or read) for a search that needs all of
    // it at once; false when that fails too.
    bool leaveWindows();
    // Asked at each window of a windowed file until it says yes (a core is idle, say): from
    // then on the file's next pieces are read on a thread of its own while the caller searches
    // the window in hand. Empty: never. Pieces are two window reads long: each hand-over
    // between the threads costs a wake-up, and a window still fits the cache.
    void setReadAheadCheck(std::function<bool()> wanted) { m_readAheadWanted = std::move(wanted); }
    bool readsAhead() const { return m_readingAhead; }

    // Files below this folder (paths in the file system's bytes) are opened relative to it:
    // the kernel then looks up only the components below it. Empty: none.
    void setBaseFolder(const QByteArray& native);

    // For tests and tuning; takes effect at the next openFile.
    void setMapThreshold(qint64 bytes) { m_mapThreshold = bytes; }
    qint64 mapThreshold() const { return m_mapThreshold; }
    // Capacity of the reused buffer (to check that it is reused, not regrown).
    qint64 bufferCapacity() const { return m_capacity; }

private:
    void unmap();
#ifndef Q_OS_UNIX
    bool openPlain(const QString& path, int lineLenMax);
#endif
    bool readInto(int fd, qint64 size);
    bool openWhole(int fd, qint64 size, bool mayMap);
    bool readSmall(int fd);
    int openPath(const QByteArray& native, int flags) const;
    bool fillWindow(qint64 keep);
    void keepForNextWindow(qint64 contextStart);
    bool takePiece(qint64 contextStart);
    bool appendPiece();
    // Appends a piece taken from the reading thread to the window's bytes, and gives it back.
    void appendTaken(const XReadAhead::Piece& piece);
    // The piece's bytes now in the window buffer: counted as read (a short piece ends the file).
    void countTaken(const XReadAhead::Piece& piece);
    void startReadAhead();
    void reserveBuffer(qint64 bytes);
    void closeWindows();
    void countWindowLines(const char* piece, qint64 length);
    char* windowBytes() const { return m_buffer.get() + m_windowStart; }
    void buildIndex();

    mutable QString m_path;  // made from m_native when first asked for
    QByteArray m_native;
    int m_lineLenMax = 65536;
    qint64 m_mapThreshold = kDefaultMapThreshold;
    bool m_open = false;

    const char* m_data = nullptr;
    qint64 m_size = 0;
    void* m_map = nullptr;       // set while a file is mapped
    qint64 m_mapLength = 0;
    qint64 m_released = 0;       // bytes of the mapping already given back
    std::unique_ptr<char[]> m_buffer;
    qint64 m_capacity = 0;

    int m_baseFd = -1;             // the base folder, opened as a path only
    QByteArray m_baseNative;       // its path, without a trailing '/'
    qint64 m_windowThreshold = 0;
    qint64 m_smallReadLimit = 0;
    qint64 m_windowRead = kWindowRead;
    qint64 m_windowContext = kWindowContext;
    int m_fd = -1;                 // open while the file is read window by window
    qint64 m_filePos = 0;          // bytes of the file read into windows so far
    // Outside windows (after close or leaveWindows) m_windowStart and m_bufferUsed are 0, so
    // reserveBuffer has nothing to keep.
    qint64 m_windowStart = 0;      // where the windows' bytes begin in m_buffer
    qint64 m_bufferBase = 0;       // file offset of the byte at m_windowStart
    qint64 m_bufferUsed = 0;       // bytes in m_buffer from m_windowStart
    qint64 m_windowEnd = 0;        // end of the last window handed out, in m_buffer
    qint64 m_windowLines = 0;      // lines of the windows handed out
    bool m_windowsDone = false;
    bool m_windowFailed = false;
    bool m_mayMap = true;
    bool m_countWindowLines = true;
    bool m_countOnTheWay = true;
    // Reads a windowed file again for linesBefore when its windows are not counted: its last
    // window and the lines before that window, to go on from there for a later offset.
    std::unique_ptr<XLineReaderDA> m_lineCounter;
    Window m_counterWindow;
    qint64 m_counterBefore = 0;
    // Reading ahead: pieces of the file come from a thread of its own; a piece becomes the
    // next window's buffer (m_buffer is swapped with the piece's), with the kept bytes copied
    // in front of it.
    std::function<bool()> m_readAheadWanted;
    std::unique_ptr<XReadAhead> m_readAhead;
    bool m_readingAhead = false;   // for the file open now

    XLineStats m_stats;
    int m_binary = -1;                 // -1 not yet known
    int m_aliases = -1;                // when not noted by m_stats; -1 not yet known
    bool m_indexDone = false;
    std::vector<qint64> m_lineStarts;  // built by lineAt/lineSpan
};

} // namespace zem
