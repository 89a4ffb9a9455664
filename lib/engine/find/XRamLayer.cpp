#include "XRamLayer.h"

#include <algorithm>

namespace zem::find {

void XRamLayer::clear()
{
    m_marks.clear();
    m_binary = false;
}

std::size_t XRamLayer::indexAtOrAfter(qint64 offset) const
{
    const auto it = std::lower_bound(m_marks.begin(), m_marks.end(), offset,
                                     [](const XRam& m, qint64 off) { return m.offset + m.length <= off; });
    return std::size_t(it - m_marks.begin());
}

} // namespace zem::find
