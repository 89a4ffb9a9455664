// Bookmarks: the store (order, duplicates, removal, saving, a damaged file), the single-bookmark
// dialog, the editor's moves and deletes, and the main window's bookmarks menu and operations.
#include "KernelGUI.h"
#include "Logger.h"
#include "TestDir.h"
#include "XNode.h"
#include "XTree.h"
#include "gui/WinFinder.h"
#include "gui/WinTray.h"
#include "gui/config/ConfigZemFinder.h"
#include "gui/dia/Bookmarks.h"
#include "gui/dia/DiaBookmark.h"
#include "gui/dia/DiaEditBookmarks.h"
#include "gui/dia/ListModelBookmarks.h"
#include "widgets/XAction.h"
#include "widgets/XBox.h"
#include "widgets/XMenu.h"
#include "widgets/XTreeViewFiles.h"

#include <QLineEdit>
#include <QListView>
#include <QtTest>

using zemFinder::Bookmark;
using zemFinder::BookmarkList;
using zemFinder::Bookmarks;
using zemFinder::DiaBookmark;
using zemFinder::DiaEditBookmarks;
using zemFinder::WinFinder;

namespace {
QStringList paths()
{
    QStringList out;
    for (const Bookmark& bm : Bookmarks::from_tree())
        out << bm.path;
    return out;
}

QStringList titles(const BookmarkList& list)
{
    QStringList out;
    for (const Bookmark& bm : list)
        out << bm.title;
    return out;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestBookmarks : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;
    zem::XNode m_node{QStringLiteral("Window")};

    WinFinder* open()
    {
        WinFinder* win = WinFinder::create_window(&m_node, m_dir.path());
        win->resize(900, 500);
        win->show();
        return QTest::qWaitForWindowExposed(win) ? win : nullptr;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_dir.mkdir("a/deep");
        m_dir.mkdir("b");
        m_dir.write("a/file.txt", "x");
        zemFinder::WinFinderConfig::get().flagUseStartFolder = false;
    }

    void init()
    {
        Bookmarks::to_tree({});
        QFile::remove(Bookmarks::file_path());
        QFile::remove(Bookmarks::file_path() + QStringLiteral(".bad"));
    }

    void cleanup()
    {
        DiaBookmark::testHook = nullptr;
        DiaEditBookmarks::testHook = nullptr;
        zem::XBox::testHook = nullptr;
        for (QWidget* w : zem::KernelGUI::kernelGui()->windows())
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void cleanupTestCase() { zemFinder::WinTray::destroy(); }

    // --- the store ---
    void addingTheSamePathTwiceKeepsTheFirstTitle()
    {
        Bookmarks::add_bookmark("first", m_dir.abs("a"));
        Bookmarks::add_bookmark("second", m_dir.abs("a"));
        QCOMPARE(Bookmarks::from_tree().size(), 1);
        QCOMPARE(Bookmarks::bookmark_of(m_dir.abs("a")).title, QStringLiteral("first"));
    }

    void newBookmarksGoToTheEndInOrder()
    {
        Bookmarks::add_bookmark("b", m_dir.abs("b"));
        Bookmarks::add_bookmark("a", m_dir.abs("a"));
        Bookmarks::add_bookmark("f", m_dir.abs("a/file.txt"));
        QCOMPARE(paths(), QStringList({m_dir.abs("b"), m_dir.abs("a"), m_dir.abs("a/file.txt")}));
    }

    void containsComparesPathsExactly()
    {
        QVERIFY(!Bookmarks::contains(QString()));
        QVERIFY(!Bookmarks::contains(m_dir.abs("a")));   // empty store
        Bookmarks::add_bookmark("a", m_dir.abs("a"));
        QVERIFY(Bookmarks::contains(m_dir.abs("a")));
        QVERIFY(!Bookmarks::contains(m_dir.abs("A")));
        QVERIFY(!Bookmarks::contains(m_dir.abs("a") + QLatin1Char('/')));
    }

    void setBookmarkChangesOnlyTheTitle()
    {
        Bookmarks::add_bookmark("a", m_dir.abs("a"));
        Bookmarks::add_bookmark("b", m_dir.abs("b"));
        Bookmarks::set_bookmark({QStringLiteral("renamed"), m_dir.abs("b")});
        Bookmarks::set_bookmark({QStringLiteral("nobody"), m_dir.abs("nope")});
        QCOMPARE(titles(Bookmarks::from_tree()), QStringList({"a", "renamed"}));
        QCOMPARE(paths(), QStringList({m_dir.abs("a"), m_dir.abs("b")}));
    }

    void saveAndLoadRoundTrip()
    {
        Bookmarks::add_bookmark("b", m_dir.abs("b"));
        Bookmarks::add_bookmark("a", m_dir.abs("a"));
        QVERIFY(Bookmarks::save());
        Bookmarks::to_tree({});
        QVERIFY(Bookmarks::load());
        QCOMPARE(paths(), QStringList({m_dir.abs("b"), m_dir.abs("a")}));
    }

    void removalSurvivesARestartOnlyAfterASave()
    {
        Bookmarks::add_bookmark("a", m_dir.abs("a"));
        Bookmarks::add_bookmark("b", m_dir.abs("b"));
        QVERIFY(Bookmarks::save());
        Bookmarks::remove_bookmark(m_dir.abs("a"));
        Bookmarks::remove_bookmark(m_dir.abs("nope"));   // only logged
        QCOMPARE(paths(), QStringList({m_dir.abs("b")}));
        QVERIFY(Bookmarks::load());   // a "restart" without a save: the removal is gone
        QCOMPARE(paths(), QStringList({m_dir.abs("a"), m_dir.abs("b")}));
        Bookmarks::remove_bookmark(m_dir.abs("a"));
        QVERIFY(Bookmarks::save());
        QVERIFY(Bookmarks::load());
        QCOMPARE(paths(), QStringList({m_dir.abs("b")}));
    }

    void missingFileGivesAnEmptyStore()
    {
        Bookmarks::add_bookmark("a", m_dir.abs("a"));
        QVERIFY(!Bookmarks::load());
        QCOMPARE(paths(), QStringList({m_dir.abs("a")}));   // kept: nothing to load
        QVERIFY(!QFile::exists(Bookmarks::file_path() + QStringLiteral(".bad")));
    }

    void damagedFileIsKeptAsBadAndTheStoreStartsEmpty()
    {
        QFile f(Bookmarks::file_path());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("this is not a store file at all");
        f.close();
        Bookmarks::add_bookmark("a", m_dir.abs("a"));
        QVERIFY(!Bookmarks::load());
        QVERIFY(Bookmarks::from_tree().isEmpty());
        QCOMPARE(readAll(Bookmarks::file_path() + QStringLiteral(".bad")), QByteArray("this is not a store file at all"));
        QVERIFY(!QFile::exists(Bookmarks::file_path()));
    }

    void truncatedStoreIsDetected()
    {
        Bookmarks::add_bookmark("a", m_dir.abs("a"));
        QVERIFY(Bookmarks::save());
        const QByteArray good = readAll(Bookmarks::file_path());
        QFile f(Bookmarks::file_path());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(good.left(good.size() - 3));
        f.close();
        QVERIFY(!Bookmarks::load());
        QVERIFY(Bookmarks::from_tree().isEmpty());
        QVERIFY(QFile::exists(Bookmarks::file_path() + QStringLiteral(".bad")));
    }

    void saveLeavesNoTemporaryFiles()
    {
        Bookmarks::add_bookmark("a", m_dir.abs("a"));
        QVERIFY(Bookmarks::save());
        const QStringList files = QDir(QFileInfo(Bookmarks::file_path()).absolutePath()).entryList(QDir::Files);
        for (const QString& name : files)
            QVERIFY2(!name.startsWith(QStringLiteral("zemFind-bookmarks.bin.")), qPrintable(name));
    }

    // --- the dialogs ---
    void bookmarkDialogTrimsTheTitleAndShowsThePathReadOnly()
    {
        DiaBookmark dia;
        dia.setup({QStringLiteral("t"), m_dir.abs("a")});
        QVERIFY(dia.pathField()->isReadOnly());
        QCOMPARE(dia.pathField()->text(), m_dir.abs("a"));
        dia.nameField()->setText(QStringLiteral("  new name \t"));
        dia.on_ok();
        QCOMPARE(dia.result(), int(QDialog::Accepted));
        QCOMPARE(dia.result_bookmark().title, QStringLiteral("new name"));
        QCOMPARE(dia.result_bookmark().path, m_dir.abs("a"));
    }

    void editorMovesAndSavesTheOrderOnOk()
    {
        Bookmarks::add_bookmark("a", m_dir.abs("a"));
        Bookmarks::add_bookmark("b", m_dir.abs("b"));
        Bookmarks::add_bookmark("f", m_dir.abs("a/file.txt"));
        DiaEditBookmarks dia;
        dia.on_up();   // no selection: nothing
        dia.select_row(2);
        dia.on_up();
        QCOMPARE(dia.selected_row(), 1);
        dia.select_row(0);
        dia.on_up();   // already first
        dia.on_down();
        QCOMPARE(dia.selected_row(), 1);
        QCOMPARE(titles(dia.model()->list()), QStringList({"f", "a", "b"}));
        QCOMPARE(titles(Bookmarks::from_tree()), QStringList({"a", "b", "f"}));   // not yet written
        dia.on_accept();
        QCOMPARE(titles(Bookmarks::from_tree()), QStringList({"f", "a", "b"}));
        Bookmarks::to_tree({});
        QVERIFY(Bookmarks::load());
        QCOMPARE(titles(Bookmarks::from_tree()), QStringList({"f", "a", "b"}));
    }

    void editorDeletesSelectTheNextRow()
    {
        Bookmarks::add_bookmark("a", m_dir.abs("a"));
        Bookmarks::add_bookmark("b", m_dir.abs("b"));
        Bookmarks::add_bookmark("f", m_dir.abs("a/file.txt"));
        DiaEditBookmarks dia;
        dia.select_row(2);
        dia.delete_row();
        QCOMPARE(dia.selected_row(), 1);   // the last went: the new last
        dia.select_row(0);
        dia.delete_row();
        QCOMPARE(dia.selected_row(), 0);
        QCOMPARE(titles(dia.model()->list()), QStringList({"b"}));
        dia.delete_row();
        QCOMPARE(dia.model()->rowCount(), 0);
        QCOMPARE(dia.selected_row(), -1);
        dia.delete_row();   // nothing left: nothing happens
        dia.reject();
        QCOMPARE(Bookmarks::from_tree().size(), 3);   // cancel keeps the store
    }

    void editorDeleteAllAsksFirst()
    {
        Bookmarks::add_bookmark("a", m_dir.abs("a"));
        DiaEditBookmarks dia;
        QString asked;
        zem::XBox::testHook = [&](zem::XBox::Kind, const QString& title, const QString&) {
            asked = title;
            return 0;
        };
        dia.delete_all();
        QCOMPARE(asked, QStringLiteral("Delete Bookmarks"));
        QCOMPARE(dia.model()->rowCount(), 1);
        zem::XBox::testHook = [](zem::XBox::Kind, const QString&, const QString&) { return 1; };
        dia.delete_all();
        QCOMPARE(dia.model()->rowCount(), 0);
    }

    void editorEditDropsAnEmptyTitle()
    {
        Bookmarks::add_bookmark("a", m_dir.abs("a"));
        DiaEditBookmarks dia;
        dia.select_row(0);
        DiaBookmark::testHook = [](DiaBookmark& d) {
            d.nameField()->setText(QStringLiteral("   "));
            d.on_ok();
            return true;
        };
        dia.on_edit_bookmark();
        QCOMPARE(dia.model()->bmark_at(0).title, QStringLiteral("a"));
        DiaBookmark::testHook = [](DiaBookmark& d) {
            d.nameField()->setText(QStringLiteral(" A "));
            d.on_ok();
            return true;
        };
        dia.on_edit_bookmark();
        QCOMPARE(dia.model()->bmark_at(0).title, QStringLiteral("A"));
        QCOMPARE(dia.model()->bmark_at(5).title, QString());   // out of range: empty, logged
    }

    void modelSwapIgnoresBadRows()
    {
        zemFinder::ListModelBookmarks model({{"a", "/a"}, {"b", "/b"}});
        model.swap(0, 0);
        model.swap(-1, 1);
        model.swap(1, 2);
        QCOMPARE(titles(model.list()), QStringList({"a", "b"}));
        model.swap(1, 0);
        QCOMPARE(titles(model.list()), QStringList({"b", "a"}));
        QCOMPARE(model.data(model.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("b"));
    }

    // --- the main window ---
    void emptyStoreShowsOnlyTheInformation()
    {
        WinFinder* win = open();
        QVERIFY(win);
        QVERIFY(!win->create_bookmarks_menu());
        QString info;
        zem::XBox::testHook = [&](zem::XBox::Kind kind, const QString& title, const QString&) {
            if (kind == zem::XBox::Kind::Info)
                info = title;
            return 0;
        };
        win->on_bookmarks();
        QCOMPARE(info, QStringLiteral("Bookmarks"));
    }

    void menuListsBookmarksInOrderAndPickingSelectsInTheTree()
    {
        Bookmarks::add_bookmark("deep one", m_dir.abs("a/deep"));
        Bookmarks::add_bookmark("bee", m_dir.abs("b"));
        WinFinder* win = open();
        QVERIFY(win);
        std::unique_ptr<zem::XMenu> menu(win->create_bookmarks_menu());
        QVERIFY(menu);
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.size(), 4);   // two bookmarks, a separator, "Edit Bookmarks"
        QCOMPARE(actions.at(0)->text(), QStringLiteral("deep one"));
        QCOMPARE(actions.at(0)->toolTip(), m_dir.abs("a/deep"));
        QCOMPARE(actions.at(1)->text(), QStringLiteral("bee"));
        QVERIFY(actions.at(2)->isSeparator());
        QCOMPARE(actions.at(3)->text(), QStringLiteral("Edit Bookmarks"));
        actions.at(0)->trigger();
        QCOMPARE(win->treeView()->selectedFile().absoluteFilePath(), m_dir.abs("a/deep"));

        bool editorOpened = false;
        DiaEditBookmarks::testHook = [&](DiaEditBookmarks& dia) {
            editorOpened = dia.model()->rowCount() == 2 && dia.windowTitle() == QStringLiteral("Edit Bookmarks");
            return false;
        };
        actions.at(3)->trigger();
        QVERIFY(editorOpened);
    }

    void addEditAndRemoveFromTheWindow()
    {
        WinFinder* win = open();
        QVERIFY(win);
        const QFileInfo dir(m_dir.abs("a"));
        DiaBookmark::testHook = [](DiaBookmark& d) {
            if (d.nameField()->text() != QStringLiteral("a"))   // preset with the file name
                return false;
            d.on_ok();
            return true;
        };
        win->on_add_bookmark(dir);
        QVERIFY(Bookmarks::contains(dir.absoluteFilePath()));
        QVERIFY(QFile::exists(Bookmarks::file_path()));   // adding saves

        DiaBookmark::testHook = [](DiaBookmark& d) {
            d.nameField()->setText(QStringLiteral("Folder A"));
            d.on_ok();
            return true;
        };
        win->on_edit_bookmark(Bookmarks::bookmark_of(dir.absoluteFilePath()));
        QVERIFY(Bookmarks::load());
        QCOMPARE(Bookmarks::bookmark_of(dir.absoluteFilePath()).title, QStringLiteral("Folder A"));

        DiaBookmark::testHook = [](DiaBookmark&) { return false; };   // cancel adds nothing
        win->on_add_bookmark(QFileInfo(m_dir.abs("b")));
        QVERIFY(!Bookmarks::contains(m_dir.abs("b")));

        win->on_remove_bookmark(dir);
        QVERIFY(!Bookmarks::contains(dir.absoluteFilePath()));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestBookmarks test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_bookmarks.moc"
