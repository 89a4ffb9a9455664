#include "XDirInfo.h"

#include "Logger.h"
#include "find/XFilter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace zem {

namespace {
constexpr quint32 kNoParent = std::numeric_limits<quint32>::max();
// Open parent folders let children be opened relative to them (no path lookup from the root).
// Below this depth a folder is closed right after reading, so a very deep tree cannot run out
// of file descriptors; its children are then opened by full path.
constexpr std::size_t kMaxOpenDepth = 128;

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

QString decodeName(const char* name, std::size_t length)
{
    return QFile::decodeName(QByteArray::fromRawData(name, int(length)));
}

// Read permission from the mode bits already in the QFileInfo; no access() call per file.
bool mayRead(const QFileInfo& info)
{
    static const uid_t euid = ::geteuid();
    if (euid == 0)
        return true;
    const QFile::Permissions p = info.permissions();
    if (info.ownerId() == euid)
        return p.testFlag(QFile::ReadOwner);
    static const std::vector<gid_t> groups = [] {
        std::vector<gid_t> g(std::size_t(std::max(::getgroups(0, nullptr), 0)) + 1);
        const int n = ::getgroups(int(g.size() - 1), g.data());
        g.resize(std::size_t(std::max(n, 0)));
        g.push_back(::getegid());
        return g;
    }();
    if (std::find(groups.begin(), groups.end(), gid_t(info.groupId())) != groups.end())
        return p.testFlag(QFile::ReadGroup);
    return p.testFlag(QFile::ReadOther);
}
} // namespace

// The walk itself: an explicit stack of open folders (a tree may be deeper than the C stack
// would like), files of a folder recorded before its subfolders are entered.
struct XDirInfo::Walker {
    struct Frame {
        DIR* handle;  // null once closed early (deep trees)
        quint32 dir;
        std::vector<quint32> children;
        std::size_t next = 0;
    };

    XDirInfo& info;
    std::vector<Frame> stack;
    std::vector<QString> pathCache;
    bool full = false;

    explicit Walker(XDirInfo& owner) : info(owner) {}

    ~Walker()
    {
        for (Frame& frame : stack)
            if (frame.handle)
                ::closedir(frame.handle);
    }

    QString pathOf(quint32 dir)
    {
        if (pathCache.size() < info.m_dirs.size())
            pathCache.resize(info.m_dirs.size());
        return info.dirPath(dir, pathCache);
    }

    void warnFolder(quint32 dir, int error)
    {
        xlog(LOG_WARN, QStringLiteral("XDirInfo::scan_dir, cannot read folder <<<$>>>: $"), pathOf(dir),
             QString::fromLocal8Bit(std::strerror(error)));
    }

    // Reads one open folder: records its files and subfolders. Takes ownership of fd.
    bool readFolder(int fd, quint32 dir)
    {
        DIR* handle = ::fdopendir(fd);
        if (!handle) {
            warnFolder(dir, errno);
            ::close(fd);
            return false;
        }
        Frame frame{handle, dir, {}, 0};
        quint64 files = 0;
        errno = 0;
        while (const dirent* entry = ::readdir(handle)) {
            const char* name = entry->d_name;
            if (isDotOrDotDot(name) || (name[0] == '.' && !info.m_hidden))
                continue;
            unsigned char type = entry->d_type;
            struct stat st;
            if (type == DT_UNKNOWN) {
                // Some file systems do not report types; ask, without following a link.
                if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                    continue;
                type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : S_ISLNK(st.st_mode) ? DT_LNK : DT_UNKNOWN;
            }
            if (type == DT_LNK) {
                // A link to a file is that file; links to folders are not followed.
                if (::fstatat(fd, name, &st, 0) != 0 || !S_ISREG(st.st_mode))
                    continue;
                type = DT_REG;
            }
            const std::size_t length = std::strlen(name);
            quint32 offset = 0;
            if (type == DT_REG) {
                if (!info.addName(name, length, offset)) {
                    full = true;
                    break;
                }
                info.m_files.push_back(File{dir, offset, quint16(length)});
                ++files;
            } else if (type == DT_DIR) {
                if (info.m_dirs.size() >= kNoParent || !info.addName(name, length, offset)) {
                    full = true;
                    break;
                }
                frame.children.push_back(quint32(info.m_dirs.size()));
                info.m_dirs.push_back(Dir{dir, offset, quint16(length)});
            }
        }
        info.m_countFiles += files;
        ++info.m_countDirs;
        if (stack.size() >= kMaxOpenDepth) {
            ::closedir(handle);
            frame.handle = nullptr;
        }
        stack.push_back(std::move(frame));
        return true;
    }

