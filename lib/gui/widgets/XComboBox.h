#pragma once
// An editable combo box whose list is a history: the newest text first, no duplicates.
#include <QComboBox>
#include <QStringList>

namespace zem {

class XComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit XComboBox(QWidget* parent = nullptr);

    // Moves (or puts) text to the top of the list and shows it; empty text is ignored.
    // The list keeps at most maxEntries texts.
    void add_to_history(const QString& text, int maxEntries = 30);
    QStringList history() const;
};

} // namespace zem
