// The thumbnail wall: all tiles at once but only the visible pictures decoded, scrolling decoding
// the newly visible ones; captions (folders keep their name, pictures get "W x H"); a new folder
// resetting the pending set so the old tiles are never decoded, also while they are being
// deleted; clicks like the table's; and the main window's toggle, sizes, keys and context menu.
#include "KernelGUI.h"
#include "Logger.h"
#include "TestDir.h"
#include "XDirInfo.h"
#include "XNode.h"
#include "dir/ContextPreviews.h"
#include "dir/PreviewDir.h"
#include "dir/impl/private_PreviewDir.h"
#include "gui/PanThumb.h"
#include "gui/PanelThumbs.h"
#include "gui/ThumbLoader.h"
#include "gui/WinFinder.h"
#include "gui/WinFinder_NavigationBar.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XButton.h"
#include "widgets/XElidedLabel.h"
#include "widgets/XGlassLabel.h"
#include "widgets/XMenu.h"
#include "widgets/XPanel.h"
#include "widgets/XThumb.h"
#include "widgets/XTreeViewFiles.h"
#include "widgets/XVScrollPanel.h"

#include <QApplication>
#include <QScrollBar>
#include <QtTest>
#include <memory>

using zemFinder::PanelThumbs;
using zemFinder::PanThumb;
using zemFinder::PreviewDir;
using zemFinder::ThumbLoader;
using zemFinder::WinFinder;

namespace {
constexpr int kWaitMs = 20000; // bound against a hang, not a timing expectation
constexpr int kPictures = 120;
constexpr int kTile = 64;

void makePictures(const TestDir& dir, const QString& folder, int count)
{
    dir.mkdir(folder);
    QImage image(64, 48, QImage::Format_RGB32);
    for (int i = 0; i < count; ++i) {
        image.fill(QColor::fromHsv(i * 3 % 360, 200, 200));
        image.save(dir.abs(QStringLiteral("%1/p%2.png").arg(folder).arg(i, 3, 10, QLatin1Char('0'))));
    }
}

QSet<PanThumb*> decoded(const QList<PanThumb*>& tiles)
{
    QSet<PanThumb*> set;
    for (PanThumb* t : tiles)
        if (t->thumb()->is_picture())
            set.insert(t);
    return set;
}

bool allLoaded(const QList<PanThumb*>& tiles)
{
    for (PanThumb* t : tiles)
        if (t->thumb()->is_ini())
            return false;
    return true;
}

QSet<PanThumb*> pictures(const QList<PanThumb*>& tiles)
{
    QSet<PanThumb*> set;
    for (PanThumb* t : tiles)
        if (!t->is_directory() && t->file().suffix() == "png")
            set.insert(t);
    return set;
}

// A wall wired to its loader as the directory preview wires it.
struct Wall {
    PanelThumbs panel;
    ThumbLoader loader;
    Wall()
    {
        panel.scrollPanel()->setBetweenEvents(0);
        panel.visibleTiles.add([this](const QList<PanThumb*>& tiles) {
            for (PanThumb* t : tiles)
                loader.add(t);
            loader.start();
        });
        panel.resize(400, 300);
    }
};

bool logged(const QString& text)
{
    for (const QString& line : zem::Logger::capturedLines())
        if (line.contains(text))
            return true;
    return false;
}
} // namespace

class TestThumbsWall : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;
    zem::XNode m_node{QStringLiteral("Window")};

