#pragma once
// Background jobs on the engine's global pool, and the way back to the GUI thread.
//
// The global pool grows a thread for every job (up to a high cap), so a job that waits on other
// jobs of the same pool (the content-search controller waits on its workers) never starves them.
// Pool threads have no event loop: anything delayed or GUI-bound goes through qt::run_in_Gui_Thread.
#include "XAtomic.h"
#include "XEventListener.h"

#include <functional>
#include <memory>

namespace zem {

class AbstractThread {
public:
    enum Bit : uint32_t { BIT_QUEUED = 1, BIT_RUNNING = 2, BIT_DONE = 4 };

    AbstractThread();
    virtual ~AbstractThread();
    AbstractThread(const AbstractThread&) = delete;
    AbstractThread& operator=(const AbstractThread&) = delete;

    bool isRunning() const { return bits.is(BIT_RUNNING); }
    void setRunning(bool on) { bits.set(BIT_RUNNING, on); }
    // True while the job is queued or its runCustom has not returned yet.
    bool isBusy() const { return bits.any(BIT_QUEUED); }
    // Waits (sleeping) until the job is no longer busy; -1 waits for ever. False on time-out.
    bool wait_done(int timeoutMs = -1) const;

    // Called on the GUI thread after runCustom returned, while enabled and not empty.
    XEventListener<void()> finishedListener;

    AtomicBits bits;

private:
    friend class XThreadPool;
    std::shared_ptr<std::atomic<bool>> m_alive;
};

// A job for the pool: override runCustom.
class XLightweightThread : public AbstractThread {
public:
    virtual void runCustom() = 0;
};

class XThreadPool {
public:
    // Runs thread->runCustom() on a pool thread. With autoDelete the pool deletes the object afterwards.
    // False (and nothing runs) when the job is still busy from an earlier start.
    static bool start_global(XLightweightThread* thread, bool autoDelete);
    // Runs a plain function on the pool.
    static void start_global(std::function<void()> fn);
    // Waits until every job of the pool has ended; -1 waits for ever. False on time-out.
    static bool wait_for_all(int timeoutMs);
    static int activeThreadCount();
};

namespace qt {
// Runs fn on the GUI thread after delayMs milliseconds (0: as soon as the event loop gets to it).
// Works from any thread, including pool threads without an event loop. Without an application
// object there is no GUI thread: the call is dropped with an error line.
void run_in_Gui_Thread(std::function<void()> fn, int delayMs = 0);
bool is_Gui_Thread();
} // namespace qt

} // namespace zem
