#pragma once
// The table model behind the results table: the plain file list of a file search ("basic mode")
// or the results of a content search, in five columns (Name, Size, Date, Hits, Path).
// The owning panel sets the row count when it hands over a list. GUI thread only.
#include "find/FileResult.h"

#include <QFileInfo>
#include <QStandardItemModel>
#include <vector>

namespace zemFinder {

class FileResultModel : public QStandardItemModel {
public:
    enum Column { COL_NAME = 0, COL_SIZE, COL_DATE, COL_HITS, COL_PATH, COLUMN_COUNT };

    explicit FileResultModel(QObject* parent = nullptr);

    void setResults(std::vector<FileResult>&& results);
    void setResultsSimple(std::vector<QFileInfo>&& files);
    bool isBasicMode() const { return m_basic; }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Selectable, never editable: a result names a file, it is not a place to rename it.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    void refreshAll();

    const FileResult& fileResultFromRow(int row) const;
    QFileInfo fromRow(int row) const;
    // The hits of all rows; 64 bits, as a large search may pass 2^32.
    quint64 hits() const;
    int listSize() const { return m_basic ? int(m_files.size()) : int(m_results.size()); }

private:
    QVariant display(int row, int column) const;
    const QFileInfo* fileAt(int row) const;

    bool m_basic = false;
    std::vector<QFileInfo> m_files;
    std::vector<FileResult> m_results;
    // Sizes and modification times (ms) of the rows as the table shows them, filled by the first
    // sort that needs them.
    std::vector<qint64> m_sizeKeys;
    std::vector<qint64> m_dateKeys;
};

} // namespace zemFinder
