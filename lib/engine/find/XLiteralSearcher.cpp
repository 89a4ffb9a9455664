#include "XLiteralSearcher.h"

#include "XSimd.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZEM_X86 1
#endif

namespace zem::find {

namespace {

inline bool isAlpha(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
inline unsigned char lower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

// Rough frequency of a byte in text and source code (higher = more common), so that the
// probes land on rare bytes and few positions need a full compare.
int commonness(unsigned char c)
{
    static const char* const tiers[] = {
        " etaoinsrhl\n",          // most common
        "dcumfpgwyb.,_()=;\t\"'", // common
        "vk0123456789-/:*<>{}",   // medium
    };
    for (int t = 0; t < 3; ++t) {
        if (c != 0 && std::strchr(tiers[t], lower(c)) != nullptr)
            return 250 - t * 50 - ((c >= 'A' && c <= 'Z') ? 30 : 0);
    }
    if (c >= 0x80)
        return 60;
    if (c < 0x20)
        return 10;
    return 80;  // rare letters and punctuation
}


} // namespace

XLiteralSearcher::XLiteralSearcher(const QByteArray& needle, bool asciiCaseless)
    : m_needle(needle.constData(), size_t(needle.size())), m_caseless(asciiCaseless)
{
    if (m_caseless) {
        for (char& c : m_needle)
            c = char(lower(static_cast<unsigned char>(c)));
    }
    const int n = int(m_needle.size());
    if (n == 0)
        return;
    // Rarest byte first, then the rarest at another offset.
    int best = 0;
    for (int i = 1; i < n; ++i) {
        if (commonness(static_cast<unsigned char>(m_needle[size_t(i)])) < commonness(static_cast<unsigned char>(m_needle[size_t(best)])))
            best = i;
    }
    int second = best;
    for (int i = 0; i < n; ++i) {
        if (i == best)
            continue;
        if (second == best || commonness(static_cast<unsigned char>(m_needle[size_t(i)])) < commonness(static_cast<unsigned char>(m_needle[size_t(second)])))
            second = i;
    }
    m_i1 = best;
    m_i2 = second;
    m_b1 = static_cast<unsigned char>(m_needle[size_t(m_i1)]);
    m_b2 = static_cast<unsigned char>(m_needle[size_t(m_i2)]);
    m_mask1 = (m_caseless && isAlpha(m_b1)) ? 0x20 : 0;
    m_mask2 = (m_caseless && isAlpha(m_b2)) ? 0x20 : 0;
}

bool XLiteralSearcher::verify(const char* at) const
{
    if (!m_caseless)
        return std::memcmp(at, m_needle.data(), m_needle.size()) == 0;
    const auto* a = reinterpret_cast<const unsigned char*>(at);
    const auto* b = reinterpret_cast<const unsigned char*>(m_needle.data());
    for (size_t i = 0; i < m_needle.size(); ++i) {
        if (lower(a[i]) != b[i])
            return false;
    }
    return true;
}

qint64 XLiteralSearcher::findScalar(const char* data, qint64 size, qint64 from) const
{
    const qint64 m = qint64(m_needle.size());
    const auto* u = reinterpret_cast<const unsigned char*>(data);
    for (qint64 s = from; s + m <= size; ++s) {
        if ((u[s + m_i1] | m_mask1) == m_b1 && (u[s + m_i2] | m_mask2) == m_b2 && verify(data + s))
            return s;
    }
    return -1;
}

qint64 XLiteralSearcher::findSse2(const char* data, qint64 size, qint64 from) const
{
#ifdef ZEM_X86
    const qint64 m = qint64(m_needle.size());
    const __m128i p1 = _mm_set1_epi8(char(m_b1)), p2 = _mm_set1_epi8(char(m_b2));
    const __m128i k1 = _mm_set1_epi8(char(m_mask1)), k2 = _mm_set1_epi8(char(m_mask2));
    qint64 s = from;
    // Every candidate start in [s, s + 16) needs s + 15 + m <= size for its full compare.
    for (; s + 16 + m - 1 <= size; s += 16) {
        const __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + s + m_i1)), k1);
        const __m128i b = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + s + m_i2)), k2);
        unsigned bits = unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, p1), _mm_cmpeq_epi8(b, p2))));
        while (bits != 0) {
            const qint64 c = s + __builtin_ctz(bits);
            if (verify(data + c))
                return c;
            bits &= bits - 1;
        }
    }
    return findScalar(data, size, s);
#else
    return findScalar(data, size, from);
