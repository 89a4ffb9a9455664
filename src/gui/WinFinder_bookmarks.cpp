// WinFinder: the bookmarks menu and the add, edit and remove operations behind the menus.
#include "Logger.h"
#include "WinFinder.h"
#include "XLang.h"
#include "XTheme.h"
#include "dia/Bookmarks.h"
#include "dia/DiaBookmark.h"
#include "dia/DiaEditBookmarks.h"
#include "widgets/XAction.h"
#include "widgets/XBox.h"
#include "widgets/XMenu.h"
#include "widgets/XToolsGui.h"
#include "widgets/XTreeViewFiles.h"

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;

namespace {
void log(const QString& text)
{
    Logger::log(text, zem::LOG_PROGRESS);
}
} // namespace

zem::XMenu* WinFinder::create_bookmarks_menu()
{
    const BookmarkList list = Bookmarks::from_tree();
    if (list.isEmpty())
        return nullptr;
    auto* menu = new zem::XMenu(this);
    menu->setToolTipsVisible(true);
    for (const Bookmark& bm : list) {
        zem::XAction* action = menu->createAction(bm.title, false, false, true, 0);
        action->setToolTip(bm.path);
        action->setIcon(zem::XToolsGui::get_file_icon_association(QFileInfo(bm.path)));
        *action = [this, bm] { on_bookmark_chosen(bm); };
    }
    menu->addSeparator();
    *menu->createAction(zem::XTheme::iconPath(QStringLiteral("edit.svg")), xt("Edit Bookmarks"), 0) =
        [this] { on_edit_bookmarks(); };
    return menu;
}

void WinFinder::on_bookmarks()
{
    log(QStringLiteral("WinFinder::on_bookmarks"));
    zem::XMenu* menu = create_bookmarks_menu();
    if (!menu) {
        zem::XBox::info(this, xt("Bookmarks"),
                        xt("There are actually no bookmarks!\nHow to create ?\nContext Menu somewhere\nand select "
                           "add bookmark!"));
        return;
    }
    menu->exec_at_mouse_Pos();
    menu->deleteLater();
}

void WinFinder::on_bookmark_chosen(const Bookmark& bookmark)
{
    log(xprintF(QStringLiteral("WinFinder::on_bookmarks <$> <$>"), bookmark.path, bookmark.title));
    if (m_treeView)
        m_treeView->selectFile(bookmark.path, true);
}

void WinFinder::on_add_bookmark(const QFileInfo& file)
{
    log(xprintF(QStringLiteral("WinFinder::on_add_bookmark, fi <<<$>>>"), file.absoluteFilePath()));
    Bookmark edited;
    if (!DiaBookmark::edit(this, {file.fileName(), file.absoluteFilePath()}, &edited))
        return;
    log(QStringLiteral("WinFinder::on_add_bookmark, aha"));
    Bookmarks::add_bookmark(edited.title, edited.path);
    Bookmarks::save();
}

void WinFinder::on_edit_bookmark(const Bookmark& bookmark)
{
    log(xprintF(QStringLiteral("WinFinder::on_edit_bookmark, path <<<$>>>"), bookmark.path));
    Bookmark edited;
    if (!DiaBookmark::edit(this, bookmark, &edited))
        return;
    log(QStringLiteral("WinFinder::on_edit_bookmark, aha"));
    log(xprintF(QStringLiteral("bm:$"), edited.toString()));
    if (edited.title.trimmed().isEmpty())
        return;
    Bookmarks::set_bookmark(edited);
    Bookmarks::save();
}

void WinFinder::on_remove_bookmark(const QFileInfo& file)
{
    log(xprintF(QStringLiteral("WinFinder::on_remove_bookmark <$>"), file.absoluteFilePath()));
    Bookmarks::remove_bookmark(file.absoluteFilePath());
}

void WinFinder::on_edit_bookmarks()
{
    log(QStringLiteral("WinFinder::on_edit_bookmarks"));
    DiaEditBookmarks::edit_all(this);
}

} // namespace zemFinder