    void openChild(const Frame& parent, quint32 child)
    {
        const Dir& d = info.m_dirs[child];
        const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        int fd = -1;
        if (parent.handle) {
            const std::string name(info.m_names.data() + d.nameOffset, d.nameLength);
            fd = ::openat(::dirfd(parent.handle), name.c_str(), flags);
        } else {
            fd = ::open(QFile::encodeName(pathOf(child)).constData(), flags);
        }
        if (fd < 0) {
            warnFolder(child, errno);
            return;
        }
        readFolder(fd, child);
    }

    bool run(int rootFd)
    {
        if (!readFolder(rootFd, 0))
            return false;
        while (!stack.empty() && !full) {
            if (info.m_stop.get())
                return false;
            Frame& top = stack.back();
            if (top.next < top.children.size()) {
                const quint32 child = top.children[top.next++];
                openChild(top, child);  // may grow the stack: top is not used afterwards
                continue;
            }
            if (top.handle)
                ::closedir(top.handle);
            stack.pop_back();
        }
        if (full)
            Logger::log(QStringLiteral("XDirInfo::scan_dir, tree too large: scan ends early"), LOG_WARN);
        return true;
    }
};

XDirInfo::XDirInfo() = default;

XDirInfo::~XDirInfo() = default;

void XDirInfo::clear()
{
    m_dirs = {};
    m_files = {};
    m_names = {};
    m_view = {};
    m_infos = {};
}

quint64 XDirInfo::memoryUsage() const
{
    return m_dirs.capacity() * sizeof(Dir) + m_files.capacity() * sizeof(File) + m_names.capacity();
}

bool XDirInfo::addName(const char* name, std::size_t length, quint32& offset)
{
    if (length > std::numeric_limits<quint16>::max()
        || m_names.size() + length > std::numeric_limits<quint32>::max())
        return false;
    offset = quint32(m_names.size());
    m_names.insert(m_names.end(), name, name + length);
    return true;
}

