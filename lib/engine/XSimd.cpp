#include "XSimd.h"

#include <atomic>

namespace zem {

namespace {
std::atomic<bool> g_allowAvx2{true};

bool detectAvx2()
{
#if defined(__x86_64__) || defined(__i386__)
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
#else
    return false;
#endif
}
} // namespace

bool simd_avx2()
{
    static const bool has = detectAvx2();
    return has && g_allowAvx2.load(std::memory_order_relaxed);
}

void simd_allow_avx2(bool allow)
{
    g_allowAvx2.store(allow, std::memory_order_relaxed);
}

} // namespace zem
