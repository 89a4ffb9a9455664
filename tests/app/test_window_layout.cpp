// The main window as a new user meets it: no text can widen it past a small screen, the results'
// columns all fit at the default size and each new list starts at its left edge, sorting keeps
// the selected result, a bad regular expression says what is wrong, the content history brings
// back its regular-expression switch, and every find box says what goes in.
#include "KernelGUI.h"
#include "Logger.h"
#include "TestDir.h"
#include "XLang.h"
#include "XNode.h"
#include "XTheme.h"
#include "gui/PanelResults.h"
#include "gui/WinFinder.h"
#include "gui/WinFinder_FindArea.h"
#include "gui/WinTray.h"
#include "gui/config/ConfigZemFinder.h"
#include "preview/PreviewAscii.h"
#include "widgets/XButton.h"
#include "widgets/XComboBox.h"
#include "widgets/XElidedLabel.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XTreeViewFiles.h"
#include "widgets/XTypedComboBox.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>

#include <QtTest>

using zemFinder::FileResult;
using zemFinder::FileResultModel;
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
// The widest a main window may insist on, so that it fits any screen a desktop still has.
constexpr int kMaxMinimumWidth = 900;

QString describe(QWidget* w)
{
    return QStringLiteral("minimum width %1").arg(w->minimumSizeHint().width());
}
} // namespace

class TestWindowLayout : public QObject {
    Q_OBJECT

private:
    zem::XNode m_node{QStringLiteral("Window")};
    TestDir m_dir;

    WinFinder* open(const QString& start, zem::XNode* node = nullptr)
    {
        WinFinder* win = WinFinder::create_window(node ? node : &m_node, start);
        win->resize(1200, 600);
        win->show();
        if (!QTest::qWaitForWindowExposed(win))
            return nullptr;
        return win;
    }

    // Runs a content search for text below the test tree and waits for its results.
    bool contentSearch(WinFinder* win, const QString& text, bool regEx)
    {
        Area* f = win->findArea();
        win->set_filter_flags(WinFinder::FLAG_CONTENT);
        f->comboContent->setEditText(text);
        f->buttonRegEx->setChecked(regEx);
        if (!win->treeView()->selectFile(m_dir.path(), false))
            return false;
        win->on_find();
        QElapsedTimer t;
        t.start();
        while (win->search_state() != Area::CONTENT_DONE && t.elapsed() < kWaitMs)
            QTest::qWait(20);
        return win->search_state() == Area::CONTENT_DONE;
    }

private Q_SLOTS:
    void initTestCase()
    {
        zem::XLang::load(QStringLiteral(":/zf/lang/lang.xml"));
        const QString deep = QStringLiteral("a rather long folder name/that goes on/and on and on/for a while yet/"
                                            "until it is longer than any column");
        for (int i = 0; i < 30; ++i)
            m_dir.write(QStringLiteral("%1/file%2.txt").arg(deep).arg(i, 2, 10, QLatin1Char('0')),
                        QByteArray("#include \"x.h\"\nint a;\n").repeated(i + 1));
        m_dir.write("pic.bmp", "BM");
        WinFinderConfig::get().flagUseStartFolder = false;
        WinFinderConfig::get().flagRegEx = true;
        WinFinderConfig::get().flagStatusBar = true;
        WinFinderConfig::get().countThreads = 2;
    }

    void init() { m_node.clear(); }

    void cleanup()
    {
        for (QWidget* w : zem::KernelGUI::kernelGui()->windows())
            w->close();
        flushDeletes();
    }

    void cleanupTestCase() { zemFinder::WinTray::destroy(); }

    // --- No text widens the window. ---

    void longSearchSummaryDoesNotWidenTheWindow()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        Area* f = win->findArea();
        // A configuration with many text extensions, as a long-used one has.
        QSet<QString> extensions;
        for (int i = 0; i < 200; ++i)
            extensions.insert(QStringLiteral("ext%1").arg(i));
        const QSet<QString> before = WinFinderConfig::get().TextFiles;
        WinFinderConfig::get().TextFiles = extensions;
        win->set_filter_flags(WinFinder::FLAG_PATTERN | WinFinder::FLAG_TEXT_FILES);
        f->comboPattern->setEditText(QStringLiteral("*.png,*.jpg"));
        QVERIFY(win->treeView()->selectFile(m_dir.path(), false));
        win->on_find();
        QTRY_COMPARE_WITH_TIMEOUT(f->stacked->currentIndex(), int(Area::PAGE_SCAN_RESULT), kWaitMs);
        WinFinderConfig::get().TextFiles = before;
        // The summary lists every text extension: far wider than the window.
        QVERIFY(f->labelScanFilter->fontMetrics().horizontalAdvance(f->labelScanFilter->text()) > 1200);
        QVERIFY2(win->minimumSizeHint().width() <= kMaxMinimumWidth, qPrintable(describe(win)));
        auto* label = qobject_cast<zem::XElidedLabel*>(f->labelScanFilter);
        QVERIFY(label);
        QVERIFY(label->isElided());
        QTRY_COMPARE(label->toolTip(), label->text());

