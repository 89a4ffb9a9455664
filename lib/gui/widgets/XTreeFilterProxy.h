#pragma once
// The proxy between the file-system model and its tree view: hides a set of folders, writes sizes,
// dates, types and column titles the way the rest of the program does (XFormat, xt), and leaves
// sorting to the
// file-system model, which sorts folders before files.
#include <QSet>
#include <QSortFilterProxyModel>

class QFileSystemModel;

namespace zem {

class XTreeFilterProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit XTreeFilterProxy(QFileSystemModel* source, QObject* parent = nullptr);

    // Absolute paths of folders not to show; an empty set shows everything.
    void setHiddenFolders(const QSet<QString>& folders);
    const QSet<QString>& hiddenFolders() const { return m_hidden; }

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Column titles and the type column in the program's language: the file-system model
    // would show Qt's own (English) texts.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QFileSystemModel* m_fs;
    QSet<QString> m_hidden;
};

} // namespace zem
