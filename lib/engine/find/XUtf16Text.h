#pragma once
// A UTF-16 file with a byte-order mark (FF FE little endian, FE FF big endian) as UTF-8, so
// that the byte-oriented search runs over it unchanged, and the way back from an offset in
// that UTF-8 to the offset of the file's bytes that gave it.
//
// Unpaired surrogates and an odd byte at the end become U+FFFD. The offset map keeps one
// checkpoint per kCheckpointUnits code units and decodes from there (a few dozen code units at
// most), so it costs about a tenth of the file's size. Buffers are kept for the next file.
// One object per thread; not thread-safe.
#include <QtGlobal>
#include <string>
#include <vector>

namespace zem::find {

class XUtf16Text {
public:
    enum Bom { NO_BOM, LITTLE_ENDIAN_BOM, BIG_ENDIAN_BOM };
    static constexpr int kCheckpointUnits = 64;

    static Bom bomOf(const char* data, qint64 size);

    // Decodes a file's bytes (BOM included); false, and nothing decoded, when there is no BOM.
    bool decode(const char* data, qint64 size);

    const char* utf8() const { return m_utf8.data(); }
    qint64 utf8Size() const { return qint64(m_utf8.size()); }

    // The file offset of the character holding UTF-8 offset u (the file's size at the end).
    qint64 fileOffset(qint64 u) const;
    // The file offset after the character that ends before or holds UTF-8 offset u: the end
    // of a range that ends at u.
    qint64 fileEndOffset(qint64 u) const;
    // The UTF-8 offset of the character holding file offset f.
    qint64 utf8Offset(qint64 f) const;

private:
    struct Checkpoint {
        qint64 utf8;
        qint64 file;
    };
    // The last checkpoint at or before value, counted on one side (utf8 or file); the text's
    // start when there is none.
    Checkpoint checkpointBefore(qint64 value, qint64 Checkpoint::*side) const;
    // One character from file offset f: its code point and the file bytes it takes.
    char32_t next(qint64 f, int* bytes) const;
    static int utf8Length(char32_t c);
    // Walks characters from the checkpoint at or before a UTF-8 offset; the character holding
    // u starts at *charUtf8 / *charFile and ends at *endFile.
    void locate(qint64 u, qint64* charUtf8, qint64* charFile, qint64* endFile) const;

    const char* m_data = nullptr;
    qint64 m_size = 0;
    bool m_bigEndian = false;
    std::string m_utf8;
    std::vector<Checkpoint> m_checkpoints;
};

} // namespace zem::find
