// The three context menus: their entries on a file and on a folder, the read-only flag hiding
// "Rename" and "Delete", bookmarked folders, "Deep Info" only where a directory preview exists,
// and each entry reaching its action (questions answered by the test hooks, the desktop's URL
// handling caught, a stand-in terminal program).
#include "KernelGUI.h"
#include "Logger.h"
#include "TestDir.h"
#include "XNode.h"
#include "gui/dia/Bookmarks.h"
#include "gui/dia/DiaBookmark.h"
#include "dir/AbstractPreviewDir.h"
#include "dir/ContextPreviews.h"
#include "dir/XContainerPreviews.h"
#include "gui/PanelResults.h"
#include "gui/WinDetails.h"
#include "gui/WinFinder.h"
#include "gui/WinProperties.h"
#include "gui/WinTray.h"
#include "gui/config/ConfigZemFinder.h"
#include "preview/Preview.h"
#include "widgets/XAction.h"
#include "widgets/XBox.h"
#include "widgets/XBoxInput.h"
#include "widgets/XClipboard.h"
#include "widgets/XMenu.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XTreeViewFiles.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLineEdit>
#include <QtTest>
#include <memory>

using zemFinder::AbstractPreviewDir;
using zemFinder::Bookmarks;
using zemFinder::FileResult;
using zemFinder::WinFinder;
using zemFinder::WinFinderConfig;
using Menu = std::unique_ptr<zem::XMenu>;

namespace {
constexpr int kWaitMs = 20000; // bound against a hang, not a timing expectation

// The menu's entries in order, "|" for a separator.
QStringList entries(QMenu* menu)
{
    QStringList out;
    for (QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("|") : a->text());
    return out;
}

QAction* find(QMenu* menu, const QString& text)
{
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

bool logged(const QString& text)
{
    for (const QString& line : zem::Logger::capturedLines())
        if (line.contains(text))
            return true;
    return false;
}

template <class W>
QList<W*> visible()
{
    QList<W*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<W*>(w); s && s->isVisible())
            found << s;
    return found;
}

QString abs(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

const QStringList OUTSIDE{"Window", "File Manager", "Terminal", "|", "Copy Path to Clipboard", "|"};
} // namespace

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};

class TestContextMenus : public QObject {
    Q_OBJECT

private:
    zem::XNode m_node{QStringLiteral("Window")};
    TestDir m_dir;
    UrlCatcher m_catcher;
    QStringList m_questions;
    QString m_terminalMark;
    QByteArray m_path;

    WinFinder* open(const QString& start)
    {
        WinFinder* win = WinFinder::create_window(&m_node, start);
        win->resize(1000, 600);
        win->show();
        return QTest::qWaitForWindowExposed(win) ? win : nullptr;
    }

