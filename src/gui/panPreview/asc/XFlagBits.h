#pragma once
// A 32-bit flag set with a change event: the switches of the text tab. The bits are atomic;
// the event runs on the thread that changed them (the GUI thread here).
#include "XAtomic.h"
#include "XEventListener.h"

#include <cstdint>

namespace zemFinder {

class XFlagBits {
public:
    explicit XFlagBits(uint32_t bits = 0) : m_bits(bits) {}

    uint32_t flags() const { return m_bits.get(); }
    bool is(uint32_t bit) const { return m_bits.is(bit); }
    // fire: tell changed (only when the value changed).
    void set_flags(uint32_t bits, bool fire = true);
    void set_flag(uint32_t bit, bool on, bool fire = true);

    zem::XEventListener<void(uint32_t)> changed;

private:
    zem::AtomicBits m_bits;
};

} // namespace zemFinder
