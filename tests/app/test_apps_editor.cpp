// The application editor and the open-with menu: the list model's operations (copy naming,
// inserts, deletes, swaps, range faults), the editor window's buttons (add, copy, reorder, delete
// with its selection rules, Apply, Reset after several Applies, OK, Cancel, one editor at a time),
// the submenu's entries (records in order, disabled ones too, the editor entry, an empty store)
// and an entry starting its record on the chosen file.
#include "KernelGUI.h"
#include "Logger.h"
#include "TestDir.h"
#include "XNode.h"
#include "XProcess.h"
#include "XStrings.h"
#include "gui/WinFinder.h"
#include "gui/WinTray.h"
#include "gui/apps/ListModelPrograms.h"
#include "gui/apps/PanelProgram.h"
#include "gui/apps/WinEditorApps.h"
#include "gui/apps/XAppManager.h"
#include "gui/apps/XType_App.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XAction.h"
#include "widgets/XBox.h"
#include "widgets/XButton.h"
#include "widgets/XMenu.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>

using zemFinder::ListModelPrograms;
using zemFinder::WinEditorApps;
using zemFinder::WinFinder;
using zemFinder::XApp;
using zemFinder::XAppManager;
using zemFinder::XType_App;

namespace {
XApp named(const QString& name)
{
    XApp app;
    app.set_name(name);
    app.set_path(QStringLiteral("/bin/true"));
    return app;
}

std::unique_ptr<zem::XTree> tree_of(const QStringList& names)
{
    auto tree = std::make_unique<zem::XTree>();
    for (const QString& name : names)
        tree->treeArray(XAppManager::KEY).push_back(std::make_unique<XApp>(named(name)));
    return tree;
}

QStringList model_names(const ListModelPrograms& model)
{
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row)
        out << model.data(model.index(row), Qt::DisplayRole).toString();
    return out;
}

QStringList store_names()
{
    QStringList out;
    for (XApp* app : XAppManager::get_apps())
        out << app->name();
    return out;
}

QStringList saved_names()
{
    zem::XTree tree;
    if (!tree.load_from_compressed_file(XAppManager::file().absoluteFilePath(), &XType_App::for_store()))
        return {"<unreadable>"};
    QStringList out;
    for (XApp* app : XAppManager::apps_of(tree))
        out << app->name();
    return out;
}

QStringList texts(const QMenu* menu)
{
    QStringList out;
    for (QAction* action : menu->actions())
        out << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return out;
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}
} // namespace

class TestAppsEditor : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;
    zem::XNode m_node{QStringLiteral("Window")};
    int m_questions = 0;

    WinEditorApps* openEditor(const QStringList& names)
    {
        XAppManager::set_tree(*tree_of(names));
        XAppManager::save();
        WinEditorApps* win = WinEditorApps::open_editor();
        if (win && !QTest::qWaitForWindowExposed(win))
            return nullptr;
        return win;
    }

    void answer(int yes)
    {
        zem::XBox::testHook = [this, yes](zem::XBox::Kind, const QString&, const QString&) {
            ++m_questions;
            return yes;
        };
    }

