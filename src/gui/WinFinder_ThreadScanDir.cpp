#include "WinFinder_ThreadScanDir.h"

#include "Logger.h"
#include "find/XFilter.h"

#include <algorithm>
#include <numeric>

namespace zemFinder {

std::function<void(const WinFinder::ThreadScanDir&)> WinFinder::ThreadScanDir::walkedHook;

WinFinder::ThreadScanDir::ThreadScanDir() : m_alive(std::make_shared<std::atomic<bool>>(true)) {}

WinFinder::ThreadScanDir::~ThreadScanDir()
{
    m_alive->store(false);
    // The run reads the filter and fills dirInfo: stop it and let it end before they go away.
    dirInfo.stop();
    wait_done(-1);
}

void WinFinder::ThreadScanDir::walked()
{
    if (walkedHook)
        walkedHook(*this);
}

void WinFinder::ThreadScanDir::runCustom()
{
    const quint32 run = generation;
    const std::shared_ptr<std::atomic<bool>> alive = m_alive;
    // The end is told whatever happens below, so that a window waiting for it always hears it.
    struct TellEnd {
        ThreadScanDir* self;
        quint32 run;
        std::shared_ptr<std::atomic<bool>> alive;
        ~TellEnd()
        {
            ThreadScanDir* th = self;
            const quint32 gen = run;
            std::shared_ptr<std::atomic<bool>> token = alive;
            zem::qt::run_in_Gui_Thread([th, gen, token] {
                if (token->load())
                    th->scannedListener.fire(gen);
            });
        }
    } tell{this, run, alive};

    filesByPath.clear();
    if (!pFilterCurrent)
        zem::nullPointerHandling("src/gui/WinFinder", __LINE__, "pFilterCurrent == NULL");
    // Runs even so: it reports a missing filter itself and lets waiting workers go.
    SearchRoad::runCustom();
    if (isStreaming() || dirInfo.isStopped())
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
