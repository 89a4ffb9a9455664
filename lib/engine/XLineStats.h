#pragma once
// Counts lines of a byte range in one pass that can be fed piece by piece, so that a search
// scanning the same bytes can count them while they are still in the cache.
//
// Line ends are LF, CRLF (one end) and a lone CR; a line longer than lineLenMax counts as
// several. On request also notes whether KELVIN SIGN or LONG S occur (their case folding is
// ASCII), which costs a little, so only searches that care ask for it.
// Used by XLineReaderDA; one object per reader.
#include <QtGlobal>

namespace zem {

class XLineStats {
public:
    // Bytes per step: line ends are counted per chunk, and a run of chunks without any tells
    // when a line might be over-long (then the count is redone byte by byte).
    static constexpr qint64 kChunk = 4096;

    void reset(qint64 lineLenMax);
    // Counts data[processed(), upTo) (upTo rounded down to a chunk edge unless it is size).
    void feed(const char* data, qint64 size, qint64 upTo);
    qint64 processed() const { return m_pos; }

    // Once everything is fed: the line count (exact even with over-long lines).
    qint64 lines(const char* data, qint64 size);
    // Before the first feed: note fold aliases too.
    void trackAliases();
    // Whether aliases were tracked over all of the data fed.
    bool aliasesTracked() const { return m_trackAliases; }
    bool aliases() const { return m_aliases; }

    // The last '\n' in [begin, end), or null.
    static const char* lastNewline(const char* begin, const char* end);

    // Byte-by-byte reference count; also the fallback for over-long lines.
    static qint64 countExact(const char* data, qint64 size, qint64 lineLenMax);

private:
    qint64 countScalar(const char* data, qint64 size, qint64 from, qint64 to);
    void endChunk(qint64 ends);

    qint64 m_pos = 0;
    qint64 m_ends = 0;
    qint64 m_maxLen = 65536;
    int m_emptyChunks = 0;
    int m_emptyLimit = 1;
    bool m_maybeLong = false;
    bool m_aliases = false;
    bool m_trackAliases = false;
    qint64 m_exact = -1;
};

} // namespace zem
