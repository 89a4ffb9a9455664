#include "XTypedComboBox.h"

namespace zem {

XTypedComboBox::XTypedComboBox(QWidget* parent) : QComboBox(parent) {}

void XTypedComboBox::addTypedItem(const QString& text, uint32_t value)
{
    addItem(text, QVariant::fromValue<uint>(value));
}

uint32_t XTypedComboBox::selectedValue(uint32_t defaultValue) const
{
    return currentIndex() < 0 ? defaultValue : currentData().toUInt();
}

bool XTypedComboBox::selectValue(uint32_t value)
{
    const int index = findData(QVariant::fromValue<uint>(value));
    if (index < 0)
        return false;
    setCurrentIndex(index);
    return true;
}

} // namespace zem
