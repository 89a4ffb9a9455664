#include "XFlagBits.h"

namespace zemFinder {

void XFlagBits::set_flags(uint32_t bits, bool fire)
{
    const uint32_t before = m_bits.get();
    m_bits.set_all(bits);
    if (fire && before != bits)
        changed.fire(bits);
}

void XFlagBits::set_flag(uint32_t bit, bool on, bool fire)
{
    const uint32_t before = m_bits.get();
    set_flags(on ? (before | bit) : (before & ~bit), fire);
}

} // namespace zemFinder
