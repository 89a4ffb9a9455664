#include "XTreeFilterProxy.h"

#include <QFileSystemModel>

namespace zem {

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

bool XTreeFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (m_hidden.isEmpty())
        return true;
    const QModelIndex index = m_fs->index(sourceRow, 0, sourceParent);
    return !m_hidden.contains(m_fs->filePath(index));
}

} // namespace zem
