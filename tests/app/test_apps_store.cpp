// Application records and their store: field defaults, environment references, the short array
// text, deep copies, the store file (missing, damaged, round trip), the default list, and the
// store through the real start-up (defaults when missing, kept across a restart).
#include "KernelGUI.h"
#include "Logger.h"
#include "TestDir.h"
#include "XEnv.h"
#include "XRuntime.h"
#include "gui/apps/XApp.h"
#include "gui/apps/XAppDefaults.h"
#include "gui/apps/XAppManager.h"
#include "gui/apps/XType_App.h"
#include "gui/dia/DiaFirstMessage.h"
#include "main/FindApplication.h"

#include <QtTest>

using zemFinder::XApp;
using zemFinder::XAppDefaults;
using zemFinder::XAppManager;
using zemFinder::XType_App;

namespace {
std::function<void()> g_inLoop;

int appWithStep(zem::KernelGUI& kernel)
{
    QTimer::singleShot(0, [] {
        if (g_inLoop)
            g_inLoop();
        QCoreApplication::quit();
    });
    return zemFinder::FindApplication::zemFind(kernel);
}
const zem::TestGuiContextAdder g_adder(appWithStep, "test.apps", "", {QStringLiteral("file")});

int runApp()
{
    QList<QByteArray> words{"zemfinder", "test.apps"};
    std::vector<char*> argv;
    for (QByteArray& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    int argc = int(words.size());
    return zem::XRuntime::runStandard(argc, argv.data(), nullptr, "app", "zemEngine", nullptr);
}

XApp named(const QString& name)
{
    XApp app;
    app.set_name(name);
    app.set_path(QStringLiteral("/bin/") + name);
    return app;
}

zem::XTree tree_of(const QStringList& names)
{
    zem::XTree tree;
    for (const QString& name : names)
        tree.treeArray(XAppManager::KEY).push_back(std::make_unique<XApp>(named(name)));
    return tree;
}

QStringList names(const std::vector<XApp*>& apps)
{
    QStringList out;
    for (XApp* app : apps)
        out << app->name();
    return out;
}

bool hasLine(const QStringList& lines, const QString& text)
{
    return std::any_of(lines.begin(), lines.end(), [&text](const QString& l) { return l.trimmed() == text; });
}
} // namespace

class TestAppsStore : public QObject {
    Q_OBJECT

private:
    QString m_home;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The first-run message is closed at once; its own tests are elsewhere.
        zemFinder::DiaFirstMessage::execHook = [](zemFinder::DiaFirstMessage&) { return int(QDialog::Rejected); };
    }

    void cleanup()
    {
        zem::Logger::stopCapture();
        g_inLoop = nullptr;
    }

    // --- the record ---
    void minimalRecordDefaults()
    {
        XApp app;
        app.set_name(QStringLiteral("ed"));
        app.set_path(QStringLiteral("ed"));
        QVERIFY(app.is_flag_enabled());
        QVERIFY(!app.is_flag_terminal());
        QVERIFY(!app.is_flag_keep_term_open());
        QVERIFY(!app.is_flag_show_output());
        QCOMPARE(app.arguments(true), QString());
        QVERIFY(!app.has_arguments());
        QCOMPARE(app.keys(), QStringList({"name", "path"}));
        QVERIFY(app.is_name(QStringLiteral("ed")));
        QVERIFY(!app.is_name(QStringLiteral("Ed")));
    }

    void replacementOnAndOff()
    {
        zem::setEnv(QStringLiteral("G_PATH"), QStringLiteral("/tmp/a b/c.txt"));
        XApp app;
        app.set_arguments(QStringLiteral("$(G_PATH)"));
        QCOMPARE(app.arguments(true), QStringLiteral("/tmp/a b/c.txt"));
        QCOMPARE(app.arguments(false), QStringLiteral("$(G_PATH)"));
        QVERIFY(app.has_arguments());
        zem::setEnv(QStringLiteral("ZF_EMPTY_VAR"), QString());
        app.set_arguments(QStringLiteral("$(ZF_EMPTY_VAR)"));
        QVERIFY(!app.has_arguments());
        app.set_name(QStringLiteral("$(G_PATH)"));
        QVERIFY(app.is_name(QStringLiteral("$(G_PATH)")));
    }

    void keyOfAnotherKindReadsEmpty()
    {
        XApp app;
        app.setTree(QStringLiteral("path"), std::make_unique<zem::XTree>());
        app.setBool(QStringLiteral("title"), true);
        QCOMPARE(app.path(true), QString());
        QCOMPARE(app.title(false), QString());
    }

