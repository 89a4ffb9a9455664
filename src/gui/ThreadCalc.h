#pragma once
// One checksum job of the properties window, run on the engine's global pool. The window owns
// the job; the GUI thread writes selected and run, the job writes progress. The result reaches
// the window only through finishedListener (on the GUI thread).
#include "CheckSum.h"
#include "XThread.h"

#include <atomic>

namespace zemFinder {

class ThreadCalc : public zem::XLightweightThread {
public:
    void runCustom() override { checksum.calc(run, progress); }

    zem::CheckSum checksum;
    std::atomic<bool> selected{false};
    std::atomic<bool> run{false};
    std::atomic<int> progress{0};
};

} // namespace zemFinder
