#include "Bookmarks.h"

#include "Logger.h"
#include "XTools.h"
#include "XTree.h"

#include <QFile>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
const QString KEY_BOOKMARKS = QStringLiteral("bookmarks");
const QString KEY_TITLE = QStringLiteral("title");
const QString KEY_PATH = QStringLiteral("path");

void log(const QString& text)
{
    Logger::log(text, zem::LOG_PROGRESS);
}
} // namespace

zem::XTree& Bookmarks::instance()
{
    static zem::XTree tree;
    return tree;
}

QString Bookmarks::file_path()
{
    return zem::XTools::get_absolute_config_file_path(QStringLiteral("zemFind-bookmarks.bin"));
}

bool Bookmarks::load()
{
    log(QStringLiteral("Bookmarks::load"));
    const QString path = file_path();
    if (!QFile::exists(path)) {
        log(QStringLiteral("Bookmarks::load - empty ?"));
        return false;
    }
    zem::XTree loaded;
    if (!loaded.load_from_compressed_file(path, nullptr)) {
        // Kept aside so that the next save cannot overwrite what may still be rescued.
        const QString bad = path + QStringLiteral(".bad");
        QFile::remove(bad);
        QFile::rename(path, bad);
        Logger::log(xprintF(QStringLiteral("Bookmarks::load, damaged store kept as <<<$>>>"), bad), zem::LOG_ERROR);
        instance().clear();
        return false;
    }
    log(QStringLiteral("Bookmarks::load - ok"));
    instance() = std::move(loaded);
    return true;
}

bool Bookmarks::save()
{
    log(QStringLiteral("Bookmarks::save"));
    if (!instance().save_as_compressed_file(file_path(), nullptr)) {
        Logger::log(xprintF(QStringLiteral("Bookmarks::save <<<$>>>"), file_path()), zem::LOG_ERROR);
        return false;
    }
    return true;
}

bool Bookmarks::contains(const QString& path)
{
    return !bookmark_of(path).path.isEmpty();
}

Bookmark Bookmarks::bookmark_of(const QString& path)
{
    if (path.isEmpty())
        return {};
    for (const Bookmark& bm : from_tree())
        if (bm.path == path)
            return bm;
    return {};
}

void Bookmarks::add_bookmark(const QString& title, const QString& path)
{
    if (contains(path)) {
        log(xprintF(QStringLiteral("Bookmarks::add_bookmark, '$' => '$', already added !"), title, path));
        return;
    }
    log(xprintF(QStringLiteral("Bookmarks::add_bookmark, '$' => '$'"), title, path));
    BookmarkList list = from_tree();
    list.append({title, path});
    to_tree(list);
}

void Bookmarks::remove_bookmark(const QString& path)
{
    BookmarkList list = from_tree();
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).path == path) {
            list.removeAt(i);
            to_tree(list);
            return;
        }
    }
    log(xprintF(QStringLiteral("Bookmarks::remove_bookmark, '$' ?"), path));
}

void Bookmarks::set_bookmark(const Bookmark& bookmark)
{
    BookmarkList list = from_tree();
    for (Bookmark& bm : list) {
        if (bm.path == bookmark.path) {
            log(QStringLiteral("Bookmarks::set_bookmark, got the right tree"));
            bm.title = bookmark.title;
            to_tree(list);
            return;
        }
    }
}

BookmarkList Bookmarks::from_tree()
{
    BookmarkList list;
    const zem::XTree::TreeArray* array = instance().getTreeArray(KEY_BOOKMARKS);
    if (array)
        for (const auto& tree : *array)
            if (tree)
                list.append({tree->getString(KEY_TITLE), tree->getString(KEY_PATH)});
    if (list.isEmpty())
        log(QStringLiteral("Bookmarks::from_tree - empty"));
    return list;
}

void Bookmarks::to_tree(const BookmarkList& list)
{
    instance().remove(KEY_BOOKMARKS);
    zem::XTree::TreeArray& array = instance().treeArray(KEY_BOOKMARKS);
    for (const Bookmark& bm : list) {
        auto tree = std::make_unique<zem::XTree>();
        tree->setString(KEY_TITLE, bm.title);
        tree->setString(KEY_PATH, bm.path);
        array.push_back(std::move(tree));
    }
}

} // namespace zemFinder
