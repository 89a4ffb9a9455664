#include "XPathQueue.h"

#include <algorithm>

namespace zem {

XPathQueue::XPathQueue(std::size_t capacity) : m_capacity(capacity < 1 ? 1 : capacity) {}

void XPathQueue::reset(std::size_t capacity)
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_paths.clear();
    m_paths.shrink_to_fit();
    m_capacity = capacity < 1 ? 1 : capacity;
    m_closed = false;
    m_stopped = false;
    m_pushed = 0;
}

bool XPathQueue::push(QByteArray path)
{
    std::unique_lock<std::mutex> locker(m_lock);
    ++m_waitingProducers;
    m_notFull.wait(locker, [this] { return m_paths.size() < m_capacity || m_stopped || m_closed; });
    --m_waitingProducers;
    if (m_stopped || m_closed)
        return false;
    m_paths.push_back(std::move(path));
    ++m_pushed;
    locker.unlock();
    m_notEmpty.notify_one();
    return true;
}

bool XPathQueue::pop(QByteArray& path)
{
    std::unique_lock<std::mutex> locker(m_lock);
    m_notEmpty.wait(locker, [this] { return !m_paths.empty() || m_stopped || m_closed; });
    if (m_stopped || m_paths.empty())
        return false;
    path = std::move(m_paths.front());
    m_paths.pop_front();
    const bool room = hasRoomForProducers();
    locker.unlock();
    if (room)
        m_notFull.notify_all();
    return true;
}

bool XPathQueue::popSome(std::vector<QByteArray>& out, std::size_t max)
{
    std::unique_lock<std::mutex> locker(m_lock);
    m_notEmpty.wait(locker, [this] { return !m_paths.empty() || m_stopped || m_closed; });
    if (m_stopped || m_paths.empty())
        return false;
    const std::size_t take = std::max<std::size_t>(1, std::min(max, m_paths.size() / 2));
    for (std::size_t i = 0; i < take; ++i) {
        out.push_back(std::move(m_paths.front()));
        m_paths.pop_front();
    }
    const bool room = hasRoomForProducers();
    locker.unlock();
    if (room)
        m_notFull.notify_all();
    return true;
}

void XPathQueue::close()
{
    {
        std::lock_guard<std::mutex> locker(m_lock);
        m_closed = true;
    }
    m_notEmpty.notify_all();
    m_notFull.notify_all();
}

void XPathQueue::stop()
{
    {
        std::lock_guard<std::mutex> locker(m_lock);
        m_stopped = true;
        m_paths.clear();
    }
    m_notEmpty.notify_all();
    m_notFull.notify_all();
}

bool XPathQueue::hasRoomForProducers() const
{
    // A walk waiting on a full queue is woken once half of it is free, not for every path
    // taken: a wake-up per batch of paths cost the walk a context switch each.
    return m_paths.size() <= m_capacity / 2;
}

std::size_t XPathQueue::waitingProducers() const
{
    std::lock_guard<std::mutex> locker(m_lock);
    return m_waitingProducers;
}

bool XPathQueue::isStopped() const
{
    std::lock_guard<std::mutex> locker(m_lock);
    return m_stopped;
}

bool XPathQueue::isClosed() const
{
    std::lock_guard<std::mutex> locker(m_lock);
    return m_closed;
}

} // namespace zem
