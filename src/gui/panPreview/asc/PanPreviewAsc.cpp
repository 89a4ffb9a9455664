// PanPreviewAsc: building the tab, the switches of bitsConfig and their menu, persistence, the
// mouse-over marks and the character information. Searching and navigation are in
// PanPreviewAsc_search.cpp.
#include "PanPreviewAsc.h"

#include "Logger.h"
#include "PanelSearch.h"
#include "XLang.h"
#include "XNode.h"
#include "XTheme.h"
#include "XTools.h"
#include "XUtf8Info.h"
#include "gui/config/ConfigZemFinder.h"
#include "gui/panPreview/XColorLabel.h"
#include "gui/panPreview/XSlider.h"
#include "preview/viewText/XTextView.h"
#include "widgets/XAction.h"
#include "widgets/XButton.h"
#include "widgets/XComboBox.h"
#include "widgets/XMenu.h"
#include "widgets/XToolsGui.h"

#include <QBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <memory>
#include <utility>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;
using zem::viewText::MouseOverMark;

namespace {
const char* SOURCE = "src/gui/panPreview/asc/PanPreviewAsc";
const QString KEY_BITS = QStringLiteral("bitsConfig");
// Action data of the "copy to search" entries.
constexpr int kCopyActionData = 200;

struct BitEntry {
    uint32_t bit;
    const char* label;
    const char* tooltip;
};
// The switch menu, in menu order; a separator follows "Navigation".
const BitEntry kBitTable[] = {
    {PanPreviewAsc::BIT_RULER, "Ruler", "Ruler displays line numbers"},
    {PanPreviewAsc::BIT_WRAP, "Wrap", "Wraps lines"},
    {PanPreviewAsc::BIT_NAVIGATION, "Navigation", "Slider and Buttons on the right side"},
    {PanPreviewAsc::BIT_SEARCH_1, "1.Search Layer", nullptr},
    {PanPreviewAsc::BIT_SEARCH_2, "2.Search Layer", nullptr},
    {PanPreviewAsc::BIT_MOUSE_CHAR, "Mouse over Character", nullptr},
    {PanPreviewAsc::BIT_MOUSE_CHAR_INFO, "Mouse over Character-INFO", "Together with Mouse over Character"},
    {PanPreviewAsc::BIT_MOUSE_WORD, "Mouse over Word", nullptr},
    {PanPreviewAsc::BIT_MOUSE_LINE, "Mouse over Line", nullptr},
    {PanPreviewAsc::BIT_MOUSE_SENTENCE, "Mouse over Sentence", nullptr},
    {PanPreviewAsc::BIT_MOUSE_PARAGRAPH, "Mouse over Paragraph", nullptr},
};

// Mouse-over switches and the category of the mark each adds.
const std::pair<uint32_t, qint32> kMouseOverBits[] = {
    {PanPreviewAsc::BIT_MOUSE_CHAR, MouseOverMark::Character},
    {PanPreviewAsc::BIT_MOUSE_WORD, MouseOverMark::Word},
    {PanPreviewAsc::BIT_MOUSE_SENTENCE, MouseOverMark::Sentence},
    {PanPreviewAsc::BIT_MOUSE_LINE, MouseOverMark::Line},
    {PanPreviewAsc::BIT_MOUSE_PARAGRAPH, MouseOverMark::Paragraph},
};
} // namespace

PanPreviewAsc::PanPreviewAsc(QWidget* parent) : PanPreview(parent) {}

PanPreviewAsc::~PanPreviewAsc()
{
    // The rows and the text view go with the panel; nothing may call back into it meanwhile.
    bitsConfig.changed.clear();
    patternSelectionMode.changed.clear();
}

