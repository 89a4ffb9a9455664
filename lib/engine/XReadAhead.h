#pragma once
// Reads a file piece by piece on a thread of its own, a few pieces ahead of the caller who
// searches them: copying out of the page cache and searching then run on two cores side by side
// instead of one after the other: for one big file, a fifth of the time or so when the machine
// has a core to spare (nothing when its cores are busy elsewhere).
//
// Pieces go round a ring of buffers. The caller takes them in file order (next); when done
// with a piece it either gives its buffer back or swaps it for a buffer of its own, so that a
// piece can become the caller's window without a copy. The thread is started on the first
// start and ends with the object. Every call but the thread's own comes from one thread.
#include <QtGlobal>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace zem {

class XReadAhead {
public:
    static constexpr int kPieces = 4;

    XReadAhead() = default;
    ~XReadAhead();
    XReadAhead(const XReadAhead&) = delete;
    XReadAhead& operator=(const XReadAhead&) = delete;

    // Starts reading fd from offset to end in pieces of pieceSize bytes, each on a page boundary
    // with at least room bytes free before it. The caller keeps fd open until stop.
    void start(int fd, qint64 offset, qint64 end, qint64 pieceSize, qint64 room);
    // Ends the reading: once it returns, the thread touches neither fd nor the buffers.
    void stop();

    struct Piece {
        char* buffer = nullptr;  // the piece's bytes start at buffer + landing
        qint64 landing = 0;
        qint64 size = 0;         // -1: the read failed; short of asked: the file ends there
        qint64 asked = 0;
    };
    // Waits for the next piece in file order; false when none is coming (all pieces taken).
    bool next(Piece& piece);
    // Done with the piece from next: its buffer goes back to the ring as it is, or is swapped
    // for the caller's buffer (whose capacity is given and taken along).
    void giveBack();
    void swapIn(std::unique_ptr<char[]>& buffer, qint64& capacity);

private:
    enum : int { FREE, FILLED };
    struct Slot {
        std::unique_ptr<char[]> buffer;
        qint64 capacity = 0;
        Piece piece;
        std::atomic<int> state{FREE};
    };

    void run();
    void readPieces();
    void publish(Slot& slot, int state);
    // Waits until slot has state; false when the reading is stopped meanwhile.
    bool waitFor(const Slot& slot, int state);

    Slot m_slots[kPieces];
    std::thread m_thread;
    std::mutex m_lock;
    std::condition_variable m_changed;  // a slot's state, a job or the end
    // The job, set by start under the lock while the thread is idle.
    int m_fd = -1;
    qint64 m_offset = 0;
    qint64 m_end = 0;
    qint64 m_pieceSize = 0;
    qint64 m_room = 0;
    bool m_job = false;                 // under m_lock
    std::atomic<bool> m_stop{false};
    bool m_quit = false;                // under m_lock
    bool m_busy = false;                // under m_lock: the thread works on a job
    // The caller's side.
    bool m_reading = false;
    int m_take = 0;                     // the slot next hands out
    qint64 m_pending = 0;               // bytes not yet handed out
    bool m_held = false;                // a piece from next not yet given back
};

} // namespace zem
