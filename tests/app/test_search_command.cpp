// The headless "search" command, run as the built program on a small generated tree.
#include "TestDir.h"

#include <QDateTime>
#include <QProcess>
#include <QtTest>

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
    QCoreApplication app(argc, argv);
    TestSearchCommand test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_search_command.moc"
