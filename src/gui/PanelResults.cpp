#include "PanelResults.h"

#include "KernelGUI.h"
#include "Logger.h"
#include "WinFinder.h"
#include "XLang.h"
#include "XTools.h"
#include "dir/ContextPreviews.h"
#include "dir/PressModifiers.h"
#include "dir/XContainerPreviews.h"
#include "gui/config/ConfigZemFinder.h"
#include "preview/PreviewAscii.h"
#include "preview/PreviewHex.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XSplitter.h"
#include "widgets/XToolsGui.h"

#include <QApplication>
#include <QColor>
#include <QDrag>
#include <QElapsedTimer>
#include <QHeaderView>
#include <algorithm>
#include <QScrollBar>
#include <QMimeData>
#include <QPointer>
#include <QSignalBlocker>
#include <QTableView>
#include <QTextBrowser>
#include <QUrl>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;

// The modifiers of the click on the row, not the live keyboard state (Control with an arrow key
// moves the row too, and must not drag).
std::function<Qt::KeyboardModifiers()> PanelResults::modifiersProvider = [] { return PressModifiers::at_press(); };

std::function<void(QWidget*, const QFileInfo&)> PanelResults::dragStarter = [](QWidget* source,
                                                                               const QFileInfo& file) {
    auto* drag = new QDrag(source);
    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(file.absoluteFilePath())});
    drag->setMimeData(mime);
    drag->exec(Qt::CopyAction);
};

namespace {
// The text view needs the opened file laid out before it can scroll to a mark.
constexpr int kScrollDelayMs = 200;
// Room around a cell's text (margins, grid) and beside a header's text (the sort arrow).
constexpr int kCellPadding = 12;
constexpr int kSortArrow = 20;
// The name column gets this share of what size, date and hits leave, within these bounds;
// the path takes the rest (at least as much as the name's least).
constexpr int kNameSharePercent = 40;
constexpr int kNameMin = 60;
constexpr int kNameMax = 260;
// The table's share of the panel when first shown; the preview keeps the rest (40 %).
constexpr int kTableSharePercent = 60;
// Rows measured for the widths of size, date and hits: enough to be representative, few
// enough to cost nothing on a table of a million rows.
constexpr int kMeasuredRows = 200;
} // namespace

PanelResults::PanelResults(QWidget* parent) : zem::XPanel(false, parent), m_sortDown(FileResultModel::COLUMN_COUNT) {}

PanelResults::~PanelResults() = default;

zem::PreviewAscii* PanelResults::textPreview() const
{
    return m_container ? m_container->asciiPreview() : nullptr;
}

zem::PreviewHex* PanelResults::hexPreview() const
{
    return m_container ? qobject_cast<zem::PreviewHex*>(m_container->defaultPreview()) : nullptr;
}

void PanelResults::setup()
{
    if (m_table)
        return;
    setMargins(0, 0, 0, 0);
    setSpacing(0);
    m_splitter = add(new zem::XSplitter(Qt::Horizontal, this), 1);

    m_table = new QTableView(m_splitter);
    m_table->setObjectName(QStringLiteral("tableResult"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    m_table->setWordWrap(false);
    // Long paths lose their middle, where they are least telling.
    m_table->setTextElideMode(Qt::ElideMiddle);
    // Fixed row heights: a table of a few hundred thousand rows never measures them.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionsClickable(true);
    m_table->horizontalHeader()->setSortIndicatorShown(true);
    m_table->viewport()->installEventFilter(this);
    m_model = new FileResultModel(this);
    m_table->setModel(m_model);
    m_splitter->addWidget(m_table);

    m_right = new zem::XPanelStacked(m_splitter);
    m_splitter->addWidget(m_right);
    m_container = m_right->add(new XContainerPreviews);
    m_context = std::make_unique<ContextPreviews>(QStringLiteral("CONTEXT-RESULT"));
    m_context->ini(m_table, m_container);
    m_container->addStandardPreviews();
    m_summaryPage = m_right->add(new zem::XPanel(true));
    m_summaryPage->setObjectName(QStringLiteral("resultSummary"));
    m_summaryPage->setMargins(0, 0, 0, 0);
    m_summary = m_summaryPage->add(new QTextBrowser(m_summaryPage), 1);
    // The table gets three fifths, the preview two, also as the window grows or shrinks
    // (sized when first shown, see size_splitter_once).
    m_splitter->setStretchFactor(0, 3);
    m_splitter->setStretchFactor(1, 2);

    connect(m_table, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { on_context_at_row(m_table->indexAt(pos).row()); });
    connect(m_table->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { on_header_clicked(column); });
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                if (!current.isValid() || m_keepingSelection)
                    return;
                if (m_contentMode)
                    on_jump_to_result(current.row());
                else
                    on_jump_to_result_simple(current.row());
            });
    connect(m_table, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { on_double_click(index); });
}

