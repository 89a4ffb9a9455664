// Where windows appear and how they come back: the main window's position, size and maximised
// state survive a restart and are fitted to the screens there are then; help, hint and
// stand-alone preview windows open centred on their window; hiding without a tray minimises
// instead of losing the window; a second start brings the running window forward over the
// local channel beside the instance lock.
#include "KernelGUI.h"
#include "Logger.h"
#include "TestDir.h"
#include "XNode.h"
#include "gui/WinDetails.h"
#include "gui/WinFinder.h"
#include "gui/WinTray.h"
#include "gui/config/ConfigZemFinder.h"
#include "main/FindApplication.h"
#include "main/InstanceChannel.h"
#include "widgets/XBrowserWindow.h"
#include "widgets/XTray.h"
#include "widgets/XTreeViewFiles.h"

#include <QLocalSocket>
#include <QScreen>
#include <QtTest>
#include <memory>
#include <thread>

using zemFinder::FindApplication;
using zemFinder::InstanceChannel;
using zemFinder::WinFinder;
using zemFinder::WinFinderConfig;
using zem::XMainWindow;

namespace {
void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

template <typename T>
T* newestTopLevel()
{
    T* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible())
            found = t;
    return found;
}

// Frame margins the platform may put around a window's position.
constexpr int kFrame = 4;

// The client blocks until the server answers, so it runs beside the event loop.
bool askFromAnotherThread(const QString& socket, const QString& file)
{
    bool sent = false;
    std::thread client([&] { sent = InstanceChannel::ask_running(socket, file); });
    QElapsedTimer t;
    t.start();
    // Keep the server's loop turning while the client talks to it.
    while (t.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (client.joinable() && sent)
            break;
        QThread::msleep(5);
    }
    client.join();
    return sent;
}
} // namespace

