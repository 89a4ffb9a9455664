// The content workers and the command's expression: a stop inside one huge file, lines skipped
// by the match limit in the workers' counters and the log, blanks kept in regular expressions.
// The streaming road (walk feeding the workers through a bounded queue): the same results as a
// plain recursive listing and the content filter, in walk order with one thread; a full queue
// with a slow worker; a stop during the walk and inside a huge file; a folder that goes away
// during the walk and a file deleted between walk and read.
#include "Logger.h"
#include "TestDir.h"
#include "XLineReaderDA.h"
#include "XLineStats.h"
#include "XThread.h"
#include "find/FindThread.h"
#include "find/SearchCommand.h"
#include "find/SearchRoad.h"
#include "find/ThreadControllerFind.h"
#include "find/ZemFind.h"

#include "CommandLine.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QtTest>
#include <atomic>
#include <map>

using namespace zemFinder;

namespace {
constexpr int kWaitMs = 120000;  // an upper bound for a hung search, not a timing expectation

zem::find::XContentFilter regexFilter(const QString& text, quint32 scope = 0)
{
    zem::find::XContentFilter filter(scope);
    filter.createSymbols(text, true);
    return filter;
}

bool waitForEnd(ZemFind& zf, std::atomic<int>& fired)
{
    return QTest::qWaitFor([&] { return fired.load() > 0 && !zf.isBusy(); }, kWaitMs);
}

// Searches files with zf as it is set up; log: the lines logged meanwhile. False when the
// search did not end in time.
bool searchLogged(ZemFind& zf, std::vector<const QFileInfo*> files, QStringList& log)
{
    zf.prepareFiles(files);
    std::atomic<int> fired{0};
    zf.finishedListener.set([&] { ++fired; });
    zem::Logger::startCapture();
    zf.start_search();
    const bool ended = waitForEnd(zf, fired);
    log = zem::Logger::capturedLines();
    zem::Logger::stopCapture();
    zf.finishedListener.clear();
    return ended;
}

// The content filter the command builds from these arguments, or an error text.
QString commandFilter(const QStringList& args, zem::find::XContentFilter& filter)
{
    TestDir dir;
    zem::CommandLine line(QStringList{QStringLiteral("search"), QStringLiteral("--dir"), dir.path()} + args);
    SearchRun::Options options;
    QString error;
    if (!SearchCommand::buildOptions(line, options, error))
        return error;
    filter = options.filter.contentFilter();
    return QString();
}
using Hits = std::map<QString, std::size_t>;

// One search on the streaming road, waited for to its end (walk and workers).
struct RoadRun {
    SearchRoad road;
    ZemFind zemFind;
    zem::find::XFilter filter;
    std::atomic<int> walked{0};
    std::atomic<int> found{0};

    RoadRun(const QString& text, const QString& pattern = QString())
    {
        filter.setContentFilter(regexFilter(text));
        if (!pattern.isEmpty())
            filter.fileFilter().setPattern(pattern, false);
        road.finishedListener.set([this] { ++walked; });
        road.finishedListener.setEnabled(true);
        zemFind.finishedListener.set([this] { ++found; });
    }
    ~RoadRun() { FindThread::beforeFileHook = nullptr; }

    bool start(const QString& folder, quint32 threads, bool hidden = true, std::size_t capacity = 4096)
    {
        SearchRoad::Settings settings;
        settings.folder = folder;
        settings.filter = &filter;
        settings.hidden = hidden;
        settings.threads = threads;
        settings.queueCapacity = capacity;
        return road.start(settings, zemFind);
    }
    bool waitForEnd()
    {
        return QTest::qWaitFor([this] { return walked > 0 && found > 0 && !road.isBusy() && !zemFind.isBusy(); },
                               kWaitMs);
    }
    Hits hits() const
    {
        Hits all;
        for (const FileResult& result : const_cast<ZemFind&>(zemFind).results())
            all[result.fileInfo.absoluteFilePath()] = result.countHits();
        return all;
    }
};

// The reference: every file of a plain recursive listing that passes the name pattern, searched
// whole by the content filter.
Hits plainSearch(const QString& folder, const QString& text, const QString& pattern = QString())
{
    zem::XFileFilter names;
    if (!pattern.isEmpty())
        names.setPattern(pattern, false);
    zem::find::XContentFilter content = regexFilter(text);
    Hits all;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!names.matchName(it.fileName()))
            continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.readAll();
        content.seekHome();
        const std::size_t n = content.find(0, bytes.constData(), bytes.size()).size();
        if (n > 0)
            all[QFileInfo(path).absoluteFilePath()] = n;
    }
    return all;
}

