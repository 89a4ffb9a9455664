#pragma once
// One headless search, on the same road as the window's (SearchRoad): a file search prints the
// list when the walk ends; a content search streams the walk's files into a ZemFind, whose
// finished event (with the walk's end, in either order) prints the results.
//
// Lives on the thread that runs the application's event loop; the event loop must run from
// start() until the done callback was called.
#include "SearchRoad.h"
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
    void on_dir_scanned();
    // Prints the content search's results once both the walk and the workers have ended.
    void finish_content();
    void print_files(std::vector<QByteArray>& paths);
    void print_results(std::vector<FileResult>& results);
    void finish(int code);
    // ", 3 folders not read" when the scan skipped folders, else empty.
    QByteArray skipped_text() const;
    // ", 2 lines skipped (match limit)" when the regular expression gave up on lines, else empty.
    QByteArray lines_skipped_text() const;

    Options m_options;
    std::FILE* m_out;
    std::FILE* m_err;
    // The road before its consumer: the ZemFind goes first and wakes its waiting workers.
    SearchRoad m_road;
    ZemFind m_zemFind;
    bool m_walkDone = false;
    bool m_findDone = false;
    QElapsedTimer m_timer;
    double m_scanSeconds = 0;
};

} // namespace zemFinder
