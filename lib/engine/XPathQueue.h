#pragma once
// A bounded queue of file paths between a folder walk (producers) and the content search
// workers (consumers), so that the workers start on the first files while the walk goes on and
// the memory held between them stays small whatever the size of the tree.
//
// Paths are the file system's own bytes, one compact QByteArray each. Producers block while
// the queue is full (until half of it is free again), consumers while it is empty; close()
// says no more paths will come, stop() drops what is queued and wakes every waiting thread at
// once. Thread-safe.
#include "XAtomic.h"

#include <QByteArray>
#include <QtGlobal>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

namespace zem {

class XPathQueue {
public:
    // 4096 paths: some hundred kilobytes, and enough that a fast walk rarely waits for the workers.
    static constexpr std::size_t kDefaultCapacity = 4096;

    explicit XPathQueue(std::size_t capacity = kDefaultCapacity);
    XPathQueue(const XPathQueue&) = delete;
    XPathQueue& operator=(const XPathQueue&) = delete;

    // Empties the queue for a new search (nobody may wait on it meanwhile).
    void reset(std::size_t capacity = kDefaultCapacity);
    // Waits while the queue is full; false (path dropped) once stopped or closed.
    bool push(QByteArray path);
    // Waits while the queue is empty and open; false when it is closed and drained, or stopped.
    bool pop(QByteArray& path);
    // Like pop, but takes up to max paths at once (at least one, at most half of those queued, so
    // that other consumers get their share): one hand-over per batch instead of per file.
    bool popSome(std::vector<QByteArray>& out, std::size_t max);
    // No more paths: consumers drain what is left, then pop gives false.
    void close();
    // Ends the exchange now: queued paths are dropped, push and pop give false from now on.
    void stop();

    bool isStopped() const;
    bool isClosed() const;
    // Paths accepted by push since the last reset.
    quint64 countPushed() const { return m_pushed.get(); }
    std::size_t capacity() const { return m_capacity; }
    // Producers inside push now (waiting for room, or about to).
    std::size_t waitingProducers() const;

private:
    bool hasRoomForProducers() const;  // under m_lock

    mutable std::mutex m_lock;
    std::condition_variable m_notEmpty;
    std::condition_variable m_notFull;
    std::deque<QByteArray> m_paths;
    std::size_t m_capacity;
    bool m_closed = false;
    bool m_stopped = false;
    std::size_t m_waitingProducers = 0;
    XAtomic<quint64> m_pushed;
};

} // namespace zem
