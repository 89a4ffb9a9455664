#include "PanPreviewXml.h"

#include "Logger.h"

#include <algorithm>

namespace zemFinder {

void PanPreviewXml::on_zoom(bool in)
{
    zem::Logger::log(zem::xprintF(QStringLiteral("PanPreviewXml::on_zoom, flagZoom:$"), in), zem::LOG_PROGRESS);
    QFont font = m_preview.get_font();
    // Point sizes below 1 are not drawable; the font keeps at least that.
    font.setPointSize(std::max(1, font.pointSize() + (in ? 1 : -1)));
    m_preview.set_font(font);
}

} // namespace zemFinder
