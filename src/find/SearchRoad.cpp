#include "SearchRoad.h"

#include "Logger.h"
#include "ZemFind.h"
#include "find/XFilter.h"

#include <QFile>
#include <algorithm>

namespace zemFinder {

SearchRoad::SearchRoad() = default;

SearchRoad::~SearchRoad()
{
    // The walk reads the filter and fills dirInfo and the queue: let it end before they go.
    // The ZemFind is not touched: it may be gone already (it stops the queue itself then).
    dirInfo.stop();
    m_queue.stop();
    wait_done(-1);
}

bool SearchRoad::start(const Settings& settings, ZemFind& zemFind)
{
    m_settings = settings;
    m_zemFind = &zemFind;
    const zem::find::XFilter* filter = settings.filter;
    if (!filter) {
        zem::nullPointerHandling("src/find/SearchRoad", __LINE__, "filter == NULL");
        return false;
    }
    const zem::XFileFilter& ff = filter->fileFilter();
    dirInfo.setPath(settings.folder);
    dirInfo.setHiddenFiles(settings.hidden);
    // The walk gains nothing from more threads than the machine runs at once.
    dirInfo.setThreads(std::min(std::max<quint32>(settings.threads, 1), zem::count_hardware_threads(2)));
    dirInfo.setReadSizes(settings.fileDetails
                         || (ff.needs() & (zem::XFileFilter::NEED_SIZE | zem::XFileFilter::NEED_MTIME)));
    dirInfo.setStatInWalk(false);
    m_streaming = filter->has_content_filter();
    if (m_streaming) {
        m_queue.reset(settings.queueCapacity);
        zemFind.setCountThreads(settings.threads);
        zemFind.setScope(filter->contentFilter().scope());
        zemFind.setContentFilter(filter->contentFilter());
        zemFind.setFolder(QFile::encodeName(settings.folder));
        zemFind.prepareQueue(&m_queue);
        zemFind.start_search();
    }
    if (zem::XThreadPool::start_global(this, false))
        return true;
    // Still busy with a stopped walk: the workers must not wait for files that never come.
    m_queue.close();
    return false;
}

void SearchRoad::stop()
{
    dirInfo.stop();
    // Wakes a walk that waits for room in the queue, and workers that wait for files.
    m_queue.stop();
}

std::vector<QByteArray> SearchRoad::take_paths()
{
    std::lock_guard<std::mutex> locker(m_lockPaths);
    std::vector<QByteArray> paths;
    paths.swap(m_paths);
    return paths;
}

void SearchRoad::copy_counters()
{
    stats.countDirs = dirInfo.countDirs();
    stats.countFiles = dirInfo.countFiles();
    stats.countFilesMatch = dirInfo.countFilesMatch();
    stats.countBytes = dirInfo.countBytes();
}

void SearchRoad::runCustom()
{
    const zem::find::XFilter* filter = m_settings.filter;
    if (!filter) {
        zem::nullPointerHandling("src/find/SearchRoad", __LINE__, "filter == NULL");
        m_queue.close();
        return;
    }
    stats.reset();
    if (collectsPaths()) {
        m_paths.clear();
        dirInfo.stream_files(m_settings.folder, *filter, [this](QByteArray path) {
            std::lock_guard<std::mutex> locker(m_lockPaths);
            m_paths.push_back(std::move(path));
            return true;
        });
        walked();
        copy_counters();
        return;
    }
    if (!m_streaming) {
        dirInfo.scan_dir(m_settings.folder);
        walked();
        stats = dirInfo.setup_filtered_files(*filter, true);
        return;
    }
    dirInfo.stream_files(m_settings.folder, *filter, [this](QByteArray path) { return m_queue.push(std::move(path)); });
    walked();
    copy_counters();
    // After the counters: the workers may end, and a consumer read them, at once.
    m_queue.close();
}

} // namespace zemFinder
