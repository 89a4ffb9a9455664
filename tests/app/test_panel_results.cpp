// The results panel: content results ordered by hits and opened in the text preview with their
// hits in layer 1000 (green, the first one scrolled into view), binary results in hex, file-search
// results by path without the hits column, header clicks flipping the order, Control-drag, the
// four events, and the summary page.
#include "KernelGUI.h"
#include "TestDir.h"
#include "gui/PanelResults.h"
#include "preview/PreviewAscii.h"
#include "preview/PreviewHex.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QTextBrowser>
#include <QtTest>

using zemFinder::FileResult;
using zemFinder::PanelResults;

namespace {
FileResult result(const QString& path, std::initializer_list<qint64> offsets, qint32 length = 7)
{
    zem::find::XRamLayer layer;
    for (qint64 offset : offsets)
        layer.append(offset, length);
    return FileResult(std::move(layer), QFileInfo(path));
}
} // namespace

class TestPanelResults : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;
    QString m_long;
    QString m_short;
    QString m_bin;
    qint64 m_deepOffset = 0;
    std::unique_ptr<PanelResults> m_panel;

    std::vector<FileResult> threeResults() const
    {
        std::vector<FileResult> out;
        out.push_back(result(m_short, {0}));
        out.push_back(result(m_long, {m_deepOffset, m_deepOffset + 100}));
        out.push_back(result(m_bin, {4, 20, 40}));
        out.back().layer.setBinary(true);
        return out;
    }

    // A new panel, set up and shown at this width.
    void showPanel(int width)
    {
        m_panel = std::make_unique<PanelResults>();
        m_panel->setup();
        m_panel->resize(width, 600);
        m_panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_panel.get()));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QByteArray text;
        for (int i = 0; i < 5000; ++i)
            text += "line " + QByteArray::number(i) + " of filler text\n";
        m_deepOffset = text.size();
        text += "include here and include again\n";
        m_long = m_dir.write("long.txt", text);
        m_short = m_dir.write("short.txt", "include\n");
        m_bin = m_dir.write("data.bin", QByteArray("\0\1\2include\0\0\0", 14).repeated(8));
    }

    void init()
    {
        showPanel(1000);
        PanelResults::modifiersProvider = [] { return Qt::KeyboardModifiers(); };
    }

    void cleanup() { m_panel.reset(); }

    void contentResultsAreOrderedByHitsAndTheFirstOpensWithGreenHits()
    {
        m_panel->setFileResults(threeResults());
        QVERIFY(m_panel->isContentMode());
        QCOMPARE(m_panel->model()->rowCount(), 3);
        QCOMPARE(m_panel->model()->fromRow(0).fileName(), QStringLiteral("data.bin"));
        QCOMPARE(m_panel->model()->fromRow(1).fileName(), QStringLiteral("long.txt"));
        QCOMPARE(m_panel->model()->fromRow(2).fileName(), QStringLiteral("short.txt"));
        QVERIFY(!m_panel->table()->isColumnHidden(3));
        QCOMPARE(m_panel->table()->horizontalHeader()->sortIndicatorSection(), 3);
        QCOMPARE(m_panel->table()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);

        m_panel->selectRow(1);
        QCOMPARE(m_panel->currentPage(), int(PanelResults::PAGE_PREVIEW));
        QCOMPARE(m_panel->shownPreview(), static_cast<zem::Preview*>(m_panel->textPreview()));
        zem::viewText::XTextView* view = m_panel->textPreview()->get_XTextView();
        zem::viewText::XMarkLayer* layer = view->layerGroup().layer_by_ID(PanelResults::LAYER_RESULT);
        QVERIFY(layer);
        QCOMPARE(view->currentLayer(), layer);
        QCOMPARE(layer->size(), std::size_t(2));
        QCOMPARE(layer->color(), QColor(Qt::green));
        QCOMPARE(layer->active_mark_index(), 0);
        // The hit sits past line 5000: the view has to scroll there.
        QTRY_VERIFY_WITH_TIMEOUT(view->verticalScrollBar()->value() > 0, 10000);
    }

    // A window of ordinary width shows the hits column without scrolling sideways.
    void hitsColumnInViewAtFirstShow()
    {
        showPanel(950);
        m_panel->setFileResults(threeResults());
        QTableView* table = m_panel->table();
        const int hitsRight = table->columnViewportPosition(3) + table->columnWidth(3);
        QVERIFY2(hitsRight <= table->viewport()->width(),
                 qPrintable(QStringLiteral("%1 > %2").arg(hitsRight).arg(table->viewport()->width())));
        // The preview beside it keeps a good share.
        QVERIFY(m_panel->width() - table->width() >= 950 / 3 - 10);
    }

    void binaryResultOpensInHex()
    {
        m_panel->setFileResults(threeResults());
        m_panel->selectRow(0);
        QCOMPARE(m_panel->shownPreview(), static_cast<zem::Preview*>(m_panel->hexPreview()));
    }

    void headerClicksFlipTheOrder()
    {
        m_panel->setFileResults(threeResults());
        m_panel->on_header_clicked(3);
        QCOMPARE(m_panel->model()->fromRow(0).fileName(), QStringLiteral("short.txt"));
        m_panel->on_header_clicked(3);
        QCOMPARE(m_panel->model()->fromRow(0).fileName(), QStringLiteral("data.bin"));
        m_panel->on_header_clicked(0);
        const QString first = m_panel->model()->fromRow(0).fileName();
        m_panel->on_header_clicked(0);
        QCOMPARE(m_panel->model()->fromRow(2).fileName(), first);
        QVERIFY(m_panel->model()->fromRow(0).fileName() != first);
    }

    void fileResultsByPathWithoutHits()
    {
        std::vector<QFileInfo> files{QFileInfo(m_short), QFileInfo(m_bin), QFileInfo(m_long)};
        m_panel->setFileResultsSimple(std::move(files));
        QVERIFY(!m_panel->isContentMode());
        QVERIFY(m_panel->table()->isColumnHidden(3));
        QCOMPARE(m_panel->model()->fromRow(0).fileName(), QStringLiteral("data.bin"));
        QCOMPARE(m_panel->model()->fromRow(2).fileName(), QStringLiteral("short.txt"));
        m_panel->selectRow(2);
        QCOMPARE(m_panel->shownPreview(), static_cast<zem::Preview*>(m_panel->textPreview()));
        QVERIFY(!m_panel->textPreview()->get_XTextView()->currentLayer());
    }

    void controlStartsADragInsteadOfPreviewing()
    {
        m_panel->setFileResults(threeResults());
        QStringList dragged;
        const auto before = PanelResults::dragStarter;
        PanelResults::dragStarter = [&dragged](QWidget*, const QFileInfo& fi) { dragged << fi.fileName(); };
        PanelResults::modifiersProvider = [] { return Qt::KeyboardModifiers(Qt::ControlModifier); };
        m_panel->selectRow(2);
        PanelResults::dragStarter = before;
        QCOMPARE(dragged, QStringList({QStringLiteral("short.txt")}));
        QVERIFY(!m_panel->shownPreview());
    }

    void eventsCarryTheRowAndIgnoreBadRows()
    {
        m_panel->setFileResults(threeResults());
        QStringList seen;
        m_panel->resultContextListener.add([&seen](const FileResult& r) { seen << "ctx:" + r.fileInfo.fileName(); });
        m_panel->resultDoubleClickListener.add(
            [&seen](const FileResult& r) { seen << "dbl:" + QString::number(r.countHits()); });
        m_panel->fileContextListener.add([&seen](const QFileInfo& f) { seen << "fctx:" + f.fileName(); });
        m_panel->on_context_at_row(2);
        m_panel->on_context_at_row(3);
        m_panel->on_context_at_row(-1);
        m_panel->on_double_click(m_panel->model()->index(1, 0));
        m_panel->on_double_click(QModelIndex());
        QCOMPARE(seen, QStringList({QStringLiteral("ctx:short.txt"), QStringLiteral("dbl:2")}));
        m_panel->setFileResultsSimple({QFileInfo(m_short)});
        m_panel->on_context_at_row(0);
        QCOMPARE(seen.last(), QStringLiteral("fctx:short.txt"));
    }

    void summaryPageShowsTheCounts()
    {
        QElapsedTimer start;
        start.start();
        zem::XFindStats stats;
        stats.countFiles = 12345;
        stats.countFilesMatch = 3;
        m_panel->showSummary(start, stats, m_dir.path(), QStringLiteral("*.txt"));
        m_panel->showPage(PanelResults::PAGE_SUMMARY);
        QCOMPARE(m_panel->currentPage(), int(PanelResults::PAGE_SUMMARY));
        const QString text = m_panel->summaryBrowser()->toPlainText();
        QVERIFY(text.contains(QStringLiteral("Search Results")));
        QVERIFY(text.contains(QStringLiteral("Files total:12,345, found in files:3")));
        QVERIFY(text.contains(QStringLiteral("'*.txt'")));
        stats.countFilesMatch = 0;
        m_panel->showSummary(start, stats, m_dir.path(), QString());
        QVERIFY(m_panel->summaryBrowser()->toPlainText().contains(QStringLiteral("Files total:12,345")));
        QVERIFY(!m_panel->summaryBrowser()->toPlainText().contains(QStringLiteral("found in files")));
        m_panel->showPage(7);
        QCOMPARE(m_panel->currentPage(), int(PanelResults::PAGE_SUMMARY));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestPanelResults test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_panel_results.moc"
