#include "XTypedComboBox.h"

#include "Logger.h"

namespace zem {

XTypedComboBox::XTypedComboBox(QWidget* parent) : QComboBox(parent) {}

void XTypedComboBox::addTypedItem(const QString& text, uint32_t value)
{
    addItem(text, QVariant::fromValue<uint>(value));
}

uint32_t XTypedComboBox::selectedValue(uint32_t defaultValue) const
{
    if (currentIndex() < 0)
        return defaultValue;
    // An entry added without a typed value would read as 0, a valid value of most choosers.
    bool ok = false;
    const uint value = currentData().toUInt(&ok);
    if (!ok) {
        Logger::log(xprintF(QStringLiteral("XTypedComboBox_inline::selected, index:$ - type problem"), currentIndex()),
                    LOG_ERROR);
        return defaultValue;
    }
    return value;
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
