// Rename and delete: hostile rename answers, never replacing a target, staying in the folder,
// links deleted as themselves, folders with their content, the trash, and the window's questions,
// warnings, F2 and the folder shown afterwards.
#include "KernelGUI.h"
#include "TestDir.h"
#include "XNode.h"
#include "gui/FileOps.h"
#include "gui/WinFinder.h"
#include "gui/WinTray.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XBox.h"
#include "widgets/XBoxInput.h"

#include <QStandardPaths>
#include <unistd.h>
#include <QtTest>

using zemFinder::FileOps;
using zemFinder::WinFinder;

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
QString trashFiles()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash/files");
}
} // namespace

class TestFileOps : public QObject {
    Q_OBJECT

private:
    zem::XNode m_node{QStringLiteral("Window")};
    QStringList m_warnings;
    QStringList m_questions;

    WinFinder* open(const QString& start)
    {
        WinFinder* win = WinFinder::create_window(&m_node, start);
        win->resize(900, 500);
        win->show();
        return QTest::qWaitForWindowExposed(win) ? win : nullptr;
    }

    void answer(int yes)
    {
        zem::XBox::testHook = [this, yes](zem::XBox::Kind kind, const QString& title, const QString& text) {
            (kind == zem::XBox::Kind::Warn ? m_warnings : m_questions) << title + QLatin1Char('|') + text;
            return yes;
        };
    }

private Q_SLOTS:
    void initTestCase() { zemFinder::WinFinderConfig::get().flagUseStartFolder = false; }