void PanelResults::showEvent(QShowEvent* event)
{
    zem::XPanel::showEvent(event);
    size_splitter_once();
}

void PanelResults::size_splitter_once()
{
    const int total = m_splitter->width() - m_splitter->handleWidth();
    if (m_splitterSized || total <= 0)
        return;
    m_splitterSized = true;
    // The columns fit the table whatever its width (fit_columns); the preview keeps enough to
    // show a hit in its line.
    const int table = total * kTableSharePercent / 100;
    m_splitter->setSizes({table, total - table});
}

bool PanelResults::eventFilter(QObject* watched, QEvent* event)
{
    if (m_table && watched == m_table->viewport() && event->type() == QEvent::Resize)
        fit_columns();
    return zem::XPanel::eventFilter(watched, event);
}

void PanelResults::fit_columns()
{
    if (!m_table)
        return;
    const QFontMetrics fm = m_table->fontMetrics();
    const QFontMetrics fmHeader = m_table->horizontalHeader()->fontMetrics();
    // A column as wide as its header or its widest text among the first rows.
    const int rows = std::min(m_model->rowCount(), kMeasuredRows);
    auto width = [&](int column, const QString& header) {
        int widest = fmHeader.horizontalAdvance(header) + kSortArrow;
        for (int row = 0; row < rows; ++row)
            widest = std::max(widest, fm.horizontalAdvance(m_model->index(row, column).data().toString()));
        return widest + kCellPadding;
    };
    const int size = width(FileResultModel::COL_SIZE, xt("Size"));
    const int date = width(FileResultModel::COL_DATE, xt("Date"));
    const int hits = m_table->isColumnHidden(FileResultModel::COL_HITS) ? 0 : width(FileResultModel::COL_HITS, xt("Hits"));
    const int rest = m_table->viewport()->width() - size - date - hits;
    const int name = std::clamp(rest * kNameSharePercent / 100, kNameMin, kNameMax);
    m_table->setColumnWidth(FileResultModel::COL_SIZE, size);
    m_table->setColumnWidth(FileResultModel::COL_DATE, date);
    if (hits)
        m_table->setColumnWidth(FileResultModel::COL_HITS, hits);
    m_table->setColumnWidth(FileResultModel::COL_NAME, name);
    // The path takes what is left. Set here rather than by the header's stretching, which lags
    // behind a scroll bar that comes or goes.
    m_table->setColumnWidth(FileResultModel::COL_PATH, std::max(kNameMin, rest - name));
}

void PanelResults::apply_table_look(int sortColumn, Qt::SortOrder order)
{
    m_model->setHorizontalHeaderLabels({xt("Name"), xt("Size"), xt("Date"), xt("Hits"), xt("Path")});
    QHeaderView* header = m_table->horizontalHeader();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(kCellPadding * 2);
    header->setSortIndicator(sortColumn, order);
    std::fill(m_sortDown.begin(), m_sortDown.end(), false);
    m_sortDown[std::size_t(sortColumn)] = order == Qt::DescendingOrder;
}

