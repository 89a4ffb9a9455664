// The headless runner that both the launcher and the full program use: which command line names
// a headless command, and what a run hands the command and does after it.
#include "XHeadlessRuntime.h"

#include <QCoreApplication>
#include <QtTest>

using namespace zem;

namespace {
struct Seen {
    bool ran = false;
    bool hadApplication = false;
    bool keysAccepted = false;
    QString value;
    bool exitHandlerRan = false;
};
Seen g_seen;

int probe(Kernel& kernel)
{
    g_seen.ran = true;
    g_seen.hadApplication = QCoreApplication::instance() != nullptr;
    g_seen.keysAccepted = kernel.commandLine().checkKeys();
    g_seen.value = kernel.commandLine().getString(QStringLiteral("dir"), QString());
    kernel.addExitHandler([] { g_seen.exitHandlerRan = true; });
    return 7;
}

int windowCommand(Kernel&)
{
    return 0;
}

const TestContextAdder g_probe(probe, "test.probe", "", false, {QStringLiteral("flag")}, {QStringLiteral("dir")});
const TestContextAdder g_window(windowCommand, "test.window", "", true);

int runWith(QList<QByteArray> words)
{
    std::vector<char*> argv;
    for (QByteArray& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    const CommandEntry* entry = CommandRegistry::find(QStringLiteral("test.probe"));
    return entry ? XHeadlessRuntime::run(int(words.size()), argv.data(), *entry) : -1;
}
} // namespace

class TestHeadlessRuntime : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void onlyANamedHeadlessCommandIsRunHere_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("found");
        QTest::newRow("headless") << QStringList{"test.probe", "--dir", "x"} << "test.probe";
        QTest::newRow("window command") << QStringList{"test.window"} << "";
        QTest::newRow("unknown") << QStringList{"no.such.command", "--dir", "x"} << "";
        QTest::newRow("no command") << QStringList{} << "";
        QTest::newRow("keys only") << QStringList{"--dir", "x"} << "";
    }
    void onlyANamedHeadlessCommandIsRunHere()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, found);
        const CommandEntry* entry = XHeadlessRuntime::headlessCommand(CommandLine(args));
        QCOMPARE(entry ? entry->name : QString(), found);
    }

    void argumentsAreTheWordsAfterTheProgramName()
    {
        QList<QByteArray> words{"zemfinder", "search", "--dir", "a b"};
        std::vector<char*> argv;
        for (QByteArray& w : words)
            argv.push_back(w.data());
        QCOMPARE(XHeadlessRuntime::argsOf(int(argv.size()), argv.data()), QStringList({"search", "--dir", "a b"}));
    }

    void runGivesTheCommandItsCheckedLineAndRunsExitHandlers()
    {
        g_seen = Seen();
        QCOMPARE(runWith({"zemfinder", "test.probe", "--dir", "/some/where", "--flag"}), 7);
        QVERIFY(g_seen.ran);
        QVERIFY(g_seen.hadApplication);
        QVERIFY(g_seen.keysAccepted);
        QCOMPARE(g_seen.value, QStringLiteral("/some/where"));
        QVERIFY(g_seen.exitHandlerRan);
        QVERIFY(!QCoreApplication::instance());
    }

    void runChecksTheCommandsOwnKeys()
    {
        g_seen = Seen();
        QCOMPARE(runWith({"zemfinder", "test.probe", "--bogus", "1"}), 7);
        QVERIFY(!g_seen.keysAccepted);
    }
};

int main(int argc, char** argv)
{
    // No application object here: each run makes its own, as the programs do.
    TestHeadlessRuntime test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_headless_runtime.moc"
