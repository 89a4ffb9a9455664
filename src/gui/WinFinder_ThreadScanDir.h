#pragma once
// The folder scan of a main window's search: walks the chosen folder and applies the file part
// of the window's current filter. Runs on a pool thread; its finished event reaches the window
// on the GUI thread. The window reads the live counters of dirInfo while it runs.
// For a file search it also copies the matching files into the order of the results table (by
// path), so that the GUI thread only moves the list in.
#include "WinFinder.h"
#include "XDirInfo.h"
#include "XFindStats.h"
#include "XThread.h"

#include <QFileInfo>
#include <vector>

namespace zem::find {
class XFilter;
}

namespace zemFinder {

class WinFinder::ThreadScanDir : public zem::XLightweightThread {
public:
    void runCustom() override;

    zem::XDirInfo dirInfo;
    zem::XFindStats stats;
    // The window's current filter; set before every start, not owned.
    const zem::find::XFilter* pFilterCurrent = nullptr;
    // A file search's matches ordered by path as the results table orders them; empty for a
    // content search. Taken by the window.
    std::vector<QFileInfo> filesByPath;
};

} // namespace zemFinder