void PanelResults::setFileResults(std::vector<FileResult>&& results)
{
    m_contentMode = true;
    // A new list is not a jump: the page on the right stays what the caller chose.
    const QSignalBlocker blocker(m_table->selectionModel());
    Logger::log(xprintF(QStringLiteral("PanelResults::setFileResults, ar.size():$"), results.size()),
                zem::LOG_PROGRESS);
    m_model->setRowCount(0);
    m_model->setRowCount(int(results.size()));
    m_model->setResults(std::move(results));
    m_model->sort(FileResultModel::COL_HITS, Qt::DescendingOrder);
    m_model->refreshAll();
    apply_table_look(FileResultModel::COL_HITS, Qt::DescendingOrder);
    m_table->setColumnHidden(FileResultModel::COL_HITS, false);
    start_at_top_left();
}

void PanelResults::setFileResultsSimple(std::vector<QFileInfo>&& files, bool sortedByPath)
{
    m_contentMode = false;
    // A new list is not a jump: the page on the right stays what the caller chose.
    const QSignalBlocker blocker(m_table->selectionModel());
    Logger::log(xprintF(QStringLiteral("PanelResults::setFileResultsSimple, ar.size():$"), files.size()),
                zem::LOG_PROGRESS);
    m_model->setRowCount(0);
    m_model->setRowCount(int(files.size()));
    m_model->setResultsSimple(std::move(files));
    if (!sortedByPath)
        m_model->sort(FileResultModel::COL_PATH, Qt::AscendingOrder);
    m_model->refreshAll();
    apply_table_look(FileResultModel::COL_PATH, Qt::AscendingOrder);
    m_table->setColumnHidden(FileResultModel::COL_HITS, true);
    start_at_top_left();
}

void PanelResults::start_at_top_left()
{
    fit_columns();
    // A new list shows its first columns and rows, whatever the last one scrolled to.
    m_table->horizontalScrollBar()->setValue(0);
    m_table->verticalScrollBar()->setValue(0);
}

void PanelResults::on_header_clicked(int column)
{
    if (column < 0 || column >= FileResultModel::COLUMN_COUNT)
        return;
    const bool down = m_sortDown[std::size_t(column)];
    m_sortDown[std::size_t(column)] = !down;
    m_table->horizontalHeader()->setSortIndicator(column, down ? Qt::AscendingOrder : Qt::DescendingOrder);
    Logger::log(xprintF(QStringLiteral("PanelResults::onTableHeaderSelected, column:$, sort:$"), column,
                        down ? "DOWN" : "UP"),
                zem::LOG_PROGRESS);
    const int before = m_table->currentIndex().row();
    const QString selected = before >= 0 && before < m_model->rowCount() ? m_model->fromRow(before).absoluteFilePath()
                                                                         : QString();
    m_model->sort(column, down ? Qt::AscendingOrder : Qt::DescendingOrder);
    m_model->refreshAll();
    keep_selected(selected);
}

void PanelResults::keep_selected(const QString& path)
{
    if (path.isEmpty())
        return;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->fromRow(row).absoluteFilePath() != path)
            continue;
        // The row moved, its file did not: the preview stays as it is, hits and scroll position
        // included.
        m_keepingSelection = true;
        const QModelIndex index = m_model->index(row, 0);
        m_table->setCurrentIndex(index);
        m_table->selectRow(row);
        m_keepingSelection = false;
        m_table->scrollTo(index, QAbstractItemView::EnsureVisible);
        return;
    }
}

void PanelResults::on_context_at_row(int row)
{
    Logger::log(xprintF(QStringLiteral("PanelResults::setup, context at row:$, model row count:$"), row,
                        m_model->rowCount()),
                zem::LOG_PROGRESS);
    if (row < 0 || row >= m_model->rowCount())
        return;
    if (m_contentMode)
        resultContextListener.fire(FileResult(m_model->fileResultFromRow(row)));
    else
        fileContextListener.fire(m_model->fromRow(row));
}

