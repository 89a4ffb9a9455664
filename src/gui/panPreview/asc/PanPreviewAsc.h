#pragma once
// The text tab of the details window: the text preview with three search rows (two user searches
// in layers 1000 and 1001, the pattern selection in layer 1002), a navigation column (slider and
// four arrows) that walks the marks of the active layer, and the switches of bitsConfig (ruler,
// wrap, navigation, visible rows, mouse-over marks), stored with the window's node.
//
// Searches run synchronously in the GUI thread (ZemFind::find over the mapped file); scrolling
// to the first hit and recolouring the slider are queued with a short delay so the view has laid
// out the new marks first. Owns its rows and the navigation widgets; GUI thread only.
#include "XProp.h"
#include "XFlagBits.h"
#include "find/ZemFind.h"
#include "gui/panPreview/PanPreview.h"
#include "preview/PreviewAscii.h"
#include "preview/viewText/MouseOverMark.h"

#include <array>

class QLineEdit;
class QMenu;

namespace zem {
class XMenu;
class XNode;
class XButton;
namespace viewText {
class XMarkLayer;
class XTextView;
} // namespace viewText
} // namespace zem

namespace zemFinder {

class PanelSearch;
class XSlider;

class PanPreviewAsc : public PanPreview {
    Q_OBJECT
public:
    enum Bit : uint32_t {
        BIT_RULER = 2,
        BIT_WRAP = 4,
        BIT_NAVIGATION = 8,
        BIT_MOUSE_CHAR = 16,
        BIT_MOUSE_CHAR_INFO = 32,
        BIT_MOUSE_WORD = 64,
        BIT_MOUSE_LINE = 128,
        BIT_MOUSE_SENTENCE = 256,
        BIT_MOUSE_PARAGRAPH = 512,
        BIT_SEARCH_1 = 1024,
        BIT_SEARCH_2 = 2048,
        BIT_SEARCH_3 = 4096
    };
    // Ruler, navigation and the first search row.
    static constexpr uint32_t kDefaultBits = BIT_RULER | BIT_NAVIGATION | BIT_SEARCH_1;
    static constexpr int kLayerFirst = 1000;
    static constexpr int kRows = 3;
    // The row that holds the pattern selection.
    static constexpr unsigned kRowPattern = 2;
    // Colour of the mouse-over marks.
    static constexpr quint32 kMouseOverColor = 0xFF73D216;
    // Longest selection (characters) that "copy to search" takes.
    static constexpr int kCopyToSearchMax = 88;

    explicit PanPreviewAsc(QWidget* parent = nullptr);
    ~PanPreviewAsc() override;

    zem::Preview* preview() override { return &m_preview; }
    zem::PreviewAscii& preview_ascii() { return m_preview; }
    void ini() override;
    void search_focused() override;
    void on_zoom(bool in) override;
    QString type_as_string() const override { return QStringLiteral("PanPreviewAsc"); }

    void from_node(zem::XNode* node);
    void to_node(zem::XNode* node) const;
    void set_panel_from_outside(zem::XPanel* bar);

    PanelSearch* get_panel_search(unsigned panel_no) const;
    void on_search(PanelSearch* row);
    void update_search_results(const FileResult& hits, const zem::find::XContentFilter& filter, unsigned panel_no);
    void on_direct_mark_search(const QString& text);
    void on_layer_changed(int id);
    void on_mark_increment(bool up);
    void on_mark_to_top(bool first);
    void adapt_slider_navi_pos();
    void on_slider_find_res_val_changed(int value);
    // The switch menu, built but not run (the caller owns it).
    zem::XMenu* create_sub_menu_filter();
    void sub_menu_filter();
    void apply_bits(uint32_t bits);
    void set_layer_color(PanelSearch* row, const QColor& color);
    void clear_layer(PanelSearch* row);
    // Puts the keyboard focus into the first visible search row (showing row 0 if none is).
    void focus_search();
    // The entries that "copy to search" adds to the text view's menu, for a selection.
    void add_copy_to_search_actions(QMenu* menu, const QString& selection);

    zem::viewText::XTextView* text_view() const { return m_view; }
    zem::viewText::XMarkLayer* active_layer() const { return m_activeLayer; }
    QWidget* navigation_column() const { return m_navi; }
    XSlider* slider() const { return m_slider; }
    QLineEdit* char_info_field() const { return m_charInfo; }
    zem::XButton* button_layer_menu() const { return m_buttonLayers; }
    const zem::viewText::MouseOverMark& last_mouse_over() const { return m_mouseOver; }

    XFlagBits bitsConfig;
    zem::XPropBool patternSelectionMode{false};

private:
    void on_mouse_over(const zem::viewText::MouseOverMark& report);
    void show_char_info(const zem::viewText::MouseOverMark& report);
    // Slider: handle colour, range and enabled state for the active layer, handle at its active mark.
    void sync_slider(const QColor& color);
    void scroll_to_active();
    zem::viewText::XMarkLayer* layer_of(unsigned panel_no, bool create);
    void put_pattern_hits(const FileResult& hits);

    zem::PreviewAscii m_preview;
    zem::viewText::XTextView* m_view = nullptr;
    zem::XPanel* m_navi = nullptr;
    XSlider* m_slider = nullptr;
    zem::viewText::MouseOverMark m_mouseOver;
    zem::viewText::XMarkLayer* m_activeLayer = nullptr;
    QLineEdit* m_charInfo = nullptr;
    zem::XButton* m_buttonLayers = nullptr;
    std::array<PanelSearch*, kRows> m_rows{};
    ZemFind m_finder;
    int m_listenerBits = -1;
};

} // namespace zemFinder
