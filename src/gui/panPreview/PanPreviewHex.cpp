#include "PanPreviewHex.h"

#include "Logger.h"

namespace zemFinder {

void PanPreviewHex::on_zoom(bool in)
{
    zem::Logger::log(zem::xprintF(QStringLiteral("PanPreviewHex::on_zoom, flagZoom:$"), in), zem::LOG_PROGRESS);
    int size = m_preview.font_size();
    if (in && size < kFontMax)
        ++size;
    else if (!in && size > kFontMin)
        --size;
    m_preview.set_font_size(size);
}

} // namespace zemFinder
