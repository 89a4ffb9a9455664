#include "XSha256.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define ZEM_SHA_NI 1
#endif

namespace zem {

namespace {

const uint32_t kInitial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                              0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

#ifdef ZEM_SHA_NI
alignas(16) const uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

// Processes whole 64-byte blocks. The instructions keep the state as the register pairs
// ABEF and CDGH; the message schedule is four registers of four words, refilled in place.
__attribute__((target("sha,ssse3,sse4.1"))) void compress(uint32_t state[8], const unsigned char* data,
                                                         std::size_t blocks)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i dcba = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xB1);
    __m128i cdgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1B);
    __m128i abef = _mm_alignr_epi8(dcba, cdgh, 8);
    cdgh = _mm_blend_epi16(cdgh, dcba, 0xF0);

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abefBefore = abef;
        const __m128i cdghBefore = cdgh;
        __m128i words[4];
        for (int i = 0; i < 4; ++i)
            words[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)), byteSwap);
        for (int group = 0; group < 16; ++group) {
            __m128i input = _mm_add_epi32(words[group & 3],
                                          _mm_load_si128(reinterpret_cast<const __m128i*>(kRound + 4 * group)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, input);
            input = _mm_shuffle_epi32(input, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, input);
            if (group < 12) {
                // Words 4·(group+4) … from the four groups before them.
                __m128i next = _mm_sha256msg1_epu32(words[group & 3], words[(group + 1) & 3]);
                next = _mm_add_epi32(next, _mm_alignr_epi8(words[(group + 3) & 3], words[(group + 2) & 3], 4));
                words[group & 3] = _mm_sha256msg2_epu32(next, words[(group + 3) & 3]);
            }
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}
#else
void compress(uint32_t*, const unsigned char*, std::size_t) {}
#endif

bool detect()
{
#ifdef ZEM_SHA_NI
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return false;
    const bool ssse3 = c & (1u << 9);
    const bool sse41 = c & (1u << 19);
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d))
        return false;
    const bool sha = b & (1u << 29);
    return ssse3 && sse41 && sha;
#else
    return false;
#endif
}

} // namespace

bool XSha256::accelerated()
{
    static const bool available = detect();
    return available;
}

XSha256::XSha256()
{
    std::memcpy(m_state, kInitial, sizeof m_state);
}

void XSha256::addData(const char* data, qint64 size)
{
    auto bytes = reinterpret_cast<const unsigned char*>(data);
    std::size_t left = std::size_t(size);
    m_bytes += left;
    if (m_filled > 0) {
        const std::size_t take = std::min<std::size_t>(left, std::size_t(64 - m_filled));
        std::memcpy(m_block + m_filled, bytes, take);
        m_filled += int(take);
        bytes += take;
        left -= take;
        if (m_filled < 64)
            return;
        compress(m_state, m_block, 1);
        m_filled = 0;
    }
    compress(m_state, bytes, left / 64);
    bytes += left / 64 * 64;
    left %= 64;
    std::memcpy(m_block, bytes, left);
    m_filled = int(left);
}

QByteArray XSha256::result()
{
    const quint64 bits = m_bytes * 8;
    unsigned char tail[72] = {0x80};
    const int pad = (m_filled < 56 ? 56 : 120) - m_filled;
    for (int i = 0; i < 8; ++i)
        tail[pad + i] = static_cast<unsigned char>(bits >> (56 - 8 * i));
    addData(reinterpret_cast<const char*>(tail), pad + 8);
    QByteArray digest(32, Qt::Uninitialized);
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 4; ++j)
            digest[4 * i + j] = char(m_state[i] >> (24 - 8 * j));
    return digest;
}

} // namespace zem
