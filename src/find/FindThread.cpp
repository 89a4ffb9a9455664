#include "FindThread.h"

#include "Logger.h"
#include "ThreadControllerFind.h"
#include "ZemFind.h"
#include "XLineReaderDA.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <vector>

namespace zemFinder {

std::function<void(const QString&)> FindThread::beforeFileHook;

void FindThread::runCustom()
{
    if (!zemFind) {
        zem::nullPointerHandling("src/find/FindThread", 14, "zemFind == NULL");
        if (controller)
            controller->worker_done();
        return;
    }
    // One reader per worker and search: its buffer is reused from file to file and given back
    // when the worker ends, so nothing of the files stays in memory after the search.
    zem::XLineReaderDA reader;
    // Big files go through the buffer window by window where the expression allows it.
    if (contentFilter.searchesInWindows()) {
        reader.setWindowThreshold(zem::XLineReaderDA::kDefaultMapThreshold);
        reader.setWindowContext(contentFilter.windowContext());
        // No pass over a big file for its lines: nobody shows them, and a skipped line's
        // number is found when it is logged.
        reader.setCountWindowLines(false);
    }
    reader.setSmallReadLimit(zem::XLineReaderDA::kDefaultMapThreshold);
    // Lines are counted for the files with hits only, after their search.
    reader.setCountOnTheWay(false);
    // Once a worker has run out of files its core is idle: a big file in hand is then read ahead
    // on it while this worker searches (a search for one big file gains most).
    const qint32 workers = qint32(controller->workers().size());
    if (workers > 1) {
        ZemFind* const owner = zemFind;
        reader.setReadAheadCheck([owner, workers] { return owner->m_countRunning.get() < workers; });
    }
    reader.setBaseFolder(zemFind->folder());
    // Asked inside a file as well, block by block, so that a stop does not wait for the rest of
    // a huge file.
    ThreadControllerFind* const control = controller;
    contentFilter.setStopCheck([control] { return !control->isRunning(); });
    // Paths stay the file system's bytes: text is made only for a result or a log line.
    std::vector<QByteArray> batch;
    std::size_t next = 0;
    while (controller->isRunning()) {
        if (next == batch.size()) {
            batch.clear();
            next = 0;
            if (!zemFind->next_files(batch))
                break;
        }
        const QByteArray native = std::move(batch[next++]);
        if (beforeFileHook)
            beforeFileHook(QFile::decodeName(native));
        contentFilter.seekHome();
        // The walk hands out files it has not asked the file system about: open tells whether
        // it is a readable file, and its size.
        if (!reader.openNative(native, 65536, true)) {
            const QString path = QFile::decodeName(native);
            const QFileInfo probe(path);
            if (probe.exists() && !probe.isFile()) {
                zem::xlog(zem::LOG_PROGRESS, QStringLiteral("FindThread::runCustom, IS NOT A FILE <<<$>>>"), path);
                continue;
            }
            ++stats.countFiles;
            zem::xlog(zem::LOG_ERROR, QStringLiteral("FindThread::runCustom, problems with <<<$>>>"), path);
            continue;
        }
        ++stats.countFiles;
        if (reader.size() == 0)
            continue;
        stats.countBytes += quint64(reader.getMemorySize());
        zem::find::XRamLayer marks = contentFilter.find(0, reader);
        stats.countSkipped += contentFilter.skippedLines();
        // A file left halfway gives no result: its hit count would be wrong.
        if (contentFilter.stopped())
            break;
        contentFilter.seekHome();
        if (!marks)
            continue;
        // Lines only for the hits: counting every file as it is searched would cost a pass over
        // each for a number nobody shows.
        if (!count_lines(reader))
            break;
        // The results table shows size and time: read them here, off the GUI thread, for the
        // hits only.
        QFileInfo hit(reader.path());
        hit.size();
        controller->add_result(FileResult(std::move(marks), hit));
    }
    reader.close();
    contentFilter.setStopCheck(nullptr);
    controller->worker_done();
}

bool FindThread::count_lines(zem::XLineReaderDA& reader)
{
    // A big file searched in windows would have to be read again for them.
    if (reader.isWindowed() && !reader.countsWindowLines())
        return true;
    // What the search did not count yet, in steps that a stop can cut short.
    for (qint64 upTo = 0; !reader.statsDone(); upTo += kCountStep) {
        if (!controller->isRunning())
            return false;
        reader.advanceStats(std::min(upTo + kCountStep, reader.size()));
    }
    stats.countLines += quint64(reader.countLines());
    return true;
}

} // namespace zemFinder
