#include "WinFinder_ThreadScanDir.h"

#include "Logger.h"
#include "find/XFilter.h"

namespace zemFinder {

void WinFinder::ThreadScanDir::runCustom()
{
    if (!pFilterCurrent) {
        zem::nullPointerHandling("src/gui/WinFinder", __LINE__, "pFilterCurrent == NULL");
        return;
    }
    dirInfo.scan_dir();
    stats = dirInfo.setup_filtered_files(*pFilterCurrent, true);
}

} // namespace zemFinder