void PanPreviewAsc::ini()
{
    if (m_view) {
        Logger::log(QStringLiteral("PanPreviewAsc::ini() already called!"), zem::LOG_ERROR);
        return;
    }
    const WinFinderConfig& config = WinFinderConfig::get();
    setSpacing(0);
    zem::XPanel* sub = createPanelHorizontal();
    sub->set_args(0, 0);
    boxLayout()->setStretchFactor(sub, 1);
    m_preview.ini();
    m_preview.set_auto_wrap(config.flagAutoWrap);
    m_preview.setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    sub->add(m_preview.widget_preview(), 1);

    m_navi = sub->createPanelVertical();
    m_navi->set_args(0, 0);
    m_navi->hide();
    m_slider = m_navi->add(XSlider::createSliderVertical(0, 100, 20, m_navi), 1);
    m_slider->set_handle_color(QColor(Qt::lightGray));
    m_navi->setEnabled(false);
    connect(m_slider, &QSlider::valueChanged, this, [this](int v) { on_slider_find_res_val_changed(v); });
    auto arrow = [this](const char* icon, std::function<void()> fn) {
        zem::XButton* b = m_navi->createButtonImageIcon(zem::XTheme::iconPath(QString::fromLatin1(icon)), QString(), 16);
        *b = std::move(fn);
    };
    arrow("ar_up_up.svg", [this] { on_mark_to_top(true); });
    arrow("ar_up.svg", [this] { on_mark_increment(true); });
    arrow("ar_down.svg", [this] { on_mark_increment(false); });
    arrow("ar_down_down.svg", [this] { on_mark_to_top(false); });

    m_view = m_preview.get_XTextView();
    for (int n = 0; n < kRows; ++n) {
        PanelSearch* row = add(new PanelSearch(this));
        row->ini(n);
        row->hide();
        m_rows[std::size_t(n)] = row;
        *row->buttonClear() = [this, row] { clear_layer(row); };
        *row->buttonFind() = [this, row] { on_search(row); };
        row->colorLabel()->colorChanged.add([this, row](const QColor& c) { set_layer_color(row, c); });
        row->colorLabel()->clicked.add([this, row] { set_layer_color(row, row->color()); });
    }

    m_view->mouseOver.add([this](const MouseOverMark& report) { on_mouse_over(report); });
    m_view->layerGroup().layerAdded.add([this](int id) {
        Logger::log(xprintF(QStringLiteral("PanPreviewAsc:::ini, layer $ added"), id), zem::LOG_PROGRESS);
        if (id == kLayerFirst)
            m_activeLayer = m_view->layerGroup().layer_by_ID(id);
    });
    m_view->activeMarkChanged.add([this](int, int) { adapt_slider_navi_pos(); });
    m_preview.set_font(zem::XToolsGui::getMonoFont(int(config.fontSize)));
    m_preview.layerActivated.add([this](int id) { on_layer_changed(id); });

    // In this tab the text view's request entry switches the pattern selection.
    m_view->set_request_action(xt("Pattern Selection Mode"), [this] { return patternSelectionMode.get(); });
    m_preview.requestStandAlone.add([this](const zem::Preview*) { patternSelectionMode = !patternSelectionMode.get(); });
    patternSelectionMode.changed.add([this](const bool& on) {
        if (!on)
            put_pattern_hits(FileResult());
    });
    m_preview.add_extra_context_menu([this](QMenu* menu, const QString& sel) { add_copy_to_search_actions(menu, sel); });
}

void PanPreviewAsc::add_copy_to_search_actions(QMenu* menu, const QString& selection)
{
    const bool usable = !selection.isEmpty() && selection.size() <= kCopyToSearchMax;
    if (!usable)
        Logger::log(QStringLiteral("PanPreviewAsc::ini - no selection"), zem::LOG_PROGRESS);
    menu->addSeparator();
    const QString quoted = QLatin1Char('"') + selection + QLatin1Char('"');
    for (unsigned n = 0; n < 2; ++n) {
        QAction* action = menu->addAction(n == 0 ? xt("copy to search &1") : xt("copy to search &2"));
        action->setCheckable(false);
        action->setChecked(false);
        action->setEnabled(usable);
        action->setData(kCopyActionData);
        QPointer<PanPreviewAsc> guard(this);
        connect(action, &QAction::triggered, this, [guard, n, quoted] {
            if (!guard)
                return;
            // A hidden row would take the text out of sight: show it.
            guard->bitsConfig.set_flag(n == 0 ? BIT_SEARCH_1 : BIT_SEARCH_2, true);
            guard->get_panel_search(n)->set_search_text(quoted);
        });
    }
}

