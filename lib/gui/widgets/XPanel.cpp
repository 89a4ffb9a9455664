#include "XPanel.h"

#include "XButton.h"
#include "XComboBox.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>

namespace zem {

XPanel::XPanel(bool vertical, QWidget* parent)
    : QWidget(parent), m_layout(new QBoxLayout(vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(2);
}

bool XPanel::isVertical() const
{
    return m_layout->direction() == QBoxLayout::TopToBottom;
}

void XPanel::addWidgetTo(QWidget* widget, int stretch)
{
    if (widget)
        m_layout->addWidget(widget, stretch);
}

void XPanel::addStretch(int stretch)
{
    m_layout->addStretch(stretch);
}

void XPanel::addSpacing(int pixels)
{
    m_layout->addSpacing(pixels);
}

XPanel* XPanel::createPanelHorizontal()
{
    return add(new XPanel(false, this));
}

XPanel* XPanel::createPanelVertical()
{
    return add(new XPanel(true, this));
}

XButton* XPanel::createButtonImageIcon(const QString& iconPath, const QString& tooltip, int size)
{
    auto* button = add(new XButton(this));
    button->setIcon(QIcon(iconPath));
    button->setIconSize(QSize(size, size));
    button->setToolTip(tooltip);
    button->setAutoRaise(true);
    return button;
}

QLabel* XPanel::createLabel(const QString& text)
{
    return add(new QLabel(text, this));
}

QLineEdit* XPanel::createLineEdit(const QString& text)
{
    return add(new QLineEdit(text, this));
}

XComboBox* XPanel::createComboBox()
{
    return add(new XComboBox(this));
}

QCheckBox* XPanel::createCheckBox(const QString& text, bool checked)
{
    auto* box = add(new QCheckBox(text, this));
    box->setChecked(checked);
    return box;
}

void XPanel::set_args(int margin, int spacing)
{
    setMargins(margin, margin, margin, margin);
    setSpacing(spacing);
}

void XPanel::setMargins(int left, int top, int right, int bottom)
{
    m_layout->setContentsMargins(left, top, right, bottom);
}

void XPanel::setSpacing(int spacing)
{
    m_layout->setSpacing(spacing);
}

} // namespace zem
