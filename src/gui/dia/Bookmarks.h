#pragma once
// The process-wide bookmark store: named shortcuts to files and folders, kept in
// "zemFind-bookmarks.bin" in the configuration directory. The path is the key: the store never
// holds two bookmarks with the same path. Created on first use, lives until the process ends.
// GUI thread only (the menus, the dialogs and the exit handler use it).
#include <QList>
#include <QString>

namespace zem {
class XTree;
}

namespace zemFinder {

struct Bookmark {
    QString title;
    QString path;

    QString toString() const { return title + QLatin1Char(',') + path; }
    bool operator==(const Bookmark& other) const { return title == other.title && path == other.path; }
};
using BookmarkList = QList<Bookmark>;

class Bookmarks {
public:
    static zem::XTree& instance();
    static QString file_path();

    // Replaces the store by the file's content. A missing file leaves it empty; a damaged one is
    // kept as "<name>.bad" and the store starts empty. True when the file was read.
    static bool load();
    // Writes the store atomically; false (logged) when it could not be written.
    static bool save();

    static bool contains(const QString& path);
    // The stored bookmark of path; an empty one when there is none.
    static Bookmark bookmark_of(const QString& path);
    // Appends at the end unless the path is present already.
    static void add_bookmark(const QString& title, const QString& path);
    // Removes in memory only: the next save or the end of the run persists it.
    static void remove_bookmark(const QString& path);
    // Renames the stored bookmark that has bookmark.path.
    static void set_bookmark(const Bookmark& bookmark);

    static BookmarkList from_tree();
    // Replaces the stored list by list, in order.
    static void to_tree(const BookmarkList& list);
};

} // namespace zemFinder
