#pragma once
// One search row of the text tab: "Search(n)", the search box with history, the regular
// expression switch, the layer's colour label, the scope chooser, the hit count, clear and find.
// Row n paints into the text view's layer 1000 + n. Owned by PanPreviewAsc; GUI thread only.
#include "widgets/XPanel.h"

#include <QColor>

namespace zem {
class XButton;
class XComboBox;
class XNode;
class XTypedComboBox;
namespace find {
class XContentFilter;
}
} // namespace zem

class QLabel;

namespace zemFinder {

class XColorLabel;

class PanelSearch : public zem::XPanel {
    Q_OBJECT
public:
    // Most patterns a row's history keeps.
    static constexpr int kHistoryMax = 16;

    explicit PanelSearch(QWidget* parent = nullptr);

    void ini(int number);
    int number() const { return m_number; }
    int layer_id() const { return 1000 + m_number; }

    // Shows the filter's pattern, scope and kind.
    void set_content_filter(const zem::find::XContentFilter& filter);
    void set_count(unsigned count);
    void clear_texts();
    void add_to_history(const QString& text);
    QColor color() const;
    void set_color(const QColor& color);

    // The trimmed search text and the switch state.
    QString search_text() const;
    void set_search_text(const QString& text);
    bool is_regex() const;
    // The chosen scope; a bad selection logs and gives 0.
    quint32 scope() const;

    void from_node(zem::XNode* node);
    void to_node(zem::XNode* node) const;

    // "pan#n", for logs.
    QString toString() const;

    // The row's initial colour: green, yellow, cyan; darker ones in the dark style.
    static QColor default_color(int number, bool dark);

    zem::XComboBox* combo() const { return m_combo; }
    zem::XButton* buttonRegEx() const { return m_regEx; }
    XColorLabel* colorLabel() const { return m_color; }
    zem::XTypedComboBox* comboScope() const { return m_scope; }
    QLabel* labelCount() const { return m_count; }
    zem::XButton* buttonClear() const { return m_clear; }
    zem::XButton* buttonFind() const { return m_find; }

private:
    void show_combo_menu(const QPoint& pos);

    QLabel* m_label = nullptr;
    zem::XComboBox* m_combo = nullptr;
    zem::XButton* m_regEx = nullptr;
    XColorLabel* m_color = nullptr;
    zem::XTypedComboBox* m_scope = nullptr;
    QLabel* m_count = nullptr;
    zem::XButton* m_clear = nullptr;
    zem::XButton* m_find = nullptr;
    int m_number = 0;
};

} // namespace zemFinder
