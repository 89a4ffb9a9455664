// The application runner with real processes: hostile file names reach the started program as
// exactly their bytes (directly and through a terminal's shell), the shell quoting holds for any
// bytes, the terminal command text, the output coming back ($OUTPUT selecting a file, a preview
// otherwise, the crash, error and empty texts), the working folder and environment, and that no
// program ever holds the caller.
#include "KernelGUI.h"
#include "Logger.h"
#include "TestDir.h"
#include "XEnv.h"
#include "XFileEnv.h"
#include "XNode.h"
#include "XProcess.h"
#include "dir/ContextPreviews.h"
#include "gui/WinFinder.h"
#include "gui/WinTray.h"
#include "gui/apps/Terminal.h"
#include "gui/apps/XApp.h"
#include "gui/apps/XAppRunner.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XTreeViewFiles.h"

#include <QtTest>

using zemFinder::Terminal;
using zemFinder::WinFinder;
using zemFinder::XApp;
using zemFinder::XAppRunner;

namespace {
// Writes each argument followed by a NUL into the file named by its first argument.
const char* RECEIVER = "#!/bin/sh\nout=\"$1\"; shift\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$out.part\"\n"
                       "mv \"$out.part\" \"$out\"\n";
// A terminal stand-in: logs its arguments and folder, then runs what follows -e.
const char* FAKE_TERMINAL = "#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$ZF_TERM_LOG.part\"\npwd > \"$ZF_TERM_LOG.pwd\"\n"
                            "mv \"$ZF_TERM_LOG.part\" \"$ZF_TERM_LOG\"\n"
                            "if [ \"$1\" = \"-e\" ]; then shift; exec \"$@\"; fi\n";

QString script(const TestDir& dir, const QString& name, const QByteArray& text)
{
    const QString path = dir.write(name, text);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QByteArray waitForFile(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    while (!QFileInfo::exists(path) && timer.elapsed() < 10000)
        QTest::qWait(20);
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray nulJoined(const QStringList& words)
{
    QByteArray out;
    for (const QString& w : words)
        out += QFile::encodeName(w) + '\0';
    return out;
}

XApp receiverApp(const QString& receiver, const QString& out)
{
    XApp app;
    app.set_name(QStringLiteral("receiver"));
    app.set_path(receiver);
    app.set_arguments(zem::XProcess::join_args({out}) + QStringLiteral(" $(G_PATH)"));
    return app;
}
} // namespace

class TestAppsRunner : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;
    QString m_receiver;
    QStringList m_outputs;
    int m_count = 0;

    QString nextOut() { return m_dir.abs(QStringLiteral("out%1").arg(++m_count)); }

    QString waitForOutput()
    {
        QElapsedTimer timer;
        timer.start();
        while (m_outputs.isEmpty() && timer.elapsed() < 10000)
            QTest::qWait(20);
        return m_outputs.isEmpty() ? QStringLiteral("<none>") : m_outputs.takeFirst();
    }

    XApp outputApp(const QByteArray& body)
    {
        XApp app;
        app.set_path(script(m_dir, QStringLiteral("s%1.sh").arg(++m_count), "#!/bin/sh\n" + body));
        app.set_flag_show_output(true);
        return app;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_receiver = script(m_dir, "recv.sh", RECEIVER);
        const QString bin = m_dir.mkdir("bin");
        script(m_dir, "bin/x-terminal-emulator", FAKE_TERMINAL);
        qputenv("PATH", QFile::encodeName(bin) + ":" + qgetenv("PATH"));
        qputenv("ZF_TERM_LOG", QFile::encodeName(m_dir.abs("term.log")));
        XAppRunner::output_listeners().set([this](const QString& text) { m_outputs << text; });
        zemFinder::WinFinderConfig::get().flagUseStartFolder = false;
    }

    void cleanup()
    {
        QFile::remove(m_dir.abs("term.log"));
        m_outputs.clear();
        XAppRunner::output_listeners().set([this](const QString& text) { m_outputs << text; });
    }

    void cleanupTestCase()
    {
        XAppRunner::output_listeners().clear();
        zemFinder::WinTray::destroy();
    }

    // --- hostile names ---
    void hostileNamesReachTheProgramExactly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("terminal");
        const QStringList names{"two  blanks.txt", "it's \"quoted\".txt", "semi;colon; rm -rf x", "$(touch pwned)",
                                "`touch pwned`", "new\nline", "-rf", "tab\there", "x$(G_NAME)y", "back\\slash"};
        for (bool terminal : {false, true})
            for (const QString& name : names)
                QTest::newRow(qPrintable((terminal ? "terminal " : "direct ") + QString(name).replace('\n', "\\n")))
                    << name << terminal;
    }

