#include "XLongPath.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zem {

namespace {
// Opens the folder that holds the last component of a long path and gives the last component's
// offset; -1 with errno on failure. Each step opens a run of components shorter than the limit.
int openParent(const QByteArray& path, int& lastOffset)
{
    const int lastSlash = path.lastIndexOf('/');
    if (lastSlash <= 0) {
        errno = ENAMETOOLONG;  // one name longer than the limit: no file system allows that
        return -1;
    }
    int fd = path.startsWith('/') ? ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : AT_FDCWD;
    int from = path.startsWith('/') ? 1 : 0;
    while (from < lastSlash) {
        // The longest run of whole components from `from` that stays under the limit.
        int to = lastSlash;
        if (to - from >= XLongPath::kLimit - 1) {
            to = path.lastIndexOf('/', from + XLongPath::kLimit - 2);
            if (to <= from) {
                if (fd >= 0)
                    ::close(fd);
                errno = ENAMETOOLONG;
                return -1;
            }
        }
        const QByteArray piece = path.mid(from, to - from);
        const int next = ::openat(fd, piece.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        if (next < 0) {
            errno = error;
            return -1;
        }
        fd = next;
        from = to + 1;
    }
    lastOffset = lastSlash + 1;
    return fd;
}
} // namespace

int XLongPath::open(const QByteArray& path, int flags)
{
    if (path.size() < kLimit)
        return ::open(path.constData(), flags);
    int last = 0;
    const int parent = openParent(path, last);
    if (parent < 0 && parent != AT_FDCWD)
        return -1;
    const int fd = ::openat(parent, path.constData() + last, flags);
    const int error = errno;
    if (parent >= 0)
        ::close(parent);
    errno = error;
    return fd;
}

int XLongPath::stat(const QByteArray& path, struct stat* st, bool follow)
{
    if (path.size() < kLimit)
        return follow ? ::stat(path.constData(), st) : ::lstat(path.constData(), st);
    int last = 0;
    const int parent = openParent(path, last);
    if (parent < 0 && parent != AT_FDCWD)
        return -1;
    const int rc = ::fstatat(parent, path.constData() + last, st, follow ? 0 : AT_SYMLINK_NOFOLLOW);
    const int error = errno;
    if (parent >= 0)
        ::close(parent);
    errno = error;
    return rc;
}

} // namespace zem
