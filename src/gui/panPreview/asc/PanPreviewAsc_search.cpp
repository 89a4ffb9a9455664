// PanPreviewAsc: the searches of the rows, the pattern selection, the layers' colours and the
// navigation through the marks of the active layer.
#include "PanPreviewAsc.h"

#include "Logger.h"
#include "PanelSearch.h"
#include "XTools.h"
#include "gui/panPreview/XSlider.h"
#include "preview/viewText/XTextView.h"
#include "widgets/XComboBox.h"
#include "widgets/XToolsGui.h"

#include <QPointer>
#include <algorithm>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::viewText::XMarkLayer;

namespace {
const char* SOURCE = "src/gui/panPreview/asc/PanPreviewAsc";
// The view lays out the new marks first; then it can scroll to one and the slider is restyled.
constexpr int kScrollDelayMs = 100;
constexpr int kSliderDelayMs = 200;
// How long a search box flashes for an expression that cannot be used.
constexpr int kFlashMs = 600;
} // namespace

XMarkLayer* PanPreviewAsc::layer_of(unsigned panel_no, bool create)
{
    zem::viewText::XRamLayerGroup& group = m_view->layerGroup();
    const int id = kLayerFirst + int(panel_no);
    if (group.contains_layer(id))
        return group.layer_by_ID(id);
    return create ? group.add_layer(id, true) : nullptr;
}

void PanPreviewAsc::sync_slider(const QColor& color)
{
    m_slider->set_handle_color(color);
    const int marks = m_activeLayer ? int(m_activeLayer->size()) : 0;
    m_slider->setMaximum(std::max(0, marks - 1));
    m_slider->setEnabled(marks > 0);
    m_navi->setEnabled(marks > 0);
    if (m_activeLayer && m_activeLayer->active_mark_index() >= 0)
        m_slider->set_value_revers(m_activeLayer->active_mark_index(), false);
}

void PanPreviewAsc::scroll_to_active()
{
    if (!m_activeLayer)
        return;
    if (const zem::find::XRam* mark = m_activeLayer->active_mark())
        m_view->scrollToRam(*mark);
}

void PanPreviewAsc::set_layer_color(PanelSearch* row, const QColor& color)
{
    if (!row) {
        zem::nullPointerHandling(SOURCE, __LINE__, "panSearch == NULL");
        return;
    }
    XMarkLayer* layer = layer_of(unsigned(row->number()), true);
    if (!layer) {
        zem::nullPointerHandling(SOURCE, __LINE__, "ramLayerSearch == NULL");
        return;
    }
    m_activeLayer = layer;
    m_preview.set_XRamLayer(layer);
    layer->set_color_background(color.rgba());
    m_view->re_paint();
    sync_slider(color);
}

void PanPreviewAsc::clear_layer(PanelSearch* row)
{
    if (!row) {
        zem::nullPointerHandling(SOURCE, __LINE__, "panSearch == NULL");
        return;
    }
    m_view->layerGroup().clear(row->layer_id());
    row->clear_texts();
    if (m_activeLayer && m_activeLayer->id() == row->layer_id()) {
        m_slider->setMaximum(0);
        m_slider->setEnabled(false);
    }
    m_slider->set_handle_color(QColor(Qt::lightGray));
    m_view->re_paint();
}

void PanPreviewAsc::on_search(PanelSearch* row)
{
    if (!row) {
        zem::nullPointerHandling(SOURCE, __LINE__, "panSearch == NULL");
        return;
    }
    Logger::log(xprintF(QStringLiteral("PanPreviewAsc::on_search, $"), row->toString()), zem::LOG_PROGRESS);
    Logger::log(xprintF(QStringLiteral("PanPreviewAsc::on_search, regEx:$"), row->is_regex()), zem::LOG_PROGRESS);
    const QString text = row->search_text();
    if (text.isEmpty()) {
        Logger::log(QStringLiteral("PanPreviewAsc::on_search, search for text but text ist empty"), zem::LOG_PROGRESS);
        return;
    }
    zem::find::XContentFilter filter(row->scope());
    if (!filter.createSymbols(text, row->is_regex())) {
        Logger::log(xprintF(QStringLiteral("PanPreviewAsc::on_search, problems with expression '$'"), text),
                    zem::LOG_WARN);
        zem::XToolsGui::flash_combobox_editable(row->combo(), kFlashMs);
        return;
    }
    FileResult hits = m_finder.find(m_preview.file_info(), filter);
    clear_layer(row);
    update_search_results(hits, filter, unsigned(row->number()));
}

void PanPreviewAsc::update_search_results(const FileResult& hits, const zem::find::XContentFilter& filter,
                                          unsigned panel_no)
{
    PanelSearch* row = get_panel_search(panel_no);
    panel_no = unsigned(row->number());
    XMarkLayer* layer = layer_of(panel_no, true);
    if (!layer) {
        zem::nullPointerHandling(SOURCE, __LINE__, "pLayerActive == NULL");
        return;
    }
    if (hits.layer.empty()) {
        Logger::log(QStringLiteral("PanelResults::on_jump_to_result, NIX"), zem::LOG_PROGRESS);
        // Navigation must not go on walking another layer's marks while this row shows none.
        if (m_activeLayer == layer || !m_activeLayer || m_activeLayer->empty())
            m_navi->setEnabled(false);
        return;
    }
    m_navi->setEnabled(true);
    m_activeLayer = layer;
    m_preview.set_XRamLayer(layer);
    layer->clear();
    if (!filter.text().isEmpty())
        row->add_to_history(filter.text());
    const QColor color = row->color();
    layer->set_color_background(color.rgba());
    // The marks take the layer's colour, so that a new colour for the row repaints them all.
    layer->add_ram_layer(hits.layer);
    layer->set_active_mark_first();
    m_view->re_paint();
    m_view->setFocus();
    row->set_content_filter(filter);
    row->set_count(unsigned(hits.layer.size()));
    Logger::log(QStringLiteral("PanPreviewAsc::update_search_results"), zem::LOG_PROGRESS);

    if (!m_activeLayer) {
        Logger::log(QStringLiteral("PanPreviewAsc::update_search_results, ramLayerSearch == nullptr"), zem::LOG_ERROR);
        return;
    }
    m_slider->setMaximum(int(hits.layer.size()) - 1);
    m_slider->set_value_revers(0, false);
    if (m_activeLayer->active_mark()) {
        QPointer<PanPreviewAsc> guard(this);
        zem::XTools::run_in_gui_thread(
            [guard] {
                if (guard)
                    guard->scroll_to_active();
            },
            kScrollDelayMs);
        zem::XTools::run_in_gui_thread(
            [guard, color] {
                if (guard)
                    guard->sync_slider(color);
            },
            kSliderDelayMs);
    }
}

