#pragma once
// Event slots: a lock-guarded ordered map from a running id to a callback, with an enabled flag.
// "set" replaces all callbacks, "add" appends; fire() calls them in id order while enabled.
#include <QMutex>
#include <QMutexLocker>
#include <functional>
#include <map>

namespace zem {

template <typename Signature>
class XEventListener;

template <typename... Args>
class XEventListener<void(Args...)> {
public:
    using Callback = std::function<void(Args...)>;

    // Replaces every callback by this one; returns its id.
    int set(Callback cb)
    {
        QMutexLocker locker(&m_lock);
        m_callbacks.clear();
        return insert(std::move(cb));
    }
    int add(Callback cb)
    {
        QMutexLocker locker(&m_lock);
        return insert(std::move(cb));
    }
    void remove(int id)
    {
        QMutexLocker locker(&m_lock);
        m_callbacks.erase(id);
    }
    void clear()
    {
        QMutexLocker locker(&m_lock);
        m_callbacks.clear();
    }
    void setEnabled(bool on)
    {
        QMutexLocker locker(&m_lock);
        m_enabled = on;
    }
    bool isEnabled() const
    {
        QMutexLocker locker(&m_lock);
        return m_enabled;
    }
    bool empty() const
    {
        QMutexLocker locker(&m_lock);
        return m_callbacks.empty();
    }
    int size() const
    {
        QMutexLocker locker(&m_lock);
        return int(m_callbacks.size());
    }
    // Calls every callback in id order under the lock (a callback must not change this listener).
    void fire(Args... args) const
    {
        QMutexLocker locker(&m_lock);
        if (!m_enabled)
            return;
        for (const auto& entry : m_callbacks)
            if (entry.second)
                entry.second(args...);
    }
    void operator()(Args... args) const { fire(args...); }

private:
    int insert(Callback cb)
    {
        const int id = m_nextId++;
        m_callbacks.emplace(id, std::move(cb));
        return id;
    }

    mutable QMutex m_lock;
    std::map<int, Callback> m_callbacks;
    int m_nextId = 1;
    bool m_enabled = true;
};

} // namespace zem