bool XDirInfo::scan_dir(const QString& path)
{
    m_stop.set(false);
    m_countDirs = 0;
    m_countFiles = 0;
    m_countBytes = 0;
    clear();
    m_path = path;
    m_rootPath = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    // The root itself may be a link to a folder: the user chose it.
    const int fd = ::open(QFile::encodeName(m_rootPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        xlog(LOG_WARN, QStringLiteral("XDirInfo::scan_dir, cannot read folder <<<$>>>: $"), m_rootPath,
             QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_dirs.push_back(Dir{kNoParent, 0, 0});
    bool done = false;
    {
        Walker walker(*this);
        done = walker.run(fd);
    }
    m_dirs.shrink_to_fit();
    m_files.shrink_to_fit();
    m_names.shrink_to_fit();
    return done && !m_stop.get();
}

QString XDirInfo::dirPath(quint32 dir, std::vector<QString>& cache) const
{
    if (dir == 0)
        return m_rootPath;
    // Walk up to the nearest folder whose path is known, then build the chain down.
    std::vector<quint32> chain;
    quint32 d = dir;
    while (d != 0 && cache[d].isNull()) {
        chain.push_back(d);
        d = m_dirs[d].parent;
    }
    QString path = d == 0 ? m_rootPath : cache[d];
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const Dir& entry = m_dirs[*it];
        if (!path.endsWith(QLatin1Char('/')))
            path += QLatin1Char('/');
        path += decodeName(m_names.data() + entry.nameOffset, entry.nameLength);
        cache[*it] = path;
    }
    return path;
}

QString XDirInfo::entryPath(quint32 dir, quint32 nameOffset, quint16 nameLength, std::vector<QString>& cache) const
{
    QString path = dirPath(dir, cache);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    path += decodeName(m_names.data() + nameOffset, nameLength);
    return path;
}

bool XDirInfo::keepInfo(QFileInfo& info, const find::XFilter& filter, bool needStat)
{
    if (!needStat)
        return true;
    // exists() reads size, type, times and permissions in one stat and caches them in info.
    if (!info.exists()) {
        xlog(LOG_WARN, QStringLiteral("XDirInfo::setup_filtered_files, gone or not accessible <<<$>>>"),
             info.filePath());
        return false;
    }
    if (!mayRead(info)) {
        xlog(LOG_WARN, QStringLiteral("XDirInfo::setup_filtered_files, not readable <<<$>>>"), info.filePath());
        return false;
    }
    const XFileFilter& ff = filter.fileFilter();
    const quint32 needs = ff.needs();
    const bool isFile = info.isFile();
    if ((needs & XFileFilter::NEED_SIZE) && (!isFile || !ff.matchSize(quint64(info.size()))))
        return false;
    if ((needs & XFileFilter::NEED_MTIME) && !ff.matchTime(info.lastModified().toMSecsSinceEpoch()))
        return false;
    if (isFile)
        m_countBytes += quint64(std::max<qint64>(info.size(), 0));
    return true;
}

XFindStats XDirInfo::setup_filtered_files(const find::XFilter& filter, bool onlyFiles)
{
    m_view = {};
    m_infos = {};
    m_countBytes = 0;
    XFindStats stats;
    stats.countFiles = m_files.size();
    stats.countDirs = m_countDirs.get();

    const XFileFilter& ff = filter.fileFilter();
    const quint32 needs = ff.needs();
    const bool needName = needs & XFileFilter::NEED_NAME;
    const bool needStat = m_readSizes || (needs & (XFileFilter::NEED_SIZE | XFileFilter::NEED_MTIME));
    std::vector<QString> cache(m_dirs.size());

    if (!onlyFiles) {
        for (quint32 i = 1; i < m_dirs.size() && !m_stop.get(); ++i) {
            const Dir& d = m_dirs[i];
            if (needName && !ff.matchNameUtf8(m_names.data() + d.nameOffset, d.nameLength))
                continue;
            QFileInfo info(dirPath(i, cache));
            if (keepInfo(info, filter, needStat))
                m_infos.push_back(std::move(info));
        }
    }
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        // Reading sizes costs a stat per file: look at the stop flag now and then.
        if ((i & 1023) == 0 && m_stop.get())
            break;
        const File& f = m_files[i];
        if (needName && !ff.matchNameUtf8(m_names.data() + f.nameOffset, f.nameLength))
            continue;
        QFileInfo info(entryPath(f.dir, f.nameOffset, f.nameLength, cache));
        if (keepInfo(info, filter, needStat))
            m_infos.push_back(std::move(info));
    }
    m_infos.shrink_to_fit();
    m_view.reserve(m_infos.size());
    for (const QFileInfo& info : m_infos)
        m_view.push_back(&info);
    stats.countFilesMatch = m_view.size();
    stats.countBytes = m_countBytes.get();
    return stats;
}

std::vector<const QFileInfo*> XDirInfo::take_filtered_files()
{
    std::vector<const QFileInfo*> files;
    files.swap(m_view);
    return files;
}

QString XDirInfo::toString() const
{
    return xprintF(QStringLiteral("dirs:$, files:$, bytes:$"), format1000(qint64(countDirs())),
                   format1000(qint64(countFiles())), formatBytes(countBytes()));
}

} // namespace zem
