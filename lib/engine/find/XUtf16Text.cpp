#include "XUtf16Text.h"

#include <algorithm>
#include <iterator>

namespace zem::find {

namespace {
constexpr char32_t kReplacement = 0xFFFD;
constexpr qint64 kBomBytes = 2;

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}
} // namespace

XUtf16Text::Bom XUtf16Text::bomOf(const char* data, qint64 size)
{
    if (!data || size < kBomBytes)
        return NO_BOM;
    const auto b0 = static_cast<unsigned char>(data[0]);
    const auto b1 = static_cast<unsigned char>(data[1]);
    if (b0 == 0xFF && b1 == 0xFE)
        return LITTLE_ENDIAN_BOM;
    if (b0 == 0xFE && b1 == 0xFF)
        return BIG_ENDIAN_BOM;
    return NO_BOM;
}

int XUtf16Text::utf8Length(char32_t c)
{
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

char32_t XUtf16Text::next(qint64 f, int* bytes) const
{
    const auto* p = reinterpret_cast<const unsigned char*>(m_data);
    if (f + 2 > m_size) {
        *bytes = 1;  // an odd byte at the end
        return kReplacement;
    }
    auto unit = [&](qint64 at) -> char32_t {
        return m_bigEndian ? char32_t(p[at] << 8 | p[at + 1]) : char32_t(p[at + 1] << 8 | p[at]);
    };
    const char32_t u = unit(f);
    *bytes = 2;
    if (u < 0xD800 || u > 0xDFFF)
        return u;
    if (u <= 0xDBFF && f + 4 <= m_size) {
        const char32_t low = unit(f + 2);
        if (low >= 0xDC00 && low <= 0xDFFF) {
            *bytes = 4;
            return 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return kReplacement;
}

bool XUtf16Text::decode(const char* data, qint64 size)
{
    const Bom bom = bomOf(data, size);
    m_utf8.clear();
    m_checkpoints.clear();
    if (bom == NO_BOM) {
        m_data = nullptr;
        m_size = 0;
        return false;
    }
    m_data = data;
    m_size = size;
    m_bigEndian = bom == BIG_ENDIAN_BOM;
    // ASCII text takes half the bytes in UTF-8.
    m_utf8.reserve(size_t(size / 2 + 16));
    m_checkpoints.reserve(size_t(size / (2 * kCheckpointUnits) + 2));
    int units = 0;
    for (qint64 f = kBomBytes; f < size;) {
        if (units % kCheckpointUnits == 0)
            m_checkpoints.push_back({qint64(m_utf8.size()), f});
        int bytes = 0;
        appendUtf8(m_utf8, next(f, &bytes));
        f += bytes;
        ++units;
    }
    return true;
}

XUtf16Text::Checkpoint XUtf16Text::checkpointBefore(qint64 value, qint64 Checkpoint::*side) const
{
    auto it = std::upper_bound(m_checkpoints.begin(), m_checkpoints.end(), value,
                               [side](qint64 v, const Checkpoint& c) { return v < c.*side; });
    return it == m_checkpoints.begin() ? Checkpoint{0, kBomBytes} : *std::prev(it);
}

void XUtf16Text::locate(qint64 u, qint64* charUtf8, qint64* charFile, qint64* endFile) const
{
    const Checkpoint start = checkpointBefore(u, &Checkpoint::utf8);
    qint64 cu = start.utf8, cf = start.file;
    while (cf < m_size) {
        int bytes = 0;
        const int len = utf8Length(next(cf, &bytes));
        if (u < cu + len) {
            *charUtf8 = cu;
            *charFile = cf;
            *endFile = cf + bytes;
            return;
        }
        cu += len;
        cf += bytes;
    }
    *charUtf8 = cu;
    *charFile = m_size;
    *endFile = m_size;
}

qint64 XUtf16Text::fileOffset(qint64 u) const
{
    qint64 cu = 0, cf = 0, ef = 0;
    locate(u, &cu, &cf, &ef);
    return cf;
}

qint64 XUtf16Text::fileEndOffset(qint64 u) const
{
    qint64 cu = 0, cf = 0, ef = 0;
    locate(u, &cu, &cf, &ef);
    // At a character's start the range ends before it; inside one it takes the whole character.
    return u == cu ? cf : ef;
}

qint64 XUtf16Text::utf8Offset(qint64 f) const
{
    if (f <= kBomBytes)
        return 0;
    const Checkpoint start = checkpointBefore(f, &Checkpoint::file);
    qint64 cu = start.utf8, cf = start.file;
    while (cf < m_size) {
        int bytes = 0;
        const char32_t c = next(cf, &bytes);
        if (f < cf + bytes)
            return cu;
        cu += utf8Length(c);
        cf += bytes;
    }
    return cu;
}

} // namespace zem::find
