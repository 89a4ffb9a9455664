// The search road of a real main window while work runs: Find pressed again during a scan or a
// content search stops the running one without the GUI thread waiting and fills the table once;
// closing a window or quitting during a scan or a "Deep Info" count ends promptly.
#include "KernelGUI.h"
#include "Logger.h"
#include "TestDir.h"
#include "XNode.h"
#include "XThread.h"
#include "dir/AbstractPreviewDir.h"
#include "dir/impl/PDirInfo.h"
#include "find/FindThread.h"
#include "gui/PanelResults.h"
#include "gui/WinFinder.h"
#include "gui/WinFinder_FindArea.h"
#include "gui/WinTray.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XButton.h"
#include "widgets/XComboBox.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XTreeViewFiles.h"
#include "widgets/XTypedComboBox.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QtTest>
#include <atomic>

using zemFinder::PanelResults;
using zemFinder::PDirInfo;
using zemFinder::WinFinder;
using zemFinder::WinFinderConfig;
using Area = WinFinder::FindArea;
using ScanThread = WinFinder::ThreadScanDir;

namespace {
// Generous bounds against a hang; failures, not timing requirements.
constexpr int kWaitMs = 20000;
constexpr int kHoldMs = 15000;
// A quit or a close that takes longer than this waited for the work instead of stopping it.
constexpr qint64 kPromptMs = 5000;

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

int countLines(const QString& text)
{
    int n = 0;
    for (const QString& line : zem::Logger::capturedLines())
        if (line.contains(text))
            ++n;
    return n;
}

// Holds every scan after its walk until it is told to stop (as the walk of a huge tree would
// run on), at most kHoldMs; counts the scans held and those that saw their stop.
struct HoldScans {
    std::atomic<int> held{0};
    std::atomic<int> stopped{0};
    std::atomic<bool> on{true};
    HoldScans()
    {
        ScanThread::walkedHook = [this](const ScanThread& th) {
            if (!on)
                return;
            ++held;
            QElapsedTimer t;
            t.start();
            while (!th.dirInfo.isStopped() && t.elapsed() < kHoldMs)
                QThread::msleep(1);
            if (th.dirInfo.isStopped())
                ++stopped;
        };
    }
    ~HoldScans() { ScanThread::walkedHook = nullptr; }
};

// Holds every scan after its walk until released or stopped; a content search's workers go on
// meanwhile with the files the walk gave them.
struct HoldWalk {
    std::atomic<int> held{0};
    std::atomic<bool> release{false};
    std::atomic<bool> on{true};
    HoldWalk()
    {
        ScanThread::walkedHook = [this](const ScanThread& th) {
            if (!on)
                return;
            ++held;
            QElapsedTimer t;
            t.start();
            while (!release && !th.dirInfo.isStopped() && t.elapsed() < kHoldMs)
                QThread::msleep(1);
        };
    }
    ~HoldWalk() { ScanThread::walkedHook = nullptr; }
};

// Holds a "Deep Info" count at its first entry until it is cancelled, at most kHoldMs.
struct HoldCount {
    std::atomic<int> held{0};
    std::atomic<int> cancelled{0};
    HoldCount()
    {
        PDirInfo::entryHook = [this](const PDirInfo& info) {
            ++held;
            QElapsedTimer t;
            t.start();
            while (info.running && t.elapsed() < kHoldMs)
                QThread::msleep(1);
            if (!info.running)
                ++cancelled;
        };
    }
    ~HoldCount() { PDirInfo::entryHook = nullptr; }
};

// Runs step inside the application's event loop; the loop's exit code, 99 when nothing ended it.
int execWith(std::function<void()> step)
{
    QTimer::singleShot(0, qApp, std::move(step));
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
    guard.start(kWaitMs + kHoldMs);
    return QCoreApplication::exec();
}
} // namespace

class TestSearchRoad : public QObject {
    Q_OBJECT

private:
    zem::XNode m_node{QStringLiteral("Window")};
    TestDir m_dir;
    TestDir m_big;

