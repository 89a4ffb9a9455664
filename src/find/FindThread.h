#pragma once
// One worker of a content search: pulls files from its ZemFind one at a time, reads each with
// a line reader and matches it with its own copy of the content filter.
//
// Created and numbered by the controller's ini on the GUI thread; runCustom runs on a pool
// thread. Its counters are written only by this worker and read by the GUI thread unlocked.
#include "XFindStats.h"
#include "XThread.h"
#include "find/XContentFilter.h"

namespace zemFinder {

class ZemFind;
class ThreadControllerFind;

class FindThread : public zem::XLightweightThread {
public:
    void runCustom() override;

    ZemFind* zemFind = nullptr;
    ThreadControllerFind* controller = nullptr;
    // Here: files searched, lines read, bytes read.
    zem::XFindStats stats;
    zem::find::XContentFilter contentFilter;
    qint32 index = -1;
};

} // namespace zemFinder
