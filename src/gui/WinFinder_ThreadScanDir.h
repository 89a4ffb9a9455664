#pragma once
// The search road of a main window (SearchRoad): walks the chosen folder, applies the file part
// of the window's current filter and feeds a content search. Runs on a pool thread; its end reaches the window on the GUI
// thread through scannedListener, with the number of the search it belongs to, so that the end
// of a stopped scan is never taken for the end of the next one. The window reads the live
// counters of dirInfo while it runs.
// For a file search it also copies the matching files into the order of the results table (by
// path), so that the GUI thread only moves the list in.
#include "find/SearchRoad.h"
#include "WinFinder.h"
#include "XEventListener.h"

#include <QFileInfo>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace zem::find {
class XFilter;
}

namespace zemFinder {

class WinFinder::ThreadScanDir : public SearchRoad {
public:
    ThreadScanDir();
    ~ThreadScanDir() override;

    void runCustom() override;

    // The window's current filter; set before every start, not owned.
    const zem::find::XFilter* pFilterCurrent = nullptr;
    // A file search's matches ordered by path as the results table orders them; empty for a
    // content search. Taken by the window.
    std::vector<QFileInfo> filesByPath;
    // The number of the search this run belongs to; set on the GUI thread before every start.
    quint32 generation = 0;
    // Fired on the GUI thread when a run ended, with that run's generation.
    zem::XEventListener<void(quint32)> scannedListener;

    // Called on the scan thread after the walk, before the filter (a content search's workers
    // still wait for more files); lets tests hold a scan at a known point (as a scan of a very
    // large tree would be).
    static std::function<void(const ThreadScanDir&)> walkedHook;

protected:
    void walked() override;

private:
    // Tells the queued end-of-run call whether this object still exists.
    std::shared_ptr<std::atomic<bool>> m_alive;
};

} // namespace zemFinder
