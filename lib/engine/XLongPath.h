#pragma once
// Opens and stats paths longer than the system's path limit (4096 bytes on Linux) by walking to
// them relative to open folders (openat), a piece below the limit at a time. Shorter paths take
// the plain call. Stateless; any thread.
#include <QByteArray>

struct stat;

namespace zem {

class XLongPath {
public:
    // As ::open(path, flags): a descriptor, or -1 with errno set. Only the last component is
    // subject to O_NOFOLLOW; the folders on the way are opened as folders.
    static int open(const QByteArray& path, int flags);
    // As ::stat (follow) or ::lstat: 0 or -1 with errno set.
    static int stat(const QByteArray& path, struct stat* st, bool follow);
    // The limit a path must stay under for a plain call.
    static constexpr int kLimit = 4096;
};

} // namespace zem
