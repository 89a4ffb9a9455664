#include "XLineStats.h"

#include "XSimd.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZEM_X86 1
#endif

namespace zem {

namespace {

// KELVIN SIGN (E2 84 AA) or LONG S (C5 BF) starting at i.
inline bool aliasAt(const char* d, qint64 n, qint64 i)
{
    const auto* u = reinterpret_cast<const unsigned char*>(d);
    if (u[i] == 0xC5)
        return i + 1 < n && u[i + 1] == 0xBF;
    return u[i] == 0xE2 && i + 2 < n && u[i + 1] == 0x84 && u[i + 2] == 0xAA;
}

inline bool loneCr(const char* d, qint64 n, qint64 i)
{
    return !(i + 1 < n && d[i + 1] == '\n');
}

inline int popcount32(unsigned v)
{
    int c = 0;
    for (; v != 0; v &= v - 1)
        ++c;
    return c;
}

#ifdef ZEM_X86
// len bytes at d + at, len a multiple of 32 and at most one chunk. Byte counters add at most
// 128 per lane (4096 / 32), below 256.
template <bool Track>
__attribute__((target("avx2,popcnt"))) qint64 chunkAvx2(const char* d, qint64 n, qint64 at, int len, bool* aliases)
{
    const int C = len;
    const char* p = d + at;
    const __m256i zero = _mm256_setzero_si256();
    const __m256i lf = _mm256_set1_epi8('\n'), cr = _mm256_set1_epi8('\r');
    __m256i count = zero, crs = zero, high = zero;
    for (int k = 0; k < C; k += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + k));
        count = _mm256_sub_epi8(count, _mm256_cmpeq_epi8(v, lf));
        crs = _mm256_or_si256(crs, _mm256_cmpeq_epi8(v, cr));
        if (Track)
            high = _mm256_or_si256(high, v);
    }
    const __m256i sums = _mm256_sad_epu8(count, zero);
    qint64 ends = _mm256_extract_epi64(sums, 0) + _mm256_extract_epi64(sums, 1) + _mm256_extract_epi64(sums, 2)
        + _mm256_extract_epi64(sums, 3);
    if (!_mm256_testz_si256(crs, crs)) {
        for (int k = 0; k < C; k += 32) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + k));
            unsigned m = unsigned(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, cr)));
            if (m == 0)
                continue;
            if (at + k + 33 <= n) {
                const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + k + 1));
                m &= ~unsigned(_mm256_movemask_epi8(_mm256_cmpeq_epi8(next, lf)));
                ends += _mm_popcnt_u32(m);
            } else {
                for (; m != 0; m &= m - 1)
                    ends += loneCr(d, n, at + k + __builtin_ctz(m)) ? 1 : 0;
            }
        }
    }
    if (Track && !*aliases && _mm256_movemask_epi8(high) != 0) {
        // Only chunks with non-ASCII bytes get here; their lead bytes are checked.
        const __m256i c5 = _mm256_set1_epi8(char(0xC5)), e2 = _mm256_set1_epi8(char(0xE2));
        for (int k = 0; k < C && !*aliases; k += 32) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + k));
            unsigned m = unsigned(_mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi8(v, c5), _mm256_cmpeq_epi8(v, e2))));
            for (; m != 0 && !*aliases; m &= m - 1)
                *aliases = aliasAt(d, n, at + k + __builtin_ctz(m));
        }
    }
    return ends;
}

// As chunkAvx2, len a multiple of 16.
template <bool Track>
qint64 chunkSse2(const char* d, qint64 n, qint64 at, int len, bool* aliases)
{
    const int C = len;
    const char* p = d + at;
    const __m128i zero = _mm_setzero_si128();
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
    __m128i crs = zero, high = zero;
    qint64 ends = 0;
    // 16-byte steps: flush the byte counters every 2048 bytes (128 adds per lane at most).
    for (int half = 0; half < C; half += 2048) {
        __m128i count = zero;
        for (int k = half; k < std::min(C, half + 2048); k += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
            count = _mm_sub_epi8(count, _mm_cmpeq_epi8(v, lf));
            crs = _mm_or_si128(crs, _mm_cmpeq_epi8(v, cr));
            if (Track)
                high = _mm_or_si128(high, v);
        }
        const __m128i sums = _mm_sad_epu8(count, zero);
        ends += _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
    }
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(crs, zero)) != 0xFFFF) {
        for (int k = 0; k < C; k += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
            unsigned m = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
            if (m == 0)
                continue;
            if (at + k + 17 <= n) {
                const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k + 1));
                m &= ~unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(next, lf)));
                ends += popcount32(m);
            } else {
                for (; m != 0; m &= m - 1)
                    ends += loneCr(d, n, at + k + __builtin_ctz(m)) ? 1 : 0;
            }
        }
    }
    if (Track && !*aliases && _mm_movemask_epi8(high) != 0) {
        const __m128i c5 = _mm_set1_epi8(char(0xC5)), e2 = _mm_set1_epi8(char(0xE2));
        for (int k = 0; k < C && !*aliases; k += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
            unsigned m = unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, c5), _mm_cmpeq_epi8(v, e2))));
            for (; m != 0 && !*aliases; m &= m - 1)
                *aliases = aliasAt(d, n, at + k + __builtin_ctz(m));
        }
    }
    return ends;
}
#endif

} // namespace

