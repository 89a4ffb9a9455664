// The content search end to end: scan a generated tree, hand the list to ZemFind, wait for the
// finished event on the application thread.
#include "find/FindThread.h"
#include "Logger.h"
#include "find/ThreadControllerFind.h"
#include "XDirInfo.h"
#include "XThread.h"
#include "find/ZemFind.h"
#include "find/XFilter.h"
#include "TestDir.h"

#include <QtTest>
#include <sys/stat.h>
#include <atomic>

using namespace zemFinder;

namespace {
constexpr int kWaitMs = 120000;  // an upper bound for a hung search, not a timing expectation

zem::find::XContentFilter contentFilter(const QString& text, bool regEx = false, quint32 scope = 0)
{
    zem::find::XContentFilter filter(scope);
    filter.createSymbols(text, regEx);
    return filter;
}

// A file with `hits` lines holding "needle" among other lines.
QByteArray needles(int hits, int padLines = 3)
{
    QByteArray bytes;
    for (int i = 0; i < hits; ++i) {
        for (int p = 0; p < padLines; ++p)
            bytes += "some hay without the word\n";
        bytes += "a needle here\n";
    }
    bytes += "the end\n";
    return bytes;
}

// Runs one search and waits for its finished event; returns how often the event fired.
int runAndWait(ZemFind& zf)
{
    std::atomic<int> fired{0};
    zf.finishedListener.set([&] { ++fired; });
    zf.start_search();
    const bool ended = QTest::qWaitFor([&] { return fired.load() > 0 && !zf.isBusy(); }, kWaitMs);
    // Let a second, wrong event show itself.
    QCoreApplication::processEvents();
    zf.finishedListener.clear();
    return ended ? fired.load() : -1;
}

// Runs a search and returns the log lines it wrote; fired: how often its end was reported.
QStringList runLogged(ZemFind& zf, int& fired)
{
    zem::Logger::startCapture();
    fired = runAndWait(zf);
    const QStringList log = zem::Logger::capturedLines();
    zem::Logger::stopCapture();
    return log;
}

QStringList resultPaths(const std::vector<FileResult>& results)
{
    QStringList paths;
    for (const FileResult& r : results)
        paths << r.fileInfo.filePath();
    return paths;
}

bool capturedContains(const QStringList& lines, const QString& part)
{
    for (const QString& line : lines)
        if (line.contains(part))
            return true;
    return false;
}
} // namespace

