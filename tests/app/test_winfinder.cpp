// The main window: what a tree selection does, back/forward/up, the history menu, tree modes,
// thumbnail steps, shortcuts, tray entries, the end of the process with the last window, quitting
// with and without a question, and the state a closed window leaves for the next one.
#include "gui/History.h"
#include "KernelGUI.h"
#include "Logger.h"
#include "TestDir.h"
#include "gui/WinFinder.h"
#include "gui/WinFinder_NavigationBar.h"
#include "gui/WinTray.h"
#include "XNode.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XBox.h"
#include "widgets/XButton.h"
#include "widgets/XMenu.h"
#include "widgets/XSplitter.h"
#include "widgets/XTray.h"
#include "widgets/XTreeViewFiles.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QtTest>

using zemFinder::History;
using zemFinder::WinFinder;
using zemFinder::WinFinderConfig;
using zemFinder::WinTray;

namespace {
QString abs(const QString& p)
{
    return QFileInfo(p).absoluteFilePath();
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Runs step inside the application's own event loop and returns the loop's exit code; 99 when
// nothing ended the loop within a generous bound (a failure, not a timing requirement).
int execWith(std::function<void()> step)
{
    QTimer::singleShot(0, qApp, std::move(step));
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
    guard.start(20000);
    return QCoreApplication::exec();
}
} // namespace

class TestWinFinder : public QObject {
    Q_OBJECT

private:
    zem::XNode m_node{QStringLiteral("Window")};
    TestDir m_dir;

    WinFinder* open(const QString& start, zem::XNode* node = nullptr)
    {
        WinFinder* win = WinFinder::create_window(node ? node : &m_node, start);
        win->resize(900, 500);
        win->show();
        if (!QTest::qWaitForWindowExposed(win))
            return nullptr;
        return win;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_dir.mkdir("a/a1");
        m_dir.mkdir("b");
        m_dir.mkdir("c");
        m_dir.write("a/file.txt", "hello");
        WinFinderConfig::get().flagUseStartFolder = false;
        WinFinderConfig::get().flagStatusBar = true;
    }

    void cleanup()
    {
        zem::XBox::testHook = nullptr;
        WinFinderConfig::get().flagConfirmQuit = false;
        for (QWidget* w : zem::KernelGUI::kernelGui()->windows())
            w->close();
        flushDeletes();
        QVERIFY(zem::KernelGUI::kernelGui()->windows().isEmpty());
    }

    void cleanupTestCase()
    {
        WinTray::destroy();
    }

    void startPathIsSelectedAtFirstShow()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        QCOMPARE(win->treeView()->selectedFile().absoluteFilePath(), abs(m_dir.abs("a")));
        QVERIFY(win->treeView()->isExpanded(win->treeView()->indexOfPath(m_dir.abs("a"))));
        QCOMPARE(win->windowTitle(), QStringLiteral("ZF ") + abs(m_dir.abs("a")));
    }

    void emptyStartPathExpandsTheRoot()
    {
        WinFinder* win = open(QString());
        QVERIFY(win);
        QVERIFY(win->treeView()->isExpanded(win->treeView()->model()->index(0, 0)));
    }

