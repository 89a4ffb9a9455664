// Times a search run from a real main window, as the user would start it.
//
//   gui_search_bench --dir D [--pattern P] [--content X] [--regex] [--scope N] [--threads N]
//                    [--hidden] [--shot file.png] [--panel-shot file.png] [--escape-ms N]
//
// Prints one line of figures (seconds):
//   total      from on_find to the results shown (table filled, or the content bars)
//   scanEnd    from the scan's end on its pool thread to the file-search table painted
//   maxStall   the longest gap between two ticks of a 5 ms timer while the search ran: how long
//              the GUI thread was kept from its event loop; a second figure adds the hand-over of
//              the results and the first row's preview (800 ms after the end)
//   rows, hits the size of the result
// With --shot the window is grabbed once the first result is in view.
// Runs in its own settings folder, so it never touches the user's configuration.
#include "KernelGUI.h"
#include "gui/PanelResults.h"
#include "gui/WinFinder.h"
#include "gui/WinFinder_FindArea.h"
#include "gui/WinTray.h"
#include "gui/config/ConfigZemFinder.h"
#include "Logger.h"
#include "XNode.h"
#include "XThread.h"
#include "widgets/XButton.h"
#include "widgets/XComboBox.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XTreeViewFiles.h"
#include "widgets/XTypedComboBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

using zemFinder::WinFinder;
using zemFinder::WinFinderConfig;
using Area = WinFinder::FindArea;

