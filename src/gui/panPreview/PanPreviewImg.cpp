#include "PanPreviewImg.h"

#include "Logger.h"
#include "preview/XImageViewer.h"

namespace zemFinder {

void PanPreviewImg::on_zoom(bool in)
{
    zem::Logger::log(zem::xprintF(QStringLiteral("PanPreviewImg::on_zoom, flagZoom:$"), in), zem::LOG_PROGRESS);
    zem::XImageViewer* view = m_preview.img_view();
    if (!view) {
        zem::nullPointerHandling("src/gui/panPreview/PanPreviewImg", __LINE__, "img_view == NULL");
        return;
    }
    view->on_zoom(in, true);
}

} // namespace zemFinder