class TestFindSearch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { zem::Logger::setStderrEnabled(false); }
    void cleanupTestCase() { zem::Logger::setStderrEnabled(true); }

    void findsHitsInEveryMatchingFile()
    {
        TestDir dir;
        dir.write("a.txt", needles(3));
        dir.write("sub/b.txt", needles(1));
        dir.write("sub/deep/c.txt", needles(5));
        dir.write("none.txt", "nothing to see\n");
        dir.write("empty.txt", "");
        zem::XDirInfo scan;
        QVERIFY(scan.scan_dir(dir.path()));
        scan.setup_filtered_files(zem::find::XFilter(), true);

        ZemFind zf;
        zf.setCountThreads(3);
        zf.setContentFilter(contentFilter(QStringLiteral("needle")));
        zem::Logger::startCapture();
        zf.prepareFiles(scan.take_filtered_files());
        QCOMPARE(runAndWait(zf), 1);
        const QStringList log = zem::Logger::capturedLines();
        zem::Logger::stopCapture();

        QCOMPARE(zf.count_files(), std::size_t(5));
        QCOMPARE(zf.files_searched(), quint64(5));
        QCOMPARE(zf.count_files_with_hits(), std::size_t(3));
        QCOMPARE(zf.count_hits(), quint64(9));
        QCOMPARE(zf.bytes_read(), zf.bytes_to_read());
        QCOMPARE(zf.progress_percent(), 100);
        QVERIFY(zf.lines_read() > 0);
        QVERIFY(capturedContains(log, QStringLiteral("ZemFind2::prepareFiles, arTextFiles:5")));
        QVERIFY(capturedContains(log, QStringLiteral("ThreadControllerFind::ini, max_thread:3")));
        QVERIFY(capturedContains(log, QStringLiteral("ThreadControllerFind::~runCustom, file hits:3")));

        const std::vector<FileResult> taken = zf.take_results();
        QCOMPARE(taken.size(), std::size_t(3));
        QVERIFY(!zf.has_results());
        for (const FileResult& r : taken) {
            QVERIFY(bool(r));
            QCOMPARE(r.toString(), QString::number(r.layer.size()));
        }
    }

    void oneThreadGivesScanOrder()
    {
        TestDir dir;
        for (int i = 0; i < 12; ++i)
            dir.write(QStringLiteral("d%1/f%2.txt").arg(i % 4).arg(i), needles(1 + i % 3));
        zem::XDirInfo scan;
        QVERIFY(scan.scan_dir(dir.path()));
        scan.setup_filtered_files(zem::find::XFilter(), true);
        QStringList scanOrder;
        for (const QFileInfo* file : scan.get_view_filtered_files())
            scanOrder << file->filePath();

        ZemFind zf;
        zf.setCountThreads(1);
        zf.setContentFilter(contentFilter(QStringLiteral("needle")));
        zf.prepareFiles(scan.take_filtered_files());
        QCOMPARE(runAndWait(zf), 1);
        QCOMPARE(resultPaths(zf.results()), scanOrder);
    }

    void emptyListStillEndsWithTheFinishedEvent()
    {
        ZemFind zf;
        zf.setCountThreads(4);
        zf.setContentFilter(contentFilter(QStringLiteral("needle")));
        zf.prepareFiles(std::vector<const QFileInfo*>());
        zem::Logger::startCapture();
        QCOMPARE(runAndWait(zf), 1);
        const QStringList log = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        QCOMPARE(zf.count_files_with_hits(), std::size_t(0));
        QCOMPARE(zf.count_hits(), quint64(0));
        QCOMPARE(zf.progress_percent(), 0);
        QVERIFY(capturedContains(log, QStringLiteral("ThreadControllerFind::~runCustom, file hits:0")));
    }

    void fileDeletedBetweenScanAndSearchIsSkipped()
    {
        TestDir dir;
        dir.write("keep.txt", needles(2));
        const QString gone = dir.write("gone.txt", needles(4));
        zem::XDirInfo scan;
        QVERIFY(scan.scan_dir(dir.path()));
        scan.setup_filtered_files(zem::find::XFilter(), true);
        QVERIFY(QFile::remove(gone));

        ZemFind zf;
        zf.setCountThreads(2);
        zf.setContentFilter(contentFilter(QStringLiteral("needle")));
        zf.prepareFiles(scan.take_filtered_files());
        int fired = 0;
        const QStringList log = runLogged(zf, fired);
        QCOMPARE(fired, 1);
        QCOMPARE(zf.count_files_with_hits(), std::size_t(1));
        QCOMPARE(zf.results().front().fileInfo.fileName(), QStringLiteral("keep.txt"));
        QVERIFY(capturedContains(log, QStringLiteral("FindThread::runCustom, problems with <<<") + gone)
                || capturedContains(log, QStringLiteral("FindThread::runCustom, IS NOT A FILE <<<") + gone));
    }

    // Entries that turned into something else than a file after the scan: a folder and a
    // FIFO (whose open would wait for a writer) are passed over, the search ends.
    void nonFilesInTheListArePassedOver()
    {
        TestDir dir;
        dir.write("keep.txt", needles(2));
        const QString fifo = dir.abs("pipe.txt");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        dir.mkdir("folder.txt");
        const QFileInfo infos[] = {QFileInfo(dir.abs("keep.txt")), QFileInfo(fifo), QFileInfo(dir.abs("folder.txt"))};
        std::vector<const QFileInfo*> files = {&infos[1], &infos[0], &infos[2]};

        ZemFind zf;
        zf.setCountThreads(1);
        zf.setContentFilter(contentFilter(QStringLiteral("needle")));
        zf.prepareFiles(std::move(files), 0);
        int fired = 0;
        const QStringList log = runLogged(zf, fired);
        QCOMPARE(fired, 1);
        QCOMPARE(zf.count_files_with_hits(), std::size_t(1));
        QCOMPARE(zf.results().front().fileInfo.fileName(), QStringLiteral("keep.txt"));
        QCOMPARE(zf.files_searched(), quint64(1));
        QVERIFY(capturedContains(log, QStringLiteral("FindThread::runCustom, IS NOT A FILE <<<") + fifo));
    }

    void stopDuringASearchThenANewSearchRunsWhole()
    {
        TestDir dir;
        const int files = 300;
        for (int i = 0; i < files; ++i)
            dir.write(QStringLiteral("f%1.txt").arg(i, 3, 10, QLatin1Char('0')), needles(2, 2000));
        zem::XDirInfo scan;
        QVERIFY(scan.scan_dir(dir.path()));
        scan.setup_filtered_files(zem::find::XFilter(), true);

        ZemFind zf;
        zf.setCountThreads(1);
        zf.setContentFilter(contentFilter(QStringLiteral("needle")));
        zf.prepareFiles(scan.take_filtered_files());

        std::atomic<int> fired{0};
        zf.finishedListener.set([&] { ++fired; });
        zf.start_search();
        zf.stop_search();  // Escape
        QVERIFY(QTest::qWaitFor([&] { return fired.load() > 0 && !zf.isBusy(); }, kWaitMs));
        QCOMPARE(fired.load(), 1);
        QVERIFY(!zf.isRunning());
        QVERIFY(zf.count_files_with_hits() <= std::size_t(files));

        // The same object, the same list: a normal search afterwards.
        zf.finishedListener.clear();
        QCOMPARE(runAndWait(zf), 1);
        QCOMPARE(zf.count_files_with_hits(), std::size_t(files));
        QCOMPARE(zf.count_hits(), quint64(2 * files));
    }

    void secondStartStopsTheRunningSearch()
    {
        TestDir dir;
        for (int i = 0; i < 50; ++i)
            dir.write(QStringLiteral("f%1.txt").arg(i), needles(1, 500));
        zem::XDirInfo scan;
        QVERIFY(scan.scan_dir(dir.path()));
        scan.setup_filtered_files(zem::find::XFilter(), true);
        ZemFind zf;
        zf.setCountThreads(1);
        zf.setContentFilter(contentFilter(QStringLiteral("needle")));
        zf.prepareFiles(scan.take_filtered_files());

        std::atomic<int> fired{0};
        zf.finishedListener.set([&] { ++fired; });
        zem::Logger::startCapture();
        zf.start_search();
        const bool wasRunning = zf.isRunning();
        zf.start_search();
        const QStringList log = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        QVERIFY(QTest::qWaitFor([&] { return fired.load() > 0 && !zf.isBusy(); }, kWaitMs));
        QCOMPARE(fired.load(), 1);
        if (wasRunning)
            QVERIFY(capturedContains(log, QStringLiteral("ZemFind2::start_search - RUNNING")));
        QVERIFY(!zf.isRunning());
    }

    void stopWhileIdleOnlyLogs()
    {
        ZemFind zf;
        zem::Logger::startCapture();
        zf.stop_search();
        const QStringList log = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        QVERIFY(capturedContains(log, QStringLiteral("ZemFind::stop_search - not running")));
    }

    void sumsAboveFourGiBDoNotOverflow()
    {
        TestDir dir;
        // Sparse files: large sizes, no blocks on disk, never read here.
        std::vector<QFileInfo> infos;
        const qint64 twoGiB = qint64(2) << 30;
        for (int i = 0; i < 3; ++i) {
            QFile f(dir.abs(QStringLiteral("big%1.bin").arg(i)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            if (!f.resize(twoGiB))
                QSKIP("the file system cannot make sparse files");
            f.close();
            infos.emplace_back(f.fileName());
        }
        std::vector<const QFileInfo*> list;
        for (const QFileInfo& info : infos)
            list.push_back(&info);

        ZemFind zf;
        zf.setCountThreads(2);
        zf.prepareFiles(list);
        QVERIFY(list.empty());
        QCOMPARE(zf.bytes_to_read(), quint64(3) * quint64(twoGiB));

        // The progress read-outs with counters as workers would leave them.
        zf.controller()->ini(&zf);
        QCOMPARE(zf.controller()->workers().size(), std::size_t(2));
        zf.controller()->workers()[0]->stats.countBytes = quint64(3) << 29;  // 1.5 GiB
        zf.controller()->workers()[1]->stats.countBytes = quint64(3) << 30;  // 3 GiB
        QCOMPARE(zf.bytes_read(), quint64(9) << 29);
        QCOMPARE(zf.progress_percent(), 75);
        QCOMPARE(ZemFind::progress_percent(quint64(5) << 30, quint64(6) << 30), 83);
        QCOMPARE(ZemFind::progress_percent(quint64(7) << 30, quint64(6) << 30), 100);
        QCOMPARE(ZemFind::progress_percent(~quint64(0), ~quint64(0)), 100);
        QCOMPARE(ZemFind::progress_percent(12, 0), 0);
    }

    void sixtyFourWorkersWithAScanBesideFinish()
    {
        TestDir dir;
        for (int i = 0; i < 200; ++i)
            dir.write(QStringLiteral("s%1/f%2.txt").arg(i % 10).arg(i), needles(1 + i % 2));
        zem::XDirInfo scan;
        QVERIFY(scan.scan_dir(dir.path()));
        scan.setup_filtered_files(zem::find::XFilter(), true);

        // Other pool work beside the search: scans of the same tree until the search ended.
        std::atomic<bool> searchDone{false};
        std::atomic<int> besideScans{0};
        for (int job = 0; job < 2; ++job)
            zem::XThreadPool::start_global([&] {
                while (!searchDone.load()) {
                    zem::XDirInfo other;
                    other.scan_dir(dir.path());
                    other.setup_filtered_files(zem::find::XFilter(), true);
                    ++besideScans;
                }
            });

        ZemFind zf;
        zf.setCountThreads(64);
        zf.setContentFilter(contentFilter(QStringLiteral("needle")));
        zf.prepareFiles(scan.take_filtered_files());
        const int fired = runAndWait(zf);
        searchDone = true;
        QVERIFY(zem::XThreadPool::wait_for_all(kWaitMs));
        QCOMPARE(fired, 1);
        QCOMPARE(zf.controller()->workers().size(), std::size_t(64));
        QCOMPARE(zf.count_files_with_hits(), std::size_t(200));
        QCOMPARE(zf.count_hits(), quint64(300));
    }

    void perFileStep()
    {
        TestDir dir;
        const QString hit = dir.write("hit.txt", needles(4));
        const QString empty = dir.write("empty.txt", "");
        const QString folder = dir.mkdir("folder");
        ZemFind zf;
        zem::find::XContentFilter filter = contentFilter(QStringLiteral("needle"));

        const FileResult r = zf.find(QFileInfo(hit), filter);
        QCOMPARE(r.layer.size(), std::size_t(4));
        QCOMPARE(r.fileInfo.filePath(), hit);
        QCOMPARE(filter.position(), qint64(0));

        const FileResult e = zf.find(QFileInfo(empty), filter);
        QVERIFY(!e);
        QVERIFY(e.fileInfo.filePath().isEmpty());
        QCOMPARE(e.toString(), QStringLiteral("not-valid"));

        zem::Logger::startCapture();
        const FileResult f = zf.find(QFileInfo(folder), filter);
        const QStringList log = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        QVERIFY(!f);
        QVERIFY(capturedContains(log, QStringLiteral("ZemFind::find, IS NOT A FILE <<<")));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QCoreApplication app(argc, argv);
    TestFindSearch test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_find_search.moc"