void PanelResults::on_double_click(const QModelIndex& index)
{
    const int row = index.row();
    if (!index.isValid() || row >= m_model->rowCount())
        return;
    Logger::log(QStringLiteral("PanelResults::setup, double click"), zem::LOG_PROGRESS);
    if (m_contentMode) {
        const FileResult& result = m_model->fileResultFromRow(row);
        Logger::log(xprintF(QStringLiteral("PanelResults::setup, double click, fileResult <<<$>>>"), result.toString()),
                    zem::LOG_PROGRESS, 4);
        resultDoubleClickListener.fire(result);
    } else {
        const QFileInfo file = m_model->fromRow(row);
        Logger::log(xprintF(QStringLiteral("PanelResults::setup, double click, fi <<<$>>>"), file.absoluteFilePath()),
                    zem::LOG_PROGRESS, 4);
        fileDoubleClickListener.fire(file);
    }
}

void PanelResults::selectRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    // The row may already be current (set while the list was handed over): jump all the same.
    const bool already = m_table->currentIndex().row() == row;
    m_table->setCurrentIndex(m_model->index(row, 0));
    m_table->selectRow(row);
    if (already) {
        if (m_contentMode)
            on_jump_to_result(row);
        else
            on_jump_to_result_simple(row);
    }
}

void PanelResults::show_preview(zem::Preview* preview)
{
    m_shown = preview;
    m_container->setCurrentWidget(preview->widget_preview());
}

void PanelResults::on_jump_to_result(int row)
{
    showPage(PAGE_PREVIEW);
    const FileResult& result = m_model->fileResultFromRow(row);
    const QFileInfo& file = result.fileInfo;
    if (modifiersProvider() & Qt::ControlModifier) {
        Logger::log(xprintF(QStringLiteral("PanelResults::on_jump_to_result, fi '$'"), file.absoluteFilePath()),
                    zem::LOG_PROGRESS);
        dragStarter(m_table, file);
        PressModifiers::reset();
        return;
    }
    WinFinder::show_status(this, file);
    zem::Preview* hex = m_container->defaultPreview();
    if (result.layer.isBinary() && hex) {
        Logger::log(QStringLiteral("PanelResults::on_jump_to_result, BIN FILE !"), zem::LOG_PROGRESS);
        m_container->cancelShown();
        hex->open_file(file);
        show_preview(hex);
        m_context->follow(file, hex);
        return;
    }
    m_container->cancelShown();
    const WinFinderConfig& config = WinFinderConfig::get();
    zem::Preview* preview = m_container->previewByExtension(QStringLiteral("txt"));
    if (!preview) {
        preview = hex;
        if (auto* hexView = qobject_cast<zem::PreviewHex*>(hex))
            hexView->set_font_size(int(config.fontSizeHexView));
    }
    if (!preview)
        return;
    preview->set_font(zem::XToolsGui::getMonoFont(int(config.fontSize)));
    auto* ascii = qobject_cast<zem::PreviewAscii*>(preview);
    if (!ascii) {
        preview->open_file(file);
        show_preview(preview);
        m_context->follow(file, preview);
        Logger::log(QStringLiteral("PanelResults::on_jump_to_result, previewAscii == nullptr"), zem::LOG_ERROR);
        return;
    }
    ascii->set_ruler(config.flagRuler);
    ascii->set_auto_wrap(config.flagAutoWrap);
    ascii->set_line_info_pos(config.li_pos);
    ascii->open_file(file);
    zem::viewText::XTextView* view = ascii->get_XTextView();
    zem::viewText::XRamLayerGroup& group = view->layerGroup();
    zem::viewText::XMarkLayer* layer =
        group.contains_layer(LAYER_RESULT) ? group.layer_by_ID(LAYER_RESULT) : group.add_layer(LAYER_RESULT);
    if (!layer) {
        zem::nullPointerHandling("src/gui/PanelResults", __LINE__, "pLayerActive == NULL");
    } else if (result.layer.empty()) {
        Logger::log(QStringLiteral("PanelResults::on_jump_to_result, NIX"), zem::LOG_PROGRESS);
    } else {
        ascii->set_XRamLayer(layer);
        layer->clear();
        layer->add_ram_layer(result.layer);
        layer->set_color_background(QColor(Qt::green).rgba());
        layer->set_active_mark_first();
        if (const zem::find::XRam* mark = layer->active_mark()) {
            const zem::find::XRam first = *mark;
            QPointer<zem::viewText::XTextView> guard = view;
            zem::XTools::run_in_gui_thread(
                [guard, first] {
                    if (guard)
                        guard->scrollToRam(first);
                },
                kScrollDelayMs);
        }
    }
    view->viewport()->update();
    show_preview(ascii);
    // The cycle key goes on from this file, not from the last row of a file search.
    m_context->follow(file, ascii);
    view->setFocus();
}

