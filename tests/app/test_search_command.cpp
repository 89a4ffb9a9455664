// The headless "search" command, run as the built program on a small generated tree.
#include "DeepTree.h"
#include "TestDir.h"
#include "XFileNameCodec.h"

#include <QDateTime>
#include <QProcess>
#include <QtTest>
#include <unistd.h>

namespace {
struct Run {
    int code = -1;
    QStringList out;  // stdout lines
    QString err;
};

const QString kProgram = QStringLiteral(ZEM_TEST_BINARY_DIR "/zemfinder");

Run search(const QStringList& args, const QString& workingDir = QString())
{
    QProcess p;
    if (!workingDir.isEmpty())
        p.setWorkingDirectory(workingDir);
    p.start(kProgram, QStringList{QStringLiteral("search")} + args);
    Run run;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return run;
    run.code = p.exitCode();
    run.out = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

// Runs the search as an ordinary user when the tests run as root, so that mode 000 keeps it out.
// Its homes must then be its own to write.
Run searchUnprivileged(const QStringList& args)
{
    QProcess p;
    QStringList command{kProgram, QStringLiteral("search")};
    command += args;
    if (::geteuid() == 0) {
        static QTemporaryDir homes;
        QFile::setPermissions(homes.path(), QFileDevice::Permissions(0x7777));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* key : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"})
            env.insert(QString::fromLatin1(key), homes.path());
        p.setProcessEnvironment(env);
        command = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", "--"} + command;
        p.start(QStringLiteral("setpriv"), command);
    } else {
        p.start(command.takeFirst(), command);
    }
    Run run;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return run;
    run.code = p.exitCode();
    run.out = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

QByteArray lines(const QByteArray& word, int hits)
{
    QByteArray bytes;
    for (int i = 0; i < hits; ++i)
        bytes += "line with " + word + " in it\nand filler\n";
    return bytes;
}
} // namespace

class TestSearchCommand : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;

    QString abs(const QString& relative) const { return m_dir.abs(relative); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QFileInfo(kProgram).isExecutable(), qPrintable(kProgram + " is not built"));
        // Known counts: a.txt 3, c.md 3, b.txt 1, sub/e.txt 2, hidden 5; d.txt none.
        m_dir.write("a.txt", lines("Needle", 3));
        m_dir.write("b.txt", lines("needle", 1));
        m_dir.write("c.md", lines("NEEDLE", 3));
        m_dir.write("d.txt", "nothing here\n");
        m_dir.write("sub/e.txt", lines("needle", 2) + QByteArray(2000, 'x') + "\n");
        m_dir.write(".hidden/h.txt", lines("needle", 5));
        QFile old(abs("d.txt"));
        QVERIFY(old.open(QIODevice::ReadWrite));
        QVERIFY(old.setFileTime(QDateTime(QDate(2001, 5, 5), QTime(12, 0)), QFileDevice::FileModificationTime));
    }

