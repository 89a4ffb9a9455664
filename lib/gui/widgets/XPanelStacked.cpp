#include "XPanelStacked.h"

namespace zem {

XPanelStacked::XPanelStacked(QWidget* parent) : QStackedWidget(parent) {}

bool XPanelStacked::isCurrentWidget(const QWidget* widget) const
{
    return widget && currentWidget() == widget;
}

} // namespace zem
