// The directory tree over the file-system model: selection, expansion, folder filter, folders
// only, hidden files, root path, and the saved states.
#include "TestDir.h"
#include "XNode.h"
#include "widgets/XTreeViewFiles.h"

#include <QFileSystemModel>
#include <QtTest>

using zem::XTreeViewFiles;

namespace {
// Waits until the model has read folder (the model reads on its own thread).
bool waitLoaded(XTreeViewFiles& tree, const QString& folder)
{
    QFileSystemModel* fs = tree.fileModel();
    const QModelIndex index = fs->index(folder);
    if (fs->canFetchMore(index))
        fs->fetchMore(index);
    QElapsedTimer waited;
    waited.start();
    // A bound for a broken model, not a timing requirement.
    while (tree.model()->rowCount(tree.indexOfPath(folder)) == 0 && !QDir(folder).isEmpty()) {
        if (waited.elapsed() > 20000)
            return false;
        QTest::qWait(10);
    }
    return true;
}
} // namespace

class TestTreeViewFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void selectFileMakesItCurrentAndVisible()
    {
        TestDir dir;
        for (int i = 0; i < 40; ++i)
            dir.mkdir(QStringLiteral("a/d%1").arg(i, 2, 10, QLatin1Char('0')));
        const QString target = dir.write(QStringLiteral("a/zz/target.txt"), "x");
        XTreeViewFiles tree;
        tree.resize(300, 200);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));

        QVERIFY(tree.selectFile(target, false));
        QCOMPARE(tree.selectedFile().absoluteFilePath(), QFileInfo(target).absoluteFilePath());
        QVERIFY(waitLoaded(tree, dir.abs("a")));
        // Every entry of the folder arrived, and the selection is still current.
        QTRY_COMPARE_WITH_TIMEOUT(tree.model()->rowCount(tree.indexOfPath(dir.abs("a"))), 41, 20000);
        QCOMPARE(tree.selectedFile().absoluteFilePath(), QFileInfo(target).absoluteFilePath());
        QVERIFY(tree.isExpanded(tree.indexOfPath(dir.abs("a/zz"))));
        tree.scrollTo(tree.currentIndex());
        QVERIFY(tree.viewport()->rect().intersects(tree.visualRect(tree.currentIndex())));
    }

    void missingPathIsRefused()
    {
        XTreeViewFiles tree;
        QVERIFY(!tree.selectFile(QStringLiteral("/no/such/place/here"), true));
        QVERIFY(!tree.selectFile(QString(), true));
        QVERIFY(tree.selectedFile().filePath().isEmpty());
    }

    void selectionIsFired()
    {
        TestDir dir;
        const QString sub = dir.mkdir("sub");
        XTreeViewFiles tree;
        QStringList seen;
        tree.selectionListener.add([&seen](const QFileInfo& f) { seen << f.absoluteFilePath(); });
        QVERIFY(tree.selectFile(sub, true));
        QCOMPARE(seen, QStringList{QFileInfo(sub).absoluteFilePath()});
        QVERIFY(tree.isExpanded(tree.indexOfPath(sub)));
    }

    void filterHidesFolders()
    {
        TestDir dir;
        dir.mkdir("keep");
        const QString hide = dir.mkdir("hide");
        XTreeViewFiles tree;
        QVERIFY(waitLoaded(tree, dir.path()));
        QTRY_COMPARE_WITH_TIMEOUT(tree.model()->rowCount(tree.indexOfPath(dir.path())), 2, 20000);
        tree.set_filter({hide});
        QCOMPARE(tree.model()->rowCount(tree.indexOfPath(dir.path())), 1);
        QVERIFY(!tree.indexOfPath(hide).isValid());
        tree.remove_filter();
        QCOMPARE(tree.model()->rowCount(tree.indexOfPath(dir.path())), 2);
    }

    void dirOnlyAndHiddenFiles()
    {
        TestDir dir;
        dir.mkdir("folder");
        dir.write("file.txt", "x");
        dir.write(".hidden", "x");
        XTreeViewFiles tree;
        QVERIFY(waitLoaded(tree, dir.path()));
        const auto rows = [&] { return tree.model()->rowCount(tree.indexOfPath(dir.path())); };
        QTRY_COMPARE_WITH_TIMEOUT(rows(), 2, 20000);
        tree.set_hidden_files(true);
        tree.rebuild_model();
        QVERIFY(tree.is_hidden_files());
        QTRY_COMPARE_WITH_TIMEOUT(rows(), 3, 20000);
        tree.setDirOnly(true);
        QTRY_COMPARE_WITH_TIMEOUT(rows(), 1, 20000);
    }

    void rootPath()
    {
        TestDir dir;
        dir.mkdir("x");
        XTreeViewFiles tree;
        QVERIFY(tree.is_root_path());
        QStringList roots;
        tree.rootChangedListener.add([&roots](const QString& r) { roots << r; });
        tree.set_root_path(dir.path());
        QVERIFY(!tree.is_root_path());
        QCOMPARE(tree.rootIndex(), tree.indexOfPath(dir.path()));
        tree.set_root_path(QStringLiteral("/"));
        QVERIFY(tree.is_root_path());
        QVERIFY(!tree.rootIndex().isValid());
        QCOMPARE(roots, (QStringList{QFileInfo(dir.path()).absoluteFilePath(), QString()}));
    }

    void statesSurviveANewView()
    {
        TestDir dir;
        const QString a = dir.mkdir("a/b/c");
        zem::XNode node;
        {
            XTreeViewFiles tree;
            tree.showHeaderDetails(true);
            QVERIFY(tree.selectFile(a, true));
            QVERIFY(tree.expandedPaths().contains(QFileInfo(a).absoluteFilePath()));
            tree.saveStates(&node);
        }
        QVERIFY(node.isBool("header", false));
        XTreeViewFiles again;
        QVERIFY(!again.isExpanded(again.indexOfPath(a)));
        again.restoreStates(&node);
        QVERIFY(again.isExpanded(again.indexOfPath(a)));
        QVERIFY(again.isExpanded(again.indexOfPath(dir.abs("a/b"))));
    }

    void headerDetailsShowSizeAndDate()
    {
        XTreeViewFiles tree;
        QVERIFY(tree.isHeaderHidden());
        QVERIFY(tree.isColumnHidden(1));
        tree.showHeaderDetails(true);
        QVERIFY(!tree.isHeaderHidden());
        QVERIFY(!tree.isColumnHidden(1));
        QVERIFY(tree.isColumnHidden(2));
        QVERIFY(!tree.isColumnHidden(3));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    TestTreeViewFiles test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_tree_view_files.moc"