    void hostileNamesReachTheProgramExactly()
    {
        QFETCH(QString, name);
        QFETCH(bool, terminal);
        const QString file = m_dir.write("hostile/" + name, "x");
        QVERIFY(QFileInfo::exists(file));
        const QString out = nextOut();
        XApp app = receiverApp(m_receiver, out);
        app.set_flag_terminal(terminal);
        zem::fileInfo_to_env(QFileInfo(file));
        QVERIFY(XAppRunner::start_program(app));
        QCOMPARE(waitForFile(out), nulJoined({QFileInfo(file).absoluteFilePath()}));
        QVERIFY(!QFileInfo::exists(m_dir.abs("pwned")));
        QVERIFY(!QFileInfo::exists(QDir::current().absoluteFilePath("pwned")));
        if (terminal) {
            const QList<QByteArray> words = waitForFile(m_dir.abs("term.log")).split('\0');
            QCOMPARE(words.value(0), QByteArray("-e"));
            QCOMPARE(words.value(1), QByteArray("bash"));
            QCOMPARE(words.value(2), QByteArray("-c"));
        }
    }

    void shellQuotingHoldsForAnyBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("invalid utf-8") << QByteArray("bad\xff\xfe name");
        QTest::newRow("quotes") << QByteArray("a'b\"c''");
        QTest::newRow("substitutions") << QByteArray("$(id) `id` ${HOME} $HOME");
        QTest::newRow("separators") << QByteArray("; | & > < \n\t*?[a]~");
        QTest::newRow("leading dash") << QByteArray("-n");
        QTest::newRow("plain") << QByteArray("/usr/bin/plain-name_1.txt");
        QTest::newRow("empty") << QByteArray();
    }

    void shellQuotingHoldsForAnyBytes()
    {
        QFETCH(QByteArray, bytes);
        const QByteArray quoted = zem::XProcess::shell_quote(bytes);
        const QString out = nextOut();
        const QString cmd = m_dir.write(QStringLiteral("cmd%1.sh").arg(m_count),
                                        "printf '%s' " + quoted + " > " + zem::XProcess::shell_quote(QFile::encodeName(out)) + "\n");
        QProcess bash;
        bash.start(QStringLiteral("bash"), {cmd});
        QVERIFY(bash.waitForFinished(10000));
        QCOMPARE(waitForFile(out), bytes);
    }

    void plainWordsStayUnquoted()
    {
        QCOMPARE(zem::XProcess::shell_quote(QStringLiteral("/usr/bin/gedit")), QStringLiteral("/usr/bin/gedit"));
        QCOMPARE(zem::XProcess::shell_quote(QStringLiteral("a b")), QStringLiteral("'a b'"));
        QCOMPARE(zem::XProcess::shell_quote(QString()), QStringLiteral("''"));
    }

    // --- argument and environment texts ---
    void argumentTextSplitsBeforeReferencesAreFilled()
    {
        zem::setEnv(QStringLiteral("ZF_V"), QStringLiteral("a b \"c\""));
        QCOMPARE(zem::XProcess::expand_args(QStringLiteral("-x $(ZF_V) 'one two' \"th'ree\" back\\ slash")),
                 QStringList({"-x", "a b \"c\"", "one two", "th'ree", "back slash"}));
        QCOMPARE(zem::XProcess::split_args(QStringLiteral("  ")), QStringList());
        QCOMPARE(zem::XProcess::split_args(QStringLiteral("'' x")), QStringList({"", "x"}));
        const QStringList words{"a b", "c\"d", "e\\f", "plain", ""};
        QCOMPARE(zem::XProcess::split_args(zem::XProcess::join_args(words)), words);
    }

    void environmentTextReachesTheProgram()
    {
        XApp app = outputApp("printf '%s|%s' \"$ZF_ONE\" \"$ZF_TWO\"\n");
        app.set_environment(QStringLiteral("--ZF_ONE 'hello world' --ZF_TWO $(ZF_V)"));
        XAppRunner::start_program(app);
        QCOMPARE(waitForOutput(), QStringLiteral("hello world|a b \"c\""));
    }

    void workingDirIsUsedDirectly()
    {
        const QString dir = m_dir.mkdir("work dir");
        XApp app = outputApp("pwd\n");
        app.set_working_dir(dir);
        XAppRunner::start_program(app);
        QCOMPARE(waitForOutput().trimmed(), QFileInfo(dir).canonicalFilePath());
    }

    // --- terminal ---
    void terminalCommandText()
    {
        XApp app;
        app.set_path(QStringLiteral("prog"));
        app.set_flag_keep_term_open(true);
        QCOMPARE(XAppRunner::terminal_command(app), QStringLiteral("prog ; exec bash"));
        app.set_flag_keep_term_open(false);
        QCOMPARE(XAppRunner::terminal_command(app), QStringLiteral("prog "));
        app.set_path(QStringLiteral("/opt/my prog/run"));
        app.set_arguments(QStringLiteral("-v $(ZF_Q)"));
        zem::setEnv(QStringLiteral("ZF_Q"), QStringLiteral("it's"));
        QCOMPARE(XAppRunner::terminal_command(app), QStringLiteral("'/opt/my prog/run' -v 'it'\\''s'"));
    }

    void terminalWordsPerFamily()
    {
        QCOMPARE(Terminal::command_words({"/usr/bin/gnome-terminal"}, {"bash", "-c", "x"}),
                 QStringList({"/usr/bin/gnome-terminal", "--", "bash", "-c", "x"}));
        QCOMPARE(Terminal::command_words({"xfce4-terminal"}, {"ls"}), QStringList({"xfce4-terminal", "-x", "ls"}));
        QCOMPARE(Terminal::command_words({"kitty"}, {"ls"}), QStringList({"kitty", "ls"}));
        QCOMPARE(Terminal::command_words({"xterm"}, {"ls"}), QStringList({"xterm", "-e", "ls"}));
        QCOMPARE(Terminal::command_words({"xterm"}, {}), QStringList({"xterm"}));
        QVERIFY(Terminal::find_terminal().value(0).endsWith("bin/x-terminal-emulator"));
    }

    void terminalOpensInTheFolder()
    {
        const QString dir = m_dir.mkdir("folder; $(x) 'q'");
        const QString file = m_dir.write("folder; $(x) 'q'/f.txt", "x");
        QVERIFY(Terminal::open_here(QFileInfo(file)));
        QCOMPARE(waitForFile(m_dir.abs("term.log")), QByteArray(1, '\0'));   // no words at all
        QCOMPARE(waitForFile(m_dir.abs("term.log.pwd")).trimmed(), QFile::encodeName(QFileInfo(dir).canonicalFilePath()));
        QFile::remove(m_dir.abs("term.log.pwd"));
        QFile::remove(m_dir.abs("term.log"));
        QVERIFY(Terminal::open_here(QFileInfo(dir)));
        QCOMPARE(waitForFile(m_dir.abs("term.log.pwd")).trimmed(), QFile::encodeName(QFileInfo(dir).canonicalFilePath()));
    }

    // --- output back ---
    void outputTexts()
    {
        XAppRunner::start_program(outputApp("echo 'some output'\n"));
        QCOMPARE(waitForOutput(), QStringLiteral("some output\n"));
        XAppRunner::start_program(outputApp("exit 3\n"));
        QCOMPARE(waitForOutput(), QStringLiteral("Process result is empty!"));
        XAppRunner::start_program(outputApp("echo before\nkill -SEGV $$\n"));
        QCOMPARE(waitForOutput(), QStringLiteral("Process crashed\n").repeated(4));
        // Standard input is closed: a program reading it ends instead of waiting for ever.
        XAppRunner::start_program(outputApp("cat\necho done\n"));
        QCOMPARE(waitForOutput(), QStringLiteral("done\n"));
    }

    void processErrorIsShownEvenWithoutOutputWanted()
    {
        for (bool wanted : {false, true}) {
            XApp app;
            app.set_path(m_dir.abs("no such program"));
            app.set_flag_show_output(wanted);
            XAppRunner::start_program(app);
            QCOMPARE(waitForOutput(), QStringLiteral("Process Error\nProcess Error\n"));
            QTRY_COMPARE_WITH_TIMEOUT(zem::XProcess::alive_count(), 0, 10000);
        }
    }

    void nothingWaitsForAProgram()
    {
        const QString pidFile = m_dir.abs("sleeper.pid");
        QElapsedTimer timer;
        timer.start();
        for (bool wanted : {false, true}) {
            const QByteArray body = wanted ? QByteArray("exec sleep 300\n")
                                           : "echo $$ > '" + QFile::encodeName(pidFile) + "'\nexec sleep 300\n";
            XApp app = outputApp(body);
            app.set_flag_show_output(wanted);
            XAppRunner::start_program(app);
        }
        QVERIFY(timer.elapsed() < 5000);   // hang guard: a start returns at once
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(pidFile), 10000);
        // The detached one runs on by itself; the attached one ends with its object.
        QTRY_COMPARE_WITH_TIMEOUT(zem::XProcess::alive_count(), 1, 10000);
        const QList<zem::XProcess*> attached = qApp->findChildren<zem::XProcess*>();
        QCOMPARE(attached.size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(attached[0]->state(), QProcess::Running, 10000);
        timer.restart();
        delete attached[0];
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(zem::XProcess::alive_count(), 0);
        QFile pid(pidFile);
        QVERIFY(pid.open(QIODevice::ReadOnly));
        QProcess::execute(QStringLiteral("kill"), {QString::fromLatin1(pid.readAll().trimmed())});
    }

    void outputLineSelectsAFileOrShowsAPreview()
    {
        const QString other = m_dir.write("tree/other file 'x'.txt", "other");
        m_dir.write("tree/first.txt", "first");
        WinFinder* win = WinFinder::create_window(&m_node, m_dir.abs("tree/first.txt"));
        win->show();
        QVERIFY(QTest::qWaitForWindowExposed(win));
        XAppRunner::output_listeners().set([](const QString& text) { WinFinder::show_output_in_main_window(text); });

        XAppRunner::start_program(outputApp("echo working\necho \"\\$OUTPUT = \\\"" + QFile::encodeName(other) + "\\\"\"\n"));
        QTRY_COMPARE_WITH_TIMEOUT(win->treeView()->selectedFile().absoluteFilePath(), QFileInfo(other).absoluteFilePath(),
                                  10000);

        XAppRunner::start_program(outputApp("echo '$OUTPUT = /no/such/file'\n"));
        QTRY_VERIFY_WITH_TIMEOUT(win->contextMain()->file().absoluteFilePath().contains("/output/zf_"), 10000);
        QFile shown(win->contextMain()->file().absoluteFilePath());
        QVERIFY(shown.open(QIODevice::ReadOnly));
        QCOMPARE(shown.readAll(), QByteArray("$OUTPUT = /no/such/file\n"));
        win->close();
    }

    void outputTargetRules()
    {
        const QString file = m_dir.write("t/it's.txt", "x");
        const QString plain = m_dir.write("t/plain.txt", "x");
        QCOMPARE(WinFinder::output_target("a\n$OUTPUT   =   '" + plain + "'  \nmore"), plain);
        QCOMPARE(WinFinder::output_target("$OUTPUT=\"" + file + "\""), file);
        QCOMPARE(WinFinder::output_target("$OUTPUT=" + plain + "\r\n"), plain);
        QCOMPARE(WinFinder::output_target("$output=" + plain), QString());
        QCOMPARE(WinFinder::output_target("$OUTPUT " + plain), QString());
        QCOMPARE(WinFinder::output_target("$OUTPUT = '/no/such'"), QString());
    }

private:
    zem::XNode m_node{QStringLiteral("Window")};
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestAppsRunner test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_apps_runner.moc"