    void contentSearchOrdersByHitsThenPath()
    {
        const Run r = search({"--dir", m_dir.path(), "--content", "needle", "--threads", "3"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringList({"3\t" + abs("a.txt"), "3\t" + abs("c.md"), "2\t" + abs("sub/e.txt"),
                                     "1\t" + abs("b.txt")}));
        QVERIFY(r.err.contains(QLatin1String("search: ")));
        QVERIFY(r.err.contains(QLatin1String("9 hits in 4 files")));
    }

    void regexIsCaseSensitive()
    {
        const Run r = search({"--dir", m_dir.path(), "--content", "[Nn]eedle", "--regex", "--scope", "File"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringList({"3\t" + abs("a.txt"), "2\t" + abs("sub/e.txt"), "1\t" + abs("b.txt")}));
    }

    void hiddenFilesOnlyWhenAsked()
    {
        const Run r = search({"--dir", m_dir.path(), "--content", "needle", "--hidden"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out.first(), "5\t" + abs(".hidden/h.txt"));
        QCOMPARE(r.out.size(), 5);
    }

    void fileSearchListsPathsInOrder()
    {
        const Run r = search({"--dir", m_dir.path(), "--pattern", "*.txt"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringList({abs("a.txt"), abs("b.txt"), abs("d.txt"), abs("sub/e.txt")}));
        const Run n = search({"--dir", m_dir.path(), "--pattern", "*.txt", "--npattern", "a*, d*"});
        QCOMPARE(n.out, QStringList({abs("b.txt"), abs("sub/e.txt")}));
    }

    void sizeTimeAndExtensionConditions()
    {
        QCOMPARE(search({"--dir", m_dir.path(), "--size", ">=1kb"}).out, QStringList({abs("sub/e.txt")}));
        QCOMPARE(search({"--dir", m_dir.path(), "--size", "1..20"}).out, QStringList({abs("d.txt")}));
        QCOMPARE(search({"--dir", m_dir.path(), "--time", "2001"}).out, QStringList({abs("d.txt")}));
        QCOMPARE(search({"--dir", m_dir.path(), "--time", "<=2001-05-05"}).out, QStringList({abs("d.txt")}));
        QCOMPARE(search({"--dir", m_dir.path(), "--time", ">=2001-05-06", "--pattern", "d*"}).code, 1);
        QCOMPARE(search({"--dir", m_dir.path(), "--textFiles", "md"}).out, QStringList({abs("c.md")}));
    }

    void relativeFolderMeansTheCallersFolder()
    {
        const Run r = search({"--dir", "sub", "--content", "needle"}, m_dir.path());
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringList({"2\t" + abs("sub/e.txt")}));
    }

    void nothingFoundExitsOne()
    {
        const Run content = search({"--dir", m_dir.path(), "--content", "haystack"});
        QCOMPARE(content.code, 1);
        QVERIFY(content.out.isEmpty());
        const Run names = search({"--dir", m_dir.path(), "--pattern", "*.none"});
        QCOMPARE(names.code, 1);
        QVERIFY(names.out.isEmpty());
    }

    void badInputExitsTwoWithOneLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("reason");
        const QString dir = m_dir.path();
        QTest::newRow("bad regex") << QStringList{"--dir", dir, "--content", "(unclosed", "--regex"} << "bad expression";
        QTest::newRow("missing folder") << QStringList{"--dir", dir + "/nope"} << "no such folder";
        QTest::newRow("no folder key") << QStringList{"--content", "x"} << "dir";
        QTest::newRow("bad size") << QStringList{"--dir", dir, "--size", ">=ten"} << "bad size";
        QTest::newRow("bad time") << QStringList{"--dir", dir, "--time", "2024-13-45"} << "bad time";
        QTest::newRow("bad scope") << QStringList{"--dir", dir, "--content", "x", "--scope", "Chapter"} << "--scope";
        QTest::newRow("bad threads") << QStringList{"--dir", dir, "--threads", "0"} << "--threads";
        QTest::newRow("unknown key") << QStringList{"--dir", dir, "--colour", "red"} << "colour";
        QTest::newRow("content without value") << QStringList{"--dir", dir, "--content"} << "--content needs a value";
        QTest::newRow("content before option") << QStringList{"--dir", dir, "--content", "--regex"}
                                               << "--content needs a value";
        QTest::newRow("log garbage") << QStringList{"--dir", dir, "--log", "garbage"} << "--log must be 1..4";
        QTest::newRow("log out of range") << QStringList{"--dir", dir, "--log", "9"} << "--log must be 1..4";
        QTest::newRow("year zero") << QStringList{"--dir", dir, "--time", "0000"} << "bad time";
        QTest::newRow("reversed time") << QStringList{"--dir", dir, "--time", "2024-01-01..2023-01-01"} << "backwards";
        QTest::newRow("reversed size") << QStringList{"--dir", dir, "--size", "2mb..1kb"} << "backwards";
        QTest::newRow("stray short word") << QStringList{"--dir", dir, "-x"} << "unexpected word";
    }

    void unreadableFilesAreFoundByNameSizeAndTime()
    {
        TestDir tree;
        // Others (the unprivileged runner) may enter and list it.
        QVERIFY(QFile::setPermissions(tree.path(), QFileDevice::Permissions(0x7755)));
        const QString open = tree.write("open.txt", "needle\n");
        const QString locked = tree.write("locked.txt", "needle\n");
        QVERIFY(QFile::setPermissions(open, QFileDevice::Permissions(0x6644)));
        QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
        const QStringList both{tree.abs("locked.txt"), tree.abs("open.txt")};
        for (const QStringList& extra : {QStringList{}, QStringList{"--size", ">=1"}, QStringList{"--time", ">=2001-01-01"},
                                         QStringList{"--pattern", "*.txt", "--size", "1..100"}}) {
            const Run r = searchUnprivileged(QStringList{"--dir", tree.path()} + extra);
            QCOMPARE(r.code, 0);
            QCOMPARE(r.out, both);
        }
        // The content search reports it by default, counts it as searched and finds the other.
        const Run c = searchUnprivileged({"--dir", tree.path(), "--content", "needle"});
        QCOMPARE(c.code, 0);
        QCOMPARE(c.out, QStringList({"1\t" + open}));
        QVERIFY2(c.err.contains("FindThread::runCustom, problems with <<<" + locked + ">>>"), qPrintable(c.err));
        QVERIFY2(c.err.contains("2 files scanned, 2 searched"), qPrintable(c.err));
    }

    void namesThatAreNotUtf8AreSearchedAndPrintedAsBytes()
    {
        TestDir tree;
        const QByteArray root = QFile::encodeName(tree.path());
        QFile raw(QFile::decodeName(root + "/caf\xe9.txt"));
        QVERIFY(raw.open(QIODevice::WriteOnly));
        raw.write("needle\n");
        raw.close();
        QVERIFY(QFileInfo::exists(QFile::decodeName(root + "/caf\xe9.txt")));
        QProcess p;
        p.start(kProgram, {"search", "--dir", tree.path(), "--content", "needle"});
        QVERIFY(p.waitForFinished(120000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(p.readAllStandardOutput(), QByteArray("1\t" + root + "/caf\xe9.txt\n"));
        QProcess names;
        names.start(kProgram, {"search", "--dir", tree.path(), "--pattern", "caf*"});
        QVERIFY(names.waitForFinished(120000));
        QCOMPARE(names.readAllStandardOutput(), QByteArray(root + "/caf\xe9.txt\n"));
    }

    void skippedFoldersAreReportedAndCounted()
    {
        TestDir tree;
        QVERIFY(QFile::setPermissions(tree.path(), QFileDevice::Permissions(0x7755)));
        QVERIFY(QFile::setPermissions(tree.write("open.txt", "needle\n"), QFileDevice::Permissions(0x6644)));
        tree.write("closed/inner.txt", "needle\n");
        // Only root may list it (the search then runs as nobody); a user's own gets mode 000.
        QVERIFY(QFile::setPermissions(tree.abs("closed"), QFileDevice::Permissions(0x7700)));
        if (::geteuid() != 0)
            QVERIFY(QFile::setPermissions(tree.abs("closed"), QFileDevice::Permissions()));
        const Run r = searchUnprivileged({"--dir", tree.path(), "--pattern", "*.txt"});
        const Run c = searchUnprivileged({"--dir", tree.path(), "--content", "needle"});
        QFile::setPermissions(tree.abs("closed"), QFileDevice::Permissions(0x7700));
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringList({tree.abs("open.txt")}));
        // At the default log level: which folder, and how many in the summary line.
        QVERIFY2(r.err.contains("XDirInfo::scan_dir, cannot read folder <<<" + tree.abs("closed") + ">>>"),
                 qPrintable(r.err));
        QVERIFY2(r.err.contains("1 found, 1 folder not read"), qPrintable(r.err));
        QCOMPARE(c.code, 0);
        QVERIFY2(c.err.contains("hits in 1 files, 1 folder not read"), qPrintable(c.err));
    }

    void aLineTheMatchLimitGivesUpOnIsNamedAndCounted()
    {
        TestDir tree;
        QByteArray words;
        while (words.size() < 100000)
            words += "word ";
        // The closing mark makes the nested repetition try every split of the line before failing.
        tree.write("long.txt", words + "!\nshort line\n");
        const Run r = search({"--dir", tree.path(), "--content", "^(\\w+\\s?)*$", "--regex", "--scope", "File"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringList({"1\t" + tree.abs("long.txt")}));
        QVERIFY2(r.err.contains("line 1 skipped"), qPrintable(r.err));
        QVERIFY2(r.err.contains("hits in 1 files, 1 line skipped (match limit)"), qPrintable(r.err));
    }

    void foldersBeyondThePathLimitAreSearched()
    {
        TestDir tree;
        const QByteArray deepFile = deep_tree::make(tree.path(), 25, "needle\n");
        QVERIFY(!deepFile.isEmpty());
        QProcess p;
        p.start(kProgram, {"search", "--dir", tree.path(), "--content", "needle"});
        QVERIFY(p.waitForFinished(120000));
        const QByteArray out = p.readAllStandardOutput();
        const QByteArray err = p.readAllStandardError();
        deep_tree::clear(tree.path());
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(out, "1\t" + deepFile + "\n");
        QVERIFY2(!err.contains("not read") && !err.contains("problems"), err.constData());
    }

    void longRefusedPatternIsCut()
    {
        const QString pattern = QStringLiteral("(") + QString(130000, QLatin1Char('a'));
        const Run r = search({"--dir", m_dir.path(), "--content", pattern, "--regex"});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.size() < 400, qPrintable(QString::number(r.err.size())));
        QVERIFY(r.err.contains(QLatin1String("(130001 characters)")));
    }

    void equalsFormGivesValuesThatStartWithDashes()
    {
        m_dir.write("dashes/x.txt", "a --verbose flag\n");
        const Run r = search({"--dir=" + abs("dashes"), "--content=--verbose"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringList({"1\t" + abs("dashes/x.txt")}));
    }

    void nullSeparatesNamesThatHoldLineBreaks()
    {
        m_dir.write("nul/two\nlines.txt", "needle\n");
        m_dir.write("nul/plain.txt", "needle\n");
        QProcess p;
        p.start(kProgram, {"search", "--dir", abs("nul"), "-0"});
        QVERIFY(p.waitForFinished(120000));
        QCOMPARE(p.exitCode(), 0);
        const QByteArray expected = QFile::encodeName(abs("nul/plain.txt")) + '\0'
                                    + QFile::encodeName(abs("nul/two\nlines.txt")) + '\0';
        QCOMPARE(p.readAllStandardOutput(), expected);
        QProcess c;
        c.start(kProgram, {"search", "--dir", abs("nul"), "--content", "needle", "--null"});
        QVERIFY(c.waitForFinished(120000));
        const QByteArray out = c.readAllStandardOutput();
        QCOMPARE(out.count('\0'), 2);
        QVERIFY(out.contains("1\t" + QFile::encodeName(abs("nul/two\nlines.txt")) + '\0'));
    }

    void badInputExitsTwoWithOneLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, reason);
        const Run r = search(args);
        QCOMPARE(r.code, 2);
        QVERIFY(r.out.isEmpty());
        const QStringList errLines = r.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(!errLines.isEmpty() && errLines.last().startsWith(QLatin1String("search: ")), qPrintable(r.err));
        QVERIFY2(errLines.last().contains(reason), qPrintable(r.err));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    zem::XFileNameCodec::install();
    QCoreApplication app(argc, argv);
    TestSearchCommand test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_search_command.moc"
