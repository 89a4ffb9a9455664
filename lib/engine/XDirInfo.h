#pragma once
// Recursive folder scanner of a search: walks a tree once, keeps it compactly, then filters it
// into the list of matching files.
//
// The walk (XDirWalker, several threads) lists folders and uses the entry types the listing
// reports, so a plain walk costs no stat per file (unless setStatInWalk). Sizes and times are read (one stat per file)
// only for the files whose names pass the filter, and only when the filter has a size or time
// condition or the caller wants sizes (the content search sums them, the results table shows
// them); this happens before the list is handed out, so its QFileInfo objects already hold
// size, type and times and nobody stats them again on the GUI thread.
//
// Rules: hidden entries (names starting with '.') only with the hidden flag; a symbolic link to
// a file counts as that file, a link to a folder is never followed (no loops, no escaping the
// tree); unreadable folders are skipped with a warning line and counted. A file is listed
// whether or not we may read its content: a name, size or time search finds it, and the content
// search reports the files it cannot open.
//
// Threads: scan_dir and setup_filtered_files are called on one thread (the scan thread), which
// borrows pool threads for the walk and the stat calls. stop() and the
// counters may be used from any thread at any time; the GUI polls the counters every 200 ms.
// The filtered list may be read once setup_filtered_files returned, and stays valid until the
// next scan_dir or setup_filtered_files.
#include "XAtomic.h"
#include "XDirWalker.h"
#include "XFindStats.h"

#include <QFileInfo>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <vector>

namespace zem {

namespace find {
class XFilter;
}

class XDirInfo {
public:
    XDirInfo();
    ~XDirInfo();
    XDirInfo(const XDirInfo&) = delete;
    XDirInfo& operator=(const XDirInfo&) = delete;

    void setPath(const QString& path) { m_path = path; }
    const QString& path() const { return m_path; }
    void setHiddenFiles(bool on) { m_hidden = on; }
    bool hiddenFiles() const { return m_hidden; }
    // With true (the default) the sizes of the matching files are read even when the filter does
    // not need them. A pure name search that prints only paths may turn it off.
    void setReadSizes(bool on) { m_readSizes = on; }
    bool readSizes() const { return m_readSizes; }
    // With true the walk itself notes size and time of every file (one stat
    // relative to the open folder); setup_filtered_files then filters and sums bytes from those
    // and hands out QFileInfo objects that have not asked the file system anything yet. Meant
    // for the content search, whose workers learn the rest when they open a file; the results
    // table of a file search wants the QFileInfo filled, so the default is false.
    void setStatInWalk(bool on) { m_statInWalk = on; }
    bool statInWalk() const { return m_statInWalk; }
    // Threads that list folders and read sizes (the scan thread and pool jobs); default: the
    // machine's hardware threads.
    void setThreads(unsigned threads) { m_threads = threads < 1 ? 1 : threads; }
    unsigned threads() const { return m_threads; }

    // Walks path recursively (setPath is then called with it). Clears the stop flag first and
    // resets the counters; false when path is not a readable folder or the scan was stopped.
    bool scan_dir(const QString& path);
    bool scan_dir() { return scan_dir(m_path); }

    // The streaming road of a content search: walks path like scan_dir but keeps no tree; every
    // file that passes the file part of the filter goes to sink at once, as a full path in the
    // file system's bytes, on whichever walking thread read its folder. A file whose name fails
    // costs no stat; size and time are read (relative to the open folder) only for a size or
    // time condition. sink may block (a full queue); returning false ends the walk. Clears the
    // stop flag and the counters first; false when path is not a readable folder or the walk
    // was stopped.
    using PathSink = std::function<bool(QByteArray path)>;
    bool stream_files(const QString& path, const find::XFilter& filter, const PathSink& sink);
    // Files handed to the sink by the last stream_files.
    quint64 countFilesMatch() const { return m_countMatch.get(); }

    // Asks a running scan (walk or filtering) to end soon; stays set until the next scan_dir.
    void stop() { m_stop.set(true); }
    bool isStopped() const { return m_stop.get(); }

    // Live counters: folders read, files seen, and bytes: during a walk that stats files the sizes
    // of all files seen, then (from setup_filtered_files on) those of the matching files whose
    // size is known.
    quint64 countDirs() const { return m_countDirs.get(); }
    quint64 countFiles() const { return m_countFiles.get(); }
    quint64 countBytes() const { return m_countBytes.get(); }
    // Folders below the root that could not be read (or only in part): the result lacks them.
    quint64 countSkippedDirs() const { return m_countSkippedDirs.get(); }

    // Applies the file part of the filter to the scanned entries, in scan order. onlyFiles true
    // keeps files only; false lets folders through the name and time conditions too. Returns
    // files in total and matching entries; the matching bytes are in countBytes.
    XFindStats setup_filtered_files(const find::XFilter& filter, bool onlyFiles);

    // The matching entries of the last setup_filtered_files, in scan order.
    const std::vector<const QFileInfo*>& get_view_filtered_files() const { return m_view; }
    // Moves the list out (the content search takes it); the objects stay owned here.
    std::vector<const QFileInfo*> take_filtered_files();

    // Drops the scanned tree and the filtered list.
    void clear();
    // Bytes held for the scanned tree (not counting the filtered QFileInfo objects).
    quint64 memoryUsage() const;

    // "dirs:$, files:$, bytes:$"
    QString toString() const;

    // The entries of path itself (no recursion): folders first, then files, each by name ignoring
    // case; hidden entries only with hidden. Only what the listing itself reports is known.
    static QList<QFileInfo> get_flat_directory_info(const QString& path, bool hidden = false);

private:
    // Full paths of all scanned folders, by index.
    std::vector<QString> dirPaths() const;
    // Reads what the filter needs about one candidate; thread-safe.
    bool keepInfo(QFileInfo& info, const find::XFilter& filter, bool needStat);
    // The same from what the walk noted.
    bool keepStat(const XDirWalker::FileStat& stat, const QString& path, const find::XFilter& filter);
    // Resets the stop flag, the counters and the tree, and sets the clean root path; false for
    // an empty path.
    bool begin_scan(const QString& path);

    QString m_path;
    bool m_hidden = false;
    bool m_readSizes = true;
    bool m_statInWalk = false;
    unsigned m_threads;
    XAtomic<bool> m_stop;
    XAtomic<quint64> m_countDirs;
    XAtomic<quint64> m_countFiles;
    XAtomic<quint64> m_countBytes;
    XAtomic<quint64> m_countSkippedDirs;
    XAtomic<quint64> m_countMatch;

    QString m_rootPath;  // absolute, clean path of the scanned folder
    XDirWalker::Tree m_tree;

    std::vector<QFileInfo> m_infos;  // the matching entries
    std::vector<const QFileInfo*> m_view;
};

} // namespace zem
