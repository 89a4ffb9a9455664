#include "XMarkLayer.h"

#include <algorithm>

namespace zem::viewText {

void XMarkLayer::add_ram_layer(const find::XRamLayer& marks, quint32 rgba)
{
    m_marks.reserve(m_marks.size() + marks.size());
    for (const find::XRam& mark : marks) {
        const find::XRam r = m_offsetMap ? m_offsetMap(mark) : mark;
        m_marks.push_back(Mark{r, rgba});
        m_maxLen = std::max<qint64>(m_maxLen, r.length);
    }
    sort_marks();
}

void XMarkLayer::add_mark(const find::XRam& mark, quint32 rgba)
{
    const find::XRam r = m_offsetMap && mark.offset >= 0 ? m_offsetMap(mark) : mark;
    m_marks.push_back(Mark{r, rgba});
    m_maxLen = std::max<qint64>(m_maxLen, r.length);
    sort_marks();
}

void XMarkLayer::sort_marks()
{
    const find::XRam* active = active_mark();
    const find::XRam keep = active ? *active : find::XRam{};
    std::stable_sort(m_marks.begin(), m_marks.end(),
                     [](const Mark& x, const Mark& y) { return x.ram.offset < y.ram.offset; });
    m_sorted = true;
    if (active) {
        // The active mark stays the same region after new marks moved it.
        for (std::size_t i = 0; i < m_marks.size(); ++i)
            if (m_marks[i].ram == keep) {
                m_active = int(i);
                break;
            }
    }
}

bool XMarkLayer::remove_mark(qint32 category)
{
    const auto it = std::remove_if(m_marks.begin(), m_marks.end(),
                                   [category](const Mark& m) { return m.ram.category == category; });
    const bool removed = it != m_marks.end();
    m_marks.erase(it, m_marks.end());
    if (m_active >= int(m_marks.size()))
        m_active = -1;
    return removed;
}

bool XMarkLayer::contains_mark(qint32 category) const
{
    return std::any_of(m_marks.begin(), m_marks.end(),
                       [category](const Mark& m) { return m.ram.category == category; });
}

void XMarkLayer::clear()
{
    m_marks.clear();
    m_maxLen = 0;
    m_sorted = true;
    m_active = -1;
}

QColor XMarkLayer::mark_color(std::size_t i) const
{
    const quint32 c = m_marks[i].rgba;
    return QColor::fromRgba(c != 0 ? c : m_rgba);
}

void XMarkLayer::set_mark_region(std::size_t i, qint64 offset, qint32 length)
{
    if (i >= m_marks.size())
        return;
    m_marks[i].ram.offset = offset;
    m_marks[i].ram.length = length;
    m_maxLen = std::max<qint64>(m_maxLen, length);
    m_sorted = false;
}

const find::XRam* XMarkLayer::active_mark() const
{
    if (m_active < 0 || m_active >= int(m_marks.size()))
        return nullptr;
    return &m_marks[size_t(m_active)].ram;
}

bool XMarkLayer::set_active_mark_index(int i)
{
    if (i < 0 || i >= int(m_marks.size()))
        return false;
    m_active = i;
    return true;
}

bool XMarkLayer::move_active_mark_index(bool up)
{
    if (m_marks.empty())
        return false;
    if (m_active < 0)
        return set_active_mark_index(up ? int(m_marks.size()) - 1 : 0);
    const int next = m_active + (up ? -1 : 1);
    return set_active_mark_index(next);
}

void XMarkLayer::adapt_layers_order()
{
    std::stable_sort(m_marks.begin(), m_marks.end(),
                     [](const Mark& x, const Mark& y) { return x.ram.length > y.ram.length; });
    m_sorted = false;
    m_active = -1;
}

int XMarkLayer::index_at(qint64 offset) const
{
    int found = -1;
    for_each_in(offset, offset + 1, [&found](std::size_t i) { found = int(i); });
    return found;
}

} // namespace zem::viewText
