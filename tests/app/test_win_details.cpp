// The details window: which tab a file opens in, lazy tabs disabled when they cannot open the
// file, the pattern selection button in step with the text tab, font limits on the hex tab, the
// keys, opening from a search result, persistence and deletion on close; and that the stand-alone
// requests of a main window (tree, directory listing, a preview's menu, the results panel's
// previews) open one.
#include "KernelGUI.h"
#include "TestDir.h"
#include "XNode.h"
#include "dir/PreviewDir.h"
#include "dir/XContainerPreviews.h"
#include "dir/impl/private_PreviewDir.h"
#include "find/FileResult.h"
#include "find/XContentFilter.h"
#include "gui/PanelResults.h"
#include "gui/WinDetails.h"
#include "gui/WinFinder.h"
#include "gui/config/ConfigZemFinder.h"
#include "gui/panPreview/PanPreviewHex.h"
#include "gui/panPreview/PanPreviewImg.h"
#include "gui/panPreview/PanStats.h"
#include "gui/panPreview/XTabWidget.h"
#include "gui/panPreview/asc/PanPreviewAsc.h"
#include "gui/panPreview/asc/PanelSearch.h"
#include "preview/PreviewAscii.h"
#include "preview/viewText/XTextView.h"
#include "widgets/XButton.h"
#include "widgets/XComboBox.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XTreeViewFiles.h"
#include "widgets/XTypedComboBox.h"

#include <QImage>
#include <QTableWidget>
#include <QtTest>

using zemFinder::WinDetails;
using zemFinder::WinFinder;