    void copiesAreDeep()
    {
        XApp a = named(QStringLiteral("one"));
        a.set_flag_show_output(true);
        XApp b = a;
        b.set_name(QStringLiteral("two"));
        QCOMPARE(a.name(), QStringLiteral("one"));
        QVERIFY(b.is_flag_show_output());
        XApp c;
        c = b;
        QCOMPARE(c.name(), QStringLiteral("two"));
        QCOMPARE(c.keys(), b.keys());
    }

    void twelveRecordsStringIsShortened()
    {
        QStringList list;
        for (int i = 1; i <= 12; ++i)
            list << QStringLiteral("a%1").arg(i);
        const zem::XTree tree = tree_of(list);
        const QString text = XType_App::for_store().arrayAsString(*tree.getTreeArray(XAppManager::KEY));
        QCOMPARE(text, XApp::type_name()
                           + QStringLiteral(" [12] {(XApp@a1), (XApp@a2), (XApp@a3), (XApp@a4), (XApp@a5), ..., "
                                            "(XApp@a8), (XApp@a9), (XApp@a10), (XApp@a11), (XApp@a12)}"));
        const zem::XTree three = tree_of({"x", "y", "z"});
        QCOMPARE(XType_App::for_store().arrayAsString(*three.getTreeArray(XAppManager::KEY)),
                 XApp::type_name() + QStringLiteral(" [3] {(XApp@x), (XApp@y), (XApp@z)}"));
        zem::Logger::startCapture();
        XType_App::for_store().showArray(*tree.getTreeArray(XAppManager::KEY), 0);
        QVERIFY(hasLine(zem::Logger::capturedLines(),
                        QStringLiteral("XApp@a1 XApp@a2 XApp@a3 XApp@a4 XApp@a5 ... XApp@a8 XApp@a9 XApp@a10 "
                                       "XApp@a11 XApp@a12")));
    }

    void dumpWritesEveryField()
    {
        zem::Logger::startCapture();
        XApp app = named(QStringLiteral("d"));
        app.set_flag_terminal(true);
        app.dump(0);
        const QStringList lines = zem::Logger::capturedLines();
        QVERIFY(hasLine(lines, QStringLiteral("XApp@d")));
        QVERIFY(hasLine(lines, QStringLiteral("path:'/bin/d'")));
        QVERIFY(hasLine(lines, QStringLiteral("is_flag_terminal:'true'")));
        QVERIFY(hasLine(lines, QStringLiteral("is_flag_show_output:'false'")));
        QVERIFY(hasLine(lines, QStringLiteral("toolTip:''")));
    }

    // --- the store file ---
    void storeRoundTripKeepsTypesAndOrder()
    {
        TestDir dir;
        XAppManager::set_file(dir.abs("apps.bin"));
        zem::XTree tree = tree_of({"b", "a", "c"});
        XAppManager::set_tree(tree);
        static_cast<XApp*>(XAppManager::get_apps()[1])->set_flag_terminal(true);
        QVERIFY(XAppManager::save());
        XAppManager::set_tree(zem::XTree());
        QVERIFY(XAppManager::get_apps().empty());
        QVERIFY(XAppManager::load());
        const auto apps = XAppManager::get_apps();
        QCOMPARE(names(apps), QStringList({"b", "a", "c"}));
        QVERIFY(apps[1]->is_flag_terminal());
        QVERIFY(!apps[0]->has(XApp::KEY_FLAG_TERMINAL));
        // The editor's copy is independent of the store.
        auto copy = XAppManager::get_copy();
        XAppManager::apps_of(*copy)[0]->set_name(QStringLiteral("changed"));
        QCOMPARE(XAppManager::get_apps()[0]->name(), QStringLiteral("b"));
    }

    void missingStoreIsToldAndFalse()
    {
        TestDir dir;
        XAppManager::set_file(dir.abs("none.bin"));
        XAppManager::set_tree(tree_of({"kept"}));
        zem::Logger::startCapture();
        QVERIFY(!XAppManager::load());
        QVERIFY(hasLine(zem::Logger::capturedLines(),
                        QStringLiteral("XAppManager::load, '$' does not exist").replace('$', dir.abs("none.bin"))));
        QCOMPARE(names(XAppManager::get_apps()), QStringList({"kept"}));
        QVERIFY(!QFileInfo::exists(dir.abs("none.bin")));
    }

    void damagedStoreIsKeptAsBad()
    {
        TestDir dir;
        const QString path = dir.write("apps.bin", QByteArray("ZEMT\x00\x00\x00\x01 garbage", 17));
        XAppManager::set_file(path);
        XAppManager::set_tree(tree_of({"before"}));
        QVERIFY(!XAppManager::load());
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(QFileInfo::exists(path + ".bad"));
        QCOMPARE(names(XAppManager::get_apps()), QStringList({"before"}));
        // A later save writes a fresh store and leaves the damaged one alone.
        QVERIFY(XAppManager::save());
        QVERIFY(XAppManager::load());
        QCOMPARE(QFileInfo(path + ".bad").size(), 17);
    }

