#include "ListModelBookmarks.h"

#include "Logger.h"
#include "XTheme.h"
#include "widgets/XToolsGui.h"

#include <QApplication>
#include <QFileInfo>
#include <QPalette>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

ListModelBookmarks::ListModelBookmarks(const BookmarkList& list, QObject* parent)
    : QAbstractListModel(parent), m_list(list)
{
}

int ListModelBookmarks::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list.size();
}

QVariant ListModelBookmarks::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !valid(index.row()))
        return {};
    const Bookmark& bm = m_list.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return bm.title;
    case Qt::ToolTipRole:
        return bm.path;
    case Qt::DecorationRole:
        return zem::XToolsGui::get_file_icon_association(QFileInfo(bm.path));
    case Qt::BackgroundRole:
        // The dark style brings its own row colours.
        if (zem::XTheme::isDark())
            return {};
        return index.row() % 2 == 0 ? QApplication::palette().alternateBase() : QApplication::palette().base();
    default:
        return {};
    }
}

Bookmark ListModelBookmarks::bmark_at(int row) const
{
    if (!valid(row)) {
        Logger::log(xprintF(QStringLiteral("ListModelBookmarks::bmark_at, row:$, range problems 0...$"), row,
                            m_list.size()),
                    zem::LOG_WARN);
        return {};
    }
    return m_list.at(row);
}

void ListModelBookmarks::set_bmark_at(int row, const Bookmark& bookmark)
{
    if (!valid(row)) {
        Logger::log(xprintF(QStringLiteral("ListModelBookmarks::set_bmark_at, row:$, range problems 0...$"), row,
                            m_list.size()),
                    zem::LOG_WARN);
        return;
    }
    beginResetModel();
    m_list[row] = bookmark;
    endResetModel();
}

void ListModelBookmarks::swap(int row1, int row2)
{
    Logger::log(QStringLiteral("ListModelBookmarks::swap"), zem::LOG_DETAIL);
    if (!valid(row1) || !valid(row2) || row1 == row2)
        return;
    beginResetModel();
    m_list.swapItemsAt(row1, row2);
    endResetModel();
}

bool ListModelBookmarks::delete_row(int row)
{
    if (!valid(row)) {
        Logger::log(QStringLiteral("DiaEditBookmarks::delete_row, bounds ?"), zem::LOG_WARN);
        return false;
    }
    beginResetModel();
    m_list.removeAt(row);
    endResetModel();
    return true;
}

void ListModelBookmarks::delete_all()
{
    beginResetModel();
    m_list.clear();
    endResetModel();
}

} // namespace zemFinder