class TestWinDetails : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;
    zem::XNode m_node{QStringLiteral("View")};

    std::unique_ptr<WinDetails> make(const QString& relative, bool stats = false)
    {
        auto win = std::make_unique<WinDetails>();
        win->ini(&m_node, false);
        win->set_file(QFileInfo(m_dir.abs(relative)), stats);
        win->resize(900, 600);
        return win;
    }
    static QList<WinDetails*> openDetails()
    {
        QList<WinDetails*> out;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<WinDetails*>(w); d && d->isVisible())
                out << d;
        return out;
    }
    static void closeAll()
    {
        for (WinDetails* d : openDetails())
            d->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Runs request and expects exactly one new details window on file.
    void expectWindowFor(const std::function<void()>& request, const QString& file)
    {
        closeAll();
        request();
        const QList<WinDetails*> open = openDetails();
        QCOMPARE(open.size(), 1);
        QCOMPARE(open.first()->currentFile().fileName(), file);
        QCOMPARE(open.first()->windowTitle(), QFileInfo(m_dir.abs("w/" + file)).absoluteFilePath());
        closeAll();
    }

private Q_SLOTS:
    void initTestCase()
    {
        zemFinder::WinFinderConfig::get().flagUseStartFolder = false;
        m_dir.write("w/notes.txt", "one alpha two\nthree alpha\n");
        m_dir.write("w/conf.xml", "<?xml version=\"1.0\"?>\n<a><b>x</b></a>\n");
        m_dir.write("w/broken.xml", "<a><b></a>\n");
        QByteArray bin;
        for (int i = 0; i < 2048; ++i)
            bin.append(char(i & 0xff));
        m_dir.write("w/data.bin", bin);
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(m_dir.abs("w/pic.png"), "PNG"));
        m_dir.mkdir("w/sub");
    }

    // --- tab choice ---
    void fileOpensInItsTab_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("stats");
        QTest::addColumn<QString>("tab");
        QTest::newRow("xml") << "w/conf.xml" << false << "PanPreviewXml";
        QTest::newRow("text") << "w/notes.txt" << false << "PanPreviewAsc";
        QTest::newRow("image") << "w/pic.png" << false << "PanPreviewImg";
        QTest::newRow("binary") << "w/data.bin" << false << "PanPreviewHex";
        QTest::newRow("stats flag") << "w/conf.xml" << true << "PanPreviewStats";
        QTest::newRow("malformed xml") << "w/broken.xml" << false << "PanPreviewAsc";
    }
    void fileOpensInItsTab()
    {
        QFETCH(QString, file);
        QFETCH(bool, stats);
        QFETCH(QString, tab);
        auto win = make(file, stats);
        QVERIFY(win->current_tab());
        QCOMPARE(win->current_tab()->type_as_string(), tab);
        QCOMPARE(win->current_tab()->preview()->file_info(), QFileInfo(m_dir.abs(file)));
        // The bar's text page belongs to the text tab only.
        QCOMPARE(win->bar_stack()->currentIndex(), tab == "PanPreviewAsc" ? 0 : 1);
    }

    void tabThatCannotOpenTheFileIsDisabled()
    {
        auto win = make("w/notes.txt");
        win->tabs()->set_current_panel(win->tab_image());
        QVERIFY(!win->tabs()->is_panel_enabled(win->tab_image()));
        // Qt moves on to another tab; the window follows without getting stuck.
        QTRY_VERIFY(win->current_tab() != static_cast<zemFinder::PanPreview*>(win->tab_image()) &&
                    win->tabs()->is_panel_enabled(win->current_tab()));
        QTRY_COMPARE(win->current_tab()->preview()->file_info(), QFileInfo(m_dir.abs("w/notes.txt")));
        win->tabs()->set_current_panel(win->tab_hex());
        QVERIFY(win->tabs()->is_panel_enabled(win->tab_hex()));
        QCOMPARE(win->tab_hex()->preview()->file_info(), QFileInfo(m_dir.abs("w/notes.txt")));
        win->tabs()->set_current_panel(win->tab_stats());
        QVERIFY(win->tabs()->is_panel_enabled(win->tab_stats()));
    }

    // --- bar ---
    void patternButtonAndModeStayInStep()
    {
        auto win = make("w/notes.txt");
        zemFinder::PanPreviewAsc* asc = win->tab_text();
        QVERIFY(!win->button_pattern()->isChecked());
        win->button_pattern()->click();
        QVERIFY(asc->patternSelectionMode.get());
        QVERIFY(win->button_pattern()->isChecked());
        asc->patternSelectionMode = false;
        QVERIFY(!win->button_pattern()->isChecked());
        // The text view's menu entry flips the mode too.
        asc->preview_ascii().requestStandAlone.fire(&asc->preview_ascii());
        QVERIFY(asc->patternSelectionMode.get());
        QVERIFY(win->button_pattern()->isChecked());
        // Marking text in the mode marks every occurrence.
        zem::viewText::XTextView* view = asc->text_view();
        view->source().waitForIndex();
        view->setSelection(4, 5);
        view->markedByUser.fire(view->selection());
        QCOMPARE(int(view->layerGroup().layer_by_ID(1002)->size()), 2);
    }

    void hexFontStopsAt6And64()
    {
        auto win = make("w/data.bin");
        QCOMPARE(win->current_tab(), static_cast<zemFinder::PanPreview*>(win->tab_hex()));
        for (int i = 0; i < 70; ++i)
            win->on_zoom(true);
        QCOMPARE(win->tab_hex()->preview_hex().font_size(), 64);
        win->on_zoom(true);
        QCOMPARE(win->tab_hex()->preview_hex().font_size(), 64);
        for (int i = 0; i < 70; ++i)
            win->on_zoom(false);
        QCOMPARE(win->tab_hex()->preview_hex().font_size(), 6);
        win->on_zoom(false);
        QCOMPARE(win->tab_hex()->preview_hex().font_size(), 6);
    }

    void textZoomChangesTheFont()
    {
        auto win = make("w/notes.txt");
        const int before = win->tab_text()->preview_ascii().get_font().pointSize();
        win->on_zoom(true);
        QCOMPARE(win->tab_text()->preview_ascii().get_font().pointSize(), before + 1);
    }

    // --- keys ---
    void keysFocusTheSearchAndStepThroughHits()
    {
        auto win = make("w/notes.txt");
        win->show();
        QVERIFY(QTest::qWaitForWindowExposed(win.get()));
        win->activateWindow();
        zemFinder::PanPreviewAsc* asc = win->tab_text();
        QTest::keyClick(win.get(), Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(asc->get_panel_search(0)->combo()->hasFocus());
        QTest::keyClicks(asc->get_panel_search(0)->combo(), "alpha");
        QTest::keyClick(asc->get_panel_search(0)->combo(), Qt::Key_Return);
        zem::viewText::XMarkLayer* layer = asc->text_view()->layerGroup().layer_by_ID(1000);
        QVERIFY(layer);
        QCOMPARE(int(layer->size()), 2);
        QCOMPARE(layer->active_mark_index(), 0);
        QTest::keyClick(win.get(), Qt::Key_F3);
        QCOMPARE(layer->active_mark_index(), 1);
        QTest::keyClick(win.get(), Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(layer->active_mark_index(), 0);
    }

    // --- opening and closing ---
    void fromAResultTheHitsAndFilterFillTheFirstRow()
    {
        zem::find::XContentFilter filter(zem::find::XContentFilter::SCOPE_FILE);
        QVERIFY(filter.createSymbols("alpha", false));
        zemFinder::ZemFind finder;
        const zemFinder::FileResult result = finder.find(QFileInfo(m_dir.abs("w/notes.txt")), filter);
        QCOMPARE(int(result.countHits()), 2);
        QPointer<WinDetails> win = WinDetails::open_for(result, filter);
        QVERIFY(win);
        QVERIFY(win->isVisible());
        QVERIFY(win->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(win->tab_text()->text_view()->layerGroup().layer_by_ID(1000)->size(), std::size_t(2));
        QCOMPARE(win->tab_text()->get_panel_search(0)->combo()->currentText(), QString("alpha"));
        QCOMPARE(win->tab_text()->get_panel_search(0)->comboScope()->currentIndex(), 0);
        win->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!win);
        zem::XNode* view = zem::KernelGUI::kernelGui()->getCreateNodeApplication()->getNode("GUI")->getNode("View");
        QVERIFY(view);
        QVERIFY(view->getNode("PreviewAsc"));
        QCOMPARE(view->getNode("PreviewAsc")->getUInt("bitsConfig", 0), 1034ull);
        QVERIFY(view->has("geoWidth"));
    }

    void escapeAndRightClickOnFullScreenClose()
    {
        QPointer<WinDetails> a = WinDetails::open_for(QFileInfo(m_dir.abs("w/notes.txt")));
        QVERIFY(QTest::qWaitForWindowExposed(a.data()));
        a->activateWindow();
        QTest::keyClick(a.data(), Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTRY_VERIFY(!a);

        QPointer<WinDetails> b = WinDetails::open_for(QFileInfo(m_dir.abs("w/notes.txt")));
        QTest::mouseClick(b->button_full_screen(), Qt::RightButton);
        QTRY_VERIFY(!b || !b->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!b);
    }

    void aFolderNeverOpensAWindow()
    {
        QVERIFY(!WinDetails::open_for(QFileInfo(m_dir.abs("w/sub"))));
        QVERIFY(openDetails().isEmpty());
    }

    void anyNumberOfWindows()
    {
        QPointer<WinDetails> a = WinDetails::open_for(QFileInfo(m_dir.abs("w/notes.txt")));
        QPointer<WinDetails> b = WinDetails::open_for(QFileInfo(m_dir.abs("w/notes.txt")));
        QVERIFY(a && b && a != b);
        QCOMPARE(openDetails().size(), 2);
        closeAll();
        QVERIFY(!a && !b);
    }

    // --- the main window's stand-alone requests ---
    void mainWindowRequestsOpenADetailsWindow()
    {
        zem::XNode nWin(QStringLiteral("Window"));
        WinFinder* main = WinFinder::create_window(&nWin, QString());
        main->resize(1000, 600);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));

        // Double click on a file in the tree.
        expectWindowFor([&] { main->treeView()->doubleClickListener.fire(QFileInfo(m_dir.abs("w/notes.txt"))); },
                        "notes.txt");
        // A preview's "Open in a separate window".
        expectWindowFor(
            [&] {
                zem::PreviewAscii* text = main->containerPreviews()->asciiPreview();
                text->open_file(QFileInfo(m_dir.abs("w/notes.txt")));
                text->get_XTextView()->requestStandAlone.fire();
            },
            "notes.txt");
        // Double click on a file in the directory listing.
        QVERIFY(main->treeView()->selectFile(m_dir.abs("w"), true));
        QTRY_COMPARE_WITH_TIMEOUT(main->currentFile().absoluteFilePath(), QFileInfo(m_dir.abs("w")).absoluteFilePath(),
                                  20000);
        auto* dir = qobject_cast<zemFinder::PreviewDir*>(main->previewDirectory());
        QVERIFY(dir);
        QTRY_VERIFY(dir->impl()->entries.contains(QFileInfo(m_dir.abs("w/pic.png"))));
        const int row = int(dir->impl()->entries.indexOf(QFileInfo(m_dir.abs("w/pic.png"))));
        expectWindowFor([&] { Q_EMIT dir->impl()->table->cellDoubleClicked(row, 0); }, "pic.png");
        // The results panel's previews.
        expectWindowFor(
            [&] {
                zem::PreviewAscii* text = main->panelResults()->textPreview();
                text->open_file(QFileInfo(m_dir.abs("w/notes.txt")));
                text->get_XTextView()->requestStandAlone.fire();
            },
            "notes.txt");
        main->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void cleanupTestCase() { closeAll(); }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestWinDetails test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_win_details.moc"
