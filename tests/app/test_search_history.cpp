// The search history of a main window: the three fields' lists and the scope survive closing and
// reopening the window on the same node; a first start is empty; a search grows the lists.
#include "KernelGUI.h"
#include "TestDir.h"
#include "XNode.h"
#include "gui/WinFinder.h"
#include "gui/WinFinder_FindArea.h"
#include "gui/WinTray.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XComboBox.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XTreeViewFiles.h"
#include "widgets/XTypedComboBox.h"

#include <QtTest>

using zemFinder::WinFinder;
using zemFinder::WinFinderConfig;
using Area = WinFinder::FindArea;

namespace {
void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QStringList items(const QComboBox* combo)
{
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}
} // namespace

class TestSearchHistory : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;
    // Outlives every window of a test; emptied before the next.
    zem::XNode m_node{QStringLiteral("Window")};

    WinFinder* open(zem::XNode* node)
    {
        WinFinder* win = WinFinder::create_window(node, m_dir.path());
        win->resize(900, 500);
        win->show();
        if (!QTest::qWaitForWindowExposed(win))
            return nullptr;
        return win;
    }

    static void closeAll()
    {
        for (QWidget* w : zem::KernelGUI::kernelGui()->windows())
            w->close();
        flushDeletes();
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_dir.write("a/one.cpp", "x");
        m_dir.write("a/two.txt", "y");
        WinFinderConfig::get().flagUseStartFolder = false;
        WinFinderConfig::get().scope = 2;
    }

    void init() { m_node.clear(); }
    void cleanup() { closeAll(); }
    void cleanupTestCase() { zemFinder::WinTray::destroy(); }

    void firstStartIsEmpty()
    {
        WinFinder* win = open(&m_node);
        QVERIFY(win);
        Area* f = win->findArea();
        QCOMPARE(f->comboPattern->count(), 0);
        QCOMPARE(f->comboNotPattern->count(), 0);
        QCOMPARE(f->comboContent->count(), 0);
        QCOMPARE(f->comboScope->currentIndex(), 2);
    }

    void listsAndIndexesSurviveCloseAndReopen()
    {
        WinFinder* win = open(&m_node);
        QVERIFY(win);
        Area* f = win->findArea();
        f->comboPattern->addItems({QStringLiteral("*.cpp"), QStringLiteral("*.h")});
        f->comboPattern->setCurrentIndex(1);
        f->comboNotPattern->addItems({QStringLiteral("*.o"), QStringLiteral("*.a"), QStringLiteral("*.so")});
        f->comboNotPattern->setCurrentIndex(2);
        f->comboContent->addItems({QStringLiteral("include"), QStringLiteral("main")});
        f->comboContent->setCurrentIndex(0);
        f->comboScope->setCurrentIndex(0);
        closeAll();

        QVERIFY(m_node.getNode(QStringLiteral("SearchHistory")));
        win = open(&m_node);
        QVERIFY(win);
        f = win->findArea();
        QCOMPARE(items(f->comboPattern), QStringList({QStringLiteral("*.cpp"), QStringLiteral("*.h")}));
        QCOMPARE(f->comboPattern->currentIndex(), 1);
        QCOMPARE(items(f->comboNotPattern).size(), 3);
        QCOMPARE(f->comboNotPattern->currentIndex(), 2);
        QCOMPARE(f->comboNotPattern->currentText(), QStringLiteral("*.so"));
        QCOMPARE(items(f->comboContent), QStringList({QStringLiteral("include"), QStringLiteral("main")}));
        QCOMPARE(f->comboContent->currentIndex(), 0);
        QCOMPARE(f->comboScope->currentIndex(), 0);
    }

    void searchGrowsTheListWithoutDuplicates()
    {
        WinFinder* win = open(&m_node);
        QVERIFY(win);
        Area* f = win->findArea();
        win->set_filter_flags(WinFinder::FLAG_PATTERN);
        QVERIFY(win->treeView()->selectFile(m_dir.path(), false));
        for (int round = 0; round < 2; ++round) {
            f->comboPattern->setEditText(QStringLiteral("*.cpp"));
            win->on_find();
            QTRY_COMPARE_WITH_TIMEOUT(f->stacked->currentIndex(), int(Area::PAGE_SCAN_RESULT), 20000);
            win->on_escape_key();
        }
        QCOMPARE(items(f->comboPattern), QStringList({QStringLiteral("*.cpp")}));
        closeAll();
        win = open(&m_node);
        QVERIFY(win);
        QCOMPARE(items(win->findArea()->comboPattern), QStringList({QStringLiteral("*.cpp")}));
    }

    void manageComboAddsCaseVariantsOnce()
    {
        WinFinder* win = open(&m_node);
        QVERIFY(win);
        QComboBox* combo = win->findArea()->comboPattern;
        win->manage_combo_History(combo, QStringLiteral("*.cpp"));
        win->manage_combo_History(combo, QStringLiteral("*.cpp"));
        win->manage_combo_History(combo, QStringLiteral("*.CPP"));
        win->manage_combo_History(combo, QString());
        QCOMPARE(items(combo), QStringList({QStringLiteral("*.cpp"), QStringLiteral("*.CPP")}));
    }

    void addToHistoryKeepsSixteen()
    {
        WinFinder* win = open(&m_node);
        QVERIFY(win);
        Area* f = win->findArea();
        win->set_filter_flags(WinFinder::FLAG_NOT_PATTERN);
        QVERIFY(win->treeView()->selectFile(m_dir.abs("a"), false));
        for (int i = 0; i < 18; ++i) {
            f->comboNotPattern->setEditText(QStringLiteral("*.x%1").arg(i));
            win->on_find();
            QTRY_COMPARE_WITH_TIMEOUT(f->stacked->currentIndex(), int(Area::PAGE_SCAN_RESULT), 20000);
            win->on_escape_key();
        }
        QCOMPARE(f->comboNotPattern->count(), 16);
        QCOMPARE(f->comboNotPattern->itemText(0), QStringLiteral("*.x17"));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestSearchHistory test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_search_history.moc"
