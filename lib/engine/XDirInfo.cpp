#include "XDirInfo.h"

#include "Logger.h"
#include "XDirWalker.h"
#include "XFileNameCodec.h"
#include "XLongPath.h"
#include "XThread.h"
#include "find/XFilter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace zem {

namespace {
// Entries per share of the filtering work: large enough that taking a share costs nothing
// beside the stat calls in it, small enough that threads finish together.
constexpr std::size_t kChunk = 512;
// Below this many entries a second thread costs more than it saves.
constexpr std::size_t kParallelFrom = 4096;

QString decodeName(const char* name, std::size_t length)
{
    return QFile::decodeName(QByteArray::fromRawData(name, int(length)));
}

// Runs body on this thread and on threads - 1 pool jobs; returns when all have returned.
void runOnThreads(unsigned threads, const std::function<void()>& body)
{
    std::mutex lock;
    std::condition_variable done;
    unsigned left = threads - 1;
    for (unsigned i = 1; i < threads; ++i) {
        XThreadPool::start_global([&] {
            body();
            std::lock_guard<std::mutex> locker(lock);
            --left;
            done.notify_all();
        });
    }
    body();
    std::unique_lock<std::mutex> locker(lock);
    done.wait(locker, [&] { return left == 0; });
}
} // namespace

XDirInfo::XDirInfo() : m_threads(count_hardware_threads(2))
{
    // Names that are not valid UTF-8 must come back as the same bytes when the files are opened.
    XFileNameCodec::install();
}

XDirInfo::~XDirInfo() = default;

void XDirInfo::clear()
{
    m_tree = XDirWalker::Tree();
    m_view = {};
    m_infos = {};
}

quint64 XDirInfo::memoryUsage() const
{
    return m_tree.dirs.capacity() * sizeof(XDirWalker::Dir) + m_tree.files.capacity() * sizeof(XDirWalker::File)
           + m_tree.names.capacity();
}

bool XDirInfo::begin_scan(const QString& path)
{
    m_stop.set(false);
    m_countDirs = 0;
    m_countFiles = 0;
    m_countBytes = 0;
    m_countSkippedDirs = 0;
    m_countMatch = 0;
    clear();
    m_path = path;
    if (path.trimmed().isEmpty()) {
        // An empty path would silently mean the current folder.
        Logger::log(QStringLiteral("XDirInfo::scan_dir, no folder given"), LOG_WARN);
        return false;
    }
    m_rootPath = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return true;
}

bool XDirInfo::stream_files(const QString& path, const find::XFilter& filter, const PathSink& sink)
{
    if (!begin_scan(path))
        return false;
    const XFileFilter& ff = filter.fileFilter();
    const quint32 needs = ff.needs();
    const bool needName = needs & XFileFilter::NEED_NAME;
    const bool needStat = needs & (XFileFilter::NEED_SIZE | XFileFilter::NEED_MTIME);
    XDirWalker walker(QFile::encodeName(m_rootPath), m_hidden, m_threads,
                      XDirWalker::Counters{&m_stop, &m_countDirs, &m_countFiles, nullptr, &m_countSkippedDirs});
    walker.setFileSink([&](const std::string& folder, const char* name, std::size_t length, int folderFd) {
        if (needName && !ff.matchNameUtf8(name, length))
            return true;
        if (needStat) {
            struct stat st;
            if (::fstatat(folderFd, name, &st, 0) != 0)
                return true;  // gone meanwhile
            const qint64 mtimeMs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
            if (((needs & XFileFilter::NEED_SIZE) && !ff.matchSize(quint64(st.st_size)))
                || ((needs & XFileFilter::NEED_MTIME) && !ff.matchTime(mtimeMs)))
                return true;
            m_countBytes += quint64(st.st_size);
        }
        QByteArray full;
        const bool slash = !folder.empty() && folder.back() == '/';
        full.reserve(int(folder.size() + length + 1));
        full.append(folder.data(), int(folder.size()));
        if (!slash)
            full.append('/');
        full.append(name, int(length));
        ++m_countMatch;
        return sink(std::move(full));
    });
    const bool done = walker.run(m_tree);
    return done && !m_stop.get();
}

