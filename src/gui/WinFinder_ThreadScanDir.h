#pragma once
// The folder scan of a main window's search: walks the chosen folder and applies the file part
// of the window's current filter. Runs on a pool thread; its end reaches the window on the GUI
// thread through scannedListener, with the number of the search it belongs to, so that the end
// of a stopped scan is never taken for the end of the next one. The window reads the live
// counters of dirInfo while it runs.
// For a file search it also copies the matching files into the order of the results table (by
// path), so that the GUI thread only moves the list in.
#include "WinFinder.h"
#include "XDirInfo.h"
#include "XEventListener.h"
#include "XFindStats.h"
#include "XThread.h"

#include <QFileInfo>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace zem::find {
class XFilter;
}

namespace zemFinder {

class WinFinder::ThreadScanDir : public zem::XLightweightThread {
public:
    ThreadScanDir();
    ~ThreadScanDir() override;

    void runCustom() override;

    zem::XDirInfo dirInfo;
    zem::XFindStats stats;
    // The window's current filter; set before every start, not owned.
    const zem::find::XFilter* pFilterCurrent = nullptr;
    // A file search's matches ordered by path as the results table orders them; empty for a
    // content search. Taken by the window.
    std::vector<QFileInfo> filesByPath;
    // The number of the search this run belongs to; set on the GUI thread before every start.
    quint32 generation = 0;
    // Fired on the GUI thread when a run ended, with that run's generation.
    zem::XEventListener<void(quint32)> scannedListener;

    // Called on the scan thread after the walk, before the filter; lets tests hold a scan at a
    // known point (as a scan of a very large tree would be).
    static std::function<void(const ThreadScanDir&)> walkedHook;

private:
    // Tells the queued end-of-run call whether this object still exists.
    std::shared_ptr<std::atomic<bool>> m_alive;
};

} // namespace zemFinder
