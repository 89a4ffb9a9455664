#include "XDirWalker.h"

#include "Logger.h"
#include "XLongPath.h"
#include "XThread.h"

#include <QString>
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace zem {

namespace {
// One read of a folder listing; 32 KiB holds a few hundred entries, so most folders take one
// read plus the empty one that says the listing ended.
constexpr std::size_t kListingBuffer = 32 * 1024;

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}
} // namespace

// A folder while the walk runs: filled by the thread that reads it, owned by its parent.
struct XDirWalker::Node {
    std::string path;       // full path, dropped once the folder was read
    std::string name;       // name inside the parent
    std::string fileNames;  // the files' names, each followed by a NUL
    quint32 fileCount = 0;
    std::vector<FileStat> fileStats;  // when the walk stats files
    std::vector<std::unique_ptr<Node>> children;
};

// Work shared by the threads: a stack of folders to read (depth first keeps it short).
struct XDirWalker::Shared {
    std::mutex lock;
    std::condition_variable wake;
    std::vector<Node*> stack;
    unsigned busy = 0;         // folders being read
    unsigned helpersLeft = 0;  // helper jobs that have not returned
};

XDirWalker::XDirWalker(QByteArray rootPath, bool hidden, unsigned threads, Counters counters, bool statFiles)
    : m_root(std::move(rootPath)), m_hidden(hidden), m_statFiles(statFiles), m_threads(threads < 1 ? 1 : threads),
      m_counters(counters)
{
}

XDirWalker::~XDirWalker() = default;

bool XDirWalker::readFolder(Node& node, Shared& shared, std::vector<char>& buffer)
{
    const bool isRoot = node.name.empty();
    // Below the root a link is never followed, even if a folder was swapped for one meanwhile.
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (isRoot ? 0 : O_NOFOLLOW);
    // Deeper than the path limit the folder is reached relative to open folders.
    const int fd = XLongPath::open(QByteArray::fromRawData(node.path.data(), int(node.path.size())), flags);
    if (fd < 0) {
        // Shown by default: the result is incomplete, and the user should know where.
        const int error = errno;
        if (!isRoot && m_counters.skipped)
            ++*m_counters.skipped;
        xlog(LOG_ERROR, QStringLiteral("XDirInfo::scan_dir, cannot read folder <<<$>>>: $"),
             QString::fromLocal8Bit(node.path.c_str()), QString::fromLocal8Bit(std::strerror(error)));
        return false;
    }
    const bool slash = !node.path.empty() && node.path.back() == '/';
    quint64 bytes = 0;
    auto take = [&](const char* name, unsigned char type) {
        if (isDotOrDotDot(name) || (name[0] == '.' && !m_hidden))
            return;
        struct stat st;
        bool known = false;  // st holds the file's own stat
        if (type == DT_UNKNOWN) {
            // Some file systems do not report types; ask, without following a link.
            if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                return;
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : S_ISLNK(st.st_mode) ? DT_LNK : DT_UNKNOWN;
            known = type == DT_REG;
        }
        if (type == DT_LNK) {
            // A link to a file is that file; links to folders are not followed.
            if (::fstatat(fd, name, &st, 0) != 0 || !S_ISREG(st.st_mode))
                return;
            type = DT_REG;
            known = true;
        }
        const std::size_t length = std::strlen(name);
        if (type == DT_REG && m_sink) {
            ++node.fileCount;
            if (!m_counters.stop->get() && !m_sink(node.path, name, length, fd))
                m_counters.stop->set(true);
        } else if (type == DT_REG) {
            node.fileNames.append(name, length + 1);
            ++node.fileCount;
            if (m_statFiles) {
                FileStat fs;
                if (known || ::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                    fs.size = qint64(st.st_size);
                    fs.mtimeMs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
                    bytes += quint64(std::max<qint64>(fs.size, 0));
                }
                node.fileStats.push_back(fs);
            }
        } else if (type == DT_DIR) {
            auto child = std::make_unique<Node>();
            child->name.assign(name, length);
            child->path.reserve(node.path.size() + length + 1);
            child->path = node.path;
            if (!slash)
                child->path += '/';
            child->path += child->name;
            node.children.push_back(std::move(child));
        }
    };
#ifdef __linux__
    // getdents64 straight away: readdir over fdopendir costs three more calls per folder.
    for (;;) {
        const ssize_t got = ::getdents64(fd, buffer.data(), buffer.size());
        if (got < 0) {
            const int error = errno;
            if (m_counters.skipped)
                ++*m_counters.skipped;
            xlog(LOG_ERROR, QStringLiteral("XDirInfo::scan_dir, listing of <<<$>>> broke off: $"),
                 QString::fromLocal8Bit(node.path.c_str()), QString::fromLocal8Bit(std::strerror(error)));
        }
        if (got <= 0)
            break;
        for (ssize_t pos = 0; pos < got;) {
            const auto* entry = reinterpret_cast<const struct dirent64*>(buffer.data() + pos);
            pos += entry->d_reclen;
            take(entry->d_name, entry->d_type);
        }
    }
    ::close(fd);
#else
    Q_UNUSED(buffer)
    DIR* handle = ::fdopendir(fd);
    if (!handle) {
        ::close(fd);
        return false;
    }
    while (const dirent* entry = ::readdir(handle))
        take(entry->d_name, entry->d_type);
    ::closedir(handle);
#endif
    node.path = std::string();
    *m_counters.files += node.fileCount;
    if (m_counters.bytes)
        *m_counters.bytes += bytes;
    ++*m_counters.dirs;
    if (!node.children.empty()) {
        std::lock_guard<std::mutex> locker(shared.lock);
        // Reversed, so the first subfolder is read next and the stack stays depth first.
        for (auto it = node.children.rbegin(); it != node.children.rend(); ++it)
            shared.stack.push_back(it->get());
        shared.wake.notify_all();
    }
    return true;
}

