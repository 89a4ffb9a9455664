#pragma once
// One worker of a content search: pulls files from its ZemFind one at a time, reads each with
// a line reader and matches it with its own copy of the content filter.
//
// Created and numbered by the controller's ini on the GUI thread; runCustom runs on a pool
// thread. Its counters are written only by this worker and read by the GUI thread unlocked.
#include "XFindStats.h"
#include "XThread.h"
#include "find/XContentFilter.h"

#include <QString>
#include <functional>

namespace zem {
class XLineReaderDA;
}

namespace zemFinder {

class ZemFind;
class ThreadControllerFind;

class FindThread : public zem::XLightweightThread {
public:
    // Bytes of line counting between two looks at the stop flag: some milliseconds of work.
    static constexpr qint64 kCountStep = qint64(16) << 20;

    void runCustom() override;

    // Called by every worker before it opens a file, with its path; lets tests slow the workers
    // down (a full queue) or change the file under them. Set only while no search runs.
    static std::function<void(const QString&)> beforeFileHook;

    ZemFind* zemFind = nullptr;
    ThreadControllerFind* controller = nullptr;
    // Here: files searched, lines read, bytes read.
    zem::XFindStats stats;
    zem::find::XContentFilter contentFilter;
    qint32 index = -1;

private:
    // Adds the lines of a file with hits to the counters; false when the search was stopped
    // meanwhile.
    bool count_lines(zem::XLineReaderDA& reader);
};

} // namespace zemFinder
