#include "XTabWidget.h"

#include "widgets/XPanel.h"

#include <QIcon>

namespace zemFinder {

XTabWidget::XTabWidget(QWidget* parent) : QTabWidget(parent)
{
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        // A listener that disables the current tab makes Qt choose another one at once; the
        // events must not run inside themselves (their locks do not nest), so that change is
        // told once the first telling is over.
        if (m_firing) {
            QMetaObject::invokeMethod(
                this, [this] { tell(currentIndex()); }, Qt::QueuedConnection);
            return;
        }
        tell(index);
    });
}

void XTabWidget::tell(int index)
{
    if (index < 0)
        return;
    m_firing = true;
    currentIndexChanged.fire(index);
    if (auto* panel = qobject_cast<zem::XPanel*>(widget(index)))
        currentPanelChanged.fire(panel);
    m_firing = false;
}

int XTabWidget::add_panel(zem::XPanel* panel, const QString& text, const QString& iconPath)
{
    return iconPath.isEmpty() ? addTab(panel, text) : addTab(panel, QIcon(iconPath), text);
}

void XTabWidget::enable_panel(zem::XPanel* panel, bool enabled)
{
    const int index = indexOf(panel);
    if (index >= 0)
        setTabEnabled(index, enabled);
}

bool XTabWidget::is_panel_enabled(zem::XPanel* panel) const
{
    const int index = indexOf(panel);
    return index >= 0 && isTabEnabled(index);
}

zem::XPanel* XTabWidget::current_panel() const
{
    return qobject_cast<zem::XPanel*>(currentWidget());
}

void XTabWidget::set_current_panel(zem::XPanel* panel)
{
    setCurrentWidget(panel);
}

} // namespace zemFinder
