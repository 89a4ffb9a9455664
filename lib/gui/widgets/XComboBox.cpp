#include "XComboBox.h"

namespace zem {

XComboBox::XComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    // The history is ordered by add_to_history alone.
    setInsertPolicy(QComboBox::NoInsert);
    // A long history entry must not widen the window: the box asks for a few characters and
    // takes what its layout gives it.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(4);
}

void XComboBox::add_to_history(const QString& text, int maxEntries, const QVariant& data)
{
    if (text.isEmpty())
        return;
    QVariant kept = data;
    for (int i = count() - 1; i >= 0; --i)
        if (itemText(i) == text) {
            if (!kept.isValid())
                kept = itemData(i);
            removeItem(i);
        }
    insertItem(0, text, kept);
    while (count() > qMax(1, maxEntries))
        removeItem(count() - 1);
    setCurrentIndex(0);
}

QStringList XComboBox::history() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << itemText(i);
    return out;
}

} // namespace zem
