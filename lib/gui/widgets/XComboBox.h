#pragma once
// An editable combo box whose list is a history: the newest text first, no duplicates.
#include <QComboBox>
#include <QStringList>
#include <QVariant>

namespace zem {

class XComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit XComboBox(QWidget* parent = nullptr);

    // Moves (or puts) text to the top of the list and shows it; empty text is ignored.
    // The list keeps at most maxEntries texts. data (when valid) is kept with the entry as its
    // Qt::UserRole value, replacing what an earlier copy of the text had.
    void add_to_history(const QString& text, int maxEntries = 30, const QVariant& data = QVariant());
    QStringList history() const;
};

} // namespace zem
