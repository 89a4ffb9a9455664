#pragma once
// One coloured layer of marks painted over the text view: byte ranges of the file (find::XRam),
// a background colour, an optional colour per mark and an active mark for navigation.
// Search layers keep their marks in text order; the mouse-over layer may be reordered by
// adapt_layers_order() so that small regions paint over large ones.
// Lives in an XRamLayerGroup (or as the view's mouse-over layer); GUI thread only.
#include "find/XRamLayer.h"

#include <QColor>
#include <algorithm>
#include <functional>
#include <vector>

namespace zem::viewText {

class XMarkLayer {
public:
    explicit XMarkLayer(int id = 0) : m_id(id) {}

    int id() const { return m_id; }
    bool is_visible() const { return m_visible; }
    void set_visible(bool on) { m_visible = on; }

    void set_color_background(quint32 rgba) { m_rgba = rgba; }
    quint32 color_background() const { return m_rgba; }
    QColor color() const { return QColor::fromRgba(m_rgba); }

    // Turns a mark of the file's bytes into one of the view's text (a UTF-16 file is shown
    // from its UTF-8 transcoding); applied to every mark added from then on. Null: as they are.
    using OffsetMap = std::function<find::XRam(const find::XRam&)>;
    void set_offset_map(OffsetMap map) { m_offsetMap = std::move(map); }

    // Adds every mark of a search result (rgba 0: the layer's colour); text order is kept.
    void add_ram_layer(const find::XRamLayer& marks, quint32 rgba = 0);
    void add_mark(const find::XRam& mark, quint32 rgba = 0);
    // Removes every mark of this category; true when one was removed.
    bool remove_mark(qint32 category);
    bool contains_mark(qint32 category) const;
    void clear();

    std::size_t size() const { return m_marks.size(); }
    bool empty() const { return m_marks.empty(); }
    const find::XRam& mark(std::size_t i) const { return m_marks[i].ram; }
    // The mark's own colour, else the layer's.
    QColor mark_color(std::size_t i) const;
    // Moves a mark to another region (the mouse-over layer follows the mouse this way).
    void set_mark_region(std::size_t i, qint64 offset, qint32 length);

    const find::XRam* active_mark() const;
    int active_mark_index() const { return m_active; }
    bool set_active_mark_index(int i);
    bool set_active_mark_first() { return set_active_mark_index(0); }
    bool set_active_mark_last() { return set_active_mark_index(int(m_marks.size()) - 1); }
    void clear_active_mark() { m_active = -1; }
    // up: towards the first mark. Without an active mark, the first (down) or last (up) becomes
    // active. Stops at the ends; false when nothing changed.
    bool move_active_mark_index(bool up);

    void adapt_layers_order();
    // Index of a mark holding offset (the last painted one when several do), or -1.
    int index_at(qint64 offset) const;
    // Calls fn(index) for every mark that overlaps [a, b); marks at a with no length count too.
    template <typename Fn>
    void for_each_in(qint64 a, qint64 b, Fn fn) const
    {
        std::size_t i = 0;
        if (m_sorted) {
            // Marks are sorted by offset; any mark starting before a - maxLen cannot reach a.
            const qint64 from = a - m_maxLen;
            i = std::size_t(std::lower_bound(m_marks.begin(), m_marks.end(), from,
                                             [](const Mark& m, qint64 v) { return m.ram.offset < v; }) -
                            m_marks.begin());
        }
        for (; i < m_marks.size(); ++i) {
            const find::XRam& r = m_marks[i].ram;
            if (m_sorted && r.offset >= b)
                break;
            if (r.offset >= 0 && r.offset < b && r.offset + r.length > a)
                fn(i);
        }
    }

private:
    OffsetMap m_offsetMap;
    struct Mark {
        find::XRam ram;
        quint32 rgba = 0;
    };
    void sort_marks();

    int m_id = 0;
    bool m_visible = true;
    quint32 m_rgba = 0xFF00FF00;  // green
    std::vector<Mark> m_marks;
    qint64 m_maxLen = 0;
    bool m_sorted = true;
    int m_active = -1;
};

} // namespace zem::viewText
