// Measures the details window on the 200 MB log:
//   first screen of a details window after the request;
//   a search in row 0 for a literal with about 20,000 hits: the stall of the GUI thread and the
//   time until the first hit is on screen;
//   statistics: characters and words (Word Len 4) in MB/s on one thread, the resident memory the
//   word count adds (sampled), and how soon a cancelled count returns.
// Usage: QT_QPA_PLATFORM=offscreen details_bench <path of the log>   (or $ZEM_BENCH_LOG)
//   make_corpus.sh writes the log to logs/app.log of the corpus; alone:
//   awk -v mb=200 -f bench/gen_log.awk > app.log
#include "KernelGUI.h"
#include "XThread.h"
#include "gui/WinDetails.h"
#include "gui/panPreview/StatsReport.h"
#include "gui/panPreview/asc/PanPreviewAsc.h"
#include "gui/panPreview/asc/PanelSearch.h"
#include "preview/viewText/XTextView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cstdio>
#include <thread>
#include <time.h>

using namespace zemFinder;

namespace {

long rssAnonKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("RssAnon:"))
            return line.mid(8).trimmed().split(' ').first().toLong();
    return -1;
}

double ms(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// CPU time of the calling thread in ms: on a shared machine the wall time also counts the time
// other processes had the cores, so both are shown.
double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

void windowBench(const QString& path)
{
    QElapsedTimer t;
    t.start();
    WinDetails* win = WinDetails::open_for(QFileInfo(path));
    if (!win) {
        std::printf("cannot open %s\n", qPrintable(path));
        return;
    }
    win->grab();
    std::printf("details window, first screen:        %8.1f ms\n", ms(t));

    PanPreviewAsc* asc = win->tab_text();
    PanelSearch* row = asc->get_panel_search(0);
    row->set_search_text(QStringLiteral("\"WARN  [cache]\""));
    zem::viewText::XTextView* view = asc->text_view();
    // The view counts the file's lines on a thread of its own; on two cores that would be
    // measured as part of the search.
    view->source().waitForIndex();
    const qint64 topBefore = view->topOffset();
    t.restart();
    const double cpu0 = threadCpuMs();
    asc->on_search(row);
    const double stall = ms(t);
    const double stallCpu = threadCpuMs() - cpu0;
    // The first hit shows once the queued scroll ran and the view painted.
    while (view->topOffset() == topBefore && t.nsecsElapsed() < 5000000000LL)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    win->grab();
    const double shown = ms(t);
    const std::size_t hits = view->layerGroup().layer_by_ID(1000) ? view->layerGroup().layer_by_ID(1000)->size() : 0;
    std::printf("search row 0, %zu hits: GUI stall %8.1f ms (CPU %.1f ms), first hit shown %8.1f ms "
                "(100 ms of it the queued scroll's delay)\n",
                hits, stall, stallCpu, shown);
    win->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void statsBench(const QString& path)
{
    const double mb = double(QFileInfo(path).size()) / 1e6;
    std::atomic<bool> running{true};
    QElapsedTimer t;
    t.start();
    double cpu0 = threadCpuMs();
    stats::Table chars = stats::count_chars(running, path, 50);
    const double charMs = ms(t);
    const double charCpu = threadCpuMs() - cpu0;
    std::printf("characters: %.1f MB in %8.1f ms = %7.1f MB/s; CPU %8.1f ms = %7.1f MB/s (%llu symbols, %llu unique)\n",
                mb, charMs, mb / (charMs / 1000), charCpu, mb / (charCpu / 1000), (unsigned long long)chars.total,
                (unsigned long long)chars.unique);

    const long before = rssAnonKiB();
    std::atomic<long> peak{before};
    std::atomic<bool> sampling{true};
    std::thread sampler([&] {
        while (sampling.load()) {
            const long now = rssAnonKiB();
            if (now > peak.load())
                peak.store(now);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    t.restart();
    cpu0 = threadCpuMs();
    stats::Table words = stats::count_words(running, path, 50, 4);
    const double wordMs = ms(t);
    const double wordCpu = threadCpuMs() - cpu0;
    sampling.store(false);
    sampler.join();
    std::printf("words (len 4): %.1f MB in %8.1f ms = %7.1f MB/s; CPU %8.1f ms = %7.1f MB/s (%llu words, %llu unique), "
                "resident memory added: %.1f MB\n",
                mb, wordMs, mb / (wordMs / 1000), wordCpu, mb / (wordCpu / 1000), (unsigned long long)words.total,
                (unsigned long long)words.unique,
                double(peak.load() - before) / 1024.0);

    for (int len : {1, 4}) {
        std::atomic<bool> run{true};
        std::atomic<qint64> returnedAt{0};
        QElapsedTimer clock;
        clock.start();
        std::thread worker([&] {
            if (len == 1)
                stats::count_chars(run, path, 50);
            else
                stats::count_words(run, path, 50, quint32(len));
            returnedAt.store(clock.nsecsElapsed());
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const qint64 cancelAt = clock.nsecsElapsed();
        run.store(false);
        worker.join();
        std::printf("cancel (len %d) after 300 ms: returned %.1f ms later\n", len,
                    double(returnedAt.load() - cancelAt) / 1e6);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : qEnvironmentVariable("ZEM_BENCH_LOG");
    if (!QFileInfo(path).isFile()) {
        std::printf("no log at %s (see the usage line in details_bench.cpp)\n", qPrintable(path));
        return 1;
    }
    windowBench(path);
    statsBench(path);
    zem::XThreadPool::wait_for_all(10000);
    return 0;
}