private Q_SLOTS:
    void initTestCase()
    {
        XAppManager::set_file();
        zemFinder::WinFinderConfig::get().flagUseStartFolder = false;
    }

    void cleanup()
    {
        zem::XBox::testHook = nullptr;
        m_questions = 0;
        for (QWidget* w : zem::KernelGUI::kernelGui()->windows())
            w->close();
        flushDeletes();
        QVERIFY(!WinEditorApps::is_open());
    }

    void cleanupTestCase() { zemFinder::WinTray::destroy(); }

    // --- the list model ---
    void copyTakesTheNextFreeNumberAndStandsAbove()
    {
        ListModelPrograms model(*tree_of({"first", "notepad", "notepad_001"}), &XType_App::for_editor());
        model.copyApp(1);
        QCOMPARE(model_names(model), QStringList({"first", "notepad_002", "notepad", "notepad_001"}));
        model.copyApp(1);
        QCOMPARE(model_names(model), QStringList({"first", "notepad_003", "notepad_002", "notepad", "notepad_001"}));
        QCOMPARE(model.app_at(1).path(), QStringLiteral("/bin/true"));
        model.copyApp(7);
        QCOMPARE(model.rowCount(), 5);
    }

    void numberedNames()
    {
        QCOMPARE(zem::get_string_number("notepad", 3), QStringLiteral("notepad_001"));
        QCOMPARE(zem::get_string_number("notepad_009", 3), QStringLiteral("notepad_010"));
        QCOMPARE(zem::get_string_number("x99", 3), QStringLiteral("x100"));
        QCOMPARE(zem::get_string_number("v1234", 3), QStringLiteral("v1235"));
    }

    void newDeleteSwapAndRanges()
    {
        ListModelPrograms model(*tree_of({"a", "b"}), &XType_App::for_editor());
        model.newApp(1);
        QCOMPARE(model.rowCount(), 3);
        const XApp fresh = model.app_at(1);
        QCOMPARE(fresh.name().size(), 9);
        QVERIFY(!fresh.is_flag_terminal() && !fresh.is_flag_show_output() && fresh.has(XApp::KEY_FLAG_TERMINAL));
        model.newApp(-1);
        QCOMPARE(model.app_at(2).name(), fresh.name());
        QCOMPARE(model.app_at(1).name(), QStringLiteral("a"));

        zem::Logger::startCapture();
        QVERIFY(model.app_at(9).keys().isEmpty());
        model.set_app_at(-1, named("x"));
        model.delete_row(4);
        const QStringList lines = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        QVERIFY(lines.contains("ListModelPrograms::app_at, row:9, range problems 0...4"));
        QVERIFY(lines.contains("ListModelPrograms::set_app_at, row:-1, range problems 0...4"));
        QVERIFY(lines.contains("ListModelPrograms::delete_row, bounds ?"));
        QCOMPARE(model.rowCount(), 4);

        model.reload(*tree_of({"a", "b", "c"}));
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        model.swap(0, 2);
        model.swap(1, 1);
        model.swap(0, 3);
        QCOMPARE(model_names(model), QStringList({"c", "b", "a"}));
        QCOMPARE(resets.count(), 1);
        const auto tree = model.to_tree();
        QCOMPARE(XAppManager::apps_of(*tree).size(), size_t(3));
        model.delete_all();
        QCOMPARE(model.rowCount(), 0);
    }

    // --- the editor window ---
    void editorOpensOnTheStoreWithoutSelection()
    {
        WinEditorApps* win = openEditor({"one", "two", "three"});
        QVERIFY(win);
        QCOMPARE(win->windowTitle(), QStringLiteral("Edit Applications"));
        QCOMPARE(model_names(*win->model()), QStringList({"one", "two", "three"}));
        QCOMPARE(win->panel()->editName()->text(), QStringLiteral("one"));
        // The shown record is the selected one: Apply acts on it.
        QCOMPARE(win->selected_row(), 0);
        win->panel()->editName()->setText("changed");
        win->on_apply();
        QCOMPARE(store_names(), QStringList({"changed", "two", "three"}));
        QCOMPARE(WinEditorApps::open_editor(), win);   // one editor at a time
    }

    void applyChangesTheStoreInMemoryOnly()
    {
        WinEditorApps* win = openEditor({"one", "two"});
        win->select_row(1);
        win->panel()->editName()->setText("deux");
        win->panel()->checkShowOutput()->setChecked(true);
        win->checkEnabled()->setChecked(false);
        QVERIFY(!win->panel()->isEnabled());
        QVERIFY(!win->buttonTest()->isEnabled());
        win->on_apply();
        QCOMPARE(store_names(), QStringList({"one", "deux"}));
        QVERIFY(!XAppManager::get_apps()[1]->is_flag_enabled());
        QVERIFY(XAppManager::get_apps()[1]->is_flag_show_output());
        QCOMPARE(saved_names(), QStringList({"one", "two"}));
        QCOMPARE(win->selected_row(), 1);
        win->select_row(0);
        QVERIFY(win->checkEnabled()->isChecked());
        QVERIFY(win->panel()->isEnabled());
    }

    void addCopyReorderDelete()
    {
        WinEditorApps* win = openEditor({"a", "b", "c"});
        win->on_new_app();   // before the selected first row
        QCOMPARE(win->model()->rowCount(), 4);
        QCOMPARE(win->selected_row(), 0);
        QCOMPARE(win->panel()->editName()->text().size(), 9);
        win->select_row(2);
        win->on_copy_app();
        QCOMPARE(model_names(*win->model()).mid(1), QStringList({"a", "b_001", "b", "c"}));
        QCOMPARE(win->selected_row(), 2);
        win->on_move_up();
        QCOMPARE(model_names(*win->model()).mid(2), QStringList({"a", "b", "c"}));
        QCOMPARE(win->selected_row(), 1);
        win->on_move_down();
        win->on_move_down();
        QCOMPARE(model_names(*win->model()).mid(1), QStringList({"a", "b", "b_001", "c"}));
        QCOMPARE(win->selected_row(), 3);

        answer(0);
        win->on_delete_app();
        QCOMPARE(win->model()->rowCount(), 5);
        QCOMPARE(m_questions, 1);
        answer(1);
        win->select_row(4);   // the last row: the new last row is selected
        win->on_delete_app();
        QCOMPARE(win->model()->rowCount(), 4);
        QCOMPARE(win->selected_row(), 3);
        win->select_row(1);   // a middle row: the same index stays selected
        win->on_delete_app();
        QCOMPARE(model_names(*win->model()).mid(1), QStringList({"b", "b_001"}));
        QCOMPARE(win->selected_row(), 1);
        QCOMPARE(win->panel()->editName()->text(), QStringLiteral("b"));

        win->on_ok();
        flushDeletes();
        QVERIFY(!WinEditorApps::is_open());
        QCOMPARE(store_names().mid(1), QStringList({"b", "b_001"}));
        QCOMPARE(saved_names(), store_names());
    }

    void resetAfterSeveralAppliesAndCancel()
    {
        WinEditorApps* win = openEditor({"one", "two", "three"});
        for (int i = 0; i < 3; ++i) {
            win->select_row(i);
            win->panel()->editName()->setText(QStringLiteral("x%1").arg(i));
            win->on_apply();
        }
        QCOMPARE(store_names(), QStringList({"x0", "x1", "x2"}));
        answer(0);
        win->on_reset();
        QCOMPARE(model_names(*win->model()), QStringList({"x0", "x1", "x2"}));
        answer(1);
        win->on_reset();
        QCOMPARE(model_names(*win->model()), QStringList({"one", "two", "three"}));
        QCOMPARE(win->selected_row(), 0);
        win->on_delete_all();
        QCOMPARE(win->model()->rowCount(), 0);
        win->on_apply();   // no row: nothing
        QCOMPARE(store_names(), QStringList({"x0", "x1", "x2"}));
        XAppManager::set_file(m_dir.abs("cancel.bin"));
        win->on_cancel();
        flushDeletes();
        QCOMPARE(store_names(), QStringList({"one", "two", "three"}));
        QCOMPARE(saved_names(), QStringList({"one", "two", "three"}));
        XAppManager::set_file();
    }

    void testButtonRunsThePanelRecord()
    {
        const QString out = m_dir.abs("tested");
        WinEditorApps* win = openEditor({"one"});
        win->panel()->editPath()->setText("/bin/sh");
        win->panel()->editArguments()->setText("-c 'echo \"$0\" > \"$1\"' $(G_PATH) " + out);
        QTest::mouseClick(win->buttonTest(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(out).size() > 0, 10000);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().trimmed(), QByteArray("/bin/sh"));   // G_PATH is the program's own path
        QCOMPARE(store_names(), QStringList({"one"}));
        zem::XProcess::atomicFlagDebug = false;
    }

    // --- the open-with menu ---
    void submenuListsEveryRecordThenTheEditor()
    {
        XAppManager::set_tree(*tree_of({"one", "two"}));
        XAppManager::get_apps()[1]->set_flag_enabled(false);
        WinFinder* win = WinFinder::create_window(&m_node, m_dir.path());
        zem::XMenu menu;
        zem::XMenu* sub = win->create_open_with_app(&menu, QFileInfo(m_dir.path()));
        QCOMPARE(menu.actions().size(), 1);
        QCOMPARE(menu.actions()[0]->text(), QStringLiteral("Open with ..."));
        QCOMPARE(texts(sub), QStringList({"one", "two", "-", "Application Editor"}));
        for (QAction* action : sub->actions())
            QVERIFY(action->isEnabled());

        XAppManager::set_tree(zem::XTree());
        zem::XMenu empty;
        QCOMPARE(texts(win->create_open_with_app(&empty, QFileInfo(m_dir.path()))),
                 QStringList({"Application Editor"}));

        WinEditorApps::open_editor();
        zem::XMenu whileOpen;
        QVERIFY(!win->create_open_with_app(&whileOpen, QFileInfo(m_dir.path()))->actions().last()->isEnabled());
        win->close();
    }

    void entryStartsItsRecordOnTheChosenFile()
    {
        const QString chosen = m_dir.write("my file's; name.txt", "x");
        const QString out = m_dir.abs("opened");
        XApp app = named("writer");
        app.set_path("/bin/sh");
        app.set_arguments("-c 'printf %s \"$0\" > \"$1\"' $(G_PATH) " + out);
        auto tree = std::make_unique<zem::XTree>();
        tree->treeArray(XAppManager::KEY).push_back(std::make_unique<XApp>(app));
        XAppManager::set_tree(*tree);
        WinFinder* win = WinFinder::create_window(&m_node, m_dir.path());
        zem::XMenu menu;
        zem::XMenu* sub = win->create_open_with_app(&menu, QFileInfo(chosen));
        XAppManager::set_tree(zem::XTree());   // the entry keeps its record
        sub->actions()[0]->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(out).size() > 0, 10000);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QFile::encodeName(QFileInfo(chosen).absoluteFilePath()));
        sub->actions().last()->trigger();
        QVERIFY(WinEditorApps::is_open());
        win->close();
    }

    void toolButtonOpensTheEditorAndItsMenu()
    {
        XAppManager::set_tree(*tree_of({"one"}));
        const QString file = m_dir.write("shown.txt", "x");
        WinFinder* win = WinFinder::create_window(&m_node, file);
        win->show();
        QVERIFY(QTest::qWaitForWindowExposed(win));
        auto* button = win->findChild<zem::XButton*>("buttonApps");
        QVERIFY(button);
        QCOMPARE(button->toolTip(), QStringLiteral("Custom Applications"));
        QTRY_COMPARE(win->currentFile().absoluteFilePath(), QFileInfo(file).absoluteFilePath());
        std::unique_ptr<zem::XMenu> menu(win->create_apps_menu());
        const QStringList entries = texts(menu.get());
        QCOMPARE(entries.first(), QStringLiteral("Open with ..."));
        QVERIFY(entries.contains("Open With Default Program"));
        QVERIFY(entries.contains("File Manager"));
        QCOMPARE(entries.last(), QStringLiteral("Application Editor"));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(WinEditorApps::is_open());
        win->close();
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestAppsEditor test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_apps_editor.moc"
