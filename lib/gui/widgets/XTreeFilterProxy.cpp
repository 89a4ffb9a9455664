#include "XTreeFilterProxy.h"

#include "XFormat.h"

#include <QFileSystemModel>

namespace zem {

namespace {
// The file-system model's columns.
constexpr int kColumnSize = 1;
constexpr int kColumnDate = 3;
} // namespace

XTreeFilterProxy::XTreeFilterProxy(QFileSystemModel* source, QObject* parent)
    : QSortFilterProxyModel(parent), m_fs(source)
{
    setSourceModel(source);
}

void XTreeFilterProxy::setHiddenFolders(const QSet<QString>& folders)
{
    m_hidden = folders;
    invalidateFilter();
}

void XTreeFilterProxy::sort(int column, Qt::SortOrder order)
{
    // Without a sort column of its own the proxy keeps the source's order: folders first.
    m_fs->sort(column, order);
}

QVariant XTreeFilterProxy::data(const QModelIndex& index, int role) const
{
    if (role == Qt::DisplayRole && (index.column() == kColumnSize || index.column() == kColumnDate)) {
        const QFileInfo file = m_fs->fileInfo(mapToSource(index));
        return index.column() == kColumnSize ? XFormat::fileSize(file) : XFormat::fileDate(file);
    }
    return QSortFilterProxyModel::data(index, role);
}

bool XTreeFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (m_hidden.isEmpty())
        return true;
    const QModelIndex index = m_fs->index(sourceRow, 0, sourceParent);
    return !m_hidden.contains(m_fs->filePath(index));
}

} // namespace zem
