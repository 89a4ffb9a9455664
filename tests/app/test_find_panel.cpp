// The find area of the main window: which rows the filter flags show and where the focus goes,
// the time and size rows, the filter read from the panel with its bad inputs, and the road of a
// search through its states (file search, content search, nothing found, Escape during the scan).
#include "KernelGUI.h"
#include "Logger.h"
#include "TestDir.h"
#include "XNode.h"
#include "dir/ContextPreviews.h"
#include "gui/PanelResults.h"
#include "gui/WinFinder.h"
#include "gui/WinFinder_FindArea.h"
#include "gui/WinTray.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XAction.h"
#include "widgets/XButton.h"
#include "widgets/XComboBox.h"
#include "widgets/XMenu.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XTreeViewFiles.h"
#include "widgets/XTypedComboBox.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <QtTest>

using zemFinder::PanelResults;
using zemFinder::WinFinder;
using zemFinder::WinFinderConfig;
using Area = WinFinder::FindArea;

namespace {
void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Generous bound for a search on a small tree; a failure, not a timing requirement.
constexpr int kWaitMs = 20000;
} // namespace

class TestFindPanel : public QObject {
    Q_OBJECT

private:
    zem::XNode m_node{QStringLiteral("Window")};
    TestDir m_dir;

    WinFinder* open(const QString& start)
    {
        WinFinder* win = WinFinder::create_window(&m_node, start);
        win->resize(1000, 600);
        win->show();
        if (!QTest::qWaitForWindowExposed(win))
            return nullptr;
        return win;
    }

    static bool containsLine(const QString& text)
    {
        for (const QString& line : zem::Logger::capturedLines())
            if (line.contains(text))
                return true;
        return false;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_dir.write("src/a.cpp", "#include <a>\n#include <b>\nint main() {}\n");
        m_dir.write("src/b.cpp", "#include <c>\n");
        m_dir.write("src/c.h", "#pragma once\n");
        m_dir.write("doc/readme.txt", "nothing to see\n");
        WinFinderConfig::get().flagUseStartFolder = false;
        WinFinderConfig::get().flagRegEx = true;
        WinFinderConfig::get().countThreads = 2;
        WinFinderConfig::get().filterBits = 32;
    }

    void cleanup()
    {
        for (QWidget* w : zem::KernelGUI::kernelGui()->windows())
            w->close();
        flushDeletes();
        zem::Logger::stopCapture();
    }

    void cleanupTestCase() { zemFinder::WinTray::destroy(); }

