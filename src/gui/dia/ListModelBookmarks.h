#pragma once
// The list model of the bookmarks editor: its own copy of the bookmarks, shown by title with the
// desktop's icon of the path. Every change ends with a full reset. GUI thread only.
#include "Bookmarks.h"

#include <QAbstractListModel>

namespace zemFinder {

class ListModelBookmarks : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ListModelBookmarks(const BookmarkList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const BookmarkList& list() const { return m_list; }
    // Out of range: logged, an empty bookmark (or nothing set).
    Bookmark bmark_at(int row) const;
    void set_bmark_at(int row, const Bookmark& bookmark);
    // Does nothing unless both rows are valid and different.
    void swap(int row1, int row2);
    bool delete_row(int row);
    void delete_all();

private:
    bool valid(int row) const { return row >= 0 && row < m_list.size(); }

    BookmarkList m_list;
};

} // namespace zemFinder