private Q_SLOTS:
    void initTestCase()
    {
        zem::Logger::setStderrEnabled(false);
        zemFinder::WinFinderConfig::get().flagUseStartFolder = false;
        makePictures(m_dir, "many", kPictures);
        m_dir.mkdir("many/a folder");
        m_dir.mkdir("many/b folder");
        m_dir.write("many/readme.txt", "text");
        makePictures(m_dir, "other", 30);
    }

    void onlyVisibleTilesAreDecodedAndScrollingAddsTheRest()
    {
        Wall wall;
        const QList<QFileInfo> list = zem::XDirInfo::get_flat_directory_info(m_dir.abs("many"));
        wall.panel.set_dirs_and_files(nullptr, list, kTile);
        const QList<PanThumb*> tiles = wall.panel.tiles();
        QCOMPARE(tiles.size(), kPictures + 3);
        wall.panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wall.panel));
        QTRY_VERIFY_WITH_TIMEOUT(!wall.panel.visible_tiles().isEmpty(), kWaitMs);

        wall.panel.trigger_thumbs_appear_event();
        const QList<PanThumb*> first = wall.panel.visible_tiles();
        QVERIFY(first.size() < tiles.size() / 2);
        QTRY_VERIFY_WITH_TIMEOUT(allLoaded(first) && !wall.loader.is_running(), kWaitMs);
        QCOMPARE(decoded(tiles), pictures(first));

        QScrollBar* bar = wall.panel.scrollPanel()->verticalScrollBar();
        bar->setValue(bar->maximum());
        QTRY_VERIFY_WITH_TIMEOUT(allLoaded(wall.panel.visible_tiles()), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!wall.loader.is_running(), kWaitMs);
        const QList<PanThumb*> last = wall.panel.visible_tiles();
        QVERIFY(decoded(tiles).contains(pictures(last)));
        QVERIFY(decoded(tiles).size() < kPictures);
        // Far out of view, the first screen gave its pictures back (its captions stay) ...
        for (PanThumb* t : pictures(first)) {
            QVERIFY(!t->thumb()->is_picture() && t->thumb()->is_ini());
            QVERIFY(t->thumb()->picture_size().isValid());
        }
        // ... and has them again when it comes back into view.
        bar->setValue(0);
        QTRY_VERIFY_WITH_TIMEOUT(allLoaded(first) && !wall.loader.is_running(), kWaitMs);
        QVERIFY(decoded(tiles).contains(pictures(first)));
        QVERIFY(!decoded(tiles).intersects(pictures(last)));
    }

    void captionsAfterLoading()
    {
        Wall wall;
        wall.panel.set_dirs_and_files(nullptr, zem::XDirInfo::get_flat_directory_info(m_dir.abs("many")), kTile);
        wall.panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wall.panel));
        wall.panel.trigger_thumbs_appear_event();
        const QList<PanThumb*> tiles = wall.panel.tiles();
        QCOMPARE(tiles[0]->file().fileName(), QStringLiteral("a folder"));
        QVERIFY(tiles[0]->is_directory());
        QTRY_VERIFY_WITH_TIMEOUT(!tiles[2]->thumb()->is_ini(), kWaitMs);
        QCOMPARE(tiles[0]->nameLabel()->text(), QStringLiteral("a folder"));
        tiles[0]->refresh_label();
        QCOMPARE(tiles[0]->nameLabel()->text(), QStringLiteral("a folder"));
        QCOMPARE(tiles[2]->nameLabel()->text(), QStringLiteral("64x48\np000.png"));
        PanThumb* text = tiles.last();
        QCOMPARE(text->file().fileName(), QStringLiteral("readme.txt"));
        QVERIFY(!text->thumb()->is_ini());
        QCOMPARE(text->nameLabel()->text(), QStringLiteral("readme.txt"));
    }

    void resetForgetsTheOldFolder()
    {
        Wall wall;
        wall.panel.set_dirs_and_files(nullptr, zem::XDirInfo::get_flat_directory_info(m_dir.abs("other")), kTile);
        const QList<PanThumb*> tiles = wall.panel.tiles();
        for (PanThumb* t : tiles)
            wall.loader.add(t);
        QCOMPARE(wall.loader.count(), tiles.size());
        wall.loader.reset();
        QCOMPARE(wall.loader.count(), 0);
        QVERIFY(!wall.loader.next());
        wall.loader.start();
        QTRY_VERIFY_WITH_TIMEOUT(!wall.loader.is_running(), kWaitMs);
        QCOMPARE(wall.loader.started_jobs(), 0);
        QCoreApplication::processEvents();
        for (PanThumb* t : tiles)
            QVERIFY(t->thumb()->is_ini());
    }

    void tileCancelledByResetLoadsWhenAddedAgain()
    {
        // Escape stops the window's jobs but the wall stays: its tiles must still load later.
        Wall wall;
        wall.panel.set_dirs_and_files(nullptr, zem::XDirInfo::get_flat_directory_info(m_dir.abs("other")), kTile);
        PanThumb* tile = wall.panel.tiles().first();
        wall.loader.add(tile);
        std::shared_ptr<zem::XThumbJob> job = wall.loader.next();
        QVERIFY(job);
        wall.loader.reset();
        QVERIFY(job->cancelled);
        job->work();
        QCoreApplication::processEvents();
        QVERIFY(tile->thumb()->is_ini());
        wall.loader.add(tile);
        QCOMPARE(wall.loader.count(), 1);
        wall.loader.start();
        QTRY_VERIFY_WITH_TIMEOUT(!tile->thumb()->is_ini(), kWaitMs);
        QVERIFY(tile->thumb()->is_picture());
    }

    void previewSwitchingFoldersDecodesOnlyTheNewOne()
    {
        PreviewDir pd;
        pd.ini();
        PreviewDir::Impl* impl = pd.impl();
        impl->thumbDelayMs = 0;
        impl->thumbs->scrollPanel()->setBetweenEvents(0);
        pd.set_thumb_size(kTile);
        pd.resize(500, 700);
        pd.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pd));
        pd.on_active_win_view(PreviewDir::VIEW_THUMB);
        QCOMPARE(pd.active_view(), int(PreviewDir::VIEW_THUMB));

        pd.open_file(QFileInfo(m_dir.abs("many")));
        pd.open_file(QFileInfo(m_dir.abs("other")));
        QTRY_COMPARE_WITH_TIMEOUT(impl->thumbs->tiles().size(), 30, kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!impl->thumbs->visible_tiles().isEmpty(), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(allLoaded(impl->thumbs->visible_tiles()), kWaitMs);
        QCOMPARE(impl->thumbs->tiles().first()->file().absolutePath(), m_dir.abs("other"));

        // Leave mid-load: the old tiles go while their pictures may be decoding.
        pd.open_file(QFileInfo(m_dir.abs("many")));
        QTRY_COMPARE_WITH_TIMEOUT(impl->thumbs->tiles().size(), kPictures + 3, kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!impl->thumbs->visible_tiles().isEmpty(), kWaitMs);
        pd.open_file(QFileInfo(m_dir.abs("other")));
        QTRY_COMPARE_WITH_TIMEOUT(impl->thumbs->tiles().size(), 30, kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(allLoaded(impl->thumbs->visible_tiles()), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!impl->loader.is_running() && impl->loader.active_jobs() == 0, kWaitMs);
    }

    void tileClicksAnswerLikeRows()
    {
        PreviewDir pd;
        pd.ini();
        PreviewDir::Impl* impl = pd.impl();
        impl->thumbDelayMs = 0;
        pd.on_active_win_view(PreviewDir::VIEW_THUMB);
        QFileInfo selected, doubled, menu;
        pd.selected.add([&](const QFileInfo& fi) { selected = fi; });
        pd.doubleClicked.add([&](const QFileInfo& fi) { doubled = fi; });
        pd.contextMenu.add([&](const QFileInfo& fi) { menu = fi; });
        pd.open_file(QFileInfo(m_dir.abs("many")));
        QTRY_VERIFY_WITH_TIMEOUT(!impl->thumbs->tiles().isEmpty(), kWaitMs);
        PanThumb* tile = impl->thumbs->tiles().at(5);
        tile->glass()->onClick();
        QCOMPARE(selected, tile->file());
        QCOMPARE(impl->context.file(), tile->file());
        QVERIFY(tile->glass()->isHighlighted());
        tile->glass()->onDoubleClick();
        QCOMPARE(doubled, tile->file());
        tile->glass()->onContextMenu();
        QCOMPARE(menu, tile->file());
    }

    void mainWindowToggleSizesKeysAndMenu()
    {
        WinFinder* win = WinFinder::create_window(&m_node, m_dir.path());
        win->resize(1000, 600);
        win->show();
        QVERIFY(QTest::qWaitForWindowExposed(win));
        WinFinder::NavigationBar* bar = win->navigationBar();
        QVERIFY(!bar->sizesPanel()->isVisibleTo(bar));

        bar->thumbsButton()->click();
        QCOMPARE(win->view_bits(), uint32_t(WinFinder::VIEW_THUMBS));
        QVERIFY(bar->sizesPanel()->isVisibleTo(bar));
        QVERIFY(m_node.isBool("flagThumbs", false));
        zemFinder::AbstractPreviewDir* dir = win->previewDirectory();
        QCOMPARE(dir->active_view(), int(PreviewDir::VIEW_THUMB));

        bar->biggerButton()->click();
        QCOMPARE(dir->thumb_size(), 160);
        QCOMPARE(m_node.getInt("thumbSize", 0), 160);
        bar->smallerButton()->click();
        bar->smallerButton()->click();
        QCOMPARE(dir->thumb_size(), 90);

        QTest::keyClick(win, Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(win->view_bits(), 0u);
        QVERIFY(!bar->thumbsButton()->isChecked());
        QCOMPARE(dir->active_view(), int(PreviewDir::VIEW_TABLE));
        QTest::keyClick(win, Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(win->view_bits(), uint32_t(WinFinder::VIEW_THUMBS));
        QVERIFY(bar->thumbsButton()->isChecked());

        // A right click on a tile opens the right-side menu of the tile's file.
        QStringList menus;
        WinFinder::contextMenuRunner = [&menus](zem::XMenu* menu) { menus << menu->actions().first()->text(); };
        zem::Logger::startCapture();
        QVERIFY(win->treeView()->selectFile(m_dir.abs("other"), false));
        auto* pd = static_cast<PreviewDir*>(dir);
        QTRY_COMPARE_WITH_TIMEOUT(pd->impl()->thumbs->tiles().size(), 30, kWaitMs);
        PanThumb* tile = pd->impl()->thumbs->tiles().first();
        QCOMPARE(tile->size(), 90u);
        tile->glass()->onContextMenu();
        const bool opened = logged("WinFinder::on_contextMenu_rightSide, fi:" + tile->file().absoluteFilePath());
        zem::Logger::stopCapture();
        WinFinder::contextMenuRunner = nullptr;
        QVERIFY(opened);
        QCOMPARE(menus.size(), 1);

        // The next window starts as this one was left.
        win->close();
        QTRY_VERIFY_WITH_TIMEOUT(!win->isVisible(), kWaitMs);
        WinFinder* again = WinFinder::create_window(&m_node, m_dir.path());
        QCOMPARE(again->view_bits(), uint32_t(WinFinder::VIEW_THUMBS));
        QCOMPARE(again->previewDirectory()->thumb_size(), 90);
        QVERIFY(again->navigationBar()->thumbsButton()->isChecked());
        again->close();
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestThumbsWall test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_thumbs_wall.moc"
