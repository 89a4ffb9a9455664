#pragma once
// Counters of one scan or one content-search worker. Copyable (a copy takes a snapshot), so the
// window can keep the figures of the last search after the scanner moved on.
//
// The first three members are atomic: the thread that owns the counters writes them, the GUI
// thread reads them for its progress display without a lock.
#include "XAtomic.h"

#include <QtGlobal>

namespace zem {

struct XFindStats {
    XAtomic<quint64> countFiles;    // scan: files in total; worker: files searched
    XAtomic<quint64> countLines;    // worker: lines read
    XAtomic<quint64> countBytes;    // scan: bytes of the matching files; worker: bytes read
    XAtomic<quint64> countSkipped;  // worker: lines skipped because the regex match limit gave up
    quint64 countFilesMatch = 0;    // scan: files that passed the filter
    quint64 countDirs = 0;          // scan: folders read

    void reset()
    {
        countFiles = 0;
        countLines = 0;
        countBytes = 0;
        countSkipped = 0;
        countFilesMatch = 0;
        countDirs = 0;
    }
};

} // namespace zem
