#pragma once
// The bytes behind the text view: a file mapped by the engine's line reader, cut into display
// pieces on demand, plus a sparse line index built on a background thread.
//
// Nothing here copies the file: a piece (one line, or one slice of a very long line) is decoded
// only when it is painted. The index keeps one entry per 64 KiB block (line number and line start
// at the block's first byte), so a 3 GB file costs under 1 MB of index, and any position can be
// turned into a line number by counting line ends in at most one block.
//
// Lines end at LF, CRLF or a lone CR; the line-end bytes belong to the line they end.
// Owned by one XTextView and used on the GUI thread; only the indexer runs elsewhere, reading the
// read-only bytes and publishing finished blocks through an atomic counter.
#include "XLineReaderDA.h"
#include "find/XRamLayer.h"
#include "find/XUtf16Text.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <thread>
#include <vector>

namespace zem::viewText {

// One display piece: [start, textEnd) is text, [textEnd, next) the line end (if any).
struct XTextPiece {
    qint64 start = 0;
    qint64 textEnd = 0;
    qint64 next = 0;
    bool firstOfLine = true;
};

// A decoded piece: UTF-16 text and, for every code unit, the file offset of the byte that
// starts its character; byteOf has text.size() + 1 entries, the last one is the piece's textEnd.
struct XLineText {
    QString text;
    std::vector<qint64> byteOf;

    // The first unit of the character holding byte b (0 before the text, size at its end).
    int unitOfByte(qint64 b) const;
    // The first unit starting at or after byte b: the exclusive end of a range ending at b.
    int unitEndOfByte(qint64 b) const;
};

class XTextSource {
public:
    // Longer lines are shown as several pieces so that laying out one row stays cheap.
    static constexpr qint64 kDefaultPieceBytes = 8192;
    static constexpr qint64 kBlockBytes = 65536;

    XTextSource();
    ~XTextSource();
    XTextSource(const XTextSource&) = delete;
    XTextSource& operator=(const XTextSource&) = delete;

    bool openFile(const QString& path);
    void openBytes(const QByteArray& bytes);
    void close();

    bool isOpen() const { return m_reader.isOpen(); }
    const QString& path() const { return m_path; }
    const char* data() const { return m_data; }
    qint64 size() const { return m_size; }
    bool isMapped() const { return m_reader.isMapped(); }
    // A file with a UTF-16 byte-order mark is shown from its UTF-8 transcoding: data(), size()
    // and every offset here are then those of the UTF-8 text.
    bool isUtf16() const { return m_utf16Shown; }
    // A mark of the file's bytes (a search's hit) as a range of the text shown.
    find::XRam fromFileMark(const find::XRam& mark) const;

    // For tests: a smaller piece size shows long-line handling on small data. Call before opening.
    void setPieceBytes(qint64 n) { m_pieceBytes = n < 16 ? 16 : n; }
    qint64 pieceBytes() const { return m_pieceBytes; }

    // The piece holding pos (pos may point into a line end); pos is clamped to the data.
    XTextPiece pieceAt(qint64 pos) const;
    // The start of the piece before the one starting at pieceStart, or -1 at the top.
    qint64 prevPieceStart(qint64 pieceStart) const;
    qint64 lastPieceStart() const;
    XLineText decode(const XTextPiece& piece) const;
    // Text of any byte range, line ends as they are; invalid bytes become U+FFFD.
    QString text(qint64 offset, qint64 length) const;

    qint64 lineStartOf(qint64 pos) const;
    // 0-based line of pos, or -1 while the index has not reached it.
    qint64 lineNumberOf(qint64 pos) const;
    bool indexDone() const { return m_indexDone.load(std::memory_order_acquire); }
    // Number of lines once indexed, else -1.
    qint64 lineCount() const { return indexDone() ? m_lineCount : -1; }
    int indexPercent() const;
    // Blocks until the index is complete (tests and benchmarks).
    void waitForIndex();

    static bool isLineEndByte(char c) { return c == '\n' || c == '\r'; }

private:
    struct BlockEntry {
        qint64 lineNo = 0;     // line ends before the block's first byte
        qint64 lineStart = 0;  // start of the line holding the block's first byte
    };

    void takeData();
    void startIndex();
    void stopIndex();
    void runIndex();
    qint64 cut(qint64 lineStart, qint64 k) const;
    qint64 lineEndLen(qint64 i) const;
    bool isTerminatorEnd(qint64 i) const;

    XLineReaderDA m_reader;
    find::XUtf16Text m_utf16;
    bool m_utf16Shown = false;
    QString m_path;
    const char* m_data = nullptr;
    qint64 m_size = 0;
    qint64 m_pieceBytes = kDefaultPieceBytes;

    std::vector<BlockEntry> m_blocks;
    std::atomic<qint64> m_blocksDone{0};
    std::atomic<bool> m_indexDone{false};
    std::atomic<bool> m_stop{false};
    qint64 m_lineCount = 0;
    std::thread m_indexer;
};

} // namespace zem::viewText
