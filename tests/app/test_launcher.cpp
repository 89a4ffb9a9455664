// The zemfinder launcher: it runs the headless search itself, with no other program beside it,
// hands every other command to zemfinder-gui next to its own executable, and says which path it
// could not run when that is missing.
#include "TestDir.h"

#include <QProcess>
#include <QtTest>

namespace {
struct Run {
    int code = -1;
    QByteArray out;
    QString err;
};

const QString kLauncher = QStringLiteral(ZEM_TEST_BINARY_DIR "/zemfinder");

Run runProgram(const QString& program, const QStringList& args, const QString& workingDir = QString())
{
    QProcess p;
    if (!workingDir.isEmpty())
        p.setWorkingDirectory(workingDir);
    p.start(program, args);
    Run run;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return run;
    run.code = p.exitCode();
    run.out = p.readAllStandardOutput();
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

// A copy of the launcher alone in a folder of its own; returns its path.
QString launcherAloneIn(const TestDir& folder)
{
    const QString copy = folder.abs(QStringLiteral("zemfinder"));
    if (!QFile::copy(kLauncher, copy))
        return QString();
    return copy;
}
} // namespace

class TestLauncher : public QObject {
    Q_OBJECT

private:
    TestDir m_files;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QFileInfo(kLauncher).isExecutable());
        m_files.write("sub/hit.txt", "a needle\nanother needle\n");
        m_files.write("sub/miss.txt", "hay\n");
    }

    void launcherAloneRunsTheSearch()
    {
        TestDir bin;
        const QString launcher = launcherAloneIn(bin);
        QVERIFY(!launcher.isEmpty());
        QCOMPARE(QDir(bin.path()).entryList(QDir::Files), QStringList{QStringLiteral("zemfinder")});
        const Run r = runProgram(launcher, {"search", "--dir", m_files.path(), "--content", "needle"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out, "2\t" + m_files.abs("sub/hit.txt").toUtf8() + "\n");
    }

    // The launcher makes its own folder the current one, as the full program does; a relative
    // folder still means the caller's.
    void launcherAloneReadsARelativeFolderFromTheCallersFolder()
    {
        TestDir bin;
        const QString launcher = launcherAloneIn(bin);
        QVERIFY(!launcher.isEmpty());
        const Run r = runProgram(launcher, {"search", "--dir", "sub", "--pattern", "*.txt"}, m_files.path());
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out, m_files.abs("sub/hit.txt").toUtf8() + "\n" + m_files.abs("sub/miss.txt").toUtf8() + "\n");
    }

    void badSearchInputIsRefusedByTheLauncherAlone()
    {
        TestDir bin;
        const QString launcher = launcherAloneIn(bin);
        QVERIFY(!launcher.isEmpty());
        const Run r = runProgram(launcher, {"search", "--content", "needle"});
        QCOMPARE(r.code, 2);
        QVERIFY(!r.err.contains(QStringLiteral("zemfinder-gui")));
    }

    // Only the full program knows "app": its list of commands proves the hand-over.
    void otherCommandsReachTheFullProgram()
    {
        const Run r = runProgram(kLauncher, {"no.such.command"});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(QStringLiteral("Unknown command 'no.such.command'. Commands:")), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral(" app")), qPrintable(r.err));
    }

    // The full program is looked for beside the launcher's real file, not beside a link to it.
    void aLinkToTheLauncherFindsTheFullProgram()
    {
        TestDir elsewhere;
        const QString link = elsewhere.abs(QStringLiteral("zf"));
        QVERIFY(QFile::link(kLauncher, link));
        const Run r = runProgram(link, {"no.such.command"}, elsewhere.path());
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(QStringLiteral("Unknown command 'no.such.command'")), qPrintable(r.err));
    }

    void missingFullProgramIsNamedAndEndsWith127()
    {
        TestDir bin;
        const QString launcher = launcherAloneIn(bin);
        QVERIFY(!launcher.isEmpty());
        const Run r = runProgram(launcher, {"app"});
        QCOMPARE(r.code, 127);
        QCOMPARE(r.err, QStringLiteral("zemfinder: cannot run %1: No such file or directory\n")
                            .arg(bin.abs(QStringLiteral("zemfinder-gui"))));
        QVERIFY(r.out.isEmpty());
    }

    void fullProgramThatCannotRunIsNamedWithTheReason()
    {
        TestDir bin;
        const QString launcher = launcherAloneIn(bin);
        QVERIFY(!launcher.isEmpty());
        const QString gui = bin.write(QStringLiteral("zemfinder-gui"), "not a program");
        QVERIFY(QFile::setPermissions(gui, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        const Run r = runProgram(launcher, {});
        QCOMPARE(r.code, 127);
        QCOMPARE(r.err, QStringLiteral("zemfinder: cannot run %1: Exec format error\n").arg(gui));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QCoreApplication app(argc, argv);
    TestLauncher test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_launcher.moc"
