#include "PanPreview.h"

#include "Logger.h"
#include "preview/Preview.h"

#include <QBoxLayout>

namespace zemFinder {

PanPreview::PanPreview(QWidget* parent) : zem::XPanel(true, parent)
{
    set_args(0, 0);
}

void PanPreview::on_zoom(bool) {}

void PanPreview::ini_with(zem::Preview& preview)
{
    setMargins(0, 0, 0, 0);
    preview.ini();
    QWidget* w = preview.widget_preview();
    if (!w) {
        zem::nullPointerHandling("src/gui/panPreview/PanPreview", __LINE__, "widget_preview == NULL");
        return;
    }
    if (boxLayout()->indexOf(w) >= 0) {
        zem::Logger::log(QStringLiteral("XPanel::add, w already in container"), zem::LOG_ERROR);
        return;
    }
    w->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    add(w, 1);
}

} // namespace zemFinder