void PanelResults::on_jump_to_result_simple(int row)
{
    Logger::log(QStringLiteral("PanelResults::on_jump_to_result_simple"), zem::LOG_PROGRESS);
    showPage(PAGE_PREVIEW);
    const QFileInfo file = m_model->fromRow(row);
    if (modifiersProvider() & Qt::ControlModifier) {
        Logger::log(xprintF(QStringLiteral("PanelResults::on_jump_to_result_simple, fi '$'"), file.absoluteFilePath()),
                    zem::LOG_PROGRESS);
        dragStarter(m_table, file);
        PressModifiers::reset();
        return;
    }
    // A plain file shows no marks of an earlier content result.
    if (zem::PreviewAscii* ascii = textPreview()) {
        ascii->set_XRamLayer(nullptr);
        ascii->get_XTextView()->layerGroup().clear(LAYER_RESULT);
    }
    m_context->select_file(file);
    m_shown = m_container->previewByWidget(m_container->currentWidget());
}

void PanelResults::showPage(int page)
{
    if (page == PAGE_SUMMARY)
        m_right->setCurrentWidget(m_summaryPage);
    else if (page == PAGE_PREVIEW)
        m_right->setCurrentWidget(m_container);
}

int PanelResults::currentPage() const
{
    return m_right->currentWidget() == m_summaryPage ? PAGE_SUMMARY : PAGE_PREVIEW;
}

void PanelResults::showSummary(const QElapsedTimer& start, const zem::XFindStats& stats, const QString& path,
                               const QString& pattern)
{
    QString html = QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\n<html>\n");
    zem::KernelGUI* kernel = zem::KernelGUI::kernelGui();
    if (kernel && kernel->isZemStyleDark())
        html += QStringLiteral("<body style=\"background-color:#2d3339;color:white;\">\n");
    else
        html += xprintF(QStringLiteral("<body style=\"background-color:$;\">\n"), QColor(222, 222, 222).name());
    html += QStringLiteral("<h3>") + xt("Search Results") + QStringLiteral("</h3><p style=\"font-size:18px;\">");
    html += xprintF(xt("Time:$ sec"), QString::number(double(start.nsecsElapsed()) / 1e9, 'f', 3)) +
            QStringLiteral(" <br/>");
    html += xprintF(xt("Path:$"), path.toHtmlEscaped()) + QStringLiteral(" <br/>");
    html += xprintF(xt("Pattern <b>'$'</b> found $ times"), pattern.toHtmlEscaped(),
                    zem::format1000(qint64(stats.countFilesMatch))) +
            QStringLiteral("<br/>");
    if (stats.countFilesMatch)
        html += xprintF(xt("Files total:$, found in files:$"), zem::format1000(qint64(stats.countFiles.get())),
                        zem::format1000(qint64(stats.countFilesMatch)));
    else
        html += xprintF(xt("Files total:$"), zem::format1000(qint64(stats.countFiles.get())));
    html += QStringLiteral("</p></body>\n</html>\n");
    m_summary->setHtml(html);
}

} // namespace zemFinder
