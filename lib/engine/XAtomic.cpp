#include "XAtomic.h"

#include <chrono>
#include <thread>

namespace zem {

void xSleep(unsigned milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

unsigned count_hardware_threads(unsigned fallback)
{
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? fallback : n;
}

} // namespace zem
