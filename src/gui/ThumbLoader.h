#pragma once
// Feeds the pictures of visible thumbnail tiles to a private pool of worker threads.
//
// The GUI thread adds tiles (add) and starts the loader (start); the loader loop runs on a thread
// of the engine's global pool and hands each pending picture to the private pool (at most
// kMaxThreads threads, at most kMaxActive decoding jobs at a time). Workers hold the tiles' jobs
// (zem::XThumbJob, shared), never the tiles: a tile deleted meanwhile only cancels its job.
// reset() (a new folder) empties the pending set and cancels the jobs already handed out, so the
// old folder's decoding ends within a read of a few KiB.
//
// The loader's state is shared with its loop and jobs; destroying the loader never waits for them.
#include <QMutex>
#include <QString>
#include <atomic>
#include <map>
#include <memory>
#include <vector>

namespace zem {
class XThumbJob;
}

namespace zemFinder {

class PanThumb;

class ThumbLoader {
public:
    static constexpr int kMaxThreads = 6;
    static constexpr int kMaxActive = 5;

    ThumbLoader();
    ~ThumbLoader();
    ThumbLoader(const ThumbLoader&) = delete;
    ThumbLoader& operator=(const ThumbLoader&) = delete;

    // Forgets every pending tile and cancels the jobs already started.
    void reset();
    // Queues the tile's picture if it still waits for loading (GUI thread).
    void add(PanThumb* tile);
    // Takes the first pending job (ordered by tile address) that still waits; null when none.
    std::shared_ptr<zem::XThumbJob> next();
    int count() const;
    // Starts the loader loop unless it runs already.
    void start();

    bool is_running() const;
    int active_jobs() const;
    // Jobs handed to the pool since construction (tests and benchmarks).
    int started_jobs() const;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

} // namespace zemFinder