class TestWindowPlacement : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;
    zem::XNode m_node{QStringLiteral("Window")};
    const QRect m_bigScreen{0, 0, 1920, 1080};

    WinFinder* open(zem::XNode* node, const QString& start = QString())
    {
        WinFinder* win = WinFinder::create_window(node, start);
        win->place_window();
        win->show();
        if (!QTest::qWaitForWindowExposed(win))
            return nullptr;
        return win;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_dir.write("a/file.txt", "hello\n");
        m_dir.mkdir("b");
        WinFinderConfig::get().flagUseStartFolder = false;
        zem::Logger::setStderrEnabled(false);
    }

    void init()
    {
        m_node.clear();
        XMainWindow::screenAreasProvider = [this] { return QList<QRect>{m_bigScreen}; };
    }

    void cleanup()
    {
        zem::XTray::availableProvider = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isWindow() && w->isVisible())
                w->close();
        for (QWidget* w : zem::KernelGUI::kernelGui()->windows())
            w->close();
        flushDeletes();
    }

    void cleanupTestCase() { zemFinder::WinTray::destroy(); }

    // --- Geometry. ---

    void sizeAndPositionSurviveARestart()
    {
        zem::XNode& node = m_node;   // outlives the windows, which close in cleanup
        WinFinder* win = open(&node);
        QVERIFY(win);
        win->setGeometry(120, 90, 1450, 880);
        QCoreApplication::processEvents();
        win->close();
        flushDeletes();

        WinFinder* again = open(&node);
        QVERIFY(again);
        QCOMPARE(again->geometry(), QRect(120, 90, 1450, 880));
        QVERIFY(!again->isMaximized());
    }

    void maximisedComesBackMaximisedOverItsNormalSize()
    {
        zem::XNode& node = m_node;   // outlives the windows, which close in cleanup
        WinFinder* win = open(&node);
        QVERIFY(win);
        win->setGeometry(200, 100, 1000, 700);
        QCoreApplication::processEvents();
        win->showMaximized();
        QTRY_VERIFY(win->isMaximized());
        win->close();
        flushDeletes();
        QVERIFY(node.isBool("flagMaximized", false));

        WinFinder* again = open(&node);
        QVERIFY(again);
        QTRY_VERIFY(again->isMaximized());
        // Its normal size is still the one it had, ready for the next start.
        again->close();
        flushDeletes();
        QCOMPARE(node.getInt("geoWidth", 0), 1000);
        QCOMPARE(node.getInt("geoHeight", 0), 700);
        QVERIFY(node.isBool("flagMaximized", false));
    }

    void aWindowFromABiggerDeskIsFittedToTodaysScreen()
    {
        zem::XNode& node = m_node;   // outlives the windows, which close in cleanup
        WinFinder* win = open(&node);
        QVERIFY(win);
        win->setGeometry(1700, 900, 1450, 880);   // half on a screen that is gone tomorrow
        QCoreApplication::processEvents();
        win->close();
        flushDeletes();

        const QRect small(0, 0, 1024, 768);
        XMainWindow::screenAreasProvider = [small] { return QList<QRect>{small}; };
        WinFinder* again = open(&node);
        QVERIFY(again);
        // Within a window frame's few pixels (the platform adds the frame around the position).
        const QRect got = again->geometry();
        QVERIFY2(small.adjusted(0, 0, kFrame, kFrame).contains(got),
                 qPrintable(QStringLiteral("%1,%2 %3x%4").arg(got.x()).arg(got.y()).arg(got.width()).arg(got.height())));
    }

    void fitToScreens_data()
    {
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QRect>("fitted");
        QTest::newRow("inside stays") << QRect(10, 10, 500, 400) << QRect(10, 10, 500, 400);
        QTest::newRow("on the second screen stays") << QRect(2000, 100, 800, 600) << QRect(2000, 100, 800, 600);
        QTest::newRow("off every screen goes to the first") << QRect(5000, 3000, 800, 600) << QRect(1120, 480, 800, 600);
        QTest::newRow("too big shrinks") << QRect(-50, -50, 3000, 2000) << QRect(0, 0, 1920, 1080);
        QTest::newRow("across the edge moves in") << QRect(1800, 50, 800, 600) << QRect(1920, 50, 800, 600);
    }

    void fitToScreens()
    {
        QFETCH(QRect, rect);
        QFETCH(QRect, fitted);
        const QList<QRect> areas{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
        QCOMPARE(XMainWindow::fit_to_screens(rect, areas), fitted);
    }

    void nothingStoredCentresAtTheDefaultSize()
    {
        zem::XNode& node = m_node;   // outlives the windows, which close in cleanup
        WinFinder* win = open(&node);
        QVERIFY(win);
        const QRect screen = win->screen()->availableGeometry();
        QCOMPARE(win->size(), QSize(qMin(1200, screen.width()), qMin(600, screen.height())));
    }

    // --- Extra windows. ---

    void hintHelpAndDetailsWindowOpenCentredOnTheirWindow()
    {
        zem::XNode& node = m_node;   // outlives the windows, which close in cleanup
        WinFinder* win = open(&node, m_dir.abs("a"));
        QVERIFY(win);
        win->setGeometry(300, 200, 1000, 650);
        QCoreApplication::processEvents();
        const QPoint centre = win->geometry().center();

        win->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(win));
        QTest::keyClick(win, Qt::Key_F3);
        auto* hint = newestTopLevel<zem::XBrowserWindow>();
        QVERIFY(hint);
        QVERIFY((hint->geometry().center() - centre).manhattanLength() <= 2 * kFrame);
        hint->close();
        flushDeletes();

        win->helpProgram();
        auto* help = newestTopLevel<zem::XBrowserWindow>();
        QVERIFY(help);
        QVERIFY((help->geometry().center() - centre).manhattanLength() <= 2 * kFrame);
        help->close();
        flushDeletes();

        win->open_stand_alone(QFileInfo(m_dir.abs("a/file.txt")));
        auto* details = newestTopLevel<zemFinder::WinDetails>();
        QVERIFY(details);
        QVERIFY2((details->geometry().center() - centre).manhattanLength() <= 2 * kFrame,
                 qPrintable(QStringLiteral("%1,%2 %3x%4").arg(details->x()).arg(details->y()).arg(details->width()).arg(details->height())));
        details->close();
        flushDeletes();
    }

    // --- Hiding and coming back. ---

    void hidingWithoutATrayMinimises()
    {
        zem::XNode& node = m_node;   // outlives the windows, which close in cleanup
        WinFinder* win = open(&node, m_dir.abs("a"));
        QVERIFY(win);
        zem::XTray::availableProvider = [] { return false; };
        win->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(win));
        QTest::keyClick(win, Qt::Key_H, Qt::AltModifier);
        QVERIFY(win->isVisible());
        QTRY_VERIFY(win->isMinimized());

        win->bring_to_front();
        QTRY_VERIFY(!win->isMinimized());
        zem::XTray::availableProvider = [] { return true; };
        win->hide_to_tray();
        QVERIFY(!win->isVisible());
    }

    void secondStartShowsTheHiddenWindowAndSelectsItsFile()
    {
        zem::XNode& node = m_node;   // outlives the windows, which close in cleanup
        WinFinder* win = open(&node, m_dir.abs("b"));
        QVERIFY(win);
        zem::XTray::availableProvider = [] { return true; };
        win->hide_to_tray();
        QVERIFY(!win->isVisible());

        const QString file = QFileInfo(m_dir.abs("a/file.txt")).absoluteFilePath();
        FindApplication::on_second_start(file);
        QVERIFY(win->isVisible());
        QCOMPARE(win->treeView()->selectedFile().absoluteFilePath(), file);

        win->showMinimized();
        QTRY_VERIFY(win->isMinimized());
        FindApplication::on_second_start(QString());
        QTRY_VERIFY(!win->isMinimized());
        QCOMPARE(win->treeView()->selectedFile().absoluteFilePath(), file);   // kept
    }

    void secondStartWithoutAWindowOpensOne()
    {
        QCOMPARE(zem::KernelGUI::kernelGui()->windows().size(), 0);
        FindApplication::on_second_start(QString());
        QCOMPARE(zem::KernelGUI::kernelGui()->windows().size(), 1);
    }

    void channelCarriesAnyPath()
    {
        TestDir runtime;
        const QString socket = InstanceChannel::socket_path_beside(runtime.abs("zemFind.lock"));
        QCOMPARE(socket, runtime.abs("zemFind.socket"));
        QFile stale(socket);   // left by a run that ended badly
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        InstanceChannel channel(socket);
        QVERIFY(channel.listen());
        QStringList received;
        channel.showListener.add([&received](const QString& file) { received << file; });

        const QString odd = QStringLiteral("/tmp/a b/ü\nnewline %20/SHOW x");
        QVERIFY(askFromAnotherThread(socket, odd));
        QTRY_COMPARE(received.size(), 1);
        QCOMPARE(received.first(), odd);
        QVERIFY(askFromAnotherThread(socket, QString()));
        QTRY_COMPARE(received.size(), 2);
        QCOMPARE(received.last(), QString());
    }

    void channelIgnoresStrangers()
    {
        TestDir runtime;
        const QString socket = runtime.abs("zemFind.socket");
        auto channel = std::make_unique<InstanceChannel>(socket);
        QVERIFY(channel->listen());
        int heard = 0;
        channel->showListener.add([&heard](const QString&) { ++heard; });
        std::thread client([&] {
            QLocalSocket s;
            s.connectToServer(socket);
            if (s.waitForConnected(5000)) {
                s.write("DELETE everything\n");
                s.waitForBytesWritten(5000);
                s.waitForDisconnected(5000);
            }
        });
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        client.join();
        QCOMPARE(heard, 0);
        // Nobody listening: the second start says so and still ends.
        channel.reset();
        QVERIFY(!InstanceChannel::ask_running(socket, QString(), 500));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestWindowPlacement test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_window_placement.moc"
