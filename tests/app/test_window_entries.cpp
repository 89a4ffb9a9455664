// The main window's entries that once did nothing or the wrong thing: the hidden-files switch of
// a second window, history selections of what is already selected, Control that drags only with
// a click, the cycle key in the results, "Open in a separate window" wherever it shows, the
// results panel's double click and context request, and the scope chooser's fallback.
#include "KernelGUI.h"
#include "Logger.h"
#include "TestDir.h"
#include "XNode.h"
#include "dir/ContextPreviews.h"
#include "dir/PreviewDir.h"
#include "gui/WinDetails.h"
#include "gui/panPreview/asc/PanPreviewAsc.h"
#include "dir/XContainerPreviews.h"
#include "gui/History.h"
#include "gui/PanelResults.h"
#include "gui/WinFinder.h"
#include "gui/WinFinder_FindArea.h"
#include "gui/WinTray.h"
#include "gui/config/ConfigZemFinder.h"
#include "preview/PreviewAscii.h"
#include "preview/viewText/XTextView.h"
#include "widgets/XAction.h"
#include "widgets/XComboBox.h"
#include "widgets/XMenu.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XTreeViewFiles.h"
#include "widgets/XTypedComboBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>

using zemFinder::ContextPreviews;
using zemFinder::FileResult;
using zemFinder::PanelResults;
using zemFinder::WinDetails;
using zemFinder::WinFinder;
using zemFinder::WinFinderConfig;
using Area = WinFinder::FindArea;

namespace {
constexpr int kWaitMs = 20000;  // bound against a hang, not a timing expectation

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QList<WinDetails*> standAloneWindows()
{
    QList<WinDetails*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<WinDetails*>(w); s && s->isVisible())
            found << s;
    return found;
}

QString shownFile(zemFinder::XContainerPreviews* container)
{
    zem::Preview* p = container->previewByWidget(container->currentWidget());
    return p ? p->file_info().absoluteFilePath() : QString();
}

bool logged(const QString& text)
{
    for (const QString& line : zem::Logger::capturedLines())
        if (line.contains(text))
            return true;
    return false;
}

zem::find::XRamLayer marksAt(std::initializer_list<qint64> offsets)
{
    zem::find::XRamLayer layer;
    for (qint64 offset : offsets)
        layer.append(offset, 4);
    return layer;
}
} // namespace

class TestWindowEntries : public QObject {
    Q_OBJECT

private:
    zem::XNode m_node{QStringLiteral("Window")};
    TestDir m_dir;
    int m_drags = 0;

    WinFinder* open(const QString& start)
    {
        WinFinder* win = WinFinder::create_window(&m_node, start);
        win->resize(1000, 600);
        win->show();
        if (!QTest::qWaitForWindowExposed(win))
            return nullptr;
        return win;
    }

    static QString abs(const QString& path) { return QFileInfo(path).absoluteFilePath(); }

private Q_SLOTS:
    void initTestCase()
    {
        zem::Logger::setStderrEnabled(false);
        m_dir.write("a/one.txt", "one line of text\nand a second\n");
        m_dir.write("a/two.txt", "text two with a word\n");
        m_dir.write("a/.hidden.txt", "hidden text\n");
        m_dir.mkdir("b");
        m_dir.mkdir("c");
        WinFinderConfig::get().flagUseStartFolder = false;
        WinFinderConfig::get().filterBits = 0;
        // The drag itself would run a modal loop; counting the starts is enough here.
        ContextPreviews::dragStarter = [this](QWidget*, const QFileInfo&) { ++m_drags; };
        PanelResults::dragStarter = [this](QWidget*, const QFileInfo&) { ++m_drags; };
    }

    void init() { m_drags = 0; }

