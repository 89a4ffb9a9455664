#include "XPanelStackedGlas.h"

#include "XGlassLabel.h"

#include <QStackedLayout>

namespace zem {

XPanelStackedGlas::XPanelStackedGlas(QWidget* parent)
    : QWidget(parent), m_stack(new QStackedLayout(this)), m_glass(new XGlassLabel(this))
{
    m_stack->setStackingMode(QStackedLayout::StackAll);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_glass);
    m_glass->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void XPanelStackedGlas::addBelowGlass(QWidget* widget)
{
    m_stack->insertWidget(m_stack->count() - 1, widget);
    // In StackAll mode the current widget is the one raised on top.
    m_stack->setCurrentWidget(m_glass);
    m_glass->raise();
}

} // namespace zem
