// Logging, formatting, environment and the command line.
#include "CommandLine.h"
#include "Logger.h"
#include "XEnv.h"
#include "XRunGuard.h"
#include "TestDir.h"

#include <QDateTime>
#include <QtTest>

using namespace zem;

class TestEngineBase : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void xprintFFillsInOrder()
    {
        QCOMPARE(xprintF("a:$, b:$", 1, QStringLiteral("x")), QStringLiteral("a:1, b:x"));
        QCOMPARE(xprintF("$ $", true, -3LL), QStringLiteral("true -3"));
        QCOMPARE(xprintF("only $", 1, 2), QStringLiteral("only 1"));
        QCOMPARE(xprintF("$ and $", "one"), QStringLiteral("one and $"));
        // A value holding "$" is not filled again.
        QCOMPARE(xprintF("$|$", "$", "z"), QStringLiteral("$|z"));
    }

    void loggerCapturesLevelsAndIndent()
    {
        Logger::setStderrEnabled(false);
        Logger::startCapture();
        Logger::log(new LogMessageString(QStringLiteral("owned")), LOG_ERROR, 2);
        Logger::log(QStringLiteral("detail"), LOG_DETAIL);
        const QStringList lines = Logger::capturedLines();
        Logger::stopCapture();
        Logger::setStderrEnabled(true);
        QCOMPARE(lines, QStringList({"  owned", "detail"}));
    }

    void loggerWritesItsFile()
    {
        TestDir dir;
        Logger::setStderrEnabled(false);
        Logger::setLogFile(dir.abs("x.log"));
        Logger::log(QStringLiteral("into the file"), LOG_ERROR);
        Logger::log(QStringLiteral("too fine"), LOG_DETAIL + 1);
        Logger::setLogFile(QString());
        Logger::setStderrEnabled(true);
        QFile f(dir.abs("x.log"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY(text.contains("into the file"));
        QVERIFY(!text.contains("too fine"));
    }

    void formatters()
    {
        QCOMPARE(format1000(0), QStringLiteral("0"));
        QCOMPARE(format1000(999), QStringLiteral("999"));
        QCOMPARE(format1000(1000), QStringLiteral("1,000"));
        QCOMPARE(format1000(-1234567), QStringLiteral("-1,234,567"));
        QCOMPARE(format1000(5000000000LL), QStringLiteral("5,000,000,000"));
        QCOMPARE(formatBytes(512), QStringLiteral("512 Bytes"));
        QCOMPARE(formatBytes(1536), QStringLiteral("1.50 KB"));
        QCOMPARE(formatBytes(5ULL << 30), QStringLiteral("5.00 GB"));
        QCOMPARE(formatMicrosecond_as_Sec(1234567), QStringLiteral("1.235 sec"));
    }

    void environment()
    {
        QVERIFY(setEnv("ZEM_TEST_VAR", "value"));
        QVERIFY(hasEnv("ZEM_TEST_VAR"));
        QCOMPARE(getEnv("ZEM_TEST_VAR"), QStringLiteral("value"));
        QCOMPARE(getEnv("ZEM_SURELY_UNSET_VAR"), QString());
        QCOMPARE(replaceEnv("a $(ZEM_TEST_VAR) b $(ZEM_SURELY_UNSET_VAR)c $(unclosed"),
                 QStringLiteral("a value b c $(unclosed"));
        QVERIFY(QFileInfo(get_exe_path(true)).isExecutable());
        QCOMPARE(get_exe_path(false), QFileInfo(get_exe_path(true)).absolutePath());
    }

    void commandLineKeys()
    {
        CommandLine line(QStringList{"search", "--dir", "/tmp", "--hidden", "--content", "a b"});
        QCOMPARE(line.command(), QStringLiteral("search"));
        QCOMPARE(line.getString("dir", ""), QStringLiteral("/tmp"));
        QCOMPARE(line.getString("hidden", ""), QStringLiteral("true"));
        QCOMPARE(line.getString("content", ""), QStringLiteral("a b"));
        QCOMPARE(line.getString("missing", "dflt"), QStringLiteral("dflt"));
        line.setAllowedKeys({"hidden", "content"}, {"dir"});
        QVERIFY(line.checkKeys());
        line.setAllowedKeys({"hidden"}, {"dir"});
        QVERIFY(!line.checkKeys());
        line.setAllowedKeys({"hidden", "content"}, {"dir", "threads"});
        QVERIFY(!line.checkKeys());

        CommandLine app(QStringList{"--file", "x"});
        QCOMPARE(app.command(), QString());
        app.setAllowedKeys({"file"});
        QVERIFY(app.checkKeys());
        CommandLine stray(QStringList{"app", "--file", "x", "y"});
        stray.setAllowedKeys({"file"});
        QVERIFY(!stray.checkKeys());
        CommandLine qtArgs(QStringList{"-platform", "offscreen"});
        QCOMPARE(qtArgs.command(), QString());
    }

    void commandLineBareKeysAndEqualsForm()
    {
        CommandLine line(QStringList{"search", "--content", "--regex", "--pattern=--x", "--log", "-0", "--dir=a=b"});
        QVERIFY(line.isBare("content"));
        QVERIFY(line.isBare("regex"));
        QVERIFY(!line.isBare("pattern"));
        QCOMPARE(line.getString("pattern", ""), QStringLiteral("--x"));
        QCOMPARE(line.getString("dir", ""), QStringLiteral("a=b"));
        // A single-dash word after a key is its value (a negative number, say).
        QCOMPARE(line.getString("log", ""), QStringLiteral("-0"));
        CommandLine shortFlag(QStringList{"search", "--dir", "d", "-0"});
        shortFlag.setAllowedKeys({"null"}, {"dir"});
        QVERIFY(!shortFlag.checkKeys());
        shortFlag.addShortFlag("-0", "null");
        QVERIFY(shortFlag.checkKeys());
        QVERIFY(shortFlag.getBool("null", false));
        QVERIFY(shortFlag.isBare("null"));
    }

    void runGuardRefusesSecondHolderAndReleases()
    {
        TestDir dir;
        {
            XRunGuard first(QStringLiteral("zemTest"), dir.path());
            QVERIFY(first.run_instance_of_program());
            QVERIFY(first.run_instance_of_program());
            // Another process holding it: simulated by a child that tries.
            QProcess child;
            child.start(QStringLiteral("flock"), {QStringLiteral("-n"), first.lockFilePath(), QStringLiteral("true")});
            child.waitForFinished();
            QVERIFY2(child.exitCode() != 0, "the lock file is not held");
        }
        XRunGuard again(QStringLiteral("zemTest"), dir.path());
        QVERIFY(again.run_instance_of_program());
    }

    void runGuardTakesOverStaleLock()
    {
        TestDir dir;
        // A lock file left by a process that no longer runs.
        QProcess dead;
        dead.start(QStringLiteral("true"), QStringList());
        dead.waitForFinished();
        const qint64 gonePid = dead.processId() > 0 ? dead.processId() : 999999;
        dir.write("zemStale.lock", QByteArray::number(gonePid) + "\nzemfinder\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        XRunGuard guard(QStringLiteral("zemStale"), dir.path());
        QVERIFY(guard.run_instance_of_program());
    }

    void runGuardTakesOverLockNamingNobody_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("garbage") << QByteArray("\x01\xfe not a lock \n\n");
        QTest::newRow("negative pid") << QByteArray("-5\nzemfinder\n\n");
        // pid 1 runs, but another program than this one.
        QTest::newRow("other program") << QByteArray("1\nzemfinder\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    void runGuardTakesOverLockNamingNobody()
    {
        QFETCH(QByteArray, content);
        TestDir dir;
        const QString path = dir.write("zemOdd.lock", content);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
        file.close();
        Logger::setStderrEnabled(false);
        XRunGuard guard(QStringLiteral("zemOdd"), dir.path());
        const bool runs = guard.run_instance_of_program();
        Logger::setStderrEnabled(true);
        QVERIFY(runs);
        // Now really held: a second guard is refused.
        QVERIFY(XRunGuard::is_held_by_live_instance(path));
    }

    void runGuardLeavesALockBeingWritten()
    {
        // Empty and brand new: its owner may be between creating and writing it.
        TestDir dir;
        const QString path = dir.write("zemNew.lock", QByteArray());
        QVERIFY(XRunGuard::is_held_by_live_instance(path));
        // A live process of this very program holds it.
        dir.write("zemOwn.lock", QByteArray::number(QCoreApplication::applicationPid()) + "\nx\n\n");
        QVERIFY(XRunGuard::is_held_by_live_instance(dir.abs("zemOwn.lock")));
    }
};

QTEST_GUILESS_MAIN(TestEngineBase)
#include "test_engine_base.moc"
