#pragma once
// Small atomic helpers shared by threads: a bit set, a value holder and a sleep.
#include <atomic>
#include <cstdint>

namespace zem {

// A set of flag bits that several threads test and change without a lock.
class AtomicBits {
public:
    explicit AtomicBits(uint32_t bits = 0) : m_bits(bits) {}
    AtomicBits(const AtomicBits& other) : m_bits(other.get()) {}
    AtomicBits& operator=(const AtomicBits& other) { set_all(other.get()); return *this; }

    bool is(uint32_t bit) const { return (m_bits.load(std::memory_order_acquire) & bit) == bit; }
    bool any(uint32_t bits) const { return (m_bits.load(std::memory_order_acquire) & bits) != 0; }
    void set(uint32_t bit, bool on = true)
    {
        if (on)
            m_bits.fetch_or(bit, std::memory_order_acq_rel);
        else
            m_bits.fetch_and(~bit, std::memory_order_acq_rel);
    }
    void clear(uint32_t bit) { set(bit, false); }
    void toggle(uint32_t bit) { m_bits.fetch_xor(bit, std::memory_order_acq_rel); }
    uint32_t get() const { return m_bits.load(std::memory_order_acquire); }
    void set_all(uint32_t bits) { m_bits.store(bits, std::memory_order_release); }

private:
    std::atomic<uint32_t> m_bits;
};

// An atomic value that can be copied (the copy takes a snapshot).
template <typename T>
class XAtomic {
public:
    XAtomic(T value = T()) : m_value(value) {}
    XAtomic(const XAtomic& other) : m_value(other.get()) {}
    XAtomic& operator=(const XAtomic& other) { set(other.get()); return *this; }
    XAtomic& operator=(T value) { set(value); return *this; }
    operator T() const { return get(); }
    T get() const { return m_value.load(std::memory_order_acquire); }
    void set(T value) { m_value.store(value, std::memory_order_release); }
    T fetch_add(T delta) { return m_value.fetch_add(delta, std::memory_order_acq_rel); }
    T fetch_sub(T delta) { return m_value.fetch_sub(delta, std::memory_order_acq_rel); }
    T operator++() { return fetch_add(1) + 1; }
    T operator--() { return fetch_sub(1) - 1; }
    T operator+=(T delta) { return fetch_add(delta) + delta; }

private:
    std::atomic<T> m_value;
};

void xSleep(unsigned milliseconds);

// The machine's hardware thread count; fallback when it cannot be told.
unsigned count_hardware_threads(unsigned fallback);

} // namespace zem
