// The folder scanner: hidden entries, links, unreadable entries, the stop flag, counters and the
// filtered list.
#include "Logger.h"
#include "XDirInfo.h"
#include "XPathQueue.h"
#include "find/XFilter.h"
#include "DeepTree.h"
#include "TestDir.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <mutex>
#include <QSet>
#include <QtTest>
#include <atomic>
#include <thread>
#include <unistd.h>

using namespace zem;

namespace {
QStringList namesOf(const std::vector<const QFileInfo*>& view)
{
    QStringList names;
    for (const QFileInfo* info : view)
        names << info->fileName();
    return names;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

bool capturedContains(const QStringList& lines, const QString& part)
{
    for (const QString& line : lines)
        if (line.contains(part))
            return true;
    return false;
}

// a.txt, b.log, sub/c.txt, sub/deeper/d.txt, empty/
void makeSmallTree(const TestDir& dir)
{
    dir.write("a.txt", "alpha\n");
    dir.write("b.log", "bravo bravo\n");
    dir.write("sub/c.txt", "charlie\n");
    dir.write("sub/deeper/d.txt", QByteArray(1000, 'd'));
    dir.mkdir("empty");
}
} // namespace

class TestDirInfo : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Logger::setStderrEnabled(false); }
    void cleanupTestCase() { Logger::setStderrEnabled(true); }

    void countsFoldersFilesAndBytes()
    {
        TestDir dir;
        makeSmallTree(dir);
        XDirInfo info;
        QVERIFY(info.scan_dir(dir.path()));
        QCOMPARE(info.countDirs(), quint64(4));  // root, sub, sub/deeper, empty
        QCOMPARE(info.countFiles(), quint64(4));
        QCOMPARE(info.countBytes(), quint64(0));  // sizes are read when filtering

        const XFindStats stats = info.setup_filtered_files(find::XFilter(), true);
        QCOMPARE(stats.countFiles.get(), quint64(4));
        QCOMPARE(stats.countFilesMatch, quint64(4));
        QCOMPARE(info.countBytes(), quint64(6 + 12 + 8 + 1000));
        QCOMPARE(stats.countBytes.get(), info.countBytes());
        QCOMPARE(sorted(namesOf(info.get_view_filtered_files())), QStringList({"a.txt", "b.log", "c.txt", "d.txt"}));
        for (const QFileInfo* file : info.get_view_filtered_files()) {
            QVERIFY(file->isAbsolute());
            QVERIFY(file->isFile());
        }
    }

    void filesOfAFolderComeBeforeItsSubfolders()
    {
        TestDir dir;
        dir.write("x/1.txt", "1");
        dir.write("x/y/2.txt", "2");
        dir.write("x/y/z/3.txt", "3");
        dir.write("0.txt", "0");
        XDirInfo info;
        QVERIFY(info.scan_dir(dir.path()));
        info.setup_filtered_files(find::XFilter(), true);
        QCOMPARE(namesOf(info.get_view_filtered_files()), QStringList({"0.txt", "1.txt", "2.txt", "3.txt"}));
    }

    void severalThreadsGiveTheOrderOfOne()
    {
        TestDir dir;
        // More entries than the filtering hands to a single thread, in nested folders.
        for (int d = 0; d < 30; ++d)
            for (int f = 0; f < 90; ++f)
                dir.write(QStringLiteral("d%1/e%2/f%3.txt").arg(d).arg(d % 3).arg(f), "x");
        auto pathsWith = [&](unsigned threads) {
            XDirInfo info;
            info.setThreads(threads);
            if (!info.scan_dir(dir.path()))
                return QStringList();
            info.setup_filtered_files(find::XFilter(), true);
            QStringList paths;
            for (const QFileInfo* file : info.get_view_filtered_files())
                paths << file->filePath();
            return paths;
        };
        const QStringList one = pathsWith(1);
        QCOMPARE(one.size(), 30 * 90);
        QCOMPARE(pathsWith(4), one);
        QCOMPARE(pathsWith(2), one);
    }

    void hiddenEntriesOnlyWithTheFlag()
    {
        TestDir dir;
        dir.write("seen.txt", "s");
        dir.write(".dot.txt", "d");
        dir.write(".hidden/inner.txt", "i");
        dir.write("open/.secret", "x");
        XDirInfo info;
        QVERIFY(info.scan_dir(dir.path()));
        info.setup_filtered_files(find::XFilter(), true);
        QCOMPARE(namesOf(info.get_view_filtered_files()), QStringList({"seen.txt"}));
        QCOMPARE(info.countDirs(), quint64(2));

        info.setHiddenFiles(true);
        QVERIFY(info.scan_dir(dir.path()));
        info.setup_filtered_files(find::XFilter(), true);
        QCOMPARE(sorted(namesOf(info.get_view_filtered_files())),
                 QStringList({".dot.txt", ".secret", "inner.txt", "seen.txt"}));
        QCOMPARE(info.countDirs(), quint64(3));
    }

    void hiddenRootIsStillScanned()
    {
        TestDir dir;
        dir.write(".config/app.conf", "c");
        XDirInfo info;
        QVERIFY(info.scan_dir(dir.abs(".config")));
        info.setup_filtered_files(find::XFilter(), true);
        QCOMPARE(namesOf(info.get_view_filtered_files()), QStringList({"app.conf"}));
    }

    void symlinkLoopsAreNotFollowed()
    {
        TestDir dir;
        dir.write("loop/file.txt", "f");
        dir.write("outside/far.txt", "o");
        QVERIFY(QFile::link("..", dir.abs("loop/up")));
        QVERIFY(QFile::link("self", dir.abs("loop/self")));
        QVERIFY(QFile::link("b", dir.abs("loop/a")));
        QVERIFY(QFile::link("a", dir.abs("loop/b")));
        QVERIFY(QFile::link(dir.abs("outside"), dir.abs("loop/out")));
        QVERIFY(QFile::link("file.txt", dir.abs("loop/alias.txt")));
        QVERIFY(QFile::link("missing.txt", dir.abs("loop/broken.txt")));
        XDirInfo info;
        QVERIFY(info.scan_dir(dir.abs("loop")));
        QCOMPARE(info.countDirs(), quint64(1));
        info.setup_filtered_files(find::XFilter(), true);
        // A link to a file counts as that file; links to folders and broken links do not.
        QCOMPARE(sorted(namesOf(info.get_view_filtered_files())), QStringList({"alias.txt", "file.txt"}));
    }

    void unreadableFolderIsSkippedWithAWarning()
    {
        if (::geteuid() == 0)
            QSKIP("running as root: mode 000 does not keep root out");
        TestDir dir;
        dir.write("ok.txt", "o");
        dir.write("locked/inner.txt", "i");
        QVERIFY(QFile::setPermissions(dir.abs("locked"), QFileDevice::Permissions()));
        Logger::startCapture();
        XDirInfo info;
        const bool done = info.scan_dir(dir.path());
        const QStringList lines = Logger::capturedLines();
        Logger::stopCapture();
        QFile::setPermissions(dir.abs("locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(done);
        QVERIFY(capturedContains(lines, QStringLiteral("XDirInfo::scan_dir, cannot read folder <<<")));
        info.setup_filtered_files(find::XFilter(), true);
        QCOMPARE(namesOf(info.get_view_filtered_files()), QStringList({"ok.txt"}));
    }

    void unreadableFileIsListedByNameSizeAndTime()
    {
        if (::geteuid() == 0)
            QSKIP("running as root: mode 000 does not keep root out (the command test runs this as nobody)");
        TestDir dir;
        dir.write("ok.txt", "o");
        const QString locked = dir.write("locked.txt", "l");
        QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
        find::XFilter sized;
        sized.fileFilter().setSize(XFileFilter::GE, 1, 0);
        for (const bool inWalk : {false, true}) {
            XDirInfo info;
            info.setStatInWalk(inWalk);
            QVERIFY(info.scan_dir(dir.path()));
            info.setup_filtered_files(find::XFilter(), true);
            QCOMPARE(sorted(namesOf(info.get_view_filtered_files())), QStringList({"locked.txt", "ok.txt"}));
            info.setup_filtered_files(sized, true);
            QCOMPARE(sorted(namesOf(info.get_view_filtered_files())), QStringList({"locked.txt", "ok.txt"}));
            QCOMPARE(info.countBytes(), quint64(2));
        }
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void walkThatStatsCountsBytesLive()
    {
        TestDir dir;
        makeSmallTree(dir);
        XDirInfo info;
        info.setStatInWalk(true);
        QVERIFY(info.scan_dir(dir.path()));
        // Before any filtering: every file the walk saw.
        QCOMPARE(info.countBytes(), quint64(6 + 12 + 8 + 1000));
        find::XFilter txt;
        txt.fileFilter().setPattern(QStringLiteral("*.txt"), false);
        info.setup_filtered_files(txt, true);
        QCOMPARE(info.countBytes(), quint64(6 + 8 + 1000));
    }

    void foldersBeyondThePathLimitAreWalked()
    {
        TestDir dir;
        const QByteArray deepFile = deep_tree::make(dir.mkdir("tree"), 25, "needle\n");
        QVERIFY(!deepFile.isEmpty());
        QVERIFY(deepFile.size() > 5000);
        dir.write("tree/top.txt", "t");
        for (const bool inWalk : {false, true}) {
            XDirInfo info;
            info.setStatInWalk(inWalk);
            Logger::startCapture();
            const bool done = info.scan_dir(dir.abs("tree"));
            info.setup_filtered_files(find::XFilter(), true);
            const QStringList lines = Logger::capturedLines();
            Logger::stopCapture();
            QVERIFY(done);
            QVERIFY2(lines.isEmpty(), qPrintable(lines.join('\n')));
            QCOMPARE(info.countDirs(), quint64(26));
            QCOMPARE(info.countSkippedDirs(), quint64(0));
            QCOMPARE(sorted(namesOf(info.get_view_filtered_files())), QStringList({"deep.txt", "top.txt"}));
            QCOMPARE(info.countBytes(), quint64(7 + 1));
            for (const QFileInfo* file : info.get_view_filtered_files())
                if (file->fileName() == QLatin1String("deep.txt"))
                    QCOMPARE(QFile::encodeName(file->filePath()), deepFile);
        }
        deep_tree::clear(dir.path());
    }

    void unreadableRootFails()
    {
        XDirInfo info;
        Logger::startCapture();
        QVERIFY(!info.scan_dir(QStringLiteral("/nonexistent/folder/for/sure")));
        const QStringList lines = Logger::capturedLines();
        Logger::stopCapture();
        QVERIFY(capturedContains(lines, QStringLiteral("XDirInfo::scan_dir, cannot read folder <<<")));
        QCOMPARE(info.countFiles(), quint64(0));
        // Not the current folder either.
        QVERIFY(!info.scan_dir(QString()));
        QCOMPARE(info.countDirs(), quint64(0));
    }

    void fileDeletedAfterTheScanIsSkipped()
    {
        TestDir dir;
        dir.write("stays.txt", "s");
        const QString gone = dir.write("gone.txt", "g");
        XDirInfo info;
        QVERIFY(info.scan_dir(dir.path()));
        QVERIFY(QFile::remove(gone));
        Logger::startCapture();
        info.setup_filtered_files(find::XFilter(), true);
        const QStringList lines = Logger::capturedLines();
        Logger::stopCapture();
        QCOMPARE(namesOf(info.get_view_filtered_files()), QStringList({"stays.txt"}));
        QVERIFY(capturedContains(lines, QStringLiteral("gone.txt")));
    }

    void stopFlagEndsFilteringAndIsClearedByTheNextScan()
    {
        TestDir dir;
        makeSmallTree(dir);
        XDirInfo info;
        QVERIFY(info.scan_dir(dir.path()));
        info.stop();
        QVERIFY(info.isStopped());
        info.setup_filtered_files(find::XFilter(), true);
        QVERIFY(info.get_view_filtered_files().empty());

        QVERIFY(info.scan_dir(dir.path()));
        QVERIFY(!info.isStopped());
        info.setup_filtered_files(find::XFilter(), true);
        QCOMPARE(info.get_view_filtered_files().size(), std::size_t(4));
    }

    void stopFromAnotherThreadEndsTheWalk()
    {
        TestDir dir;
        const int folders = 3000;
        for (int i = 0; i < folders; ++i)
            dir.write(QStringLiteral("d%1/f.txt").arg(i), "x");
        XDirInfo info;
        std::atomic<quint64> dirsAtStop{0};
        std::thread stopper([&] {
            while (info.countDirs() == 0)
                std::this_thread::yield();
            info.stop();
            dirsAtStop = info.countDirs();
        });
        const bool done = info.scan_dir(dir.path());
        stopper.join();
        if (dirsAtStop.load() > quint64(folders))
            QSKIP("the walk ended before the stop arrived");
        QVERIFY(!done);
        QVERIFY(info.isStopped());
        QVERIFY(info.countDirs() < quint64(folders + 1));
    }

    void countersAreLiveWhileWalking()
    {
        TestDir dir;
        for (int i = 0; i < 200; ++i)
            dir.write(QStringLiteral("d%1/f%1.txt").arg(i), "x");
        XDirInfo info;
        std::atomic<bool> running{true};
        std::atomic<quint64> lastSeen{0};
        std::atomic<bool> decreased{false};
        std::thread reader([&] {
            while (running.load()) {
                const quint64 now = info.countFiles();
                if (now < lastSeen.load())
                    decreased = true;
                lastSeen = now;
            }
        });
        QVERIFY(info.scan_dir(dir.path()));
        running = false;
        reader.join();
        QVERIFY(!decreased.load());
        QCOMPARE(info.countFiles(), quint64(200));
        QCOMPARE(info.countDirs(), quint64(201));
    }

    void filterPatternsSizeAndTime()
    {
        TestDir dir;
        dir.write("keep.txt", QByteArray(2048, 'k'));
        dir.write("small.txt", "s");
        dir.write("skip.bak", QByteArray(4096, 'b'));
        dir.write("folder.txt/inner.md", "i");
        const QString old = dir.write("old.txt", QByteArray(3000, 'o'));
        QFile oldFile(old);
        QVERIFY(oldFile.open(QIODevice::ReadWrite));
        QVERIFY(oldFile.setFileTime(QDateTime(QDate(2001, 5, 5), QTime(12, 0)), QFileDevice::FileModificationTime));
        oldFile.close();

        XDirInfo info;
        QVERIFY(info.scan_dir(dir.path()));

        find::XFilter byName;
        byName.fileFilter().setPattern(QStringLiteral("*.txt"), false);
        info.setup_filtered_files(byName, true);
        QCOMPARE(sorted(namesOf(info.get_view_filtered_files())), QStringList({"keep.txt", "old.txt", "small.txt"}));
        // Folders pass only when asked for.
        info.setup_filtered_files(byName, false);
        QVERIFY(namesOf(info.get_view_filtered_files()).contains(QStringLiteral("folder.txt")));

        find::XFilter bySize = byName;
        bySize.fileFilter().setSize(XFileFilter::GE, 2048);
        const XFindStats stats = info.setup_filtered_files(bySize, true);
        QCOMPARE(sorted(namesOf(info.get_view_filtered_files())), QStringList({"keep.txt", "old.txt"}));
        QCOMPARE(stats.countFilesMatch, quint64(2));
        QCOMPARE(stats.countFiles.get(), quint64(5));
        QCOMPARE(info.countBytes(), quint64(2048 + 3000));

        find::XFilter byTime;
        byTime.fileFilter().setTime(XFileFilter::LE, QDateTime(QDate(2001, 12, 31), QTime(0, 0)).toMSecsSinceEpoch());
        info.setup_filtered_files(byTime, true);
        QCOMPARE(namesOf(info.get_view_filtered_files()), QStringList({"old.txt"}));

        find::XFilter notBak;
        notBak.fileFilter().setPattern(QStringLiteral("*.bak, *.md"), true);
        info.setup_filtered_files(notBak, true);
        QCOMPARE(sorted(namesOf(info.get_view_filtered_files())), QStringList({"keep.txt", "old.txt", "small.txt"}));
    }

    // The content search lets the walk note sizes and times: every filter must keep the same
    // files and bytes as when each file is asked afterwards.
    void statsFromTheWalkFilterAlike()
    {
        TestDir dir;
        dir.write("keep.txt", QByteArray(2048, 'k'));
        dir.write("small.txt", "s");
        dir.write("sub/skip.bak", QByteArray(4096, 'b'));
        const QString old = dir.write("sub/old.txt", QByteArray(3000, 'o'));
        QFile oldFile(old);
        QVERIFY(oldFile.open(QIODevice::ReadWrite));
        QVERIFY(oldFile.setFileTime(QDateTime(QDate(2001, 5, 5), QTime(12, 0)), QFileDevice::FileModificationTime));
        oldFile.close();
        QVERIFY(QFile::link(dir.abs("keep.txt"), dir.abs("sub/link.txt")));
        const bool notRoot = ::geteuid() != 0;
        const QString locked = dir.write("locked.txt", "l");
        QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));

        find::XFilter all;
        find::XFilter bySize;
        bySize.fileFilter().setSize(XFileFilter::GE, 2048);
        find::XFilter byTime;
        byTime.fileFilter().setTime(XFileFilter::LE, QDateTime(QDate(2001, 12, 31), QTime(0, 0)).toMSecsSinceEpoch());
        find::XFilter byNameAndSize;
        byNameAndSize.fileFilter().setPattern(QStringLiteral("*.txt"), false);
        byNameAndSize.fileFilter().setSize(XFileFilter::LE, 2048);

        QList<QStringList> names[2];
        QList<quint64> bytes[2];
        for (int walk = 0; walk < 2; ++walk) {
            XDirInfo info;
            info.setStatInWalk(walk == 1);
            QVERIFY(info.scan_dir(dir.path()));
            for (const find::XFilter* filter : {&all, &bySize, &byTime, &byNameAndSize}) {
                Logger::startCapture();
                const XFindStats stats = info.setup_filtered_files(*filter, true);
                const QStringList lines = Logger::capturedLines();
                Logger::stopCapture();
                names[walk] << sorted(namesOf(info.get_view_filtered_files()));
                bytes[walk] << stats.countBytes.get();
                if (notRoot && filter == &all)
                    QVERIFY(capturedContains(lines, QStringLiteral("not readable <<<")));
            }
            // Files not asked yet still answer correctly when asked.
            info.setup_filtered_files(bySize, true);
            for (const QFileInfo* file : info.get_view_filtered_files())
                QVERIFY(file->size() >= 2048);
        }
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(names[1], names[0]);
        QCOMPARE(bytes[1], bytes[0]);
        QStringList everything = {"keep.txt", "link.txt", "old.txt", "skip.bak", "small.txt"};
        if (!notRoot)
            everything << QStringLiteral("locked.txt");
        QCOMPARE(names[1][0], sorted(everything));
        QCOMPARE(bytes[1][0], quint64(2048 + 2048 + 3000 + 4096 + 1 + (notRoot ? 0 : 1)));
        QCOMPARE(names[1][1], QStringList({"keep.txt", "link.txt", "old.txt", "skip.bak"}));
        QCOMPARE(names[1][2], QStringList({"old.txt"}));
        QStringList smallTexts = {"keep.txt", "link.txt", "small.txt"};
        if (!notRoot)
            smallTexts << QStringLiteral("locked.txt");
        QCOMPARE(names[1][3], sorted(smallTexts));
    }

    void streamedFilesAreThoseTheFilterKeeps()
    {
        TestDir dir;
        makeSmallTree(dir);
        dir.write(".hidden/e.txt", "echo\n");
        const QString old = dir.write("sub/old.txt", QByteArray(3000, 'o'));
        QFile oldFile(old);
        QVERIFY(oldFile.open(QIODevice::ReadWrite));
        QVERIFY(oldFile.setFileTime(QDateTime(QDate(2001, 5, 5), QTime(12, 0)), QFileDevice::FileModificationTime));
        oldFile.close();

        find::XFilter all;
        find::XFilter bySize;
        bySize.fileFilter().setSize(XFileFilter::GE, 1000);
        find::XFilter byTime;
        byTime.fileFilter().setTime(XFileFilter::LE, QDateTime(QDate(2001, 12, 31), QTime(0, 0)).toMSecsSinceEpoch());
        find::XFilter byName;
        byName.fileFilter().setPattern(QStringLiteral("*.txt"), false);
        for (bool hidden : {false, true}) {
            for (const find::XFilter* filter : {&all, &bySize, &byTime, &byName}) {
                XDirInfo listed;
                listed.setHiddenFiles(hidden);
                QVERIFY(listed.scan_dir(dir.path()));
                listed.setup_filtered_files(*filter, true);
                QStringList expected;
                for (const QFileInfo* file : listed.get_view_filtered_files())
                    expected << file->absoluteFilePath();

                XDirInfo streamed;
                streamed.setHiddenFiles(hidden);
                streamed.setThreads(3);
                std::mutex lock;
                QStringList got;
                QVERIFY(streamed.stream_files(dir.path(), *filter, [&](QByteArray path) {
                    std::lock_guard<std::mutex> locker(lock);
                    got << QFile::decodeName(path);
                    return true;
                }));
                QCOMPARE(sorted(got), sorted(expected));
                QCOMPARE(streamed.countFilesMatch(), quint64(got.size()));
                QCOMPARE(streamed.countFiles(), listed.countFiles());
                QCOMPARE(streamed.countDirs(), listed.countDirs());
            }
        }
    }

    void sinkThatRefusesEndsTheStream()
    {
        TestDir dir;
        for (int i = 0; i < 50; ++i)
            dir.write(QStringLiteral("d%1/f.txt").arg(i), "x");
        XDirInfo streamed;
        streamed.setThreads(1);
        int taken = 0;
        QVERIFY(!streamed.stream_files(dir.path(), find::XFilter(), [&](QByteArray) { return ++taken < 3; }));
        QCOMPARE(taken, 3);
        QVERIFY(streamed.isStopped());
    }

    void pathQueueWaitsWhenFullAndWakesEverybodyOnStop()
    {
        XPathQueue queue(2);
        QVERIFY(queue.push("a"));
        QVERIFY(queue.push("b"));
        std::atomic<int> pushed{0};
        std::thread producer([&] {
            if (queue.push("c"))
                ++pushed;
            if (queue.push("d"))  // waits for the consumer below
                ++pushed;
        });
        QByteArray path;
        QVERIFY(queue.pop(path));
        QCOMPARE(path, QByteArray("a"));
        QTRY_COMPARE(pushed.load(), 1);  // room for "c"; "d" waits
        std::atomic<int> popped{0};
        std::thread consumer([&] {
            QByteArray p;
            while (queue.pop(p))
                ++popped;
        });
        producer.join();  // "d" went in once the consumer made room
        QTRY_COMPARE(popped.load(), 3);
        QCOMPARE(queue.countPushed(), quint64(4));
        queue.stop();  // the consumer waits on an empty, open queue: stop wakes it
        consumer.join();
        QVERIFY(!queue.push("e"));
        QVERIFY(!queue.pop(path));
    }

    void fullPathQueueWakesItsProducerWhenHalfIsFree()
    {
        // A walk blocked on a full queue goes on once half of it is free, not for each path
        // taken; every path still arrives once, in order.
        XPathQueue queue(4);
        for (const char* p : {"a", "b", "c", "d"})
            QVERIFY(queue.push(p));
        std::thread producer([&] { QVERIFY(queue.push("e")); });
        QTRY_COMPARE(queue.waitingProducers(), std::size_t(1));
        std::vector<QByteArray> got;
        QVERIFY(queue.popSome(got, 1));
        QTest::qWait(50);
        QCOMPARE(queue.countPushed(), quint64(4));  // three of four still queued: waits on
        QVERIFY(queue.popSome(got, 1));
        QTRY_COMPARE(queue.countPushed(), quint64(5));
        producer.join();
        queue.close();
        while (queue.popSome(got, 32)) {
        }
        QCOMPARE(got, std::vector<QByteArray>({"a", "b", "c", "d", "e"}));
    }

    void closedPathQueueIsDrainedFirst()
    {
        XPathQueue queue(4);
        QVERIFY(queue.push("a"));
        QVERIFY(queue.push("b"));
        queue.close();
        QVERIFY(!queue.push("c"));
        QByteArray path;
        QVERIFY(queue.pop(path));
        QVERIFY(queue.pop(path));
        QCOMPARE(path, QByteArray("b"));
        QVERIFY(!queue.pop(path));
        queue.reset(4);
        QVERIFY(queue.push("d"));
        QCOMPARE(queue.countPushed(), quint64(1));
    }

    void batchesTakeAFairShareInOrder()
    {
        XPathQueue queue(16);
        for (const char* p : {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"})
            QVERIFY(queue.push(p));
        std::vector<QByteArray> got;
        QVERIFY(queue.popSome(got, 32));  // half of the ten queued, not all
        QCOMPARE(got.size(), std::size_t(5));
        QVERIFY(queue.popSome(got, 2));   // never more than asked
        QCOMPARE(got.size(), std::size_t(7));
        queue.close();
        while (queue.popSome(got, 32)) {
        }
        // Everything arrived once, in queue order; a single path left is still handed out.
        QCOMPARE(got, std::vector<QByteArray>({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}));
        queue.reset(4);
        QVERIFY(queue.push("k"));
        queue.stop();
        QVERIFY(!queue.popSome(got, 32));
    }

    void takenListLeavesTheViewEmptyButTheObjectsValid()
    {
        TestDir dir;
        makeSmallTree(dir);
        XDirInfo info;
        QVERIFY(info.scan_dir(dir.path()));
        info.setup_filtered_files(find::XFilter(), true);
        const std::vector<const QFileInfo*> taken = info.take_filtered_files();
        QVERIFY(info.get_view_filtered_files().empty());
        QCOMPARE(taken.size(), std::size_t(4));
        for (const QFileInfo* file : taken)
            QVERIFY(file->exists());
    }

    void nameOnlyFilteringNeedNotReadSizes()
    {
        TestDir dir;
        makeSmallTree(dir);
        XDirInfo info;
        info.setReadSizes(false);
        QVERIFY(info.scan_dir(dir.path()));
        info.setup_filtered_files(find::XFilter(), true);
        QCOMPARE(info.get_view_filtered_files().size(), std::size_t(4));
        QCOMPARE(info.countBytes(), quint64(0));
    }

    void compactTreeStaysSmall()
    {
        TestDir dir;
        for (int i = 0; i < 2000; ++i)
            dir.write(QStringLiteral("f%1.txt").arg(i, 5, 10, QLatin1Char('0')), "");
        XDirInfo info;
        QVERIFY(info.scan_dir(dir.path()));
        // 12 bytes per entry and its 9-byte name, with some slack.
        QVERIFY2(info.memoryUsage() < 2000 * 32, qPrintable(QString::number(info.memoryUsage())));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QCoreApplication app(argc, argv);
    TestDirInfo test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_dir_info.moc"
