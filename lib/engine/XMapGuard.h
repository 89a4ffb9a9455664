#pragma once
// Keeps a read-only file mapping readable when the file shrinks while it is searched (a log
// truncated in place, for example): the pages past the new end become zero pages instead of
// the process dying of SIGBUS. One watched mapping per thread; POSIX only, no-op elsewhere.
#include <QtGlobal>

namespace zem {

class XMapGuard {
public:
    // Watches [base, base + length) for the calling thread; installs the handler once.
    // False when the handler could not be installed (a fault then ends the process as before).
    static bool watch(const void* base, qint64 length);
    // Stops watching base (nothing when the thread watches another mapping).
    static void unwatch(const void* base);
    // The calling thread's watched mapping lost pages since watch().
    static bool hit();
};

} // namespace zem