    void answer(int yes)
    {
        zem::XBox::testHook = [this, yes](zem::XBox::Kind, const QString& title, const QString& text) {
            m_questions << title + QLatin1Char('|') + text;
            return yes;
        };
    }

private Q_SLOTS:
    void initTestCase()
    {
        zem::Logger::setStderrEnabled(false);
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        WinFinderConfig::get().flagUseStartFolder = false;
        // A stand-in terminal that tells in which folder it was started.
        m_terminalMark = m_dir.abs("terminal-started-in");
        const QString term = m_dir.write("bin/myterm", "#!/bin/sh\npwd > '" + m_terminalMark.toUtf8() + "'\n");
        QFile::setPermissions(term, QFile::ReadOwner | QFile::ExeOwner);
        m_path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_dir.abs("bin")) + ":" + m_path);
        qputenv("TERMINAL", "myterm");
        QDesktopServices::setUrlHandler("file", &m_catcher, "open");
        m_dir.write("a/one.txt", "one line of text\n");
        m_dir.write("a/sub/deep.txt", "deep\n");
    }

    void init()
    {
        m_catcher.urls.clear();
        m_questions.clear();
        answer(0);
        WinFinderConfig::get().flag_zf_read_only = false;
        Bookmarks::to_tree({});
        zem::Logger::startCapture();
    }

    void cleanup()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        zem::Logger::stopCapture();
        zemFinder::DiaBookmark::testHook = nullptr;
        zem::XBoxInput::testHook = nullptr;
    }

    void cleanupTestCase()
    {
        qputenv("PATH", m_path);
        QDesktopServices::unsetUrlHandler("file");
        zem::XBox::testHook = nullptr;
        zemFinder::WinTray::destroy();
        zem::Logger::setStderrEnabled(true);
    }

    // --- Entries and their order ---

    void treeMenuOnFileAndFolder()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        Menu file(win->create_menu_tree(QFileInfo(m_dir.abs("a/one.txt"))));
        QCOMPARE(entries(file.get()), QStringList({"View", "View with ...", "|", "Open with ...",
                                                   "Open With Default Program", "|", "Rename", "Delete", "|"})
                                          + OUTSIDE + QStringList({"Add Bookmark", "|", "Properties"}));
        QVERIFY(logged("WinFinder::on_contextMenu_treeView, fi:" + abs(m_dir.abs("a/one.txt"))));
        Menu folder(win->create_menu_tree(QFileInfo(m_dir.abs("a/sub"))));
        QCOMPARE(entries(folder.get()), QStringList({"|", "Rename", "Delete", "|"}) + OUTSIDE
                                            + QStringList({"Add Bookmark", "|", "Deep Info"}));
    }

    void rightSideMenuOnFileAndFolder()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        QVERIFY(win->treeView()->selectFile(m_dir.abs("a"), false));
        AbstractPreviewDir* dir = win->previewDirectory();
        QVERIFY(dir);
        Menu file(win->create_menu_right_side(QFileInfo(m_dir.abs("a/one.txt")), dir, dir->context()));
        QCOMPARE(entries(file.get()), QStringList({"View", "View with ...", "Tree", "|", "Open with ...",
                                                   "Open With Default Program", "|", "Rename", "Delete", "|"})
                                          + OUTSIDE + QStringList({"Add Bookmark", "Properties"}));
        QVERIFY(logged("WinFinder::on_contextMenu_rightSide, fi:" + abs(m_dir.abs("a/one.txt"))));
        Menu folder(win->create_menu_right_side(QFileInfo(m_dir.abs("a/sub")), dir, dir->context()));
        QCOMPARE(entries(folder.get()), QStringList({"Tree", "|", "Rename", "Delete", "|"}) + OUTSIDE
                                            + QStringList({"Add Bookmark", "|", "Deep Info"}));
        QCOMPARE(find(folder.get(), "Deep Info")->toolTip(), QStringLiteral("Count files recursively"));
    }

    void folderListedInTheResultsPanelHasTheRightSideMenu()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        zemFinder::PanelResults* panel = win->panelResults();
        QVERIFY(panel && panel->container());
        AbstractPreviewDir* dir = panel->container()->previewDirectory();
        QVERIFY(dir);
        QStringList shown;
        WinFinder::contextMenuRunner = [&shown](zem::XMenu* menu) { shown << entries(menu).join(','); };
        dir->contextMenu.fire(QFileInfo(m_dir.abs("a/one.txt")));
        WinFinder::contextMenuRunner = nullptr;
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().startsWith("View,View with ...,Tree,"), qPrintable(shown.first()));
        // A double-click on a folder goes down into it inside the panel.
        dir->doubleClicked.fire(QFileInfo(m_dir.abs("a/sub")));
        QCOMPARE(panel->context()->file().absoluteFilePath(), abs(m_dir.abs("a/sub")));
    }

    void resultsMenuOnFile()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        FileResult result;
        result.fileInfo = QFileInfo(m_dir.abs("a/one.txt"));
        Menu menu(win->create_menu_results(result));
        QCOMPARE(entries(menu.get()),
                 QStringList({"View", "Tree", "|", "Window", "File Manager", "Terminal", "|", "Open with ...",
                              "Open With Default Program", "|", "Rename", "Delete", "|", "Copy Path to Clipboard", "|",
                              "Add Bookmark", "|", "Properties"}));
        QVERIFY(logged("WinFinder::onContextMenu_rightSide_FileResults, fResult:"));
        // A folder (a file search's row reaches the right-side menu, but the result menu is sound
        // for it too): no "View", no "Properties", yet the openers.
        result.fileInfo = QFileInfo(m_dir.abs("a/sub"));
        Menu folder(win->create_menu_results(result));
        QVERIFY(!find(folder.get(), "View") && !find(folder.get(), "Properties"));
        QVERIFY(find(folder.get(), "Open With Default Program") && find(folder.get(), "Open with ..."));
    }

    void readOnlyHidesRenameAndDelete()
    {
        WinFinderConfig::get().flag_zf_read_only = true;
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        QVERIFY(win->treeView()->selectFile(m_dir.abs("a"), false));
        AbstractPreviewDir* dir = win->previewDirectory();
        QVERIFY(dir);
        FileResult result;
        result.fileInfo = QFileInfo(m_dir.abs("a/one.txt"));
        for (const QString& path : {m_dir.abs("a/one.txt"), m_dir.abs("a/sub")}) {
            const QFileInfo fi(path);
            for (zem::XMenu* m : {win->create_menu_tree(fi), win->create_menu_right_side(fi, dir, dir->context()),
                                  win->create_menu_results(result)}) {
                Menu menu(m);
                QVERIFY2(!entries(m).contains("Rename") && !entries(m).contains("Delete"), qPrintable(path));
            }
        }
        // The tree menu of a folder then starts with what is left.
        Menu folder(win->create_menu_tree(QFileInfo(m_dir.abs("a/sub"))));
        QCOMPARE(entries(folder.get()), QStringList({"|"}) + OUTSIDE + QStringList({"Add Bookmark", "|", "Deep Info"}));
        // F2 still renames the file shown.
        const QString file = m_dir.write("a/f2.txt", "x");
        QVERIFY(win->treeView()->selectFile(file, false));
        zem::XBoxInput::testHook = [](const QString&, const QString&, const QString&) { return QStringLiteral("f2b.txt"); };
        win->on_rename();
        QVERIFY(QFileInfo::exists(m_dir.abs("a/f2b.txt")));
        QFile::remove(m_dir.abs("a/f2b.txt"));
    }

    void bookmarkedFolderOffersEditAndRemove()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        const QString folder = abs(m_dir.abs("a/sub"));
        Bookmarks::add_bookmark(QStringLiteral("Deep one"), folder);
        Menu menu(win->create_menu_tree(QFileInfo(folder)));
        QVERIFY(find(menu.get(), "Edit Bookmark") && find(menu.get(), "Remove Bookmark"));
        QVERIFY(!find(menu.get(), "Add Bookmark"));
        // Edit presets the dialog with the stored bookmark and stores the new title.
        QString preset;
        zemFinder::DiaBookmark::testHook = [&preset](zemFinder::DiaBookmark& dia) {
            preset = dia.nameField()->text();
            dia.nameField()->setText(QStringLiteral("Renamed"));
            dia.on_ok();
            return true;
        };
        find(menu.get(), "Edit Bookmark")->trigger();
        QCOMPARE(preset, QStringLiteral("Deep one"));
        QCOMPARE(Bookmarks::bookmark_of(folder).title, QStringLiteral("Renamed"));
        find(menu.get(), "Remove Bookmark")->trigger();
        QVERIFY(!Bookmarks::contains(folder));
        // And the next menu offers to add it again, which adds it.
        Menu again(win->create_menu_results(FileResult{zem::find::XRamLayer(), QFileInfo(folder)}));
        QVERIFY(find(again.get(), "Add Bookmark") && !find(again.get(), "Remove Bookmark"));
        find(again.get(), "Add Bookmark")->trigger();
        QCOMPARE(Bookmarks::bookmark_of(folder).title, QStringLiteral("Renamed"));
    }

    void deepInfoOnlyWithADirectoryPreview()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        zemFinder::PanelResults* panel = win->panelResults();
        panel->setFileResultsSimple({QFileInfo(m_dir.abs("a/one.txt")), QFileInfo(m_dir.abs("a/sub"))});
        // Nothing selected in the results yet: their container has no directory preview.
        QVERIFY(!panel->container()->existingPreviewDirectory());
        Menu none(win->create_menu_right_side(QFileInfo(m_dir.abs("a/sub")), nullptr, panel->context()));
        QVERIFY(!find(none.get(), "Deep Info"));
        QCOMPARE(entries(none.get()).last(), QStringLiteral("Add Bookmark"));
        // Once the folder was shown there, the entry counts it.
        panel->context()->select_file(QFileInfo(m_dir.abs("a/sub")));
        QVERIFY(panel->container()->existingPreviewDirectory());
        Menu some(win->create_menu_right_side(QFileInfo(m_dir.abs("a/sub")), nullptr, panel->context()));
        QAction* deep = find(some.get(), "Deep Info");
        QVERIFY(deep);
        deep->trigger();
        QVERIFY(logged("WinFinder::on_contextMenu_rightSide - prev dir, deep info"));
        QVERIFY(logged("PreviewDirSimple::onDeepInfo"));
    }

    void treeDeepInfoCountsTheFolder()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        const QFileInfo sub(m_dir.abs("a/sub"));
        // The folder was never shown beside the tree: the entry shows it first.
        QVERIFY(win->treeView()->selectFile(m_dir.abs("a/one.txt"), false));
        Menu menu(win->create_menu_tree(sub));
        find(menu.get(), "Deep Info")->trigger();
        QVERIFY(logged("WinFinder::on_contextMenu_treeView - deep view"));
        QVERIFY(logged("WinFinder::on_deep_view, fi:" + sub.absoluteFilePath()));
        AbstractPreviewDir* dir = win->previewDirectory();
        QVERIFY(dir);
        QCOMPARE(dir->file_info().absoluteFilePath(), sub.absoluteFilePath());
        QCOMPARE(dir->context()->file().absoluteFilePath(), sub.absoluteFilePath());
        QVERIFY(logged("PreviewDirSimple::onDeepInfo"));
    }

    // --- Entries reach their actions ---

    void desktopEntriesReachTheDesktop()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        const QString file = abs(m_dir.abs("a/one.txt"));
        Menu menu(win->create_menu_tree(QFileInfo(file)));
        find(menu.get(), "Open With Default Program")->trigger();
        find(menu.get(), "File Manager")->trigger();
        QCOMPARE(m_catcher.urls, QList<QUrl>({QUrl::fromLocalFile(file), QUrl::fromLocalFile(abs(m_dir.abs("a")))}));
        find(menu.get(), "Copy Path to Clipboard")->trigger();
        QCOMPARE(zem::XClipboard::text(), file);
        QFile::remove(m_terminalMark);
        find(menu.get(), "Terminal")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(m_terminalMark).size() > 0, kWaitMs);
        QFile mark(m_terminalMark);
        QVERIFY(mark.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(mark.readAll()).trimmed(), abs(m_dir.abs("a")));
        QVERIFY(find(menu.get(), "Open with ...")->menu());
    }

    void viewWindowAndPropertiesOpenTheirWindows()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        const QString file = abs(m_dir.abs("a/one.txt"));
        Menu menu(win->create_menu_tree(QFileInfo(file)));
        find(menu.get(), "View")->trigger();
        QCOMPARE(visible<zemFinder::WinDetails>().size(), 1);
        QCOMPARE(visible<zemFinder::WinDetails>().first()->currentFile().absoluteFilePath(), file);
        find(menu.get(), "Properties")->trigger();
        QCOMPARE(visible<zemFinder::WinProperties>().size(), 1);
        QCOMPARE(visible<zemFinder::WinProperties>().first()->currentFile().absoluteFilePath(), file);
        find(menu.get(), "Window")->trigger();
        QCOMPARE(visible<WinFinder>().size(), 2);
        // A content result opens with its marks.
        FileResult result{zem::find::XRamLayer(), QFileInfo(file)};
        result.layer.append(0, 3);
        Menu results(win->create_menu_results(result));
        find(results.get(), "View")->trigger();
        QCOMPARE(visible<zemFinder::WinDetails>().size(), 2);
        QVERIFY(logged("WinFinder::on_open_stand_alone_preview, * <<<" + file + ">>>, fResult:"));
    }

    void viewWithShowsTheChosenPreview()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        const QString file = abs(m_dir.abs("a/one.txt"));
        // The results are shown: the tree's entry brings the previews back.
        win->stackedRight()->setCurrentWidget(win->panelResults());
        Menu menu(win->create_menu_tree(QFileInfo(file)));
        QMenu* sub = find(menu.get(), "View with ...")->menu();
        QVERIFY(sub);
        QCOMPARE(entries(sub), QStringList({"HEX", "Image", "Text", "XML"}));
        find(sub, "HEX")->trigger();
        zemFinder::XContainerPreviews* container = win->containerPreviews();
        zem::Preview* shown = container->previewByWidget(container->currentWidget());
        QVERIFY(shown);
        QCOMPARE(shown->name(), QStringLiteral("HEX"));
        QCOMPARE(shown->file_info().absoluteFilePath(), file);
        QCOMPARE(win->stackedRight()->currentWidget(), win->previewArea());
        // Cycling goes on from the chosen preview.
        QCOMPARE(win->contextMain()->file().absoluteFilePath(), file);
    }

    void treeEntrySelectsTheFile()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        const QString file = abs(m_dir.abs("a/sub/deep.txt"));
        Menu menu(win->create_menu_results(FileResult{zem::find::XRamLayer(), QFileInfo(file)}));
        find(menu.get(), "Tree")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(win->treeView()->selectedFile().absoluteFilePath(), file, kWaitMs);
    }

    void renameAndDeleteFromTheMenus()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        const QString file = m_dir.write("a/old.txt", "x");
        zem::XBoxInput::testHook = [](const QString&, const QString&, const QString&) { return QStringLiteral("new.txt"); };
        Menu menu(win->create_menu_results(FileResult{zem::find::XRamLayer(), QFileInfo(file)}));
        find(menu.get(), "Rename")->trigger();
        QVERIFY(!QFileInfo::exists(file));
        QVERIFY(QFileInfo::exists(m_dir.abs("a/new.txt")));

        // A folder with content: one question, then it is gone and its parent is shown.
        m_dir.write("a/gone/inner/x.txt", "x");
        const QFileInfo gone(m_dir.abs("a/gone"));
        answer(1);
        Menu tree(win->create_menu_tree(gone));
        find(tree.get(), "Delete")->trigger();
        QCOMPARE(m_questions.size(), 1);
        QVERIFY(m_questions.first().contains("Do you really want to delete directory"));
        QVERIFY(!QFileInfo::exists(gone.absoluteFilePath()));
        QCOMPARE(win->currentFile().absoluteFilePath(), abs(m_dir.abs("a")));
        QCOMPARE(win->previewDirectory()->file_info().absoluteFilePath(), abs(m_dir.abs("a")));
        QFile::remove(m_dir.abs("a/new.txt"));
    }

    void requestsOpenTheMenus()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        QStringList shown;
        WinFinder::contextMenuRunner = [&shown](zem::XMenu* menu) { shown << entries(menu).join(','); };
        // A file search's row: the right-side menu, with "Tree".
        zemFinder::PanelResults* panel = win->panelResults();
        panel->setFileResultsSimple({QFileInfo(m_dir.abs("a/one.txt"))});
        panel->on_context_at_row(0);
        // A content result: the results menu, "Tree" after "View".
        panel->setFileResults({FileResult{zem::find::XRamLayer(), QFileInfo(m_dir.abs("a/one.txt"))}});
        panel->on_context_at_row(0);
        // The directory listing's entry.
        QVERIFY(win->treeView()->selectFile(m_dir.abs("a"), false));
        win->previewDirectory()->contextMenu.fire(QFileInfo(m_dir.abs("a/sub")));
        // The tree's entry; an empty place of the tree opens nothing.
        win->treeView()->contextMenuListener.fire(QPoint(), QFileInfo(m_dir.abs("a/sub")));
        win->treeView()->contextMenuListener.fire(QPoint(), QFileInfo());
        WinFinder::contextMenuRunner = nullptr;
        QCOMPARE(shown.size(), 4);
        QVERIFY(shown[0].startsWith("View,View with ...,Tree,"));
        QVERIFY(shown[1].startsWith("View,Tree,|,Window"));
        QVERIFY(shown[2].startsWith("Tree,|,Rename"));
        QVERIFY(shown[2].endsWith("|,Deep Info"));
        QVERIFY(shown[3].startsWith("|,Rename"));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestContextMenus test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_context_menus.moc"
