#pragma once
// The list model of the history editor: its own copy of one history list, one string per row.
// Every change ends with a full reset, so views never see half-done moves. GUI thread only.
#include <QAbstractListModel>
#include <QStringList>

namespace zemFinder {

class ListModelHistory : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ListModelHistory(const QStringList& history, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const QStringList& history() const { return m_history; }
    // The entry at row; empty (and logged) outside the list.
    QString hist_at(int row) const;
    void set_hist_at(int row, const QString& text);
    // Swaps two rows; false, and nothing changes, unless both exist and differ.
    bool swap(int row1, int row2);
    void remove(int row);
    void clear();

private:
    bool in_range(int row) const { return row >= 0 && row < m_history.size(); }

    QStringList m_history;
};

} // namespace zemFinder