    WinFinder* open(const QString& start)
    {
        WinFinder* win = WinFinder::create_window(&m_node, start);
        win->resize(1000, 600);
        win->show();
        if (!QTest::qWaitForWindowExposed(win))
            return nullptr;
        return win;
    }

    // A file search for every file below m_dir.
    WinFinder* openForFileSearch()
    {
        WinFinder* win = open(m_dir.path());
        if (!win)
            return nullptr;
        win->set_filter_flags(0);
        win->treeView()->selectFile(m_dir.path(), false);
        return win;
    }

private Q_SLOTS:
    void initTestCase()
    {
        zem::Logger::setStderrEnabled(false);
        for (int i = 0; i < 6; ++i)
            m_dir.write(QStringLiteral("d%1/f%2.txt").arg(i % 2).arg(i), "some text\n");
        // Enough bytes that a content search is still reading when the next Find comes.
        const QByteArray chunk(512 * 1024, 'x');
        for (int i = 0; i < 200; ++i)
            m_big.write(QStringLiteral("big%1.txt").arg(i), chunk);
        WinFinderConfig::get().flagUseStartFolder = false;
        WinFinderConfig::get().flagRegEx = false;
        WinFinderConfig::get().countThreads = 1;
    }

    void cleanup()
    {
        ScanThread::walkedHook = nullptr;
        PDirInfo::entryHook = nullptr;
        for (QWidget* w : zem::KernelGUI::kernelGui()->windows())
            w->close();
        flushDeletes();
        zem::Logger::stopCapture();
    }

    void cleanupTestCase()
    {
        zemFinder::WinTray::destroy();
        zem::Logger::setStderrEnabled(true);
    }

    // --- Find while a search runs ---

    void findDuringScanStopsItAndFillsTheTableOnce()
    {
        WinFinder* win = openForFileSearch();
        QVERIFY(win);
        Area* f = win->findArea();
        HoldScans hold;
        zem::Logger::startCapture();
        win->on_find();
        QTRY_COMPARE_WITH_TIMEOUT(hold.held.load(), 1, kWaitMs);
        // The second Find asks the held scan to stop and returns; it does not wait for its end.
        hold.on = false;
        win->on_find();
        QVERIFY(win->is_find_pending());
        QTRY_COMPARE_WITH_TIMEOUT(hold.stopped.load(), 1, kWaitMs);
        QCOMPARE(win->search_state(), 1u);
        QCOMPARE(f->stacked->currentIndex(), int(Area::PAGE_SCAN));

        QTRY_COMPARE_WITH_TIMEOUT(f->stacked->currentIndex(), int(Area::PAGE_SCAN_RESULT), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!win->is_search_busy(), kWaitMs);
        QTest::qWait(50);  // room for a late, wrong end of the first scan
        QCOMPARE(win->panelResults()->model()->rowCount(), 6);
        QCOMPARE(countLines(QStringLiteral("PanelResults::setFileResultsSimple")), 1);
    }

    void findThreeTimesQuicklyGivesOneTable()
    {
        WinFinder* win = openForFileSearch();
        QVERIFY(win);
        zem::Logger::startCapture();
        // No event runs in between: the ends of the first scans arrive among the later ones.
        win->on_find();
        win->on_find();
        win->on_find();
        QTRY_COMPARE_WITH_TIMEOUT(win->findArea()->stacked->currentIndex(), int(Area::PAGE_SCAN_RESULT), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!win->is_search_busy(), kWaitMs);
        QTest::qWait(50);
        QCOMPARE(win->panelResults()->model()->rowCount(), 6);
        QCOMPARE(countLines(QStringLiteral("PanelResults::setFileResultsSimple")), 1);
    }

