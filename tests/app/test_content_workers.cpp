// The content workers and the command's expression: a stop inside one huge file, lines skipped
// by the match limit in the workers' counters and the log, blanks kept in regular expressions.
#include "Logger.h"
#include "TestDir.h"
#include "XThread.h"
#include "find/FindThread.h"
#include "find/SearchCommand.h"
#include "find/ThreadControllerFind.h"
#include "find/ZemFind.h"

#include "CommandLine.h"

#include <QElapsedTimer>
#include <QtTest>
#include <atomic>

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
        std::vector<const QFileInfo*> list{&evil, &fine};

        ZemFind zf;
        zf.setCountThreads(2);
        zf.setContentFilter(regexFilter(QStringLiteral("^(\\w+ ?)*$")));
        zf.prepareFiles(list);
        std::atomic<int> fired{0};
        zf.finishedListener.set([&] { ++fired; });
        zem::Logger::startCapture();
        zf.start_search();
        QVERIFY(waitForEnd(zf, fired));
        const QStringList log = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        zf.finishedListener.clear();

        QCOMPARE(zf.lines_skipped(), quint64(2));
        QCOMPARE(zf.count_files_with_hits(), std::size_t(2));
        QCOMPARE(zf.count_hits(), quint32(3));  // "matching line", "last", "good line"
        QCOMPARE(log.filter(QStringLiteral("XContentFilter::find, <<<%1>>> line 1 skipped").arg(path)).size(), 1);
        QCOMPARE(log.filter(QStringLiteral("XContentFilter::find, <<<%1>>> line 3 skipped").arg(path)).size(), 1);
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
