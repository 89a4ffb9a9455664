#pragma once
// The controller of a content search: on a pool thread, starts the workers, waits for them and
// posts the end of the search to the GUI thread.
//
// Created with its ZemFind and owned by it. ini runs on the GUI thread while no search runs;
// runCustom runs on a pool thread. The results list is appended to by the workers under the
// results lock and read by the GUI thread only after the finished event.
#include "FileResult.h"
#include "XThread.h"

#include <QMutex>
#include <QSemaphore>
#include <memory>
#include <vector>

namespace zemFinder {

class ZemFind;
class FindThread;

class ThreadControllerFind : public zem::XLightweightThread {
public:
    ThreadControllerFind();
    ~ThreadControllerFind() override;

    // Drops the workers and results of the previous search and makes max_thread new workers,
    // each with the owner, this controller, a copy of the owner's content filter and its index.
    void ini(ZemFind* owner);
    void runCustom() override;

    // Appends one file with hits (workers, under the results lock).
    void add_result(FileResult&& result);
    // A worker's last call: it touches nothing of the search after this.
    void worker_done();

    quint32 maxThread() const { return m_maxThread; }
    const std::vector<std::unique_ptr<FindThread>>& workers() const { return m_workers; }
    std::vector<FileResult>& results() { return m_results; }

private:
    ZemFind* m_owner = nullptr;
    quint32 m_maxThread = 8;
    std::vector<std::unique_ptr<FindThread>> m_workers;
    std::vector<FileResult> m_results;  // in the order workers finished their files
    QMutex m_lockResults;
    QSemaphore m_workersDone;  // released once per worker of the running search
};

} // namespace zemFinder