namespace {
QString argValue(const QStringList& args, const QString& key, const QString& fallback = QString())
{
    const int i = args.indexOf(key);
    return (i >= 0 && i + 1 < args.size()) ? args.at(i + 1) : fallback;
}
} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + "/cache").toUtf8());
    QApplication app(argc, argv);
    zem::Logger::setLogLevelSimple(1);
    zem::KernelGUI kernel;
    const QStringList args = app.arguments();
    const QString dir = argValue(args, "--dir");
    if (dir.isEmpty()) {
        std::fprintf(stderr, "usage: gui_search_bench --dir D [--pattern P] [--content X] [--regex] ...\n");
        return 2;
    }
    const QString pattern = argValue(args, "--pattern");
    const QString content = argValue(args, "--content");
    const QString shot = argValue(args, "--shot");
    WinFinderConfig& config = WinFinderConfig::get();
    config.flagUseStartFolder = false;
    config.flagRegEx = true;
    config.countThreads = argValue(args, "--threads", QString::number(QThread::idealThreadCount())).toUInt();

    zem::XNode node(QStringLiteral("Window"));
    WinFinder* win = WinFinder::create_window(&node, dir);
    win->resize(1400, 800);
    win->show();
    Area* f = win->findArea();

    uint32_t flags = 0;
    if (!pattern.isEmpty())
        flags |= WinFinder::FLAG_PATTERN;
    if (!content.isEmpty())
        flags |= WinFinder::FLAG_CONTENT;
    if (args.contains("--hidden"))
        flags |= WinFinder::FLAG_HIDDEN;

    QElapsedTimer clock;
    qint64 lastTick = -1;
    qint64 maxStall = 0;
    qint64 maxStallAll = 0;  // also the hand-over of the results and the first row's preview
    qint64 scanEnd = -1;
    qint64 shown = -1;
    bool running = false;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (running && lastTick >= 0)
            maxStall = std::max(maxStall, now - lastTick);
        if (lastTick >= 0)
            maxStallAll = std::max(maxStallAll, now - lastTick);
        lastTick = now;
    });
    // Watches the scan job from outside the GUI thread, so the moment it ends is seen even while
    // the GUI thread is busy with its results. Only for a file search, where that figure is
    // printed: its polling would take CPU time from a content search's workers.
    std::atomic<bool> watching{content.isEmpty()};
    std::atomic<qint64> scanEndAtomic{-1};
    std::thread watcher([&] {
        bool seenRunning = false;
        while (watching.load()) {
            const bool on = f->thScanDir.isRunning();
            if (on)
                seenRunning = true;
            else if (seenRunning && scanEndAtomic.load() < 0)
                scanEndAtomic.store(clock.nsecsElapsed());
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });

    auto finish = [&] {
        running = false;
        scanEnd = scanEndAtomic.load();
        const bool contentSearch = !content.isEmpty();
        const int rows = win->panelResults()->model()->rowCount();
        const uint32_t hits = contentSearch ? win->panelResults()->model()->hits() : 0;
        std::printf("total %.3f  scanEnd->table %.3f  maxStall %.3f  rows %d  hits %u\n", double(shown) / 1e9,
                    scanEnd >= 0 && !contentSearch ? double(shown - scanEnd) / 1e9 : 0.0, double(maxStall) / 1e9,
                    rows, hits);
        std::fflush(stdout);
        auto quit = [&] {
            std::printf("maxStall including the hand-over and the first preview %.3f\n", double(maxStallAll) / 1e9);
            if (!shot.isEmpty())
                win->grab().save(shot);
            win->close();
            zemFinder::WinTray::destroy();
            zem::XThreadPool::wait_for_all(-1);
            QApplication::exit(0);
        };
        // The first hit is scrolled into view 200 ms after the row opened.
        QTimer::singleShot(800, quit);
    };

    // Runs after the window's own handler: the results are in place then. A content search
    // streams, so its workers may end before the walk's end was handled: whichever comes last
    // shows the results (state 4).
    auto contentShown = [&] { return !content.isEmpty() && win->search_state() == 4; };
    f->thScanDir.finishedListener.add([&] {
        if (running && contentShown()) {
            win->panelResults()->table()->viewport()->repaint();
            shown = clock.nsecsElapsed();
            finish();
            return;
        }
        if (content.isEmpty() && running && f->stacked->currentIndex() == Area::PAGE_SCAN_RESULT) {
            win->panelResults()->table()->viewport()->repaint();
            shown = clock.nsecsElapsed();
            finish();
        }
    });
    f->zemFind.finishedListener.add([&] {
        if (running && contentShown()) {
            win->panelResults()->table()->viewport()->repaint();
            shown = clock.nsecsElapsed();
            finish();
        }
    });

    QTimer::singleShot(500, [&] {
        win->set_filter_flags(flags);
        f->comboPattern->setEditText(pattern);
        f->comboContent->setEditText(content);
        f->buttonRegEx->setChecked(args.contains("--regex"));
        f->comboScope->selectValue(argValue(args, "--scope", "0").toUInt());
        win->treeView()->selectFile(dir, false);
        const QString panelShot = argValue(args, "--panel-shot");
        if (!panelShot.isEmpty()) {
            // The find panel with every row shown, before the search replaces it.
            win->set_filter_flags(flags | WinFinder::FLAG_TIME | WinFinder::FLAG_SIZE | WinFinder::FLAG_NOT_PATTERN
                                  | WinFinder::FLAG_CONTENT | WinFinder::FLAG_TEXT_FILES);
            f->comboTime->selectValue(3);
            QCoreApplication::processEvents();
            win->grab().save(panelShot);
            win->set_filter_flags(flags);
        }
        ticker.start();
        clock.start();
        lastTick = 0;
        running = true;
        win->on_find();
        const int escapeMs = argValue(args, "--escape-ms", "-1").toInt();
        if (escapeMs < 0)
            return;
        // Escape while the scan still runs: the find panel must come back at once and stay.
        QTimer::singleShot(escapeMs, [&] {
            const bool scanning = f->thScanDir.isRunning();
            QElapsedTimer esc;
            esc.start();
            win->on_escape_key();
            const double backMs = double(esc.nsecsElapsed()) / 1e6;
            f->thScanDir.wait_done();
            QTimer::singleShot(300, [&, scanning, backMs] {
                std::printf("escape while scanning:%d  back to the find page in %.1f ms  page afterwards %d  "
                            "results shown %d\n",
                            int(scanning), backMs, f->stacked->currentIndex(),
                            int(win->stackedRight()->currentWidget() == win->panelResults()));
                running = false;
                win->close();
                zemFinder::WinTray::destroy();
                zem::XThreadPool::wait_for_all(-1);
                QApplication::exit(0);
            });
        });
    });
    const int code = app.exec();
    watching.store(false);
    watcher.join();
    return code;
}
