#include "WinFinder_ThreadScanDir.h"

#include "Logger.h"
#include "find/XFilter.h"

#include <algorithm>
#include <numeric>

namespace zemFinder {

void WinFinder::ThreadScanDir::runCustom()
{
    if (!pFilterCurrent) {
        zem::nullPointerHandling("src/gui/WinFinder", __LINE__, "pFilterCurrent == NULL");
        return;
    }
    filesByPath.clear();
    dirInfo.scan_dir();
    stats = dirInfo.setup_filtered_files(*pFilterCurrent, true);
    if (pFilterCurrent->has_content_filter() || dirInfo.isStopped())
        return;
    // The same keys and order as the table's path sort, built here rather than on the GUI thread.
    const std::vector<const QFileInfo*>& view = dirInfo.get_view_filtered_files();
    std::vector<QString> keys;
    keys.reserve(view.size());
    for (const QFileInfo* file : view)
        keys.push_back(file->absoluteFilePath().toCaseFolded());
    std::vector<std::size_t> order(view.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::sort(order.begin(), order.end(), [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    filesByPath.reserve(view.size());
    for (std::size_t i : order)
        filesByPath.push_back(*view[i]);
}

} // namespace zemFinder