void XDirWalker::work(Shared& shared)
{
    std::vector<char> buffer(kListingBuffer);
    std::unique_lock<std::mutex> locker(shared.lock);
    for (;;) {
        shared.wake.wait(locker, [&] { return !shared.stack.empty() || shared.busy == 0; });
        if (shared.stack.empty() || m_counters.stop->get()) {
            shared.wake.notify_all();
            return;
        }
        Node* node = shared.stack.back();
        shared.stack.pop_back();
        ++shared.busy;
        locker.unlock();
        readFolder(*node, shared, buffer);
        locker.lock();
        --shared.busy;
        if (shared.busy == 0 && shared.stack.empty())
            shared.wake.notify_all();
    }
}

bool XDirWalker::flatten(Node& root, Tree& tree) const
{
    struct Item {
        std::unique_ptr<Node> owned;  // null for the root, which the caller owns
        Node* node;
        quint32 parent;
    };
    std::vector<Item> stack;
    stack.push_back(Item{nullptr, &root, kNoParent});
    bool fits = true;
    auto addName = [&](const char* name, std::size_t length, quint32& offset) {
        if (length > std::numeric_limits<quint16>::max()
            || tree.names.size() + length > std::numeric_limits<quint32>::max()) {
            fits = false;
            return false;
        }
        offset = quint32(tree.names.size());
        tree.names.insert(tree.names.end(), name, name + length);
        return true;
    };
    while (!stack.empty()) {
        Item item = std::move(stack.back());
        stack.pop_back();
        Node& node = *item.node;
        if (!fits || tree.dirs.size() >= kNoParent) {
            fits = false;
            continue;  // drop the rest; Items free their nodes one level at a time
        }
        const quint32 index = quint32(tree.dirs.size());
        quint32 offset = 0;
        if (item.parent != kNoParent && !addName(node.name.data(), node.name.size(), offset))
            continue;
        tree.dirs.push_back(Dir{item.parent, offset, quint16(node.name.size())});
        const char* p = node.fileNames.data();
        const quint32 kept = m_sink ? 0 : node.fileCount;
        for (quint32 i = 0; i < kept; ++i) {
            const std::size_t length = std::strlen(p);
            if (!addName(p, length, offset))
                break;
            tree.files.push_back(File{index, offset, quint16(length)});
            if (m_statFiles)
                tree.stats.push_back(node.fileStats[i]);
            p += length + 1;
        }
        node.fileNames = std::string();
        node.fileStats = std::vector<FileStat>();
        for (auto it = node.children.rbegin(); it != node.children.rend(); ++it) {
            Node* child = it->get();
            stack.push_back(Item{std::move(*it), child, index});
        }
        node.children.clear();
    }
    if (!fits)
        Logger::log(QStringLiteral("XDirInfo::scan_dir, tree too large: scan ends early"), LOG_WARN);
    return fits;
}

bool XDirWalker::run(Tree& tree)
{
    tree = Tree();
    Shared shared;
    Node root;
    root.path = m_root.toStdString();
    std::vector<char> buffer(kListingBuffer);
    // The root on this thread first: if it cannot be read there is nothing to share.
    if (!readFolder(root, shared, buffer))
        return false;
    shared.helpersLeft = m_threads - 1;
    for (unsigned i = 1; i < m_threads; ++i) {
        XThreadPool::start_global([this, &shared] {
            work(shared);
            std::lock_guard<std::mutex> locker(shared.lock);
            --shared.helpersLeft;
            shared.wake.notify_all();
        });
    }
    work(shared);
    {
        std::unique_lock<std::mutex> locker(shared.lock);
        shared.wake.wait(locker, [&] { return shared.helpersLeft == 0; });
    }
    const bool fits = flatten(root, tree);
    return fits && !m_counters.stop->get();
}

} // namespace zem
