#include "XReadAhead.h"

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

namespace zem {

XReadAhead::~XReadAhead()
{
    stop();
    if (m_thread.joinable()) {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_quit = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
}

void XReadAhead::start(int fd, qint64 offset, qint64 end, qint64 pieceSize, qint64 room)
{
    stop();
    for (Slot& slot : m_slots)
        slot.state.store(FREE, std::memory_order_relaxed);
    m_take = 0;
    m_pending = std::max<qint64>(0, end - offset);
    m_held = false;
    m_reading = true;
    m_stop.store(false);
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_fd = fd;
        m_offset = offset;
        m_end = end;
        m_pieceSize = std::max<qint64>(1, pieceSize);
        m_room = std::max<qint64>(0, room);
        m_job = true;
    }
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
    else
        m_changed.notify_all();
}

void XReadAhead::stop()
{
    if (!m_reading)
        return;
    m_stop.store(true);
    std::unique_lock<std::mutex> hold(m_lock);
    m_changed.notify_all();
    m_changed.wait(hold, [this] { return !m_job && !m_busy; });
    m_reading = false;
}

bool XReadAhead::next(Piece& piece)
{
    if (!m_reading || m_held || m_pending <= 0)
        return false;
    Slot& slot = m_slots[m_take];
    if (!waitFor(slot, FILLED))
        return false;
    piece = slot.piece;
    m_held = true;
    // A failed or short read is the last piece.
    m_pending = (piece.size < piece.asked) ? 0 : m_pending - piece.size;
    return true;
}

void XReadAhead::giveBack()
{
    if (!m_held)
        return;
    m_held = false;
    Slot& slot = m_slots[m_take];
    m_take = (m_take + 1) % kPieces;
    publish(slot, FREE);
}

void XReadAhead::swapIn(std::unique_ptr<char[]>& buffer, qint64& capacity)
{
    if (!m_held)
        return;
    Slot& slot = m_slots[m_take];
    std::swap(slot.buffer, buffer);
    std::swap(slot.capacity, capacity);
    giveBack();
}

void XReadAhead::publish(Slot& slot, int state)
{
    slot.state.store(state, std::memory_order_release);
    // Taking the lock orders this against a waiter between its check and its sleep.
    std::lock_guard<std::mutex> hold(m_lock);
    m_changed.notify_all();
}

bool XReadAhead::waitFor(const Slot& slot, int state)
{
    // No spinning: on a virtual machine the other thread's virtual CPU may share a real one
    // with this, which a spin would then slow down.
    std::unique_lock<std::mutex> hold(m_lock);
    m_changed.wait(hold, [&] {
        return slot.state.load(std::memory_order_acquire) == state || m_stop.load(std::memory_order_relaxed);
    });
    return slot.state.load(std::memory_order_acquire) == state;
}

void XReadAhead::run()
{
    std::unique_lock<std::mutex> hold(m_lock);
    for (;;) {
        m_changed.wait(hold, [this] { return m_job || m_quit; });
        if (!m_job)
            return;
        m_job = false;
        m_busy = true;
        hold.unlock();
        readPieces();
        hold.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}

void XReadAhead::readPieces()
{
    const qint64 page = 4096;
    qint64 offset = m_offset;
    for (int i = 0; offset < m_end && !m_stop.load(std::memory_order_relaxed); i = (i + 1) % kPieces) {
        Slot& slot = m_slots[i];
        if (!waitFor(slot, FREE))
            return;
        const qint64 asked = std::min(m_pieceSize, m_end - offset);
        const qint64 needed = m_room + page + asked;
        if (slot.capacity < needed) {
            // The buffer swapped in by the caller may be too small for a piece: nothing in it is kept.
            const qint64 capacity = (needed + 0xFFFF) & ~qint64(0xFFFF);
            slot.buffer.reset(new char[size_t(capacity)]);
            slot.capacity = capacity;
        }
        const quintptr address = quintptr(slot.buffer.get()) + quintptr(m_room);
        const qint64 landing = m_room + qint64((page - address % page) % page);
        char* const into = slot.buffer.get() + landing;
        qint64 got = 0;
#ifdef Q_OS_UNIX
        // pread: the caller's file position is left alone.
        while (got < asked) {
            const ssize_t r = ::pread(m_fd, into + got, size_t(asked - got), off_t(offset + got));
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0) {
                got = -1;
                break;
            }
            if (r == 0)
                break;
            got += r;
        }
#else
        Q_UNUSED(into);
        got = -1;
#endif
        slot.piece = Piece{slot.buffer.get(), landing, got, asked};
        publish(slot, FILLED);
        if (got < asked)
            return;  // the end of the file came early, or an error: the caller sees it
        offset += got;
    }
}

} // namespace zem