    void cleanup()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                w->close();
        flushDeletes();
        zem::Logger::stopCapture();
    }

    void cleanupTestCase()
    {
        zemFinder::WinTray::destroy();
        zem::Logger::setStderrEnabled(true);
    }

    // --- Hidden files of several windows ---

    void secondWindowFollowsItsOwnHiddenFlag()
    {
        WinFinder* first = open(m_dir.abs("a"));
        WinFinder* second = open(m_dir.abs("a"));
        QVERIFY(first && second);
        first->set_filter_flags(0);
        second->set_filter_flags(0);
        // The other window switches first and stores the flag in the node both share.
        second->set_filter_flags(WinFinder::FLAG_HIDDEN);
        QVERIFY(second->treeView()->is_hidden_files());
        first->set_filter_flags(WinFinder::FLAG_HIDDEN);
        QVERIFY(first->treeView()->is_hidden_files());
        // ... and its search finds the hidden file.
        QVERIFY(first->treeView()->selectFile(m_dir.abs("a"), false));
        first->on_find();
        QTRY_COMPARE_WITH_TIMEOUT(first->findArea()->stacked->currentIndex(), int(Area::PAGE_SCAN_RESULT), kWaitMs);
        QCOMPARE(first->panelResults()->model()->rowCount(), 3);

        // And back off in the same order.
        second->set_filter_flags(0);
        first->set_filter_flags(0);
        QVERIFY(!first->treeView()->is_hidden_files());
        QVERIFY(!second->treeView()->is_hidden_files());
    }

    // --- History ---

    void historyMenuOnTheCurrentEntryKeepsRecording()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        QVERIFY(win->treeView()->selectFile(m_dir.abs("b"), false));
        zemFinder::History* history = win->history();
        const uint32_t before = history->count();
        std::unique_ptr<zem::XMenu> menu(win->create_history_menu());
        zem::XAction* current = nullptr;
        for (QAction* action : menu->actions())
            if (action->text().startsWith(QStringLiteral("*** ")))
                current = qobject_cast<zem::XAction*>(action);
        QVERIFY(current);
        current->trigger();
        QVERIFY(win->isHistoryRecording());
        QVERIFY(win->treeView()->selectFile(m_dir.abs("c"), false));
        QCOMPARE(history->count(), before + 1);
        QCOMPARE(history->files().last().absoluteFilePath(), abs(m_dir.abs("c")));
    }

    // --- Control drags only with a click ---

    void controlWithoutAClickDoesNotDrag()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        zem::XTreeViewFiles* tree = win->treeView();
        tree->setFocus();
        // Control held while the mouse rests over a folder: the forced view selects it.
        QTest::keyPress(tree, Qt::Key_Control, Qt::ControlModifier);
        win->on_treeView_selectFile(QFileInfo(m_dir.abs("b")));
        QCOMPARE(m_drags, 0);
        QCOMPARE(win->currentFile().absoluteFilePath(), abs(m_dir.abs("b")));
        // Control with an arrow key moves the current row.
        QTest::keyClick(tree, Qt::Key_Down, Qt::ControlModifier);
        QTest::keyClick(tree, Qt::Key_Up, Qt::ControlModifier);
        QTest::keyRelease(tree, Qt::Key_Control);
        QCOMPARE(m_drags, 0);
    }

    void controlClickOnARowDrags()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        zem::XTreeViewFiles* tree = win->treeView();
        const QModelIndex index = tree->indexOfPath(m_dir.abs("b"));
        QVERIFY(index.isValid());
        tree->scrollTo(index);
        const QPoint at = tree->visualRect(index).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
        QCOMPARE(m_drags, 1);
        // A later selection without a click is a plain selection again.
        QVERIFY(tree->selectFile(m_dir.abs("c"), false));
        QCOMPARE(m_drags, 1);
        QCOMPARE(win->currentFile().absoluteFilePath(), abs(m_dir.abs("c")));
        QTest::keyRelease(tree, Qt::Key_Control);
    }

    // --- The cycle key in the results ---

    void cycleKeyInResultsFollowsContentJumps()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        PanelResults* panel = win->panelResults();
        const QString one = abs(m_dir.abs("a/one.txt"));
        const QString two = abs(m_dir.abs("a/two.txt"));
        // A file search's row first ...
        panel->setFileResultsSimple({QFileInfo(one)});
        panel->selectRow(0);
        QCOMPARE(shownFile(panel->container()), one);
        // ... then a content result.
        std::vector<FileResult> results;
        results.emplace_back(marksAt({0, 10}), QFileInfo(two));
        panel->setFileResults(std::move(results));
        panel->selectRow(0);
        QCOMPARE(shownFile(panel->container()), two);
        QCOMPARE(panel->context()->file().absoluteFilePath(), two);

        // In the text view with the marks, the key is the view's.
        zem::Logger::startCapture();
        win->key_cycle_previews(panel->textPreview()->get_XTextView());
        QVERIFY(logged(QStringLiteral("WinFinder::key_cycle_previews, TextView-Result")));
        QCOMPARE(panel->container()->currentWidget(), panel->textPreview()->widget_preview());

        // From the table it cycles on with the file in view, not the earlier row.
        win->key_cycle_previews(panel->table());
        QVERIFY(panel->container()->currentWidget() != panel->textPreview()->widget_preview());
        QCOMPARE(shownFile(panel->container()), two);
    }

    // --- "Open in a separate window" and the results panel's events ---

    void separateWindowFromTheResultsPreview()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        PanelResults* panel = win->panelResults();
        const QString one = abs(m_dir.abs("a/one.txt"));
        panel->setFileResultsSimple({QFileInfo(one)});
        panel->selectRow(0);
        zem::viewText::XTextView* view = panel->textPreview()->get_XTextView();
        QVERIFY(!view->requestStandAlone.empty());  // the menu shows the entry
        view->requestStandAlone.fire();
        QCOMPARE(standAloneWindows().size(), 1);
        QCOMPARE(standAloneWindows().first()->currentFile().absoluteFilePath(), one);
    }

    void separateWindowFromTheSmallContainerOfTheFolderPreview()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        auto* dir = qobject_cast<zemFinder::PreviewDir*>(win->previewDirectory());
        QVERIFY(dir);
        ContextPreviews* small = dir->context();
        const QString two = abs(m_dir.abs("a/two.txt"));
        small->select_file(QFileInfo(two));
        zem::PreviewAscii* ascii = small->container()->asciiPreview();
        QCOMPARE(small->container()->currentWidget(), ascii->widget_preview());
        QVERIFY(!ascii->get_XTextView()->requestStandAlone.empty());
        ascii->get_XTextView()->requestStandAlone.fire();
        QCOMPARE(standAloneWindows().size(), 1);
        QCOMPARE(standAloneWindows().first()->currentFile().absoluteFilePath(), two);
    }

    void separateWindowOffersNoFurtherWindow()
    {
        WinDetails* w = WinDetails::open_for(QFileInfo(m_dir.abs("a/one.txt")));
        QVERIFY(w);
        // Its text view's request entry does not open yet another window.
        auto& request = w->tab_text()->text_view()->requestStandAlone;
        if (!request.empty())
            request.fire();
        QCOMPARE(standAloneWindows().size(), 1);
    }

    void resultDoubleClickOpensTheSeparateWindowAndNoEditor()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        PanelResults* panel = win->panelResults();
        const QString two = abs(m_dir.abs("a/two.txt"));
        std::vector<FileResult> results;
        results.emplace_back(marksAt({5, 10}), QFileInfo(two));
        panel->setFileResults(std::move(results));
        win->stackedRight()->setCurrentWidget(panel);
        QTableView* table = panel->table();
        QTRY_VERIFY_WITH_TIMEOUT(table->isVisible(), kWaitMs);
        const QModelIndex name = panel->model()->index(0, 0);
        QVERIFY(!(panel->model()->flags(name) & Qt::ItemIsEditable));
        const QPoint at = table->visualRect(name).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        // No in-place editor: no line edit opened over the row.
        for (QLineEdit* edit : table->findChildren<QLineEdit*>())
            QVERIFY(!edit->isVisible());
        QCOMPARE(panel->model()->data(name).toString(), QStringLiteral("two.txt"));
        QCOMPARE(standAloneWindows().size(), 1);
        WinDetails* shown = standAloneWindows().first();
        QCOMPARE(shown->currentFile().absoluteFilePath(), two);
        // With the result's hits marked in the first search layer.
        zem::viewText::XTextView* view = shown->tab_text()->text_view();
        QVERIFY(view->layerGroup().contains_layer(1000));
        QCOMPARE(view->layerGroup().layer_by_ID(1000)->size(), std::size_t(2));
    }

    void resultContextRequestReachesTheWindow()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        PanelResults* panel = win->panelResults();
        panel->setFileResultsSimple({QFileInfo(m_dir.abs("a/one.txt"))});
        zem::Logger::startCapture();
        int menus = 0;
        WinFinder::contextMenuRunner = [&menus](zem::XMenu*) { ++menus; };
        panel->on_context_at_row(0);
        WinFinder::contextMenuRunner = nullptr;
        QCOMPARE(menus, 1);
        QVERIFY(logged(QStringLiteral("WinFinder::on_contextMenu_rightSide, fi:") + abs(m_dir.abs("a/one.txt"))));
        QVERIFY(!QApplication::activePopupWidget());
    }

    // --- The scope chooser ---

    void untypedScopeEntryFallsBackToParagraph()
    {
        WinFinder* win = open(m_dir.abs("a"));
        QVERIFY(win);
        Area* f = win->findArea();
        win->set_filter_flags(WinFinder::FLAG_CONTENT);
        f->comboContent->setEditText(QStringLiteral("word"));
        f->comboScope->addItem(QStringLiteral("no value"));
        f->comboScope->setCurrentIndex(f->comboScope->count() - 1);
        zem::Logger::startCapture();
        const zem::find::XFilter filter = win->filter_from_GUI();
        QCOMPARE(filter.contentFilter().scope(), quint32(zem::find::XContentFilter::SCOPE_PARAGRAPH));
        QVERIFY(logged(QStringLiteral("XTypedComboBox_inline::selected, index:") + QString::number(f->comboScope->count() - 1)
                       + QStringLiteral(" - type problem")));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestWindowEntries test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_window_entries.moc"
