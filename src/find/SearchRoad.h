#pragma once
// The one road of a search, shared by the main window and the headless "search" command: the
// folder walk applies the file part of the filter and, for a content search, feeds the files at
// once into a bounded queue that the content search's workers drain while the walk goes on.
// A file search keeps the cheaper road: walk the tree compactly, then filter it into a list.
//
// A pool job (runCustom is the walk, on a pool thread). start, stop and the read-outs after
// the end belong to the thread that owns the object (the GUI thread); the counters of dirInfo
// may be polled at any time. The ZemFind given to start is the consumer's; it and the filter
// must outlive the search. Consumers hear of the end of the walk through finishedListener (or
// by overriding runCustom around this one) and of the end of the content search through the
// ZemFind's own finished event, in either order.
#include "XDirInfo.h"
#include "XFindStats.h"
#include "XPathQueue.h"
#include "XThread.h"

#include <QByteArray>
#include <QString>
#include <mutex>
#include <vector>

namespace zem::find {
class XFilter;
}

namespace zemFinder {

class ZemFind;

class SearchRoad : public zem::XLightweightThread {
public:
    struct Settings {
        QString folder;
        const zem::find::XFilter* filter = nullptr;
        bool hidden = false;
        // Content search workers; the walk takes at most as many threads as the machine runs.
        quint32 threads = 8;
        // A file search reads size and times of every match (a results table shows them); a
        // list of paths may do without unless a size or time condition needs them.
        bool fileDetails = true;
        // Paths between the walk and the workers; tests make it tiny to see a full queue.
        std::size_t queueCapacity = zem::XPathQueue::kDefaultCapacity;
    };

    SearchRoad();
    ~SearchRoad() override;
    SearchRoad(const SearchRoad&) = delete;
    SearchRoad& operator=(const SearchRoad&) = delete;

    // Starts a search: with a content filter the workers of zemFind first (waiting for the
    // walk's files), then the walk on the global pool. False when the walk could not start.
    bool start(const Settings& settings, ZemFind& zemFind);
    // Stops the walk and wakes every thread that waits on the queue; the consumer stops its
    // ZemFind beside it (stop_search), so walk and workers end together.
    void stop();

    void runCustom() override;

    const Settings& settings() const { return m_settings; }
    // True when the running or last search streams into a content search.
    bool isStreaming() const { return m_streaming; }
    // A file search without fileDetails collects bare paths (file system bytes, in no fixed
    // order) instead of a list of QFileInfo: the cheapest road for a listing of names.
    bool collectsPaths() const { return !m_streaming && !m_settings.fileDetails; }
    // The collected paths, moved out; valid after the walk ended.
    std::vector<QByteArray> take_paths();

    zem::XDirInfo dirInfo;
    // Files in total, matching files and their bytes (the latter known only when read).
    zem::XFindStats stats;

protected:
    // Called on the walking thread after the walk, before a file search filters its tree and
    // before a streaming walk tells its workers that no more files come.
    virtual void walked() {}

private:
    // The walk's counters into stats, after a streaming walk.
    void copy_counters();

    Settings m_settings;
    ZemFind* m_zemFind = nullptr;
    bool m_streaming = false;
    zem::XPathQueue m_queue;
    std::mutex m_lockPaths;
    std::vector<QByteArray> m_paths;
};

} // namespace zemFinder