    void noFlagsShowOnlyTheFilterButtonAndTools()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        win->set_filter_flags(0);
        Area* f = win->findArea();
        QVERIFY(f->buttonFilter->isVisible());
        QVERIFY(!f->comboPattern->isVisible());
        QVERIFY(!f->comboNotPattern->isVisible());
        QVERIFY(!f->panelTime->isVisible());
        QVERIFY(!f->panelSize->isVisible());
        QVERIFY(!f->rowContent->isVisible());
        QCOMPARE(f->stacked->currentIndex(), int(Area::PAGE_FIND));
    }

    void resultsContextIsSecondOfTheWindow()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        QVERIFY(win->preview_contexts().size() >= 2);
        QCOMPARE(win->preview_contexts().at(1), win->panelResults()->context());
        QCOMPARE(win->panelResults()->context()->name(), QStringLiteral("CONTEXT-RESULT"));
        QCOMPARE(win->panelResults()->objectName(), QStringLiteral("findResults"));
    }

    void flagsShowRowsAndTheLastTakesTheFocus()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        win->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(win));
        Area* f = win->findArea();
        win->set_filter_flags(WinFinder::FLAG_TIME | WinFinder::FLAG_PATTERN);
        QVERIFY(f->panelTime->isVisible());
        QVERIFY(f->comboPattern->isVisible());
        QTRY_VERIFY(f->comboPattern->hasFocus());
        win->set_filter_flags(WinFinder::FLAG_CONTENT | WinFinder::FLAG_SIZE);
        QVERIFY(f->rowContent->isVisible());
        QVERIFY(!f->comboPattern->isVisible());
        QTRY_VERIFY(f->comboContent->hasFocus());
    }

    void textFilesFlagAloneShowsNoRow()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        win->set_filter_flags(WinFinder::FLAG_TEXT_FILES);
        Area* f = win->findArea();
        QVERIFY(!f->comboPattern->isVisible() && !f->rowContent->isVisible() && !f->panelTime->isVisible());
        const QImage green = QIcon(QStringLiteral(":/zf/icons/filter_plus_green.svg")).pixmap(16).toImage();
        QCOMPARE(f->buttonFilter->icon().pixmap(16).toImage(), green);
        win->set_filter_flags(0);
        QVERIFY(f->buttonFilter->icon().pixmap(16).toImage() != green);
    }

    void filterMenuTogglesBitsAndSetsTheFavourite()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        win->set_filter_flags(WinFinder::FLAG_PATTERN);
        std::unique_ptr<zem::XMenu> menu(win->create_filter_menu());
        zem::XAction* content = nullptr;
        zem::XAction* favourite = nullptr;
        int separators = 0;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator())
                ++separators;
            auto* x = qobject_cast<zem::XAction*>(a);
            if (x && x->id() == 128)
                content = x;
            if (x && a->text() == QStringLiteral("Set to favorite filter"))
                favourite = x;
            if (x && x->id() == 2)
                QVERIFY(a->isChecked());
        }
        QCOMPARE(separators, 2);
        QVERIFY(content && favourite);
        QVERIFY(!content->isChecked());
        content->trigger();
        QCOMPARE(win->filter_flags(), uint32_t(WinFinder::FLAG_PATTERN | WinFinder::FLAG_CONTENT));
        favourite->trigger();
        QCOMPARE(win->filter_flags(), WinFinderConfig::get().filterBits);
    }

    void settingsMenuStoresMouseOverAndStatusBar()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        WinFinderConfig& config = WinFinderConfig::get();
        config.flagTreeMouseOverInfo = true;
        config.flagStatusBar = true;
        WinFinder::apply_status_bar_flag();
        QVERIFY(win->statusBarRow()->isVisible());
        std::unique_ptr<zem::XMenu> menu(win->create_settings_menu());
        // Mouse Over Info, Status Bar, separator, Configuration Dialog, separator, Language Editor.
        QCOMPARE(menu->actions().size(), 6);
        QCOMPARE(menu->actions().at(3)->text(), QStringLiteral("Configuration Dialog"));
        QCOMPARE(menu->actions().at(5)->text(), QStringLiteral("Language Editor"));
        QAction* mouseOver = menu->actions().at(0);
        QAction* statusBar = menu->actions().at(1);
        QVERIFY(mouseOver->isChecked() && statusBar->isChecked());
        mouseOver->trigger();
        QVERIFY(!config.flagTreeMouseOverInfo);
        statusBar->trigger();
        QVERIFY(!config.flagStatusBar);
        QVERIFY(!win->statusBarRow()->isVisible());
        statusBar->trigger();
        QVERIFY(win->statusBarRow()->isVisible());
        config.flagTreeMouseOverInfo = true;
    }

    void yearAndBetweenChangeTheDateFields()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        win->set_filter_flags(WinFinder::FLAG_TIME | WinFinder::FLAG_SIZE);
        Area* f = win->findArea();
        QVERIFY(f->comboTime->selectValue(5));
        QCOMPARE(f->date1->displayFormat(), QStringLiteral("yyyy"));
        QVERIFY(!f->date2->isVisible());
        QVERIFY(f->comboTime->selectValue(3));
        QCOMPARE(f->date1->displayFormat(), QStringLiteral("MMMM dd yyyy"));
        QVERIFY(f->date2->isVisible());
        QVERIFY(f->comboTime->selectValue(1));
        QVERIFY(!f->date2->isVisible());
        QVERIFY(f->comboSize->selectValue(3));
        QVERIFY(f->size2->isVisible());
        QVERIFY(f->comboSize->selectValue(4));
        QVERIFY(!f->size2->isVisible());
    }

    void yearBoundsCoverTheWholeYear()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        win->set_filter_flags(WinFinder::FLAG_TIME);
        Area* f = win->findArea();
        QVERIFY(f->comboTime->selectValue(5));
        f->date1->setDate(QDate(2021, 7, 15));
        const zem::find::XFilter filter = win->filter_from_GUI();
        QVERIFY(!filter.faultyField());
        QCOMPARE(filter.fileFilter().timeArea(), 3u);
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(filter.fileFilter().timeBound1()),
                 QDateTime(QDate(2021, 1, 1), QTime(0, 0)));
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(filter.fileFilter().timeBound2()),
                 QDateTime(QDate(2021, 12, 31), QTime(23, 59, 59)));
    }

    void sizeRules_data()
    {
        QTest::addColumn<uint>("area");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<uint>("wantArea");
        QTest::addColumn<qulonglong>("wantBound1");
        QTest::addColumn<bool>("faulty");
        QTest::newRow("between, empty second") << 3u << "10kb" << "" << 0u << 0ull << false;
        QTest::newRow("empty first") << 4u << "  " << "" << 0u << 0ull << false;
        QTest::newRow("plain bytes") << 4u << "1500" << "" << 4u << 1500ull << false;
        QTest::newRow("kb") << 1u << "2 kb" << "" << 1u << 2048ull << false;
        QTest::newRow("between") << 3u << "1kb" << "1mb" << 3u << 1024ull << false;
        QTest::newRow("not a number") << 4u << "12 apples" << "" << 0u << 0ull << true;
        QTest::newRow("bad second") << 3u << "1kb" << "lots" << 0u << 0ull << true;
    }

    void sizeRules()
    {
        QFETCH(uint, area);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(uint, wantArea);
        QFETCH(qulonglong, wantBound1);
        QFETCH(bool, faulty);
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        win->set_filter_flags(WinFinder::FLAG_SIZE);
        Area* f = win->findArea();
        QVERIFY(f->comboSize->selectValue(area));
        f->size1->setText(first);
        f->size2->setText(second);
        const zem::find::XFilter filter = win->filter_from_GUI();
        QCOMPARE(filter.fileFilter().sizeArea(), wantArea);
        if (wantArea)
            QCOMPARE(filter.fileFilter().sizeBound1(), wantBound1);
        QCOMPARE(filter.faultyField() != nullptr, faulty);
        if (faulty)
            QVERIFY(filter.faultyField() == f->size1 || filter.faultyField() == f->size2);
    }

    void blankPatternSetsNothingAndOffRowsAreIgnored()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        Area* f = win->findArea();
        win->set_filter_flags(WinFinder::FLAG_PATTERN);
        f->comboPattern->setEditText(QStringLiteral("   "));
        f->comboNotPattern->setEditText(QStringLiteral("*.o"));
        zem::find::XFilter filter = win->filter_from_GUI();
        QVERIFY(!filter.fileFilter().has_Pattern());
        QVERIFY(!filter.fileFilter().has_not_Pattern());
        f->comboPattern->setEditText(QStringLiteral("  *.cpp "));
        filter = win->filter_from_GUI();
        QCOMPARE(filter.fileFilter().pattern(), QStringLiteral("*.cpp"));
    }

    void emptyContentSearchesFiles()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        win->set_filter_flags(WinFinder::FLAG_CONTENT);
        win->findArea()->comboContent->setEditText(QStringLiteral("  "));
        const zem::find::XFilter filter = win->filter_from_GUI();
        QVERIFY(!filter.has_content_filter());
        QVERIFY(!filter.faultyField());
    }

    void badExpressionFlashesAndStartsNothing()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        Area* f = win->findArea();
        win->set_filter_flags(WinFinder::FLAG_CONTENT);
        f->buttonRegEx->setChecked(true);
        f->comboContent->setEditText(QStringLiteral("(unbalanced"));
        const zem::find::XFilter filter = win->filter_from_GUI();
        QCOMPARE(filter.faultyField(), static_cast<QObject*>(f->comboContent));
        QVERIFY(!filter.has_content_filter());

        QVERIFY(win->treeView()->selectFile(m_dir.path(), false));
        zem::Logger::startCapture();
        win->on_find();
        QVERIFY(containsLine(QStringLiteral("WinFinder::on_find, !filter")));
        QCOMPARE(win->search_state(), 0u);
        QCOMPARE(f->stacked->currentIndex(), int(Area::PAGE_FIND));
        QVERIFY(!f->thScanDir.isBusy());
        // The same text as a simple expression is fine.
        f->buttonRegEx->setChecked(false);
        QVERIFY(!win->filter_from_GUI().faultyField());
    }

    void fileSearchStaysInStateOne()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        Area* f = win->findArea();
        win->set_filter_flags(WinFinder::FLAG_PATTERN);
        f->comboPattern->setEditText(QStringLiteral("*.cpp"));
        // A selected file searches its folder.
        QVERIFY(win->treeView()->selectFile(m_dir.abs("src/a.cpp"), false));
        win->on_find();
        QCOMPARE(win->search_state(), 1u);
        QTRY_COMPARE_WITH_TIMEOUT(f->stacked->currentIndex(), int(Area::PAGE_SCAN_RESULT), kWaitMs);
        QCOMPARE(win->search_state(), 1u);
        PanelResults* panel = win->panelResults();
        QCOMPARE(win->stackedRight()->currentWidget(), static_cast<QWidget*>(panel));
        QCOMPARE(panel->model()->rowCount(), 2);
        QVERIFY(panel->table()->isColumnHidden(3));
        QCOMPARE(panel->model()->fromRow(0).fileName(), QStringLiteral("a.cpp"));
        QCOMPARE(panel->currentPage(), int(PanelResults::PAGE_SUMMARY));
        QVERIFY(f->labelScanInfo->text().contains(QStringLiteral("files match:2")));
        QVERIFY(f->comboPattern->findText(QStringLiteral("*.cpp")) >= 0);

        win->on_escape_key();
        QCOMPARE(win->search_state(), 0u);
        QCOMPARE(f->stacked->currentIndex(), int(Area::PAGE_FIND));
        QCOMPARE(win->stackedRight()->currentWidget(), win->previewArea());
    }

    void fileSearchRowsAreInPathOrderWhateverTheCase()
    {
        TestDir tree;
        tree.write("Beta/x.txt", "1");
        tree.write("alpha/Y.txt", "2");
        tree.write("alpha/x.txt", "3");
        tree.write("gamma.txt", "4");
        WinFinder* win = open(tree.path());
        QVERIFY(win);
        Area* f = win->findArea();
        win->set_filter_flags(0);
        QVERIFY(win->treeView()->selectFile(tree.path(), false));
        win->on_find();
        QTRY_COMPARE_WITH_TIMEOUT(f->stacked->currentIndex(), int(Area::PAGE_SCAN_RESULT), kWaitMs);
        zemFinder::FileResultModel* model = win->panelResults()->model();
        QStringList rows;
        for (int i = 0; i < model->rowCount(); ++i)
            rows << QDir(tree.path()).relativeFilePath(model->fromRow(i).absoluteFilePath());
        QCOMPARE(rows, QStringList({"alpha/x.txt", "alpha/Y.txt", "Beta/x.txt", "gamma.txt"}));
    }

    void contentSearchEndsInStateFour()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        Area* f = win->findArea();
        win->set_filter_flags(WinFinder::FLAG_PATTERN | WinFinder::FLAG_CONTENT);
        f->comboPattern->setEditText(QStringLiteral("*.cpp"));
        f->comboContent->setEditText(QStringLiteral("include"));
        f->buttonRegEx->setChecked(false);
        QVERIFY(f->comboScope->selectValue(1));
        QVERIFY(win->treeView()->selectFile(m_dir.path(), false));
        win->on_find();
        QTRY_COMPARE_WITH_TIMEOUT(win->search_state(), 4u, kWaitMs);
        QCOMPARE(f->stacked->currentIndex(), int(Area::PAGE_CONTENT_RESULT));
        QVERIFY(f->buttonContentResults->isEnabled());
        QCOMPARE(f->fieldPattern->text(), QStringLiteral("include"));
        QVERIFY(f->labelContentSummary->text().contains(QStringLiteral("files-match:2,")));
        PanelResults* panel = win->panelResults();
        QCOMPARE(panel->model()->rowCount(), 2);
        QCOMPARE(panel->model()->fromRow(0).fileName(), QStringLiteral("a.cpp"));
        QCOMPARE(panel->table()->currentIndex().row(), 0);
        QCOMPARE(f->comboContent->itemText(0), QStringLiteral("include"));
    }

    void nothingFoundDisablesResults()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        Area* f = win->findArea();
        win->set_filter_flags(WinFinder::FLAG_CONTENT);
        f->comboContent->setEditText(QStringLiteral("zzzNotThere"));
        QVERIFY(win->treeView()->selectFile(m_dir.path(), false));
        zem::Logger::startCapture();
        win->on_find();
        QTRY_COMPARE_WITH_TIMEOUT(win->search_state(), 4u, kWaitMs);
        QCOMPARE(f->stacked->currentIndex(), int(Area::PAGE_CONTENT_RESULT));
        QVERIFY(!f->buttonContentResults->isEnabled());
        QCOMPARE(f->labelContentSummary->text(), QStringLiteral("Nothing found"));
        QVERIFY(containsLine(QStringLiteral("WinFinder_find::on_find_done - nothing found")));
    }

    void escapeDuringScanShowsNothingAfterwards()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        Area* f = win->findArea();
        win->set_filter_flags(WinFinder::FLAG_PATTERN);
        f->comboPattern->setEditText(QStringLiteral("*"));
        QVERIFY(win->treeView()->selectFile(m_dir.path(), false));
        zem::Logger::startCapture();
        win->on_find();
        // No event is processed in between: the scan's finished event comes after Escape.
        win->on_escape_key();
        QCOMPARE(win->search_state(), 0u);
        QCOMPARE(f->stacked->currentIndex(), int(Area::PAGE_FIND));
        QTRY_VERIFY_WITH_TIMEOUT(containsLine(QStringLiteral("on_find_dir_scanned - CANCEL")), kWaitMs);
        QCoreApplication::processEvents();
        QCOMPARE(f->stacked->currentIndex(), int(Area::PAGE_FIND));
        QCOMPARE(win->stackedRight()->currentWidget(), win->previewArea());
        QCOMPARE(win->search_state(), 0u);

        // The next search runs normally.
        win->on_find();
        QTRY_COMPARE_WITH_TIMEOUT(f->stacked->currentIndex(), int(Area::PAGE_SCAN_RESULT), kWaitMs);
        QCOMPARE(win->panelResults()->model()->rowCount(), 4);
    }

    void missingFolderAndRootStartNothing()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        TestDir gone;
        const QString folder = gone.mkdir("x");
        QVERIFY(win->treeView()->selectFile(folder, false));
        QDir(folder).removeRecursively();
        const QString rootBefore = WinFinderConfig::get().root;
        WinFinderConfig::get().root = gone.abs("nowhere");
        zem::Logger::startCapture();
        win->on_find();
        WinFinderConfig::get().root = rootBefore;
        QVERIFY(containsLine(QStringLiteral("folder set to <")));
        QVERIFY(containsLine(QStringLiteral("> 404")));
        QCOMPARE(win->search_state(), 0u);
        QCOMPARE(win->findArea()->stacked->currentIndex(), int(Area::PAGE_FIND));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestFindPanel test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_find_panel.moc"