    void cleanup()
    {
        zem::XBox::testHook = nullptr;
        zem::XBoxInput::testHook = nullptr;
        m_warnings.clear();
        m_questions.clear();
        for (QWidget* w : zem::KernelGUI::kernelGui()->windows())
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void cleanupTestCase() { zemFinder::WinTray::destroy(); }

    // --- FileOps ---
    void hostileNamesAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("dot") << QStringLiteral(".");
        QTest::newRow("dotdot") << QStringLiteral("..");
        QTest::newRow("up and out") << QStringLiteral("../escaped.txt");
        QTest::newRow("absolute") << QStringLiteral("/tmp/escaped.txt");
        QTest::newRow("sub folder") << QStringLiteral("sub/x.txt");
        QTest::newRow("backslash") << QStringLiteral("a\\b");
        QTest::newRow("nul") << QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    }
    void hostileNamesAreRefused()
    {
        QFETCH(QString, name);
        TestDir dir;
        dir.mkdir("sub");
        const QString file = dir.write("f.txt", "keep");
        QVERIFY(!FileOps::is_valid_name(name));
        QVERIFY(!FileOps::rename_in_folder(QFileInfo(file), name));
        QCOMPARE(readAll(file), QByteArray("keep"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"f.txt", "sub"}));
    }

    void renameNeverReplaces()
    {
        TestDir dir;
        const QString a = dir.write("a.txt", "A");
        const QString b = dir.write("b.txt", "B");
        QVERIFY(QFile::link(dir.abs("nowhere"), dir.abs("dangling")));
        bool exists = false;
        QVERIFY(!FileOps::rename_in_folder(QFileInfo(a), "b.txt", &exists));
        QVERIFY(exists);
        QVERIFY(!FileOps::rename_in_folder(QFileInfo(a), "dangling", &exists));   // a link counts too
        QVERIFY(exists);
        QCOMPARE(readAll(a), QByteArray("A"));
        QCOMPARE(readAll(b), QByteArray("B"));
        QVERIFY(FileOps::rename_in_folder(QFileInfo(a), "c.txt", &exists));
        QVERIFY(!exists);
        QCOMPARE(readAll(dir.abs("c.txt")), QByteArray("A"));
        QVERIFY(!QFile::exists(a));
    }

    void renameOfAFolderAndOfALink()
    {
        TestDir dir;
        dir.write("d/in.txt", "in");
        const QString target = dir.write("t.txt", "T");
        QVERIFY(QFile::link(target, dir.abs("l")));
        QVERIFY(FileOps::rename_in_folder(QFileInfo(dir.abs("d")), "e"));
        QCOMPARE(readAll(dir.abs("e/in.txt")), QByteArray("in"));
        QVERIFY(FileOps::rename_in_folder(QFileInfo(dir.abs("l")), "l2"));
        QVERIFY(QFileInfo(dir.abs("l2")).isSymLink());
        QCOMPARE(readAll(target), QByteArray("T"));
    }

    void deletingALinkToAFolderLeavesTheFolder()
    {
        TestDir dir;
        dir.write("real/keep.txt", "K");
        QVERIFY(QFile::link(dir.abs("real"), dir.abs("link")));
        QVERIFY(FileOps::remove_for_good(QFileInfo(dir.abs("link"))));
        QVERIFY(!QFileInfo(dir.abs("link")).isSymLink());
        QCOMPARE(readAll(dir.abs("real/keep.txt")), QByteArray("K"));
    }

    void deletingAFolderDoesNotFollowLinksInside()
    {
        TestDir dir;
        dir.write("outside/keep.txt", "K");
        dir.write("victim/a/b.txt", "b");
        QVERIFY(QFile::link(dir.abs("outside"), dir.abs("victim/a/link-dir")));
        QVERIFY(QFile::link(dir.abs("outside/keep.txt"), dir.abs("victim/link-file")));
        QVERIFY(FileOps::remove_for_good(QFileInfo(dir.abs("victim"))));
        QVERIFY(!QFileInfo::exists(dir.abs("victim")));
        QCOMPARE(readAll(dir.abs("outside/keep.txt")), QByteArray("K"));
    }

    void unreadableSubFolderStopsTheDeleteBeforeAnythingGoes()
    {
        if (::geteuid() == 0)
            QSKIP("root reads every folder");
        TestDir dir;
        dir.write("v/a.txt", "a");
        dir.write("v/locked/x.txt", "x");
        QFile::setPermissions(dir.abs("v/locked"), QFileDevice::WriteOwner);
        QVERIFY(!FileOps::remove_for_good(QFileInfo(dir.abs("v"))));
        QCOMPARE(readAll(dir.abs("v/a.txt")), QByteArray("a"));
        QFile::setPermissions(dir.abs("v/locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    void deleteMovesToTheTrash()
    {
        TestDir dir;
        const QString file = dir.write("trash-me.txt", "T");
        QVERIFY(FileOps::trash_available(QFileInfo(file)));
        bool trashed = false;
        QVERIFY(FileOps::remove(QFileInfo(file), &trashed));
        QVERIFY(trashed);
        QVERIFY(!QFile::exists(file));
        QCOMPARE(readAll(trashFiles() + QStringLiteral("/trash-me.txt")), QByteArray("T"));
    }

    void trashingALinkKeepsItsTarget()
    {
        TestDir dir;
        dir.write("real/keep.txt", "K");
        QVERIFY(QFile::link(dir.abs("real"), dir.abs("lnk")));
        QVERIFY(FileOps::remove(QFileInfo(dir.abs("lnk"))));
        QVERIFY(!QFileInfo(dir.abs("lnk")).isSymLink());
        QCOMPARE(readAll(dir.abs("real/keep.txt")), QByteArray("K"));
    }

    // --- the window ---
    void renameAsksWithTheNameAndShowsTheFolder()
    {
        TestDir dir;
        const QString file = dir.write("old.txt", "o");
        WinFinder* win = open(dir.path());
        QVERIFY(win);
        QString preset;
        zem::XBoxInput::testHook = [&](const QString& title, const QString& p, const QString&) {
            preset = title + QLatin1Char('|') + p;
            return QStringLiteral("new.txt");
        };
        QVERIFY(win->rename_file(QFileInfo(file)));
        QCOMPARE(preset, QStringLiteral("Rename|old.txt"));
        QCOMPARE(readAll(dir.abs("new.txt")), QByteArray("o"));
        QCOMPARE(win->currentFile().absoluteFilePath(), QFileInfo(dir.path()).absoluteFilePath());
    }

    void hostileRenameAnswerWarnsAndChangesNothing()
    {
        TestDir dir;
        const QString file = dir.write("f.txt", "f");
        dir.write("other.txt", "x");
        WinFinder* win = open(dir.path());
        QVERIFY(win);
        answer(1);
        for (const QString& bad : {QStringLiteral("../f.txt"), QStringLiteral(".."), QStringLiteral("other.txt")}) {
            zem::XBoxInput::testHook = [bad](const QString&, const QString&, const QString&) { return bad; };
            QVERIFY(!win->rename_file(QFileInfo(file)));
        }
        QCOMPARE(m_warnings.size(), 3);
        QVERIFY(m_warnings.first().startsWith(QStringLiteral("Error|Cannot rename file")));
        QCOMPARE(readAll(file), QByteArray("f"));
        QCOMPARE(readAll(dir.abs("other.txt")), QByteArray("x"));
    }

    void emptyAnswerChangesNothing()
    {
        TestDir dir;
        const QString file = dir.write("f.txt", "f");
        WinFinder* win = open(dir.path());
        QVERIFY(win);
        zem::XBoxInput::testHook = [](const QString&, const QString&, const QString&) { return QString(); };
        QVERIFY(!win->rename_file(QFileInfo(file)));
        QVERIFY(QFile::exists(file));
    }

    void f2RenamesTheShownFileEvenWhenReadOnly()
    {
        zemFinder::WinFinderConfig::get().flag_zf_read_only = true;
        TestDir dir;
        const QString file = dir.write("shown.txt", "s");
        WinFinder* win = open(dir.path());
        QVERIFY(win);
        win->on_treeView_selectFile(QFileInfo(file));
        zem::XBoxInput::testHook = [](const QString&, const QString&, const QString&) { return QStringLiteral("f2.txt"); };
        QTest::keyClick(win, Qt::Key_F2);
        QVERIFY(QFile::exists(dir.abs("f2.txt")));
        QVERIFY(!QFile::exists(file));
    }

    void deleteAsksAndOnlyYesDeletes()
    {
        TestDir dir;
        const QString file = dir.write("d.txt", "d");
        WinFinder* win = open(dir.path());
        QVERIFY(win);
        answer(0);
        QVERIFY(!win->delete_file(QFileInfo(file)));
        QVERIFY(QFile::exists(file));
        QCOMPARE(m_questions.size(), 1);
        QCOMPARE(m_questions.first(), QStringLiteral("Delete file|Do you really want to delete file\n") + file);
        answer(1);
        QVERIFY(win->delete_file(QFileInfo(file)));
        QVERIFY(!QFile::exists(file));
    }

    void deletingAFolderAsksOnceAndShowsTheParent()
    {
        TestDir dir;
        dir.write("folder/a/b.txt", "b");
        WinFinder* win = open(dir.path());
        QVERIFY(win);
        answer(1);
        QVERIFY(win->delete_file(QFileInfo(dir.abs("folder"))));
        QCOMPARE(m_questions.size(), 1);
        QVERIFY(m_questions.first().contains(QStringLiteral("Do you really want to delete directory\n")));
        QVERIFY(!QFileInfo::exists(dir.abs("folder")));
        QCOMPARE(win->currentFile().absoluteFilePath(), QFileInfo(dir.path()).absoluteFilePath());
    }

    void deleteOfAMissingFileWarns()
    {
        TestDir dir;
        WinFinder* win = open(dir.path());
        QVERIFY(win);
        answer(1);
        QVERIFY(!win->delete_file(QFileInfo(dir.abs("gone.txt"))));
        QCOMPARE(m_warnings.size(), 1);
        QVERIFY(m_warnings.first().startsWith(QStringLiteral("Error|Cannot remove file\n")));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestFileOps test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_file_ops.moc"
