// Start-up through the real runtime: options survive a restart, a damaged configuration file
// is set aside, the environment is prepared, and the program binary refuses a second instance
// (which brings the running one forward), survives a stale lock and saves its configuration on
// SIGTERM.
#include "KernelGUI.h"
#include "TestDir.h"
#include "XEnv.h"
#include "XNode.h"
#include "XRuntime.h"
#include "gui/config/ConfigZemFinder.h"
#include "gui/dia/DiaFirstMessage.h"
#include "main/BuildInfo.h"
#include "main/FindApplication.h"
#include "main/StartUp.h"

#include "Logger.h"

#include <QtTest>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using zemFinder::WinFinderConfig;

namespace {
std::function<void(zem::KernelGUI&)> g_inLoop;

// The real "app" command, with a step run inside its event loop that then quits.
int appWithStep(zem::KernelGUI& kernel)
{
    QTimer::singleShot(0, [&kernel] {
        if (g_inLoop)
            g_inLoop(kernel);
        QCoreApplication::quit();
    });
    return zemFinder::FindApplication::zemFind(kernel);
}
const zem::TestGuiContextAdder g_adder(appWithStep, "test.app", "", {QStringLiteral("file")});

int runApp(const QStringList& extra = {})
{
    QList<QByteArray> words{"zemfinder", "test.app"};
    for (const QString& w : extra)
        words << w.toUtf8();
    std::vector<char*> argv;
    for (QByteArray& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    int argc = int(words.size());
    return zem::XRuntime::runStandard(argc, argv.data(), nullptr, "app", "zemEngine", nullptr);
}

QString binary()
{
    return QStringLiteral(ZEM_TEST_BINARY_DIR "/zemfinder");
}

// A configuration file whose only content ends the first-run state, so a started binary goes
// straight to its window.
void writeConfigPastFirstRun()
{
    zem::XNode root(QStringLiteral("root"));
    root.setBool(QStringLiteral("flagSeeIniMessage"), false);
    QVERIFY(root.saveXml(zem::KernelGUI::configFilePath()));
}

bool waitForFile(const QString& path, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!QFileInfo::exists(path)) {
        if (t.elapsed() > timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private:
    QString m_home;

private Q_SLOTS:
    void initTestCase()
    {
        m_home = isolateHomes();
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The first-run message is closed at once; its own tests are elsewhere.
        zemFinder::DiaFirstMessage::execHook = [](zemFinder::DiaFirstMessage&) { return int(QDialog::Rejected); };
    }

    void termDuringTheFirstRunMessageEndsTheProgram()
    {
        QFile::remove(zem::KernelGUI::configFilePath());
        QProcess app;
        app.start(binary(), QStringList());
        QVERIFY(app.waitForStarted());
        QByteArray output;
        QElapsedTimer waited;
        waited.start();
        // "english": the dialog has chosen its page and is about to be shown.
        while (!output.contains("english") && waited.elapsed() < 30000) {
            app.waitForReadyRead(200);
            output += app.readAllStandardError();
        }
        QVERIFY2(output.contains("english"), output.constData());
        QTest::qWait(500);
        ::kill(pid_t(app.processId()), SIGTERM);
        QVERIFY(app.waitForFinished(30000));
        output += app.readAllStandardError();
        QCOMPARE(app.exitCode(), 0);
        QVERIFY2(!output.contains("FindApplication::zemFind <<<"), output.constData());
    }

    void optionsSurviveARestart()
    {
        g_inLoop = [](zem::KernelGUI&) {
            WinFinderConfig& c = WinFinderConfig::get();
            c.countThreads = 5;
            c.flagStatusBar = true;
            c.startFolder = QStringLiteral("/some where/ü");
            c.flagUseStartFolder = true;
            c.TextFiles = {"abc"};
        };
        QCOMPARE(runApp(), 0);

        WinFinderConfig::get() = WinFinderConfig();
        WinFinderConfig seen;
        g_inLoop = [&seen](zem::KernelGUI&) { seen = WinFinderConfig::get(); };
        QCOMPARE(runApp(), 0);
        QCOMPARE(seen.countThreads, 5u);
        QCOMPARE(seen.flagStatusBar, true);
        QCOMPARE(seen.startFolder, QStringLiteral("/some where/ü"));
        QCOMPARE(seen.flagUseStartFolder, true);
        QVERIFY(seen.TextFiles.contains("abc"));
        g_inLoop = nullptr;
    }

    void startPathRules()
    {
        TestDir dir;
        QDir::setCurrent(dir.path());
        zemFinder::remember_start_directory();
        QString path;
        g_inLoop = [&path](zem::KernelGUI& k) { path = zemFinder::FindApplication::start_path(k); };

        g_inLoop = [](zem::KernelGUI&) {
            WinFinderConfig::get().flagUseStartFolder = true;
            WinFinderConfig::get().startFolder = QStringLiteral("/configured");
        };
        QCOMPARE(runApp(), 0);
        g_inLoop = [&path](zem::KernelGUI& k) { path = zemFinder::FindApplication::start_path(k); };
        QCOMPARE(runApp({"--file", "sub/file.txt"}), 0);
        QCOMPARE(path, dir.path() + QStringLiteral("/sub/file.txt"));

        QCOMPARE(runApp(), 0);
        QCOMPARE(path, QStringLiteral("/configured"));
        g_inLoop = nullptr;
    }

    void keysNotAllowedEndWithOne()
    {
        QCOMPARE(runApp({"--bogus", "1"}), 1);
    }

    void damagedConfigIsKeptAsBadAndDefaultsUsed()
    {
        const QString path = zem::KernelGUI::configFilePath();
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("<node name=\"root\"><node name=\"app\"><a key=\"x\" type=\"bool\">tr");
        f.close();
        bool ran = false;
        g_inLoop = [&ran](zem::KernelGUI&) { ran = true; };
        QCOMPARE(runApp(), 0);
        QVERIFY(ran);
        QVERIFY(QFileInfo::exists(path + ".bad"));
        zem::XNode check;
        QVERIFY(check.loadXml(path));
        QVERIFY(check.getNode("app"));
        g_inLoop = nullptr;
    }

    void unreadableConfigIsLeftInPlaceAndNotSavedOver_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder in its place") << "folder";
        // A pipe nobody writes to: reading it would wait for ever.
        QTest::newRow("pipe in its place") << "fifo";
        if (::geteuid() != 0)
            QTest::newRow("mode 000") << "mode000";
    }
    void unreadableConfigIsLeftInPlaceAndNotSavedOver()
    {
        QFETCH(QString, kind);
        const QString path = zem::KernelGUI::configFilePath();
        QFile::remove(path);
        QFile::remove(path + ".bad");
        const QByteArray valid = "<node name=\"root\"><node name=\"app\"></node></node>";
        if (kind == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == "fifo") {
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(valid);
            f.close();
            QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        }
        const QFileInfo before(path);
        bool ran = false;
        g_inLoop = [&ran](zem::KernelGUI& k) {
            ran = true;
            QVERIFY(k.isConfigKept());
            WinFinderConfig::get().startFolder = QStringLiteral("/changed");
        };
        zem::Logger::startCapture();
        QElapsedTimer took;
        took.start();
        const int rc = runApp();
        const QStringList lines = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        g_inLoop = nullptr;
        QCOMPARE(rc, 0);
        QVERIFY(ran);
        QVERIFY(took.elapsed() < 10000);
        QVERIFY(!QFileInfo::exists(path + ".bad"));
        const QFileInfo after(path);
        QVERIFY(after.exists());
        QCOMPARE(after.isDir(), before.isDir());
        QCOMPARE(after.isFile(), before.isFile());
        QCOMPARE(after.lastModified(), before.lastModified());
        QVERIFY(lines.filter("KernelGUI::loadConfig, cannot read <<<").size() == 1);
        QVERIFY(lines.filter("KernelGUI::saveConfig, <<<").size() == 1);
        if (kind == "folder")
            QVERIFY(QDir(path).removeRecursively());
        else
            QVERIFY(QFile::remove(path));
    }

    void environmentIsPrepared()
    {
        qputenv("ZEM_WINDOWS_DEVELOP", "");
        zemFinder::set_env_variables();
        QCOMPARE(zem::getEnv("OS"), QStringLiteral("LINUX"));
        QCOMPARE(zem::getEnv("ZEMFINDER_VERSION"), QStringLiteral("1.00.15"));
        QCOMPARE(zem::getEnv("BUILD_DATE"), QStringLiteral("Sep 13 2022"));
        QCOMPARE(zem::getEnv("BUILD_TIME"), QStringLiteral("19:39:31"));
        QCOMPARE(zem::getEnv("QT_PLUGIN_PATH"), zem::get_exe_path(false) + "/plugins");
        QCOMPARE(QDir::currentPath(), zem::get_exe_path(false));

        qputenv("QT_PLUGIN_PATH", "/callers/own");
        qputenv("ZEM_WINDOWS_DEVELOP", "yes");
        zemFinder::set_env_variables();
        QCOMPARE(zem::getEnv("QT_PLUGIN_PATH"), QStringLiteral("/callers/own"));
        qunsetenv("ZEM_WINDOWS_DEVELOP");
        qunsetenv("QT_PLUGIN_PATH");
    }

    void binaryRefusesSecondInstanceSurvivesKillAndSavesOnTerm()
    {
        const QString lock = zem::getEnv("XDG_RUNTIME_DIR") + "/zemFind.lock";
        QFile::remove(lock);
        QProcess first;
        first.start(binary(), QStringList());
        QVERIFY(first.waitForStarted());
        QVERIFY(waitForFile(lock, 30000));

        // The running program listens beside its lock for a second start.
        const QString socket = zem::getEnv("XDG_RUNTIME_DIR") + "/zemFind.socket";
        QVERIFY(waitForFile(socket, 30000));
        TestDir files;
        const QString wanted = QFileInfo(files.write("wanted.txt", "x")).absoluteFilePath();

        QProcess second;
        second.start(binary(), QStringList{"--file", wanted});
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(second.readAllStandardError().contains("ONE-INSTANCE-ONLY!"));
        // ... and the running one heard it: its window comes forward on that file.
        QByteArray heard;
        QElapsedTimer waitedHeard;
        waitedHeard.start();
        const QByteArray line = "FindApplication::on_second_start, <<<" + wanted.toUtf8() + ">>>";
        while (!heard.contains(line) && waitedHeard.elapsed() < 30000) {
            first.waitForReadyRead(200);
            heard += first.readAllStandardError();
        }
        QVERIFY2(heard.contains(line), heard.right(2000).constData());

        first.kill();
        QVERIFY(first.waitForFinished(10000));
        QVERIFY(QFileInfo::exists(lock));   // left behind by the killed process

        writeConfigPastFirstRun();
        QProcess third;
        third.start(binary(), QStringList());
        QVERIFY(third.waitForStarted());
        // No event loop in this process: read the child's output by blocking waits.
        QByteArray output;
        QElapsedTimer waited;
        waited.start();
        while (!output.contains("FindApplication::zemFind") && waited.elapsed() < 30000) {
            third.waitForReadyRead(200);
            output += third.readAllStandardError();
        }
        QVERIFY2(output.contains("FindApplication::zemFind"), output.constData());
        QCOMPARE(third.state(), QProcess::Running);
        ::kill(pid_t(third.processId()), SIGTERM);
        QVERIFY(third.waitForFinished(30000));
        QCOMPARE(third.exitStatus(), QProcess::NormalExit);
        QCOMPARE(third.exitCode(), 0);
        zem::XNode saved;
        QVERIFY(saved.loadXml(zem::KernelGUI::configFilePath()));
        QVERIFY(saved.getNode("app") && saved.getNode("app")->getNode("Config"));
        QVERIFY(saved.getNode("app")->getNode("Config")->has("countThreads"));
    }
};

int main(int argc, char** argv)
{
    // No application object here: each run of the runtime makes its own.
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_startup.moc"