void XLineStats::reset(qint64 lineLenMax)
{
    m_pos = 0;
    m_ends = 0;
    m_maxLen = std::max<qint64>(1, lineLenMax);
    m_emptyChunks = 0;
    // A line longer than the limit leaves at least limit/kChunk - 2 whole chunks without a line
    // end; below that many the fast count cannot tell, so short limits always count exactly.
    m_emptyLimit = int(std::min<qint64>(m_maxLen / kChunk - 2, 1 << 30));
    m_maybeLong = m_emptyLimit < 1;
    m_aliases = false;
    m_trackAliases = false;
    m_exact = -1;
}

void XLineStats::endChunk(qint64 ends)
{
    m_ends += ends;
    if (ends != 0) {
        m_emptyChunks = 0;
    } else if (++m_emptyChunks >= m_emptyLimit) {
        m_maybeLong = true;
    }
}

qint64 XLineStats::countScalar(const char* d, qint64 n, qint64 from, qint64 to)
{
    qint64 ends = 0;
    for (qint64 i = from; i < to; ++i) {
        const char c = d[i];
        if (c == '\n' || (c == '\r' && loneCr(d, n, i)))
            ++ends;
        else if (m_trackAliases && !m_aliases && static_cast<unsigned char>(c) >= 0xC5)
            m_aliases = aliasAt(d, n, i);
    }
    return ends;
}

void XLineStats::feed(const char* data, qint64 size, qint64 upTo)
{
    upTo = std::min(upTo, size);
    if (upTo < size)
        upTo -= upTo % kChunk;
#ifdef ZEM_X86
    const bool avx2 = simd_avx2();
#endif
    while (m_pos < upTo) {
        // Whole chunks, then the file's last piece: its whole vectors, then single bytes.
        const int len = int(std::min(kChunk, upTo - m_pos));
#ifdef ZEM_X86
        const int width = avx2 ? 32 : 16;
        const int vectors = len - len % width;
        qint64 ends = 0;
        if (vectors > 0)
        {
            if (m_trackAliases)
                ends = avx2 ? chunkAvx2<true>(data, size, m_pos, vectors, &m_aliases)
                            : chunkSse2<true>(data, size, m_pos, vectors, &m_aliases);
            else
                ends = avx2 ? chunkAvx2<false>(data, size, m_pos, vectors, &m_aliases)
                            : chunkSse2<false>(data, size, m_pos, vectors, &m_aliases);
        }
        ends += countScalar(data, size, m_pos + vectors, m_pos + len);
#else
        const qint64 ends = countScalar(data, size, m_pos, m_pos + len);
#endif
        endChunk(ends);
        m_pos += len;
    }
}

void XLineStats::trackAliases()
{
    if (m_pos == 0)
        m_trackAliases = true;
}

qint64 XLineStats::lines(const char* data, qint64 size)
{
    if (size <= 0)
        return 0;
    feed(data, size, size);
    if (m_maybeLong) {
        if (m_exact < 0)
            m_exact = countExact(data, size, m_maxLen);
        return m_exact;
    }
    const char last = data[size - 1];
    return m_ends + ((last == '\n' || last == '\r') ? 0 : 1);
}

const char* XLineStats::lastNewline(const char* begin, const char* end)
{
#if defined(__GLIBC__)
    return static_cast<const char*>(memrchr(begin, '\n', size_t(end - begin)));
#else
    for (const char* p = end; p > begin; --p) {
        if (p[-1] == '\n')
            return p - 1;
    }
    return nullptr;
#endif
}

qint64 XLineStats::countExact(const char* d, qint64 n, qint64 maxLen)
{
    // The next LF and the next CR are each looked for with memchr and kept until passed, so
    // every byte is looked at by each search once: binary files (few line ends, long "lines")
    // come here often.
    auto next = [d, n](char c, qint64 from) {
        const void* p = from < n ? std::memchr(d + from, c, size_t(n - from)) : nullptr;
        return p ? static_cast<const char*>(p) - d : n;
    };
    auto pieces = [maxLen](qint64 len) { return len == 0 ? 1 : (len + maxLen - 1) / maxLen; };
    qint64 lines = 0;
    qint64 start = 0;
    qint64 lf = next('\n', 0);
    qint64 cr = next('\r', 0);
    for (;;) {
        const qint64 i = std::min(lf, cr);
        if (i >= n)
            break;
        lines += pieces(i - start);
        start = (d[i] == '\r' && i + 1 < n && d[i + 1] == '\n') ? i + 2 : i + 1;
        if (lf < start)
            lf = next('\n', start);
        if (cr < start)
            cr = next('\r', start);
    }
    if (start < n)
        lines += pieces(n - start);
    return lines;
}

} // namespace zem