    void selectionEffects()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        const QString file = abs(m_dir.abs("a/file.txt"));
        QVERIFY(win->treeView()->selectFile(file, false));
        QCOMPARE(win->currentFile().absoluteFilePath(), file);
        QCOMPARE(win->windowTitle(), QStringLiteral("ZF ") + file);
        QCOMPARE(win->navigationBar()->pathField()->text(), file);
        QCoreApplication::processEvents();   // texts are set on the GUI thread's next turn
        QCOMPARE(win->trayAction()->text(), QStringLiteral("ZF ") + file);
        QCOMPARE(win->statusLabel()->text(), file + QStringLiteral("  ( ") + zem::formatBytes(5) + QStringLiteral(" )"));
        QVERIFY(win->statusBarRow()->isVisible());
        QCOMPARE(win->history()->count(), 2u);
    }

    void backAndForwardDoNotRecord()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        zem::XTreeViewFiles* tree = win->treeView();
        QVERIFY(tree->selectFile(m_dir.abs("b"), false));
        QVERIFY(tree->selectFile(m_dir.abs("c"), false));
        History* h = win->history();
        QCOMPARE(h->count(), 3u);
        QVERIFY(win->navigationBar()->backButton()->isEnabled());
        QVERIFY(!win->navigationBar()->forwardButton()->isEnabled());

        QTest::keyClick(win, Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(tree->selectedFile().absoluteFilePath(), abs(m_dir.abs("b")));
        QCOMPARE(h->count(), 3u);
        QVERIFY(win->isHistoryRecording());
        QVERIFY(win->navigationBar()->forwardButton()->isEnabled());

        win->on_navi_back();
        QCOMPARE(tree->selectedFile().absoluteFilePath(), abs(m_dir.abs("a")));
        QVERIFY(!win->navigationBar()->backButton()->isEnabled());
        win->on_navi_back();   // at the oldest entry: nothing happens
        QCOMPARE(tree->selectedFile().absoluteFilePath(), abs(m_dir.abs("a")));

        QTest::keyClick(win, Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(tree->selectedFile().absoluteFilePath(), abs(m_dir.abs("b")));
        QCOMPARE(h->count(), 3u);

        // A new selection after going back drops the newer entries.
        QVERIFY(tree->selectFile(m_dir.abs("a/a1"), false));
        QCOMPARE(h->count(), 3u);
        QCOMPARE(h->files().last().absoluteFilePath(), abs(m_dir.abs("a/a1")));
        QVERIFY(!win->navigationBar()->forwardButton()->isEnabled());
    }

    void historyMenu()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        win->treeView()->selectFile(m_dir.abs("b"), false);
        std::unique_ptr<zem::XMenu> menu(win->create_history_menu());
        QStringList texts;
        for (QAction* a : menu->actions())
            texts << a->text();
        QCOMPARE(texts, (QStringList{"a", "*** b ***", "", "Clear History"}));
        menu->actions().at(0)->trigger();
        QCOMPARE(win->treeView()->selectedFile().absoluteFilePath(), abs(m_dir.abs("a")));
        QCOMPARE(win->history()->count(), 2u);
        QCOMPARE(win->history()->index(), 0u);

        menu->actions().last()->trigger();   // Clear History keeps the current selection
        QCOMPARE(win->history()->count(), 1u);

        win->history()->reset();
        std::unique_ptr<zem::XMenu> empty(win->create_history_menu());
        QCOMPARE(empty->actions().size(), 1);
        QCOMPARE(empty->actions().at(0)->text(), QStringLiteral("Clear History"));
    }

    void upStopsBelowTheFileSystemRoot()
    {
        WinFinder* win = open(m_dir.abs("a/a1"));
        QVERIFY(win);
        QTest::keyClick(win, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(win->treeView()->selectedFile().absoluteFilePath(), abs(m_dir.abs("a")));

        const QString topLevel = QStringLiteral("/tmp");
        QVERIFY(win->treeView()->selectFile(topLevel, false));
        win->on_navi_up();
        QCOMPARE(win->treeView()->selectedFile().absoluteFilePath(), topLevel);
    }

    void pathFieldAndReturn()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        QLineEdit* field = win->navigationBar()->pathField();
        win->activateWindow();
        field->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(win));
        field->setText(m_dir.abs("c"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(win->treeView()->selectedFile().absoluteFilePath(), abs(m_dir.abs("c")));
    }

    void thumbnailSteps()
    {
        QCOMPARE(WinFinder::next_thumb_size(128, true), 160u);
        QCOMPARE(WinFinder::next_thumb_size(128, false), 90u);
        QCOMPARE(WinFinder::next_thumb_size(256, true), 256u);
        QCOMPARE(WinFinder::next_thumb_size(64, false), 64u);
        QCOMPARE(WinFinder::next_thumb_size(100, true), 128u);
        QCOMPARE(WinFinder::next_thumb_size(100, false), 90u);
        QCOMPARE(WinFinder::next_thumb_size(10, true), 64u);
        QCOMPARE(WinFinder::next_thumb_size(999, false), 256u);
    }

    void treeModeCycle()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        QCOMPARE(win->tree_mode(), WinFinder::NORMAL);
        QCOMPARE(win->step_tree_mode(), WinFinder::DETAILS);
        QVERIFY(win->treeView()->isVisible());
        QVERIFY(win->treeView()->isHeaderDetails());
        QCOMPARE(win->step_tree_mode(), WinFinder::NO_TREE);
        QVERIFY(!win->treeView()->isVisible());
        QVERIFY(win->treeView()->isHeaderDetails());   // left as it was
        QCOMPARE(win->step_tree_mode(), WinFinder::NORMAL);
        QVERIFY(win->treeView()->isVisible());
        QVERIFY(!win->treeView()->isHeaderDetails());
    }

    void filterFlagShortcuts()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        win->set_filter_flags(0);
        QTest::keyClick(win, Qt::Key_P, Qt::AltModifier);
        QTest::keyClick(win, Qt::Key_C, Qt::AltModifier);
        QCOMPARE(win->filter_flags(), 2u | 128u);
        QTest::keyClick(win, Qt::Key_P, Qt::AltModifier);
        QCOMPARE(win->filter_flags(), 128u);
        QTest::keyClick(win, Qt::Key_Down, Qt::AltModifier);   // accepted, does nothing
        QCOMPARE(win->filter_flags(), 128u);
        QTest::keyClick(win, Qt::Key_0, Qt::AltModifier);
        QCOMPARE(win->filter_flags(), 0u);
    }

    void treeTooltipAndBackground()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        const QFileInfo dir(m_dir.abs("b"));
        QCOMPARE(win->tree_tooltip(dir, false), QStringLiteral("[") + dir.absoluteFilePath() + "]");
        QVERIFY(win->tree_tooltip(dir, true).isEmpty());
        const QStringList lines = win->tree_tooltip(QFileInfo(m_dir.abs("a/file.txt")), false).split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(1), zem::formatBytes(5));
        QCOMPARE(win->tree_background(), QColor(Qt::white));
        win->treeView()->set_root_path(m_dir.path());
        QCOMPARE(win->tree_background(), QColor("#f3e7e3"));
        QVERIFY(win->treeView()->styleSheet().contains("#f3e7e3"));
        win->treeView()->set_root_path(QString());
    }

    void ctrlNOpensAWindowOnTheSelection()
    {
        WinFinder* win = open(m_dir.abs("b"));
        QVERIFY(win);
        const int before = zem::KernelGUI::kernelGui()->windows().size();
        QTest::keyClick(win, Qt::Key_N, Qt::ControlModifier);
        const QList<QWidget*> windows = zem::KernelGUI::kernelGui()->windows();
        QCOMPARE(windows.size(), before + 1);
        auto* second = qobject_cast<WinFinder*>(windows.last());
        QVERIFY(second);
        QVERIFY(QTest::qWaitForWindowExposed(second));
        QCOMPARE(second->treeView()->selectedFile().absoluteFilePath(), abs(m_dir.abs("b")));
        QCOMPARE(second->getNodeWin(), win->getNodeWin());
    }

    void trayEntriesFollowTheWindows()
    {
        WinFinder* one = open(m_dir.abs("a"));
        WinFinder* two = open(m_dir.abs("b"));
        QVERIFY(one && two);
        QMenu* menu = WinTray::get()->menu();
        QVERIFY(menu->actions().contains(one->trayAction()));
        QVERIFY(menu->actions().contains(two->trayAction()));
        QPointer<QAction> twoEntry = two->trayAction();
        two->close();
        QVERIFY(!menu->actions().contains(twoEntry.data()));
        QVERIFY(menu->actions().contains(one->trayAction()));

        one->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(one));
        zem::XTray::availableProvider = [] { return true; };   // a desktop with a tray
        QTest::keyClick(one, Qt::Key_H, Qt::AltModifier);   // hidden to the tray, still counted
        zem::XTray::availableProvider = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
        QVERIFY(!one->isVisible());
        flushDeletes();
        QCOMPARE(WinTray::count_windows(), 1);
        QVERIFY(!WinTray::get()->check_windows());
        one->trayAction()->trigger();
        QVERIFY(one->isVisible());
    }

    void lastWindowClosingEndsTheProcessAtTheNextTick()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        WinTray* tray = WinTray::get();
        QCOMPARE(tray->timer().interval(), 500);
        QVERIFY(!tray->check_windows());
        tray->timer().setInterval(0);   // the next tick comes at once
        tray->timer().start();
        const int rc = execWith([win] { win->close(); });
        QCOMPARE(rc, 0);
        QVERIFY(!tray->timer().isActive());
        tray->timer().setInterval(500);
    }

    void quitWithoutQuestion()
    {
        QVERIFY(open(m_dir.abs("a")));
        QVERIFY(open(m_dir.abs("b")));
        int asked = 0;
        zem::XBox::testHook = [&asked](zem::XBox::Kind, const QString&, const QString&) { return ++asked, 0; };
        const int rc = execWith([] { WinFinder::quit_application(nullptr); });
        QCOMPARE(rc, 0);
        QCOMPARE(asked, 0);
        flushDeletes();
        QCOMPARE(zem::KernelGUI::kernelGui()->windows().size(), 0);
    }

    void quitWithQuestion()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        WinFinderConfig::get().flagConfirmQuit = true;
        QString title, text;
        int answer = 0;
        zem::XBox::testHook = [&](zem::XBox::Kind kind, const QString& t, const QString& x) {
            title = t;
            text = x;
            return kind == zem::XBox::Kind::Question ? answer : 0;
        };
        QTest::keyClick(win, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(title, QStringLiteral("Quit Zem Finder"));
        QCOMPARE(text, QStringLiteral("Do you want to quit Zem Finder Application ?"));
        flushDeletes();
        QCOMPARE(zem::KernelGUI::kernelGui()->windows().size(), 1);   // "no" keeps everything

        answer = 1;
        const int rc = execWith([win] { QTest::keyClick(win, Qt::Key_Q, Qt::ControlModifier); });
        QCOMPARE(rc, 0);
        flushDeletes();
        QCOMPARE(zem::KernelGUI::kernelGui()->windows().size(), 0);
    }

    void closedWindowStateComesBack()
    {
        zem::XNode node(QStringLiteral("Window"));
        QList<int> sizes;
        {
            WinFinder* win = open(m_dir.abs("a/a1"), &node);
            QVERIFY(win);
            win->splitter()->setSizes({300, 600});
            sizes = win->splitter()->sizes();
            QVERIFY(win->treeView()->selectFile(m_dir.abs("c"), true));
            win->set_filter_flags(WinFinder::FLAG_HIDDEN | WinFinder::FLAG_SIZE);
            QVERIFY(win->treeView()->is_hidden_files());
            win->close();
            flushDeletes();
        }
        QVERIFY(node.isBool("flagHiddenFiles", false));
        QCOMPARE(node.getUInt("filterFlags", 0), 64u | 16u);

        WinFinder* again = open(QString(), &node);
        QVERIFY(again);
        QCOMPARE(again->splitter()->sizes(), sizes);
        QVERIFY(again->treeView()->isExpanded(again->treeView()->indexOfPath(m_dir.abs("a/a1"))));
        QVERIFY(again->treeView()->isExpanded(again->treeView()->indexOfPath(m_dir.abs("c"))));
        QVERIFY(again->treeView()->is_hidden_files());
        QCOMPARE(again->filter_flags(), 64u | 16u);

        again->set_filter_flags(0);   // hidden files off again, for the next window
        QVERIFY(!again->treeView()->is_hidden_files());
        again->close();
        flushDeletes();
        QVERIFY(!node.isBool("flagHiddenFiles", true));
    }

    void secondSetUpOnlyLogs()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        zem::XTreeViewFiles* tree = win->treeView();
        win->setUp(m_dir.abs("b"));
        QCOMPARE(win->treeView(), tree);
        QCOMPARE(tree->selectedFile().absoluteFilePath(), abs(m_dir.abs("a")));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestWinFinder test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_winfinder.moc"
