#include "XTreeFilterProxy.h"

#include "Logger.h"
#include "XFormat.h"
#include "XLang.h"

#include <QFileSystemModel>

namespace zem {

namespace {
// The file-system model's columns.
constexpr int kColumnName = 0;
constexpr int kColumnSize = 1;
constexpr int kColumnType = 2;
constexpr int kColumnDate = 3;

QString typeText(const QFileInfo& file)
{
    if (file.isDir())
        return xt("Folder");
    const QString suffix = file.suffix();
    return suffix.isEmpty() ? xt("File") : xprintF(xt("$ File"), suffix);
}
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
    if (role == Qt::DisplayRole && index.column() > kColumnName && index.column() <= kColumnDate) {
        const QFileInfo file = m_fs->fileInfo(mapToSource(index));
        switch (index.column()) {
        case kColumnSize: return XFormat::fileSize(file);
        case kColumnType: return typeText(file);
        default: return XFormat::fileDate(file);
        }
    }
    return QSortFilterProxyModel::data(index, role);
}

QVariant XTreeFilterProxy::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QSortFilterProxyModel::headerData(section, orientation, role);
    switch (section) {
    case kColumnName: return xt("Name");
    case kColumnSize: return xt("Size");
    case kColumnType: return xt("Type");
    case kColumnDate: return xt("Date Modified");
    default: return QSortFilterProxyModel::headerData(section, orientation, role);
    }
}

bool XTreeFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (m_hidden.isEmpty())
        return true;
    const QModelIndex index = m_fs->index(sourceRow, 0, sourceParent);
    return !m_hidden.contains(m_fs->filePath(index));
}

} // namespace zem