        // The window can still be made small, and nothing grew it on its own.
        win->resize(kMaxMinimumWidth, 500);
        QCoreApplication::processEvents();
        QCOMPARE(win->width(), kMaxMinimumWidth);
    }

    void deepPathInTheStatusBarDoesNotWidenTheWindow()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        const QString deep = QStringLiteral("/very/deep").repeated(200) + QStringLiteral("/file.txt");
        win->statusLabel()->setText(deep);
        QVERIFY2(win->minimumSizeHint().width() <= kMaxMinimumWidth, qPrintable(describe(win)));
        auto* label = qobject_cast<zem::XElidedLabel*>(win->statusLabel());
        QVERIFY(label);
        QVERIFY(label->shownText().startsWith(QStringLiteral("/very")));
        QVERIFY(label->shownText().endsWith(QStringLiteral("file.txt")));
    }

    void everyRowAtOnceWithLongHistoryFits()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        Area* f = win->findArea();
        const QString longText = QStringLiteral("*.averyveryverylongextension").repeated(20);
        f->comboPattern->add_to_history(longText, 16);
        f->comboNotPattern->add_to_history(longText, 16);
        f->comboContent->add_to_history(longText, 16);
        win->set_filter_flags(0xFE);
        QVERIFY(f->comboTime->selectValue(3));
        QVERIFY(f->comboSize->selectValue(3));
        QCoreApplication::processEvents();
        QVERIFY2(win->minimumSizeHint().width() <= kMaxMinimumWidth, qPrintable(describe(win)));
        for (int page = 0; page < f->stacked->count(); ++page) {
            f->stacked->setCurrentIndex(page);
            QVERIFY2(win->minimumSizeHint().width() <= kMaxMinimumWidth,
                     qPrintable(QStringLiteral("page %1: %2").arg(page).arg(describe(win))));
        }
        f->stacked->setCurrentIndex(Area::PAGE_FIND);
    }

    // --- Results at the default size. ---

    void allColumnsFitAtTheDefaultSize()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        QVERIFY(contentSearch(win, QStringLiteral("include"), false));
        PanelResults* panel = win->panelResults();
        QTableView* table = panel->table();
        QTRY_VERIFY(table->isVisible());
        QCOMPARE(panel->model()->rowCount(), 30);
        QCoreApplication::processEvents();   // the header stretches its last section in its own turn
        const int viewport = table->viewport()->width();
        for (int column = 0; column < FileResultModel::COLUMN_COUNT; ++column) {
            QVERIFY(!table->isColumnHidden(column));
            const int right = table->columnViewportPosition(column) + table->columnWidth(column);
            QVERIFY2(right <= viewport, qPrintable(QStringLiteral("column %1 ends at %2 of %3").arg(column).arg(right).arg(viewport)));
            QVERIFY2(table->columnWidth(column) >= 40, qPrintable(QStringLiteral("column %1").arg(column)));
        }
        QCOMPARE(table->horizontalScrollBar()->maximum(), 0);
        // The path is shortened in its middle; the whole of it is the tooltip.
        QCOMPARE(table->textElideMode(), Qt::ElideMiddle);
        const QModelIndex path = panel->model()->index(0, FileResultModel::COL_PATH);
        QCOMPARE(path.data(Qt::ToolTipRole).toString(), panel->model()->fromRow(0).absolutePath());
        // The preview beside the table gets a fair share.
        const int previewWidth = panel->width() - table->width();
        QVERIFY2(previewWidth * 100 >= panel->width() * 40 - 100,
                 qPrintable(QStringLiteral("preview %1 of %2").arg(previewWidth).arg(panel->width())));
    }

    void everyNewListStartsAtTheLeft()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        QVERIFY(contentSearch(win, QStringLiteral("include"), false));
        QTableView* table = win->panelResults()->table();
        table->setColumnWidth(FileResultModel::COL_NAME, 3000);   // the user widens a column
        QScrollBar* h = table->horizontalScrollBar();
        QTRY_VERIFY(h->maximum() > 0);
        h->setValue(h->maximum());
        QVERIFY(h->value() > 0);
        QVERIFY(contentSearch(win, QStringLiteral("int"), false));
        QCOMPARE(h->value(), 0);
        QVERIFY(table->columnWidth(FileResultModel::COL_NAME) < 1000);
    }

    void sortingKeepsTheSelectedResultSelectedAndInView()
    {
        TestDir files;
        PanelResults panel;
        panel.setup();
        panel.resize(800, 300);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        PanelResults::modifiersProvider = [] { return Qt::KeyboardModifiers(); };
        std::vector<FileResult> results;
        for (int i = 0; i < 200; ++i) {
            zem::find::XRamLayer layer;
            for (int k = 0; k <= i % 17; ++k)
                layer.append(k * 10, 3);
            const QString name = QStringLiteral("sort/n%1.txt").arg(i, 3, 10, QLatin1Char('0'));
            results.emplace_back(std::move(layer), QFileInfo(files.write(name, QByteArray("abc def ghi\n").repeated(20))));
        }
        panel.setFileResults(std::move(results));
        QTableView* table = panel.table();
        panel.selectRow(5);
        const QString chosen = panel.model()->fromRow(5).absoluteFilePath();
        zem::Preview* shown = panel.shownPreview();

        panel.on_header_clicked(FileResultModel::COL_NAME);
        const int row = table->currentIndex().row();
        QVERIFY(row >= 0);
        QCOMPARE(panel.model()->fromRow(row).absoluteFilePath(), chosen);
        QVERIFY(table->selectionModel()->isRowSelected(row, QModelIndex()));
        QCOMPARE(panel.shownPreview(), shown);
        QCoreApplication::processEvents();
        const QRect rect = table->visualRect(panel.model()->index(row, 0));
        QVERIFY2(table->viewport()->rect().intersects(rect), "the selected row is out of view");

        panel.on_header_clicked(FileResultModel::COL_NAME);   // the other direction
        QCOMPARE(panel.model()->fromRow(table->currentIndex().row()).absoluteFilePath(), chosen);
        QCoreApplication::processEvents();
        QVERIFY(table->viewport()->rect().intersects(table->visualRect(table->currentIndex())));
    }

    void hitFarToTheRightIsScrolledIntoView()
    {
        TestDir files;
        const QString path = files.write("wide.txt", QByteArray(400, 'x') + " needle " + QByteArray(60, 'y') + "\n");
        WinFinderConfig::get().flagAutoWrap = false;
        PanelResults panel;
        panel.setup();
        panel.resize(700, 300);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        PanelResults::modifiersProvider = [] { return Qt::KeyboardModifiers(); };
        zem::find::XRamLayer layer;
        layer.append(401, 6);
        std::vector<FileResult> results;
        results.emplace_back(std::move(layer), QFileInfo(path));
        panel.setFileResults(std::move(results));
        panel.selectRow(0);
        QVERIFY(panel.textPreview());
        QScrollBar* h = panel.textPreview()->get_XTextView()->horizontalScrollBar();
        QTRY_VERIFY_WITH_TIMEOUT(h->value() > 0, 5000);
    }

    // --- Feedback. ---

    void badRegularExpressionSaysWhatIsWrong()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        Area* f = win->findArea();
        win->set_filter_flags(WinFinder::FLAG_CONTENT);
        f->buttonRegEx->setChecked(true);
        f->comboContent->setEditText(QStringLiteral("#include\\s+(unbalanced"));
        QVERIFY(win->treeView()->selectFile(m_dir.path(), false));
        win->on_find();
        QCOMPARE(win->search_state(), 0u);
        const QString tip = f->comboContent->toolTip();
        QVERIFY2(tip.contains(QStringLiteral("Bad regular expression")), qPrintable(tip));
        QVERIFY2(tip.contains(QStringLiteral("offset 22")), qPrintable(tip));
        QVERIFY2(tip.contains(QStringLiteral("parenthesis")), qPrintable(tip));   // PCRE2's own words
        QCOMPARE(win->statusLabel()->text(), tip);
        // The flash stands out from the box's own colours in both themes.
        QVERIFY(f->comboContent->styleSheet().contains(QStringLiteral("#c62828")));
        QTRY_VERIFY_WITH_TIMEOUT(!f->comboContent->styleSheet().contains(QStringLiteral("#c62828")), 5000);
        QCOMPARE(f->comboContent->styleSheet(), zem::XTheme::boxStyle(zem::XTheme::RegexBox));   // the regex look again

        // Once the expression is edited, the box says again what goes in.
        f->comboContent->setEditText(QStringLiteral("#include\\s+(balanced)"));
        QCOMPARE(f->comboContent->toolTip(), QStringLiteral("Type your regular expression"));
    }

    void recalledExpressionBringsBackItsSwitch()
    {
        zem::XNode& node = m_node;   // outlives the windows, which close in cleanup
        {
            WinFinder* win = open(m_dir.path(), &node);
            QVERIFY(win);
            QVERIFY(contentSearch(win, QStringLiteral("#include\\s+\"[^\"]+\""), true));
            QVERIFY(win->panelResults()->model()->rowCount() > 0);
            QVERIFY(contentSearch(win, QStringLiteral("int a"), false));
            win->close();
            flushDeletes();
        }
        zem::XNode* content = node.getCreateNode("SearchHistory")->getCreateNode("Content");
        // The texts stay where older versions read them; the switches sit beside them.
        QCOMPARE(content->getStringArray("pattern"),
                 (QStringList{QStringLiteral("int a"), QStringLiteral("#include\\s+\"[^\"]+\"")}));
        QCOMPARE(content->getStringArray("regEx"), (QStringList{QStringLiteral("0"), QStringLiteral("1")}));

        WinFinder* again = open(m_dir.path(), &node);
        QVERIFY(again);
        Area* f = again->findArea();
        QVERIFY(!f->buttonRegEx->isChecked());
        f->comboContent->setCurrentIndex(1);
        QVERIFY(f->buttonRegEx->isChecked());
        QVERIFY(contentSearch(again, f->comboContent->currentText(), f->buttonRegEx->isChecked()));
        QCOMPARE(again->panelResults()->model()->rowCount(), 30);
        f->comboContent->setCurrentIndex(1);   // "int a", moved down by the search
        QCOMPARE(f->comboContent->currentText(), QStringLiteral("int a"));
        QVERIFY(!f->buttonRegEx->isChecked());
    }

    void olderHistoryWithoutSwitchesStillReads()
    {
        zem::XNode& node = m_node;   // outlives the windows, which close in cleanup
        zem::XNode* content = node.getCreateNode("SearchHistory")->getCreateNode("Content");
        content->setStringArray("pattern", {QStringLiteral("alpha"), QStringLiteral("beta")});
        content->setInt("currIndex", 1);
        WinFinder* win = open(m_dir.path(), &node);
        QVERIFY(win);
        Area* f = win->findArea();
        QCOMPARE(f->comboContent->count(), 2);
        QCOMPARE(f->comboContent->currentText(), QStringLiteral("beta"));
        f->buttonRegEx->setChecked(true);
        f->comboContent->setCurrentIndex(0);   // unknown switch: left as the user set it
        QVERIFY(f->buttonRegEx->isChecked());
        win->close();
        flushDeletes();
        QCOMPARE(content->getStringArray("regEx"), (QStringList{QString(), QString()}));
    }

    void everyFindBoxSaysWhatGoesIn()
    {
        WinFinder* win = open(m_dir.path());
        QVERIFY(win);
        Area* f = win->findArea();
        const QList<QLineEdit*> edits{f->comboPattern->lineEdit(), f->comboNotPattern->lineEdit(),
                                      f->comboContent->lineEdit(), f->size1, f->size2};
        QSet<QString> texts;
        for (QLineEdit* edit : edits) {
            QVERIFY(!edit->placeholderText().isEmpty());
            texts.insert(edit->placeholderText());
        }
        QCOMPARE(texts.size(), 4);   // the two size fields share theirs
        const QString plain = f->comboContent->lineEdit()->placeholderText();
        f->buttonRegEx->setChecked(true);
        QVERIFY(f->comboContent->lineEdit()->placeholderText() != plain);
        texts.insert(f->comboContent->lineEdit()->placeholderText());
        // Each is in the language table, in German and in Russian.
        for (const QString& text : texts)
            for (const char* code : {"de", "ru"})
                QVERIFY2(zem::XLang::translate(text, QString::fromLatin1(code)) != text,
                         qPrintable(text + QStringLiteral(" / ") + QString::fromLatin1(code)));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    zem::Logger::setStderrEnabled(false);
    TestWindowLayout test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_window_layout.moc"