bool XDirInfo::scan_dir(const QString& path)
{
    if (!begin_scan(path))
        return false;
    XDirWalker walker(QFile::encodeName(m_rootPath), m_hidden, m_threads,
                      XDirWalker::Counters{&m_stop, &m_countDirs, &m_countFiles, &m_countBytes, &m_countSkippedDirs}, m_statInWalk);
    const bool done = walker.run(m_tree);
    m_tree.dirs.shrink_to_fit();
    m_tree.files.shrink_to_fit();
    m_tree.names.shrink_to_fit();
    m_tree.stats.shrink_to_fit();
    return done && !m_stop.get();
}

std::vector<QString> XDirInfo::dirPaths() const
{
    // Parents come before their children in the tree, so one pass in index order will do.
    std::vector<QString> paths(m_tree.dirs.size());
    for (std::size_t i = 0; i < m_tree.dirs.size(); ++i) {
        const XDirWalker::Dir& d = m_tree.dirs[i];
        if (d.parent == XDirWalker::kNoParent) {
            paths[i] = m_rootPath;
            continue;
        }
        QString path = paths[d.parent];
        if (!path.endsWith(QLatin1Char('/')))
            path += QLatin1Char('/');
        path += decodeName(m_tree.names.data() + d.nameOffset, d.nameLength);
        paths[i] = path;
    }
    return paths;
}

bool XDirInfo::keepInfo(QFileInfo& info, const find::XFilter& filter, bool needStat)
{
    if (!needStat)
        return true;
    // size() reads size, type, times and permission bits in one stat and caches them in info;
    // exists() alone would ask access() and read nothing.
    info.size();
    bool isFile = info.isFile();
    qint64 size = info.size();
    qint64 mtimeMs = 0;
    bool mtimeKnown = false;
    if (!info.exists()) {
        // Past the path limit QFileInfo cannot stat; ask relative to the open folders instead.
        const QByteArray native = QFile::encodeName(info.filePath());
        struct stat st;
        if (native.size() < XLongPath::kLimit || XLongPath::stat(native, &st, true) != 0) {
            xlog(LOG_WARN, QStringLiteral("XDirInfo::setup_filtered_files, gone or not accessible <<<$>>>"),
                 info.filePath());
            return false;
        }
        isFile = S_ISREG(st.st_mode);
        size = qint64(st.st_size);
        mtimeMs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
        mtimeKnown = true;
    }
    const XFileFilter& ff = filter.fileFilter();
    const quint32 needs = ff.needs();
    if ((needs & XFileFilter::NEED_SIZE) && (!isFile || !ff.matchSize(quint64(size))))
        return false;
    if ((needs & XFileFilter::NEED_MTIME)
        && !ff.matchTime(mtimeKnown ? mtimeMs : info.lastModified().toMSecsSinceEpoch()))
        return false;
    if (isFile)
        m_countBytes += quint64(std::max<qint64>(size, 0));
    return true;
}

bool XDirInfo::keepStat(const XDirWalker::FileStat& stat, const QString& path, const find::XFilter& filter)
{
    if (stat.size < 0) {
        xlog(LOG_WARN, QStringLiteral("XDirInfo::setup_filtered_files, gone or not accessible <<<$>>>"), path);
        return false;
    }
    const XFileFilter& ff = filter.fileFilter();
    const quint32 needs = ff.needs();
    if ((needs & XFileFilter::NEED_SIZE) && !ff.matchSize(quint64(stat.size)))
        return false;
    if ((needs & XFileFilter::NEED_MTIME) && !ff.matchTime(stat.mtimeMs))
        return false;
    m_countBytes += quint64(stat.size);
    return true;
}