    void findDuringContentSearchStopsIt()
    {
        WinFinder* win = open(m_big.path());
        QVERIFY(win);
        Area* f = win->findArea();
        win->set_filter_flags(WinFinder::FLAG_CONTENT);
        f->comboContent->setEditText(QStringLiteral("zzzNotThere"));
        QVERIFY(win->treeView()->selectFile(m_big.path(), false));
        // The workers wait for the rest of the held walk: the content search is still running.
        HoldWalk hold;
        zem::Logger::startCapture();
        win->on_find();
        QTRY_COMPARE_WITH_TIMEOUT(hold.held.load(), 1, kWaitMs);
        QVERIFY(f->zemFind.isBusy());
        hold.on = false;
        win->on_find();
        QVERIFY(win->is_find_pending());
        QCOMPARE(countLines(QStringLiteral("search still running: stopped, find follows")), 1);
        // The second search runs to its end and shows its result, once.
        QTRY_COMPARE_WITH_TIMEOUT(win->search_state(), 4u, kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!win->is_search_busy(), kWaitMs);
        QCOMPARE(f->labelContentSummary->text(), QStringLiteral("Nothing found"));
        QCOMPARE(countLines(QStringLiteral("WinFinder_find::on_find_done - nothing found")), 1);
    }

    void escapeForgetsAWaitingFind()
    {
        WinFinder* win = openForFileSearch();
        QVERIFY(win);
        HoldScans hold;
        win->on_find();
        QTRY_COMPARE_WITH_TIMEOUT(hold.held.load(), 1, kWaitMs);
        hold.on = false;
        win->on_find();
        QVERIFY(win->is_find_pending());
        win->on_escape_key();
        QVERIFY(!win->is_find_pending());
        QTRY_VERIFY_WITH_TIMEOUT(!win->is_search_busy(), kWaitMs);
        QTest::qWait(50);
        QCOMPARE(win->search_state(), 0u);
        QCOMPARE(win->findArea()->stacked->currentIndex(), int(Area::PAGE_FIND));
    }

    // --- A content search streams: the workers search while the walk still runs ---

    void contentSearchRunsDuringTheWalkAndKeepsItsStates()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        Area* f = win->findArea();
        win->set_filter_flags(WinFinder::FLAG_CONTENT);
        f->comboContent->setEditText(QStringLiteral("some text"));
        QVERIFY(win->treeView()->selectFile(m_dir.path(), false));
        HoldWalk hold;
        zem::Logger::startCapture();
        win->on_find();
        QTRY_COMPARE_WITH_TIMEOUT(hold.held.load(), 1, kWaitMs);
        // The walk has not ended, yet every file was searched already.
        QTRY_COMPARE_WITH_TIMEOUT(f->zemFind.files_searched(), quint64(6), kWaitMs);
        QCOMPARE(win->search_state(), 1u);
        QCOMPARE(f->stacked->currentIndex(), int(Area::PAGE_SCAN));
        QTRY_VERIFY_WITH_TIMEOUT(f->labelScan->text().startsWith(QStringLiteral("Dirs:3, Files:6, Bytes:")), kWaitMs);
        QCOMPARE(countLines(QStringLiteral("*** DONE")), 0);