    void saveIntoMissingFolderFails()
    {
        XAppManager::set_file(QStringLiteral("/nonexistent-zf-dir/apps.bin"));
        QVERIFY(!XAppManager::save());
    }

    // --- the default list ---
    void defaultListIsOneUsableEditor()
    {
        XAppManager::set_defaults();
        const auto apps = XAppManager::get_apps();
        QCOMPARE(int(apps.size()), 1);
        XApp* app = apps[0];
        QVERIFY(!app->name().isEmpty());
        QVERIFY(!QStandardPaths::findExecutable(app->path()).isEmpty() || app->path() == QLatin1String("xdg-open"));
        QVERIFY(app->arguments().contains(QStringLiteral("$(G_PATH)")));
        QVERIFY(app->has(XApp::KEY_FLAG_TERMINAL));
        QVERIFY(app->is_flag_enabled());
    }

    void desktopDefaultForPlainTextWins()
    {
        const QString apps = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + "/applications";
        QDir().mkpath(apps);
        QFile desktop(apps + "/zf-test-editor.desktop");
        QVERIFY(desktop.open(QIODevice::WriteOnly));
        desktop.write("[Desktop Entry]\nType=Application\nName=Test Pad\nName[de]=Testblock\n"
                      "Exec=/bin/cat --new-window %F\nIcon=pad\n[Desktop Action x]\nExec=/bin/false\n");
        desktop.close();
        QFile list(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/mimeapps.list");
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("[Added Associations]\nimage/png=x.desktop;\n[Default Applications]\n"
                   "text/plain=zf-test-editor.desktop;other.desktop;\n");
        list.close();
        QCOMPARE(XAppDefaults::default_desktop_id("text/plain"), QStringLiteral("zf-test-editor.desktop"));
        const XApp app = XAppDefaults::text_editor();
        QCOMPARE(app.name(), QStringLiteral("Text Editor (Test Pad)"));
        QCOMPARE(app.path(), QStringLiteral("/bin/cat"));
        QCOMPARE(app.arguments(), QStringLiteral("--new-window $(G_PATH)"));
        list.remove();
        desktop.remove();
    }

    void consoleEditorOnlyWhereATerminalExists()
    {
        TestDir bin;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()));
        qunsetenv("TERMINAL");
        // No desktop default for plain text may come from the machine's own lists.
        qputenv("XDG_DATA_DIRS", QFile::encodeName(bin.path()));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(bin.path()));
        const QString nano = bin.write("nano", "#!/bin/sh\n");
        QFile::setPermissions(nano, QFile::ReadOwner | QFile::ExeOwner);
        QCOMPARE(XAppDefaults::text_editor().path(), QStringLiteral("xdg-open"));
        const QString term = bin.write("xterm", "#!/bin/sh\n");
        QFile::setPermissions(term, QFile::ReadOwner | QFile::ExeOwner);
        const XApp app = XAppDefaults::text_editor();
        qputenv("PATH", path);
        QCOMPARE(app.path(), QStringLiteral("nano"));
        QVERIFY(app.is_flag_terminal());
        QCOMPARE(app.arguments(), QStringLiteral("$(G_PATH)"));
    }

    // --- through the start-up ---
    void startUpUsesDefaultsThenKeepsTheSavedStore()
    {
        const QString file = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/zemfinder/zemFind-apps.bin";
        QFile::remove(file);
        QStringList seen, lines;
        g_inLoop = [&] {
            seen = names(XAppManager::get_apps());
            lines = zem::Logger::capturedLines();
            XAppManager::set_tree(tree_of({"mine", "yours"}));
            XAppManager::save();
        };
        zem::Logger::startCapture();
        QCOMPARE(runApp(), 0);
        QCOMPARE(seen.size(), 1);
        QVERIFY(hasLine(lines, "FindApplication::zemFind, XAppManager::load() == false"));
        QVERIFY(hasLine(lines, "FindApplication::zemFind, XAppManager::load() == false, after defaults"));
        QCOMPARE(XAppManager::file().absoluteFilePath(), QFileInfo(file).absoluteFilePath());

        XAppManager::set_tree(zem::XTree());
        g_inLoop = [&] { seen = names(XAppManager::get_apps()); };
        QCOMPARE(runApp(), 0);
        QCOMPARE(seen, QStringList({"mine", "yours"}));

        // A damaged store at start: defaults, and the bad file kept.
        QFile damaged(file);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("not a store");
        damaged.close();
        QCOMPARE(runApp(), 0);
        QCOMPARE(seen.size(), 1);
        QVERIFY(QFileInfo::exists(file + ".bad"));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    TestAppsStore test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_apps_store.moc"
