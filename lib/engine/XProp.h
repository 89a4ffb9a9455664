#pragma once
// A value that tells its listeners when an assignment changes it (never when it stays the same).
#include "XEventListener.h"

namespace zem {

template <typename T>
class XProp {
public:
    XProp(T value = T()) : m_value(std::move(value)) {}

    const T& get() const { return m_value; }
    operator const T&() const { return m_value; }

    // Returns true when the value changed (and the listeners were told).
    bool set(const T& value)
    {
        if (m_value == value)
            return false;
        m_value = value;
        changed.fire(m_value);
        return true;
    }
    XProp& operator=(const T& value)
    {
        set(value);
        return *this;
    }

    XEventListener<void(const T&)> changed;

private:
    T m_value;
};

using XPropBool = XProp<bool>;

} // namespace zem