// Folders with files of many kinds: hits in some, none in others, hidden ones, empty ones.
void makeTree(const TestDir& dir, int folders, int filesPerFolder)
{
    for (int d = 0; d < folders; ++d) {
        const QString folder = (d % 7 == 3 ? QStringLiteral(".hidden%1/sub").arg(d) : QStringLiteral("f%1/g%2").arg(d % 5).arg(d));
        dir.mkdir(folder);
        for (int i = 0; i < filesPerFolder; ++i) {
            QByteArray text;
            for (int line = 0; line < (i * 7 + d) % 23; ++line)
                text += (line * (i + 1) + d) % 4 == 0 ? "a needle here and needle there\n" : "plain hay\n";
            const char* ext = i % 3 == 0 ? ".txt" : i % 3 == 1 ? ".log" : ".h";
            dir.write(folder + QStringLiteral("/%1file%2%3").arg(i % 9 == 4 ? "." : "").arg(i).arg(ext), text);
        }
    }
}

// The files below folder, hidden ones left out.
QStringList filesOf(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}
} // namespace

class TestContentWorkers : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { zem::Logger::setStderrEnabled(false); }
    void cleanupTestCase() { zem::Logger::setStderrEnabled(true); }

    void stopInsideAHugeFileEndsTheSearch()
    {
        // One sparse file of 16 GiB that never matches: without a stop inside the file the
        // worker would read all of it.
        TestDir dir;
        QFile file(dir.abs(QStringLiteral("huge.log")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("no match at the start\n");
        if (!file.resize(qint64(16) << 30))
            QSKIP("the file system cannot make sparse files");
        file.close();
        const QFileInfo info(file.fileName());
        std::vector<const QFileInfo*> list{&info};

        ZemFind zf;
        zf.setCountThreads(1);
        zf.setContentFilter(regexFilter(QStringLiteral("[xyz]{3}q")));
        zf.prepareFiles(list);
        std::atomic<int> fired{0};
        zf.finishedListener.set([&] { ++fired; });
        zf.start_search();
        QTest::qWait(100);
        QVERIFY(zf.isRunning());
        QElapsedTimer timer;
        timer.start();
        zf.stop_search();
        QVERIFY(waitForEnd(zf, fired));
        QCOMPARE(fired.load(), 1);
        // The file left halfway gives no result, and was not read to its end.
        QVERIFY(!zf.has_results());
        QVERIFY(zf.bytes_read() > 0);
        QVERIFY(zf.lines_read() < 1000);
        zf.finishedListener.clear();
    }

    void skippedLinesAreCountedAndNamed()
    {
        QByteArray words;
        while (words.size() < 60 * 1024)
            words += "word ";
        TestDir dir;
        const QString path = dir.write(QStringLiteral("evil.txt"), words + "!\nmatching line\n" + words + "?\nlast\n");
        const QFileInfo evil(path);
        const QFileInfo fine(dir.write(QStringLiteral("fine.txt"), "good line\n"));
        ZemFind zf;
        zf.setCountThreads(2);
        zf.setContentFilter(regexFilter(QStringLiteral("^(\\w+ ?)*$")));
        QStringList log;
        QVERIFY(searchLogged(zf, {&evil, &fine}, log));

        QCOMPARE(zf.lines_skipped(), quint64(2));
        QCOMPARE(zf.count_files_with_hits(), std::size_t(2));
        QCOMPARE(zf.count_hits(), quint32(3));  // "matching line", "last", "good line"
        QCOMPARE(log.filter(QStringLiteral("XContentFilter::find, <<<%1>>> line 1 skipped").arg(path)).size(), 1);
        QCOMPARE(log.filter(QStringLiteral("XContentFilter::find, <<<%1>>> line 3 skipped").arg(path)).size(), 1);
    }

    void skippedLinesOfABigFileAreNamedByTheirLine()
    {
        // Searched window by window, with lines not counted on the way: a skipped line's
        // number is counted when it is logged, the same as in a file read whole.
        QByteArray words;
        while (words.size() < 60 * 1024)
            words += "word ";
        QByteArray plain;
        for (int i = 1; i <= 70000; ++i)
            plain += "plain line " + QByteArray::number(i) + (i % 2 ? "\n" : "\r\n");
        TestDir dir;
        const QString path = dir.write(QStringLiteral("big.txt"),
                                       plain + words + "Zend!\nmatching Zend\n" + plain + words + "Zend?\nlast Zend\n");
        QVERIFY(QFileInfo(path).size() > 2 * zem::XLineReaderDA::kDefaultMapThreshold);
        const QFileInfo big(path);
        const QFileInfo other(dir.write(QStringLiteral("other.txt"), "no\n"));
        const zem::find::XContentFilter filter = regexFilter(QStringLiteral("^(\\w+ ?)*Zend$"));
        QVERIFY(filter.searchesInWindows());

        for (quint32 threads : {1u, 2u}) {
            ZemFind zf;
            zf.setCountThreads(threads);
            zf.setContentFilter(filter);
            QStringList log;
            QVERIFY(searchLogged(zf, {&big, &other}, log));

            QCOMPARE(zf.lines_skipped(), quint64(2));
            QCOMPARE(zf.count_hits(), quint32(2));  // "matching Zend", "last Zend"
            QCOMPARE(log.filter(QStringLiteral("XContentFilter::find, <<<%1>>> line 70001 skipped").arg(path)).size(), 1);
            QCOMPARE(log.filter(QStringLiteral("XContentFilter::find, <<<%1>>> line 140003 skipped").arg(path)).size(), 1);
        }
    }

    void streamingFindsWhatAPlainListingFinds_data()
    {
        QTest::addColumn<quint32>("threads");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("one thread") << quint32(1) << QString();
        QTest::newRow("three threads") << quint32(3) << QString();
        QTest::newRow("three threads, *.txt,*.h") << quint32(3) << QStringLiteral("*.txt,*.h");
    }
    void streamingFindsWhatAPlainListingFinds()
    {
        QFETCH(quint32, threads);
        QFETCH(QString, pattern);
        TestDir dir;
        makeTree(dir, 30, 20);
        const Hits expected = plainSearch(dir.path(), QStringLiteral("needle"), pattern);
        QVERIFY(expected.size() > 20);

        RoadRun run(QStringLiteral("needle"), pattern);
        QVERIFY(run.start(dir.path(), threads));
        QVERIFY(run.waitForEnd());
        QVERIFY(run.road.isStreaming());
        QCOMPARE(run.hits(), expected);
        int all = 0;
        QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            ++all;
        }
        QCOMPARE(run.road.stats.countFiles.get(), quint64(all));
    }

    void bigFilesAreSearchedInWindowsLikeWholeOnes()
    {
        // Files past the window threshold are read piece by piece: hits across the pieces' edges,
        // CRLF lines and a line longer than a read are found as in the whole file.
        TestDir dir;
        QByteArray big;
        for (int i = 0; big.size() < 3 * 1024 * 1024; ++i) {
            big += "line " + QByteArray::number(i) + (i % 7 == 0 ? " needle" : "") + (i % 3 == 0 ? "\r\n" : "\n");
            if (i == 20000)
                big += QByteArray(600 * 1024, 'n') + " needle at the end of a long line\n";
        }
        dir.write(QStringLiteral("big.log"), big);
        dir.write(QStringLiteral("small.txt"), "a needle\n");
        for (const QString& expr : {QStringLiteral("needle"), QStringLiteral("[a-z]eedle")}) {
            const Hits expected = plainSearch(dir.path(), expr);
            QCOMPARE(expected.size(), std::size_t(2));
            RoadRun run(expr);
            QVERIFY(run.filter.contentFilter().searchesInWindows());
            QVERIFY(run.start(dir.path(), 2));
            QVERIFY(run.waitForEnd());
            QCOMPARE(run.hits(), expected);
            // The big file's lines are not counted: that would be a pass of its own.
            QCOMPARE(run.zemFind.lines_read(), quint64(1));
            QCOMPARE(run.zemFind.bytes_read(), quint64(big.size() + 9));
        }
    }

    void oneThreadGivesTheResultsInWalkOrder()
    {
        TestDir dir;
        makeTree(dir, 12, 15);
        zem::find::XFilter none;
        zem::XDirInfo walk;
        walk.setThreads(1);
        walk.setHiddenFiles(true);
        QVERIFY(walk.scan_dir(dir.path()));
        walk.setup_filtered_files(none, true);
        const Hits expected = plainSearch(dir.path(), QStringLiteral("needle"));
        QStringList order;
        for (const QFileInfo* file : walk.get_view_filtered_files())
            if (expected.count(file->absoluteFilePath()))
                order << file->absoluteFilePath();

        RoadRun run(QStringLiteral("needle"));
        QVERIFY(run.start(dir.path(), 1));
        QVERIFY(run.waitForEnd());
        QStringList got;
        for (const FileResult& result : run.zemFind.results())
            got << result.fileInfo.absoluteFilePath();
        QCOMPARE(got, order);
    }

    void fullQueueWithASlowWorkerLosesNothing()
    {
        TestDir dir;
        makeTree(dir, 6, 25);
        const Hits expected = plainSearch(dir.path(), QStringLiteral("needle"));
        RoadRun run(QStringLiteral("needle"));
        // The walk is far ahead of a worker that takes a millisecond per file: with room for two
        // paths it waits at every file.
        std::atomic<int> seen{0};
        FindThread::beforeFileHook = [&](const QString&) {
            ++seen;
            QThread::msleep(1);
        };
        QVERIFY(run.start(dir.path(), 1, true, 2));
        QVERIFY(run.waitForEnd());
        QCOMPARE(run.hits(), expected);
        QCOMPARE(quint64(seen.load()), run.road.stats.countFilesMatch);
        QCOMPARE(run.zemFind.count_files(), std::size_t(seen.load()));
    }

    void stopDuringTheWalkEndsWalkAndWorkers()
    {
        TestDir dir;
        makeTree(dir, 10, 20);
        RoadRun run(QStringLiteral("needle"));
        // The only worker holds its first file until the stop: the walk meanwhile fills the
        // queue and waits for room.
        std::atomic<bool> stopped{false};
        std::atomic<int> seen{0};
        FindThread::beforeFileHook = [&](const QString&) {
            ++seen;
            QElapsedTimer held;
            held.start();
            while (!stopped && held.elapsed() < kWaitMs)
                QThread::msleep(1);
        };
        QVERIFY(run.start(dir.path(), 1, true, 3));
        QVERIFY(QTest::qWaitFor([&] { return seen.load() > 0; }, kWaitMs));
        QVERIFY(run.road.isBusy());
        run.road.stop();
        run.zemFind.stop_search();
        stopped = true;
        QVERIFY(run.waitForEnd());
        QVERIFY(run.road.dirInfo.isStopped());
        QCOMPARE(seen.load(), 1);
        QVERIFY(run.road.stats.countFilesMatch < quint64(filesOf(dir.path()).size()));
    }

    void stopInsideAHugeFileOnTheRoad()
    {
        TestDir dir;
        dir.write(QStringLiteral("a/small.txt"), "no\n");
        QFile file(dir.abs(QStringLiteral("a/huge.log")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("no match at the start\n");
        if (!file.resize(qint64(16) << 30))
            QSKIP("the file system cannot make sparse files");
        file.close();
        RoadRun run(QStringLiteral("[xyz]{3}q"));
        QVERIFY(run.start(dir.path(), 2));
        // The huge file counts its size when the worker opens it.
        QVERIFY(QTest::qWaitFor([&] { return run.zemFind.bytes_read() > (quint64(1) << 30) && !run.road.isBusy(); },
                                kWaitMs));
        QVERIFY(run.zemFind.isRunning());
        run.road.stop();
        run.zemFind.stop_search();
        QVERIFY(run.waitForEnd());
        QVERIFY(!run.zemFind.has_results());
        QVERIFY(run.zemFind.lines_read() < 1000);
    }

    void folderGoneDuringTheWalkIsSkipped()
    {
        TestDir dir;
        for (const char* folder : {"a", "b", "c"})
            for (int i = 0; i < 4; ++i)
                dir.write(QStringLiteral("%1/n%2.txt").arg(QLatin1String(folder)).arg(i), "needle\n");
        RoadRun run(QStringLiteral("needle"));
        // The first file comes from "a"; the walk cannot read "b" before the worker lets it on.
        std::atomic<bool> removed{false};
        FindThread::beforeFileHook = [&](const QString&) {
            if (!removed.exchange(true))
                QDir(dir.abs(QStringLiteral("b"))).removeRecursively();
        };
        QVERIFY(run.start(dir.path(), 1, true, 1));
        QVERIFY(run.waitForEnd());
        QCOMPARE(run.hits(), plainSearch(dir.path(), QStringLiteral("needle")));
        QCOMPARE(run.hits().size(), std::size_t(8));
        QCOMPARE(run.road.dirInfo.countSkippedDirs(), quint64(1));
    }

    void fileDeletedBetweenWalkAndReadIsSkipped()
    {
        TestDir dir;
        for (int i = 0; i < 6; ++i)
            dir.write(QStringLiteral("d/n%1.txt").arg(i), "needle\n");
        const QString gone = dir.write(QStringLiteral("d/gone.txt"), "needle\n");
        RoadRun run(QStringLiteral("needle"));
        FindThread::beforeFileHook = [&](const QString& path) {
            if (path == gone)
                QFile::remove(path);
        };
        zem::Logger::startCapture();
        QVERIFY(run.start(dir.path(), 2));
        QVERIFY(run.waitForEnd());
        const QStringList log = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        QCOMPARE(run.hits().size(), std::size_t(6));
        QVERIFY(!run.hits().count(gone));
        QCOMPARE(log.filter(QStringLiteral("FindThread::runCustom, problems with <<<%1>>>").arg(gone)).size(), 1);
    }

    void commandKeepsBlanksOfARegularExpression()
    {
        const QByteArray text = "ab\na b\n";
        zem::find::XContentFilter f;
        QCOMPARE(commandFilter({QStringLiteral("--content"), QStringLiteral(" b"), QStringLiteral("--regex")}, f), QString());
        QCOMPARE(f.text(), QStringLiteral(" b"));
        QCOMPARE(int(f.find(0, text.constData(), text.size()).size()), 1);

        QCOMPARE(commandFilter({QStringLiteral("--content"), QStringLiteral(" *b"), QStringLiteral("--regex"),
                                QStringLiteral("--scope"), QStringLiteral("File")}, f),
                 QString());
        QCOMPARE(int(f.find(0, text.constData(), text.size()).size()), 2);

        // A simple expression is still trimmed.
        QCOMPARE(commandFilter({QStringLiteral("--content"), QStringLiteral("  b  ")}, f), QString());
        QCOMPARE(f.terms(), QStringList{QStringLiteral("b")});
    }

    void commandRefusesAnUnknownVerb()
    {
        zem::find::XContentFilter f;
        const QString error = commandFilter({QStringLiteral("--content"), QStringLiteral("(*BOGUS)a"), QStringLiteral("--regex")}, f);
        QVERIFY2(error.startsWith(QStringLiteral("bad expression '(*BOGUS)a'")), qPrintable(error));
        zem::find::XContentFilter g;
        QCOMPARE(commandFilter({QStringLiteral("--content"), QStringLiteral("(*NO_JIT)b"), QStringLiteral("--regex")}, g), QString());
        const QByteArray text = "ab\nb\n";
        QCOMPARE(int(g.find(0, text.constData(), text.size()).size()), 2);
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QCoreApplication app(argc, argv);
    TestContentWorkers test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_content_workers.moc"
