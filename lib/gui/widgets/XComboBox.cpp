#include "XComboBox.h"

namespace zem {

XComboBox::XComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    // The history is ordered by add_to_history alone.
    setInsertPolicy(QComboBox::NoInsert);
}

void XComboBox::add_to_history(const QString& text, int maxEntries)
{
    if (text.isEmpty())
        return;
    for (int i = count() - 1; i >= 0; --i)
        if (itemText(i) == text)
            removeItem(i);
    insertItem(0, text);
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
