#include "ThumbLoader.h"

#include "Logger.h"
#include "PanThumb.h"
#include "XThread.h"
#include "widgets/XThumb.h"

#include <QMutexLocker>
#include <QThread>
#include <QThreadPool>
#include <algorithm>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace zemFinder {

namespace {
const char* SOURCE = "src/gui/ThumbLoader";
constexpr int kWorkerNice = 10;
}

struct ThumbLoader::State {
    mutable QMutex mutex;
    std::map<const PanThumb*, std::shared_ptr<zem::XThumbJob>> pending; // guarded by mutex
    std::vector<std::weak_ptr<zem::XThumbJob>> handedOut;               // guarded by mutex
    std::atomic<bool> running{false};
    // Held by the pool's jobs as well: a job must never own the pool it runs on.
    std::shared_ptr<std::atomic<int>> active = std::make_shared<std::atomic<int>>(0);
    std::atomic<int> started{0};
    QThreadPool pool;

    State() { pool.setMaxThreadCount(kMaxThreads); }
};

namespace {
// Decoding competes with the GUI thread for the cores: five decoders at equal weight would leave
// the scrolling wall a sixth of a busy core. A nice value of 10 gives the GUI thread about ten
// times their share whenever it needs it; idle cores still decode at full speed.
void lower_thread_priority()
{
#ifdef Q_OS_LINUX
    thread_local bool lowered = false;
    if (!lowered) {
        lowered = true;
        setpriority(PRIO_PROCESS, id_t(::gettid()), kWorkerNice);
    }
#endif
}

std::shared_ptr<zem::XThumbJob> take_next(ThumbLoader::State& state)
{
    QMutexLocker locker(&state.mutex);
    auto& pending = state.pending;
    while (!pending.empty()) {
        std::shared_ptr<zem::XThumbJob> job = std::move(pending.begin()->second);
        pending.erase(pending.begin());
        if (job && !job->cancelled && job->claim()) {
            // Forget jobs that ended, so the list stays as short as the work in flight.
            auto& out = state.handedOut;
            out.erase(std::remove_if(out.begin(), out.end(), [](const auto& w) { return w.expired(); }), out.end());
            out.push_back(job);
            return job;
        }
    }
    return nullptr;
}

bool has_pending(const ThumbLoader::State& state)
{
    QMutexLocker locker(&state.mutex);
    return !state.pending.empty();
}

void start_job(ThumbLoader::State& state, std::shared_ptr<zem::XThumbJob> job)
{
    std::shared_ptr<std::atomic<int>> active = state.active;
    ++*active;
    ++state.started;
    state.pool.start([job = std::move(job), active] {
        lower_thread_priority();
        job->work();
        --*active;
    });
}

// Runs on a thread of the global pool until no pending picture is left.
void run_loop(const std::shared_ptr<ThumbLoader::State>& state)
{
    for (;;) {
        std::shared_ptr<zem::XThumbJob> job = take_next(*state);
        while (job) {
            if (job->cancelled) {
                // reset() while we waited for a free slot: the job belongs to a folder left behind.
                job = take_next(*state);
            } else if (*state->active < ThumbLoader::kMaxActive) {
                start_job(*state, std::move(job));
                job = take_next(*state);
            } else {
                // All slots busy; a decode takes tens of milliseconds, so 1 ms polling costs nothing.
                QThread::msleep(1);
            }
        }
        state->running = false;
        // A tile added between the last take_next and clearing the flag found the loop still
        // running and did not start another: pick it up here.
        bool expected = false;
        if (!has_pending(*state) || !state->running.compare_exchange_strong(expected, true))
            return;
    }
}
} // namespace

ThumbLoader::ThumbLoader() : m_state(std::make_shared<State>()) {}

ThumbLoader::~ThumbLoader()
{
    reset();
}

void ThumbLoader::reset()
{
    QMutexLocker locker(&m_state->mutex);
    m_state->pending.clear();
    for (const std::weak_ptr<zem::XThumbJob>& weak : m_state->handedOut)
        if (std::shared_ptr<zem::XThumbJob> job = weak.lock())
            job->cancelled = true;
    m_state->handedOut.clear();
}

void ThumbLoader::add(PanThumb* tile)
{
    if (!tile) {
        zem::nullPointerHandling(SOURCE, __LINE__, "panThumb == NULL");
        return;
    }
    zem::XThumb* thumb = tile->thumb();
    if (!thumb) {
        zem::nullPointerHandling(SOURCE, __LINE__, "thumb == NULL");
        return;
    }
    thumb->renew_cancelled_job();
    std::shared_ptr<zem::XThumbJob> job = thumb->job();
    if (!thumb->is_ini() || !job || job->state != zem::XThumbJob::WAITING)
        return;
    QMutexLocker locker(&m_state->mutex);
    m_state->pending[tile] = std::move(job);
}

std::shared_ptr<zem::XThumbJob> ThumbLoader::next()
{
    return take_next(*m_state);
}

int ThumbLoader::count() const
{
    QMutexLocker locker(&m_state->mutex);
    return int(m_state->pending.size());
}

bool ThumbLoader::is_running() const
{
    return m_state->running;
}

int ThumbLoader::active_jobs() const
{
    return *m_state->active;
}

int ThumbLoader::started_jobs() const
{
    return m_state->started;
}

void ThumbLoader::start()
{
    bool expected = false;
    if (!m_state->running.compare_exchange_strong(expected, true))
        return;
    std::shared_ptr<State> state = m_state;
    zem::XThreadPool::start_global([state] { run_loop(state); });
}

} // namespace zemFinder
