#include "XStoreFile.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zem {

namespace {
QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};
} // namespace

XStoreFile::Read XStoreFile::read(const QString& path, QByteArray& bytes, QString& reason)
{
    bytes.clear();
    reason.clear();
    // O_NONBLOCK: opening a pipe with no writer would otherwise wait for one for ever.
    const Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        const int error = errno;
        reason = errnoText(error);
        return error == ENOENT ? Read::Missing : Read::Unreadable;
    }
    struct stat st;
    if (::fstat(fd.get(), &st) != 0) {
        reason = errnoText(errno);
        return Read::Unreadable;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = QStringLiteral("not a regular file");
        return Read::Unreadable;
    }
    if (st.st_size > kMaxBytes) {
        reason = QStringLiteral("larger than %1 bytes").arg(kMaxBytes);
        return Read::Unreadable;
    }
    bytes.resize(int(st.st_size));
    qint64 done = 0;
    // The size may change while we read: read until the end, within the limit.
    for (;;) {
        if (done == bytes.size()) {
            if (bytes.size() >= kMaxBytes) {
                reason = QStringLiteral("larger than %1 bytes").arg(kMaxBytes);
                bytes.clear();
                return Read::Unreadable;
            }
            bytes.resize(int(std::min<qint64>(kMaxBytes, std::max<qint64>(4096, bytes.size() * 2))));
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + done, std::size_t(bytes.size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            reason = errnoText(errno);
            bytes.clear();
            return Read::Unreadable;
        }
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(int(done));
    return Read::Ok;
}

} // namespace zem
