#pragma once
// One worker of a content search: pulls files from its ZemFind one at a time, reads each with
// a line reader and matches it with its own copy of the content filter.
//
// Created and numbered by the controller's ini on the GUI thread; runCustom runs on a pool
// thread. Its counters are written only by this worker and read by the GUI thread unlocked.
#include "XFindStats.h"
#include "XThread.h"
#include "find/XContentFilter.h"

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

    ZemFind* zemFind = nullptr;
    ThreadControllerFind* controller = nullptr;
    // Here: files searched, lines read, bytes read.
    zem::XFindStats stats;
    zem::find::XContentFilter contentFilter;
    qint32 index = -1;

private:
    // Adds the file's lines to the counters; false when the search was stopped meanwhile.
    bool count_lines(zem::XLineReaderDA& reader);
};

} // namespace zemFinder