void PanPreviewAsc::search_focused()
{
    for (PanelSearch* row : m_rows)
        if (row && row->isVisible() && row->combo()->hasFocus()) {
            on_search(row);
            return;
        }
}

void PanPreviewAsc::focus_search()
{
    for (PanelSearch* row : m_rows)
        if (row && !row->isHidden() && row->number() < int(kRowPattern)) {
            row->combo()->setFocus(Qt::ShortcutFocusReason);
            row->combo()->lineEdit()->selectAll();
            return;
        }
    bitsConfig.set_flag(BIT_SEARCH_1, true);
    if (m_rows[0]) {
        m_rows[0]->combo()->setFocus(Qt::ShortcutFocusReason);
        m_rows[0]->combo()->lineEdit()->selectAll();
    }
}

void PanPreviewAsc::on_zoom(bool in)
{
    Logger::log(xprintF(QStringLiteral("PanPreviewAsc::on_zoom, flagZoom:$"), in), zem::LOG_PROGRESS);
    QFont font = m_preview.get_font();
    const int size = std::max(1, font.pointSize() + (in ? 1 : -1));
    font.setPointSize(size);
    m_preview.set_font(font);
}

PanelSearch* PanPreviewAsc::get_panel_search(unsigned panel_no) const
{
    if (panel_no >= m_rows.size()) {
        Logger::log(QStringLiteral("PanPreviewAsc::get_panel_search, panel_no >= ar.size(), return first panel!"),
                    zem::LOG_ERROR);
        return m_rows[0];
    }
    return m_rows[panel_no];
}

void PanPreviewAsc::apply_bits(uint32_t bits)
{
    if (!m_view)
        return;
    m_preview.set_wrap(bits & BIT_WRAP);
    m_preview.set_ruler(bits & BIT_RULER);
    m_navi->setVisible(bits & BIT_NAVIGATION);
    zem::viewText::XMarkLayer& mouse = m_view->mouseOverLayer();
    for (const auto& [bit, category] : kMouseOverBits) {
        const bool on = bits & bit;
        if (on && !mouse.contains_mark(category))
            mouse.add_mark(zem::find::XRam{-1, 0, category}, kMouseOverColor);
        else if (!on && mouse.contains_mark(category))
            mouse.remove_mark(category);
    }
    mouse.adapt_layers_order();
    m_view->re_paint();
    m_rows[0]->setVisible(bits & BIT_SEARCH_1);
    m_rows[1]->setVisible(bits & BIT_SEARCH_2);
    m_rows[2]->setVisible(bits & BIT_SEARCH_3);
    if (m_charInfo)
        m_charInfo->setVisible(bits & BIT_MOUSE_CHAR_INFO);
}

zem::XMenu* PanPreviewAsc::create_sub_menu_filter()
{
    Logger::log(QStringLiteral("PanPreviewAsc::sub_menu_filter"), zem::LOG_PROGRESS);
    auto* menu = new zem::XMenu(this);
    menu->setToolTipsVisible(true);
    const uint32_t bits = bitsConfig.flags();
    for (const BitEntry& e : kBitTable) {
        zem::XAction* action = menu->createAction(xt(e.label), true, (bits & e.bit) == e.bit, true, int(e.bit));
        if (e.tooltip)
            action->setToolTip(xt(e.tooltip));
        QPointer<zem::XAction> a(action);
        *action = [this, a] {
            if (a)
                bitsConfig.set_flag(uint32_t(a->id()), a->isChecked());
        };
        if (e.bit == BIT_NAVIGATION)
            menu->addSeparator();
    }
    menu->addSeparator();
    *menu->createAction(xt("Reset All"), false, false, true, 0) = [this] { bitsConfig.set_flags(0); };
    return menu;
}