XFindStats XDirInfo::setup_filtered_files(const find::XFilter& filter, bool onlyFiles)
{
    m_view = {};
    m_infos = {};
    m_countBytes = 0;
    XFindStats stats;
    stats.countFiles = m_tree.files.size();
    stats.countDirs = m_countDirs.get();

    const XFileFilter& ff = filter.fileFilter();
    const quint32 needs = ff.needs();
    const bool needName = needs & XFileFilter::NEED_NAME;
    const bool needStat = m_readSizes || (needs & (XFileFilter::NEED_SIZE | XFileFilter::NEED_MTIME));
    const char* names = m_tree.names.data();
    const bool walkStats = !m_tree.stats.empty() && m_tree.stats.size() == m_tree.files.size();

    // Names first, without a system call; folders (when wanted) before files, each in scan order.
    // An entry is its index in the tree's folders (top bit set) or files.
    constexpr quint32 kFolderBit = 0x80000000u;
    std::vector<quint32> candidates;
    if (!onlyFiles)
        for (std::size_t i = 1; i < m_tree.dirs.size() && i < kFolderBit; ++i) {
            const XDirWalker::Dir& d = m_tree.dirs[i];
            if (!needName || ff.matchNameUtf8(names + d.nameOffset, d.nameLength))
                candidates.push_back(quint32(i) | kFolderBit);
        }
    for (std::size_t i = 0; i < m_tree.files.size() && i < kFolderBit; ++i) {
        const XDirWalker::File& f = m_tree.files[i];
        if (!needName || ff.matchNameUtf8(names + f.nameOffset, f.nameLength))
            candidates.push_back(quint32(i));
    }

    // Then one QFileInfo per candidate, with its stat when needed: the costly part, shared by
    // the threads. Each share is a run of candidates, so the order stays the scan order.
    const std::vector<QString> paths = dirPaths();
    std::vector<QFileInfo> infos(candidates.size());
    std::vector<char> keep(candidates.size(), 0);
    std::atomic<std::size_t> nextChunk{0};
    auto body = [&] {
        for (;;) {
            const std::size_t from = nextChunk.fetch_add(kChunk);
            if (from >= candidates.size() || m_stop.get())
                return;
            const std::size_t to = std::min(candidates.size(), from + kChunk);
            for (std::size_t i = from; i < to; ++i) {
                const quint32 c = candidates[i];
                if (c & kFolderBit) {
                    infos[i] = QFileInfo(paths[c & ~kFolderBit]);
                } else {
                    const XDirWalker::File& f = m_tree.files[c];
                    // Sized once: the path lives as long as the list, and appending would leave
                    // it with spare capacity (about a third more per entry).
                    const QString& dirPath = paths[f.dir];
                    QString path;
                    path.reserve(dirPath.size() + 1 + f.nameLength);
                    path += dirPath;
                    if (!dirPath.endsWith(QLatin1Char('/')))
                        path += QLatin1Char('/');
                    path += decodeName(names + f.nameOffset, f.nameLength);
                    infos[i] = QFileInfo(path);
                    if (walkStats) {
                        keep[i] = keepStat(m_tree.stats[c], path, filter) ? 1 : 0;
                        continue;
                    }
                }
                keep[i] = keepInfo(infos[i], filter, needStat) ? 1 : 0;
            }
        }
    };
    runOnThreads(candidates.size() >= kParallelFrom ? m_threads : 1, body);

    if (!m_stop.get()) {
        const std::size_t kept = std::size_t(std::count(keep.begin(), keep.end(), char(1)));
        if (kept == infos.size()) {
            m_infos = std::move(infos);
        } else {
            m_infos.reserve(kept);
            for (std::size_t i = 0; i < infos.size(); ++i)
                if (keep[i])
                    m_infos.push_back(infos[i]);
        }
    }
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

QList<QFileInfo> XDirInfo::get_flat_directory_info(const QString& path, bool hidden)
{
    QDir::Filters filters = QDir::Files | QDir::AllDirs | QDir::NoDotAndDotDot;
    if (hidden)
        filters |= QDir::Hidden;
    return QDir(path).entryInfoList(filters, QDir::Name | QDir::DirsFirst | QDir::IgnoreCase);
}

} // namespace zem
