#pragma once
// Finds a fixed byte string in a buffer, optionally ignoring ASCII case, with SIMD.
//
// Two bytes of the needle that are rare in ordinary text are compared 32 (AVX2) or 16 (SSE2)
// positions at a time; only positions where both agree are checked in full. Immutable after
// construction, so one searcher may be shared by threads.
#include <QByteArray>
#include <QtGlobal>
#include <string>

namespace zem::find {

class XLiteralSearcher {
public:
    XLiteralSearcher() = default;
    // asciiCaseless: letters A-Z/a-z match either case; other bytes match exactly.
    XLiteralSearcher(const QByteArray& needle, bool asciiCaseless);

    // Offset of the first occurrence starting at or after from, or -1.
    qint64 find(const char* data, qint64 size, qint64 from) const;

    int length() const { return int(m_needle.size()); }
    bool isEmpty() const { return m_needle.empty(); }
    bool isCaseless() const { return m_caseless; }
    // The needle as matched (lower case when caseless).
    const std::string& needle() const { return m_needle; }

    // True when data holds the UTF-8 bytes of KELVIN SIGN or LONG S (see XLineReaderDA).
    static bool hasFoldAliases(const char* data, qint64 size);

private:
    bool verify(const char* at) const;
    qint64 findScalar(const char* data, qint64 size, qint64 from) const;
    qint64 findSse2(const char* data, qint64 size, qint64 from) const;
    qint64 findAvx2(const char* data, qint64 size, qint64 from) const;

    std::string m_needle;
    bool m_caseless = false;
    int m_i1 = 0;  // offsets of the two probe bytes in the needle
    int m_i2 = 0;
    unsigned char m_b1 = 0, m_b2 = 0;        // probe bytes (lower case when caseless letters)
    unsigned char m_mask1 = 0, m_mask2 = 0;  // 0x20 for caseless letters: (byte | mask) == probe
};

} // namespace zem::find
