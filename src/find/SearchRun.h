#pragma once
// One headless search, on the same road as the window's: the folder scan runs as a job on the
// global pool, its finished listener (GUI thread) applies a file search or hands the list to a
// ZemFind, whose finished event prints the results.
//
// Lives on the thread that runs the application's event loop; the event loop must run from
// start() until the done callback was called.
#include "XDirInfo.h"
#include "XFindStats.h"
#include "XThread.h"
#include "ZemFind.h"
#include "find/XFilter.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <cstdio>
#include <functional>

namespace zemFinder {

class SearchRun {
public:
    struct Options {
        QString dir;
        zem::find::XFilter filter;
        quint32 threads = 8;
        bool hidden = false;
        bool nullSeparated = false;  // each found file ends with a NUL instead of a line break
    };

    // out receives the found files, err the summary line.
    SearchRun(Options options, std::FILE* out, std::FILE* err);
    ~SearchRun();
    SearchRun(const SearchRun&) = delete;
    SearchRun& operator=(const SearchRun&) = delete;

    // Called on the event loop's thread with the exit code: 0 found, 1 nothing found.
    std::function<void(int)> onDone;

    void start();

private:
    class ScanJob : public zem::XLightweightThread {
    public:
        void runCustom() override;
        zem::XDirInfo dirInfo;
        zem::XFindStats stats;
        const zem::find::XFilter* filter = nullptr;
    };

    void on_dir_scanned();
    void on_find_done();
    void print_files(const std::vector<const QFileInfo*>& files);
    void print_results(std::vector<FileResult>& results);
    void finish(int code);
    // ", 3 folders not read" when the scan skipped folders, else empty.
    QByteArray skipped_text() const;
    // ", 2 lines skipped (match limit)" when the regular expression gave up on lines, else empty.
    QByteArray lines_skipped_text() const;

    Options m_options;
    std::FILE* m_out;
    std::FILE* m_err;
    ScanJob m_scan;
    ZemFind m_zemFind;
    QElapsedTimer m_timer;
    double m_scanSeconds = 0;
};

} // namespace zemFinder