void PanPreviewAsc::on_direct_mark_search(const QString& text)
{
    if (!patternSelectionMode.get() || text.isEmpty())
        return;
    const QString pattern = QLatin1Char('"') + text + QLatin1Char('"');
    zem::find::XContentFilter filter(zem::find::XContentFilter::SCOPE_PARAGRAPH);
    if (!filter.createSymbols(pattern, false)) {
        Logger::log(QStringLiteral("PanPreviewAsc::on_direct_mark_search, problems"), zem::LOG_WARN);
        return;
    }
    const FileResult hits = m_finder.find(m_preview.file_info(), filter);
    if (hits.layer.empty())
        Logger::log(QStringLiteral("PanPreviewAsc::on_direct_mark_search - NIX"), zem::LOG_PROGRESS);
    put_pattern_hits(hits);
}

void PanPreviewAsc::put_pattern_hits(const FileResult& hits)
{
    if (!m_view)
        return;
    PanelSearch* row = m_rows[kRowPattern];
    clear_layer(row);
    XMarkLayer* layer = layer_of(kRowPattern, true);
    if (!layer) {
        zem::nullPointerHandling(SOURCE, __LINE__, "pLayerActive == NULL");
        return;
    }
    if (hits.layer.empty()) {
        if (m_activeLayer == layer)
            m_navi->setEnabled(false);
        m_view->re_paint();
        return;
    }
    m_navi->setEnabled(true);
    m_activeLayer = layer;
    m_preview.set_XRamLayer(layer);
    layer->clear();
    const QColor color = row->color();
    layer->set_color_background(color.rgba());
    // The marks take the layer's colour, so that a new colour for the row repaints them all.
    layer->add_ram_layer(hits.layer);
    layer->set_active_mark_first();
    QPointer<PanPreviewAsc> guard(this);
    zem::XTools::run_in_gui_thread(
        [guard, color] {
            if (guard)
                guard->sync_slider(color);
        },
        kSliderDelayMs);
    m_view->re_paint();
}

void PanPreviewAsc::on_layer_changed(int id)
{
    Logger::log(xprintF(QStringLiteral("PanPreviewAsc::on_layer_changed, id:$"), id), zem::LOG_PROGRESS);
    if (id < kLayerFirst || id >= kLayerFirst + kRows) {
        Logger::log(xprintF(QStringLiteral("PanPreviewAsc::on_layer_changed, panel_no:$ !!!"), id - kLayerFirst),
                    zem::LOG_ERROR);
        return;
    }
    const unsigned panel_no = unsigned(id - kLayerFirst);
    m_activeLayer = m_view->layerGroup().layer_by_ID(id);
    Logger::log(xprintF(QStringLiteral("PanPreviewAsc::on_layer_changed, panel_no:$"), panel_no), zem::LOG_PROGRESS);
    sync_slider(get_panel_search(panel_no)->color());
}

void PanPreviewAsc::on_mark_increment(bool up)
{
    if (!m_activeLayer) {
        Logger::log(QStringLiteral("PanPreviewAsc::on_mark_increment"), zem::LOG_ERROR);
        return;
    }
    m_activeLayer->move_active_mark_index(up);
    m_view->re_paint();
    if (m_activeLayer->active_mark()) {
        scroll_to_active();
        adapt_slider_navi_pos();
    }
}

void PanPreviewAsc::on_mark_to_top(bool first)
{
    if (!m_activeLayer) {
        Logger::log(QStringLiteral("PanPreviewAsc::on_mark_to_top"), zem::LOG_ERROR);
        return;
    }
    m_activeLayer->clear_active_mark();
    if (first)
        m_activeLayer->set_active_mark_first();
    else
        m_activeLayer->set_active_mark_last();
    m_view->re_paint();
    scroll_to_active();
    adapt_slider_navi_pos();
}

void PanPreviewAsc::adapt_slider_navi_pos()
{
    if (!m_activeLayer) {
        Logger::log(QStringLiteral("PanPreviewAsc::adapt_slider_navi_pos"), zem::LOG_ERROR);
        return;
    }
    if (m_activeLayer->active_mark_index() >= 0)
        m_slider->set_value_revers(m_activeLayer->active_mark_index(), false);
}

void PanPreviewAsc::on_slider_find_res_val_changed(int value)
{
    if (!m_activeLayer) {
        Logger::log(QStringLiteral("PanPreviewAsc::on_slider_find_res_val_changed, ramLayerSearch == nullptr"),
                    zem::LOG_ERROR);
        return;
    }
    m_activeLayer->clear_active_mark();
    m_activeLayer->set_active_mark_index(m_slider->index_from_value(value));
    m_view->re_paint();
    scroll_to_active();
}

} // namespace zemFinder
