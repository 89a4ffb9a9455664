#pragma once
// Reads a folder tree with several threads and hands it back compactly, in depth-first order
// (a folder's files, then its subfolders, each in the order the file system lists them), so the
// result does not depend on how the threads shared the work.
//
// Used by XDirInfo on its scan thread; the helper threads come from the global pool and have
// ended when run() returns. The stop flag and the counters are the caller's, shared with
// other threads.
#include "XAtomic.h"

#include <QByteArray>
#include <QtGlobal>
#include <functional>
#include <string>
#include <vector>

namespace zem {

class XDirWalker {
public:
    static constexpr quint32 kNoParent = 0xffffffffu;

    // Names live in one byte pool; folders know their parent, files their folder.
    struct Dir {
        quint32 parent;
        quint32 nameOffset;
        quint16 nameLength;
    };
    struct File {
        quint32 dir;
        quint32 nameOffset;
        quint16 nameLength;
    };
    // What a walk asked to stat files notes of each: size -1 when the file went away.
    struct FileStat {
        qint64 size = -1;
        qint64 mtimeMs = 0;
    };
    struct Tree {
        std::vector<Dir> dirs;  // dirs[0] is the root, with an empty name
        std::vector<File> files;
        std::vector<char> names;
        std::vector<FileStat> stats;  // one per file when the walk stats files, else empty
    };

    struct Counters {
        XAtomic<bool>* stop = nullptr;
        XAtomic<quint64>* dirs = nullptr;
        XAtomic<quint64>* files = nullptr;
        // Sizes of the files seen so far, when the walk stats files; may be null.
        XAtomic<quint64>* bytes = nullptr;
        // Folders below the root that could not be read, or only in part; may be null.
        XAtomic<quint64>* skipped = nullptr;
    };

    // rootPath: the folder in the file system's encoding; threads >= 1. statFiles: note size
    // and time of every file, by one stat relative to its open folder (far cheaper
    // than a stat by full path afterwards).
    XDirWalker(QByteArray rootPath, bool hidden, unsigned threads, Counters counters, bool statFiles = false);
    ~XDirWalker();
    XDirWalker(const XDirWalker&) = delete;
    XDirWalker& operator=(const XDirWalker&) = delete;

    // Streaming instead of a tree: called for every file as its folder is read, on the thread
    // that reads it, with the folder's path, the name (NUL-terminated) and the open folder's
    // descriptor (for a cheap stat relative to it). Returning false ends the walk (it sets the
    // stop flag). With a sink the tree holds the folders only and the files are not kept.
    using FileSink = std::function<bool(const std::string& folder, const char* name, std::size_t length, int folderFd)>;
    void setFileSink(FileSink sink) { m_sink = std::move(sink); }

    // False when the root cannot be read, the stop flag was set, or the tree outgrew the
    // compact form (more than 4 GiB of names); tree then holds what was read.
    bool run(Tree& tree);

private:
    struct Node;
    struct Shared;
    void work(Shared& shared);
    bool readFolder(Node& node, Shared& shared, std::vector<char>& buffer);
    bool flatten(Node& root, Tree& tree) const;

    QByteArray m_root;
    bool m_hidden;
    bool m_statFiles;
    unsigned m_threads;
    Counters m_counters;
    FileSink m_sink;
};

} // namespace zem