#endif
}

#ifdef ZEM_X86
namespace {
// Fold: letters among the probe bytes match either case (the probe is OR-ed with 0x20 first);
// the case-sensitive scan leaves that step out.
template <bool Fold>
__attribute__((target("avx2"))) inline __m256i probe(const char* at, __m256i k)
{
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    return Fold ? _mm256_or_si256(v, k) : v;
}

template <bool Fold, typename Verify>
__attribute__((target("avx2"))) qint64 scanAvx2(const char* data, qint64 size, qint64 from, qint64 m, int i1, int i2,
                                                 __m256i p1, __m256i p2, __m256i k1, __m256i k2, qint64* stop,
                                                 Verify&& verify)
{
    qint64 s = from;
    // Two vectors a step: more loads in flight, which is what a scan from memory needs.
    for (; s + 64 + m - 1 <= size; s += 64) {
        const char* q = data + s;
        const __m256i e0 = _mm256_and_si256(_mm256_cmpeq_epi8(probe<Fold>(q + i1, k1), p1), _mm256_cmpeq_epi8(probe<Fold>(q + i2, k2), p2));
        const __m256i e1 = _mm256_and_si256(_mm256_cmpeq_epi8(probe<Fold>(q + 32 + i1, k1), p1),
                                            _mm256_cmpeq_epi8(probe<Fold>(q + 32 + i2, k2), p2));
        const __m256i any = _mm256_or_si256(e0, e1);
        if (_mm256_testz_si256(any, any))
            continue;
        const quint64 bits = quint64(unsigned(_mm256_movemask_epi8(e0))) | (quint64(unsigned(_mm256_movemask_epi8(e1))) << 32);
        for (quint64 b = bits; b != 0; b &= b - 1) {
            const qint64 c = s + __builtin_ctzll(b);
            if (verify(data + c))
                return c;
        }
    }
    for (; s + 32 + m - 1 <= size; s += 32) {
        const char* q = data + s;
        unsigned bits = unsigned(_mm256_movemask_epi8(
            _mm256_and_si256(_mm256_cmpeq_epi8(probe<Fold>(q + i1, k1), p1), _mm256_cmpeq_epi8(probe<Fold>(q + i2, k2), p2))));
        for (; bits != 0; bits &= bits - 1) {
            const qint64 c = s + __builtin_ctz(bits);
            if (verify(data + c))
                return c;
        }
    }
    *stop = s;
    return -1;
}
} // namespace

__attribute__((target("avx2")))
#endif
qint64 XLiteralSearcher::findAvx2(const char* data, qint64 size, qint64 from) const
{
#ifdef ZEM_X86
    const qint64 m = qint64(m_needle.size());
    const __m256i p1 = _mm256_set1_epi8(char(m_b1)), p2 = _mm256_set1_epi8(char(m_b2));
    const __m256i k1 = _mm256_set1_epi8(char(m_mask1)), k2 = _mm256_set1_epi8(char(m_mask2));
    auto verifier = [this](const char* at) { return verify(at); };
    qint64 stop = from;
    const qint64 hit = (m_mask1 | m_mask2) != 0
        ? scanAvx2<true>(data, size, from, m, m_i1, m_i2, p1, p2, k1, k2, &stop, verifier)
        : scanAvx2<false>(data, size, from, m, m_i1, m_i2, p1, p2, k1, k2, &stop, verifier);
    return hit >= 0 ? hit : findSse2(data, size, stop);
#else
    return findSse2(data, size, from);
#endif
}

qint64 XLiteralSearcher::find(const char* data, qint64 size, qint64 from) const
{
    if (m_needle.empty() || from < 0 || from + qint64(m_needle.size()) > size)
        return -1;
    if (m_needle.size() == 1 && m_mask1 == 0) {
        const void* hit = std::memchr(data + from, m_b1, size_t(size - from));
        return hit ? static_cast<const char*>(hit) - data : -1;
    }
#ifdef ZEM_X86
    if (simd_avx2())
        return findAvx2(data, size, from);
#endif
    return findSse2(data, size, from);
}

bool XLiteralSearcher::hasFoldAliases(const char* data, qint64 size)
{
    static const XLiteralSearcher kelvin(QByteArray("\xE2\x84\xAA"), false);
    static const XLiteralSearcher longS(QByteArray("\xC5\xBF"), false);
    return kelvin.find(data, size, 0) >= 0 || longS.find(data, size, 0) >= 0;
}

} // namespace zem::find