        hold.release = true;
        QTRY_COMPARE_WITH_TIMEOUT(win->search_state(), 4u, kWaitMs);
        QCOMPARE(f->stacked->currentIndex(), int(Area::PAGE_CONTENT_RESULT));
        QCOMPARE(win->panelResults()->model()->rowCount(), 6);
        QVERIFY(f->labelContentSummary->text().startsWith(QStringLiteral("files-total:6 => ")));
        QCOMPARE(countLines(QStringLiteral("WinFinder::on_find_dir_scanned, has content filter")), 1);
        QCOMPARE(countLines(QStringLiteral("*** DONE")), 1);
    }

    void escapeDuringAStreamingSearchEndsWalkAndWorkers()
    {
        WinFinder* win = open(m_big.path());
        QVERIFY(win);
        Area* f = win->findArea();
        win->set_filter_flags(WinFinder::FLAG_CONTENT);
        f->comboContent->setEditText(QStringLiteral("zzzNotThere"));
        QVERIFY(win->treeView()->selectFile(m_big.path(), false));
        HoldWalk hold;
        // The worker takes its time per file, so that Escape lands in the middle however fast
        // the files are read.
        zemFinder::FindThread::beforeFileHook = [](const QString&) { QThread::msleep(5); };
        win->on_find();
        QTRY_COMPARE_WITH_TIMEOUT(hold.held.load(), 1, kWaitMs);
        win->on_escape_key();
        QCOMPARE(win->search_state(), 0u);
        QCOMPARE(f->stacked->currentIndex(), int(Area::PAGE_FIND));
        QTRY_VERIFY_WITH_TIMEOUT(!win->is_search_busy(), kWaitMs);
        zemFinder::FindThread::beforeFileHook = nullptr;
        QTest::qWait(50);  // room for a late end of the stopped search
        QCOMPARE(win->search_state(), 0u);
        QVERIFY(f->zemFind.files_searched() < 200);
    }

    // --- Closing and quitting while work runs ---

    void closeDuringAStreamingSearchEndsPromptly()
    {
        WinFinder* win = open(m_big.path());
        QVERIFY(win);
        Area* f = win->findArea();
        win->set_filter_flags(WinFinder::FLAG_CONTENT);
        f->comboContent->setEditText(QStringLiteral("zzzNotThere"));
        QVERIFY(win->treeView()->selectFile(m_big.path(), false));
        HoldWalk hold;
        win->on_find();
        QTRY_COMPARE_WITH_TIMEOUT(hold.held.load(), 1, kWaitMs);
        QPointer<WinFinder> guard = win;
        QElapsedTimer t;
        t.start();
        win->close();
        flushDeletes();
        const qint64 ms = t.elapsed();
        QVERIFY(!guard);
        QVERIFY2(ms < kPromptMs, qPrintable(QString::number(ms)));
    }

    void closeDuringScanEndsPromptly()
    {
        WinFinder* win = openForFileSearch();
        QVERIFY(win);
        HoldScans hold;
        win->on_find();
        QTRY_COMPARE_WITH_TIMEOUT(hold.held.load(), 1, kWaitMs);
        QPointer<WinFinder> guard = win;
        QElapsedTimer t;
        t.start();
        win->close();
        flushDeletes();
        const qint64 ms = t.elapsed();
        qInfo("close during a scan: %lld ms", ms);
        QVERIFY(!guard);
        QCOMPARE(hold.stopped.load(), 1);
        QVERIFY2(ms < kPromptMs, qPrintable(QString::number(ms)));
    }

    void quitDuringScanAndDeepCountEndsPromptly()
    {
        WinFinder* win = openForFileSearch();
        QVERIFY(win);
        // "Deep Info" of the folder shown beside the tree, held at its first entry.
        QTRY_VERIFY_WITH_TIMEOUT(win->previewDirectory() != nullptr, kWaitMs);
        HoldCount count;
        win->previewDirectory()->onDeepInfo();
        QTRY_VERIFY_WITH_TIMEOUT(count.held.load() >= 1, kWaitMs);
        HoldScans hold;
        win->on_find();
        QTRY_COMPARE_WITH_TIMEOUT(hold.held.load(), 1, kWaitMs);

        QElapsedTimer t;
        qint64 quitMs = -1;
        const int rc = execWith([&t, &quitMs] {
            t.start();
            WinFinder::quit_the_app();
            quitMs = t.elapsed();
        });
        flushDeletes();
        const qint64 ms = t.elapsed();
        qInfo("quit during a scan and a deep count: %lld ms to leave the loop, %lld ms with the windows deleted",
              quitMs, ms);
        QCOMPARE(rc, 0);
        QCOMPARE(hold.stopped.load(), 1);
        QCOMPARE(count.cancelled.load(), 1);
        QVERIFY(zem::KernelGUI::kernelGui()->windows().isEmpty());
        QVERIFY2(ms < kPromptMs, qPrintable(QString::number(ms)));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestSearchRoad test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_search_road.moc"
