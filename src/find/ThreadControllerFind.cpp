#include "ThreadControllerFind.h"

#include "FindThread.h"
#include "Logger.h"
#include "ZemFind.h"

#include <QMutexLocker>

namespace zemFinder {

ThreadControllerFind::ThreadControllerFind() = default;

ThreadControllerFind::~ThreadControllerFind()
{
    for (const auto& worker : m_workers)
        worker->wait_done();
}

void ThreadControllerFind::ini(ZemFind* owner)
{
    // Workers of the previous search may still be leaving the pool's wrapper after their last
    // count-down; wait for that before deleting them.
    for (const auto& worker : m_workers)
        worker->wait_done();
    m_workers.clear();
    m_results.clear();
    m_owner = owner;
    if (!owner) {
        zem::nullPointerHandling("src/find/ThreadControllerFind", __LINE__, "owner == NULL");
        return;
    }
    // At least one worker, or the search would end without looking at a single file.
    m_maxThread = std::max<quint32>(owner->countThreads(), 1);
    zem::xlog(zem::LOG_PROGRESS, QStringLiteral("ThreadControllerFind::ini, max_thread:$"), m_maxThread);
    m_workers.reserve(m_maxThread);
    for (quint32 i = 0; i < m_maxThread; ++i)
        m_workers.push_back(std::make_unique<FindThread>());
    for (quint32 i = 0; i < m_maxThread; ++i) {
        FindThread& worker = *m_workers[i];
        worker.zemFind = owner;
        worker.controller = this;
        worker.contentFilter = owner->contentFilter();
        worker.index = qint32(i);
    }
}

void ThreadControllerFind::add_result(FileResult&& result)
{
    QMutexLocker locker(&m_lockResults);
    m_results.push_back(std::move(result));
}

void ThreadControllerFind::worker_done()
{
    if (m_owner)
        m_owner->m_countRunning.fetch_sub(1);
    m_workersDone.release();
}

void ThreadControllerFind::runCustom()
{
    zem::Logger::log(QStringLiteral("ThreadControllerFind::runCustom"), zem::LOG_PROGRESS);
    zem::xlog(zem::LOG_PROGRESS, QStringLiteral("ThreadControllerFind::runCustom, arThreads.size():$"), m_workers.size());
    ZemFind* zemFind = m_owner;
    if (!zemFind) {
        zem::nullPointerHandling("src/find/ThreadControllerFind", 58, "zemFind == NULL");
        return;
    }
    const quint32 generation = zemFind->m_generation.get();
    zemFind->m_indexNextFile.set(0);
    zemFind->m_countRunning.set(qint32(m_workers.size()));
    for (const auto& worker : m_workers) {
        // A worker that cannot start would never count down.
        if (!zem::XThreadPool::start_global(worker.get(), false))
            worker_done();
    }
    // Woken by the last worker at once: a poll would add its period to every search.
    m_workersDone.acquire(int(m_workers.size()));
    zem::xlog(zem::LOG_PROGRESS, QStringLiteral("ThreadControllerFind::~runCustom, file hits:$"), m_results.size());

    std::weak_ptr<bool> alive = zemFind->m_alive;
    zem::qt::run_in_Gui_Thread(
        [zemFind, alive, generation] {
            if (alive.expired())
                return;
            if (zemFind->m_generation.get() != generation) {
                zem::Logger::log(QStringLiteral("ThreadControllerFind, end of an earlier search dropped"), zem::LOG_DETAIL);
                return;
            }
            zemFind->finishedListener.fire();
        },
        0);
}

} // namespace zemFinder
