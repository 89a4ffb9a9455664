#pragma once
// A combo box of (text, unsigned value) items that answers with the selected value.
#include <QComboBox>
#include <cstdint>

namespace zem {

class XTypedComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit XTypedComboBox(QWidget* parent = nullptr);

    void addTypedItem(const QString& text, uint32_t value);
    // The value of the selected item, or defaultValue when nothing is selected.
    uint32_t selectedValue(uint32_t defaultValue = 0) const;
    // Selects the first item with this value; false when there is none.
    bool selectValue(uint32_t value);
};

} // namespace zem