void PanPreviewAsc::sub_menu_filter()
{
    std::unique_ptr<zem::XMenu> menu(create_sub_menu_filter());
    menu->exec_at_mouse_Pos();
}

void PanPreviewAsc::set_panel_from_outside(zem::XPanel* bar)
{
    Logger::log(QStringLiteral("PanPreviewAsc::set_panel_from_outside"), zem::LOG_PROGRESS);
    if (!bar) {
        zem::nullPointerHandling(SOURCE, __LINE__, "bar == NULL");
        return;
    }
    m_buttonLayers = bar->add(new zem::XButton(bar));
    m_buttonLayers->setIcon(QIcon(zem::XTheme::iconPath(QStringLiteral("layer.svg"))));
    m_buttonLayers->setText(xt(" Search Layer"));
    m_buttonLayers->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_buttonLayers->setAutoRaise(true);
    *m_buttonLayers = [this] {
        Logger::log(QStringLiteral("PanPreviewAsc::set_panel_from_outside, AHA"), zem::LOG_PROGRESS);
        sub_menu_filter();
    };
    m_charInfo = bar->createLineEdit();
    m_charInfo->setReadOnly(true);
    m_charInfo->setFont(zem::XToolsGui::getMonoFont(14));
    m_charInfo->setMinimumWidth(400);
    if (m_listenerBits < 0)
        m_listenerBits = bitsConfig.changed.add([this](uint32_t bits) { apply_bits(bits); });
    apply_bits(bitsConfig.flags());
}

void PanPreviewAsc::from_node(zem::XNode* node)
{
    if (!node) {
        zem::nullPointerHandling(SOURCE, __LINE__, "nPreviewAsc == NULL");
        return;
    }
    bitsConfig.set_flags(uint32_t(node->getUInt(KEY_BITS, kDefaultBits)), false);
    for (int n = 0; n < kRows; ++n)
        if (m_rows[std::size_t(n)])
            m_rows[std::size_t(n)]->from_node(node->getCreateNode(QStringLiteral("pan") + QString::number(n)));
}

void PanPreviewAsc::to_node(zem::XNode* node) const
{
    if (!node) {
        zem::nullPointerHandling(SOURCE, __LINE__, "nPreviewAsc == NULL");
        return;
    }
    node->setUInt(KEY_BITS, bitsConfig.flags());
    for (int n = 0; n < kRows; ++n)
        if (m_rows[std::size_t(n)])
            m_rows[std::size_t(n)]->to_node(node->getCreateNode(QStringLiteral("pan") + QString::number(n)));
}

void PanPreviewAsc::on_mouse_over(const MouseOverMark& report)
{
    m_mouseOver = report;
    zem::viewText::XMarkLayer& mouse = m_view->mouseOverLayer();
    for (std::size_t i = 0; i < mouse.size(); ++i)
        if (const zem::find::XRam* r = report.region(mouse.mark(i).category))
            mouse.set_mark_region(i, r->offset, r->length);
    m_view->re_paint();
    if (bitsConfig.is(BIT_MOUSE_CHAR_INFO) && MouseOverMark::isValid(report.character))
        show_char_info(report);
}

void PanPreviewAsc::show_char_info(const MouseOverMark& report)
{
    const QString text = m_view->textFromMarkRam(report.character);
    XUtf8Info info;
    info.set_char(text);
    if (!info.decode())
        return;
    const QString line = xprintF(QStringLiteral("$  $  $ byte-pos:$"), text, info.info(), info.toHTML(),
                                 zem::format1000(report.character.offset));
    QPointer<QLineEdit> field = m_charInfo;
    zem::XTools::run_in_gui_thread([field, line] {
        if (field)
            field->setText(line);
    });
}

} // namespace zemFinder
