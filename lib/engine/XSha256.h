#pragma once
// SHA-256 through the processor's SHA instructions, several times faster than the portable
// code of QCryptographicHash. Only usable where accelerated() is true; callers fall back to
// QCryptographicHash elsewhere.
#include <QByteArray>
#include <QtGlobal>
#include <cstdint>

namespace zem {

class XSha256 {
public:
    // True when this processor has the SHA, SSSE3 and SSE4.1 instructions.
    static bool accelerated();

    XSha256();
    void addData(const char* data, qint64 size);
    // The 32-byte digest; the object is used up afterwards.
    QByteArray result();

private:
    uint32_t m_state[8];
    unsigned char m_block[64];
    int m_filled = 0;
    quint64 m_bytes = 0;
};

} // namespace zem
