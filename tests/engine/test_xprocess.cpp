// The engine's process object and its helpers: callbacks for start, error and exit (with the crash
// flag), the output limit and channels, ending a running program on destruction, the file
// variables, numbered and random names, and temporary file names.
#include "TestDir.h"
#include "XEnv.h"
#include "XFile.h"
#include "XFileEnv.h"
#include "XProcess.h"
#include "XStrings.h"

#include <QtTest>

using zem::XProcess;

class TestXProcess : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void callbacksOfAnEndingProgram()
    {
        auto* p = new XProcess;
        int started = 0;
        QList<bool> exits;
        p->startedListener.add([&] { ++started; });
        p->exitListener.add([&](bool crashed) { exits << crashed; });
        p->set_collect_output(true);
        p->setProgram("sh");
        p->setArgs("-c 'echo out; echo err >&2'");
        p->start_rw();
        QTRY_COMPARE_WITH_TIMEOUT(exits.size(), 1, 10000);
        QCOMPARE(started, 1);
        QCOMPARE(exits[0], false);
        QCOMPARE(p->output(), QByteArray("out\nerr\n"));
        QVERIFY(p->past_pid() > 0);
        delete p;
        QCOMPARE(XProcess::alive_count(), 0);
    }

    void crashFlagAndErrors()
    {
        XProcess crash;
        QList<bool> exits;
        QList<QProcess::ProcessError> errors;
        crash.exitListener.add([&](bool crashed) { exits << crashed; });
        crash.setProgram("sh");
        crash.setArgs("-c 'kill -KILL $$'");
        crash.start_rw();
        QTRY_COMPARE_WITH_TIMEOUT(exits.size(), 1, 10000);
        QCOMPARE(exits[0], true);

        XProcess missing;
        missing.errorListener.add([&](QProcess::ProcessError e) { errors << e; });
        missing.setProgram("/no/such/program");
        missing.start_rw();
        QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 1, 10000);
        QCOMPARE(errors[0], QProcess::FailedToStart);
    }

    void outputIsDroppedUnlessCollected()
    {
        XProcess p;
        bool done = false;
        p.exitListener.add([&](bool) { done = true; });
        p.setProgram("sh");
        // More than a pipe holds: an unread pipe would stop the program.
        p.setArgs("-c 'head -c 1000000 /dev/zero'");
        p.start_rw();
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        QCOMPARE(p.output(), QByteArray());
    }

    void detachedStartTellsAndDeletes()
    {
        TestDir dir;
        auto* p = new XProcess;
        int started = 0;
        p->startedListener.add([&] { ++started; });
        p->setProgram("sh");
        p->setArguments({"-c", "echo $$ > \"$0\"", dir.abs("pid")});
        QVERIFY(p->start_detached_and_delete());
        QCOMPARE(started, 1);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(dir.abs("pid")).size() > 0, 10000);
        QTRY_COMPARE(XProcess::alive_count(), 0);

        auto* bad = new XProcess;
        int errors = 0;
        bad->errorListener.add([&](QProcess::ProcessError) { ++errors; });
        bad->setProgram("/no/such/program");
        QVERIFY(!bad->start_detached_and_delete());
        QCOMPARE(errors, 1);
        QTRY_COMPARE(XProcess::alive_count(), 0);
    }

    void destructionEndsARunningProgramPromptly()
    {
        auto* p = new XProcess;
        bool told = false;
        p->exitListener.add([&](bool) { told = true; });
        p->setProgram("sleep");
        p->setArgs("300");
        p->start_rw();
        QTRY_COMPARE_WITH_TIMEOUT(p->state(), QProcess::Running, 10000);
        QElapsedTimer t;
        t.start();
        delete p;
        QVERIFY(t.elapsed() < 5000);   // hang guard
        QVERIFY(!told);
    }

    void environmentPairs()
    {
        zem::setEnv("ZF_E", "v v");
        const auto pairs = XProcess::parse_env("--A 1 --B 'two words' junk --C $(ZF_E) --D");
        QCOMPARE(pairs.size(), 4);
        QCOMPARE(pairs[1], qMakePair(QString("B"), QString("two words")));
        QCOMPARE(pairs[2], qMakePair(QString("C"), QString("v v")));
        QCOMPARE(pairs[3], qMakePair(QString("D"), QString()));
    }

    void fileVariables()
    {
        zem::fileInfo_to_env(QFileInfo("/tmp/some dir/file.tar.gz"));
        QCOMPARE(zem::getEnv("G_PATH"), QString("/tmp/some dir/file.tar.gz"));
        QCOMPARE(zem::getEnv("G_NAME"), QString("file.tar.gz"));
        QCOMPARE(zem::getEnv("G_DIR"), QString("/tmp/some dir"));
        QCOMPARE(zem::getEnv("G_BASE_NAME"), QString("file.tar"));
        QCOMPARE(zem::getEnv("G_SUFFIX"), QString("gz"));
        zem::fileInfo_to_env(QFileInfo());
        QCOMPARE(zem::getEnv("G_PATH"), QString());
        QCOMPARE(zem::replaceEnv("[$(G_PATH)]"), QString("[]"));
    }

    void namesAndTemporaryFiles()
    {
        const QString a = zem::random_name(9);
        QCOMPARE(a.size(), 9);
        QVERIFY(QRegularExpression("^[a-z0-9]{9}$").match(a).hasMatch());
        QVERIFY(zem::random_name(9) != a);
        TestDir dir;
        const QString tmp = zem::XFile::createTmpFileName(16, true, dir.path());
        QVERIFY(tmp.startsWith(dir.path() + "/"));
        QVERIFY(tmp.endsWith(".txt"));
        QVERIFY(!QFileInfo::exists(tmp));
        QCOMPARE(zem::get_string_number("a", 3), QString("a_001"));
        QCOMPARE(zem::get_string_number("a_001", 3), QString("a_002"));
    }
};

QTEST_GUILESS_MAIN(TestXProcess)
#include "test_xprocess.moc"
