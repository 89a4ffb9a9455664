// WinFinder: the context menus of the tree, of the directory listing and file-search results
// (the right side), and of content results. Every entry keeps its own copy of what it acts on.
#include "Logger.h"
#include "PanelResults.h"
#include "WinFinder.h"
#include "WinFinder_FindArea.h"
#include "WinProperties.h"
#include "XLang.h"
#include "XTheme.h"
#include "dia/Bookmarks.h"
#include "dir/AbstractPreviewDir.h"
#include "dir/ContextPreviews.h"
#include "dir/XContainerPreviews.h"
#include "gui/apps/DesktopOpeners.h"
#include "gui/config/ConfigZemFinder.h"
#include "preview/Preview.h"
#include "widgets/XAction.h"
#include "widgets/XClipboard.h"
#include "widgets/XMenu.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XTreeViewFiles.h"

#include <QDir>
#include <QIcon>
#include <algorithm>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;

namespace {
void log(const QString& text)
{
    Logger::log(text, zem::LOG_PROGRESS);
}

zem::XAction* entry(zem::XMenu* menu, const QString& text, const char* icon, std::function<void()> fn)
{
    zem::XAction* action = menu->createAction(text, false, false, true, 200);
    if (icon)
        action->setIcon(QIcon(zem::XTheme::iconPath(QLatin1String(icon))));
    *action = std::move(fn);
    return action;
}

void run(zem::XMenu* menu)
{
    if (WinFinder::contextMenuRunner)
        WinFinder::contextMenuRunner(menu);
    else
        menu->exec_at_mouse_Pos();
    menu->deleteLater();
}

bool read_only()
{
    return WinFinderConfig::get().flag_zf_read_only;
}

// The file previews of a container in a fixed order (the container keeps them by address).
std::vector<zem::Preview*> file_previews(XContainerPreviews* container)
{
    std::vector<zem::Preview*> found;
    if (!container)
        return found;
    for (zem::Preview* p : container->allPreviews())
        if (!qobject_cast<AbstractPreviewDir*>(p))
            found.push_back(p);
    std::sort(found.begin(), found.end(), [](zem::Preview* a, zem::Preview* b) { return xt(a->name()) < xt(b->name()); });
    return found;
}

// Makes dir show folder in its summary, so that its count is the count of folder.
void deep_info_of(AbstractPreviewDir* dir, const QFileInfo& folder)
{
    const QString path = folder.absoluteFilePath();
    if (ContextPreviews* own = dir->context()) {
        if (own->file().absoluteFilePath() != path)
            own->select_file(folder);
    } else if (dir->file_info().absoluteFilePath() != path) {
        dir->open_file(folder);
    }
    dir->onDeepInfo();
}
} // namespace

std::function<void(zem::XMenu*)> WinFinder::contextMenuRunner;

void WinFinder::select_in_tree(const QFileInfo& file)
{
    if (!m_treeView)
        return;
    if (!m_treeView->selectFile(file.absoluteFilePath(), true) && !file.isDir())
        m_treeView->selectFile(file.absolutePath(), true);
}

void WinFinder::view_with(ContextPreviews* context, zem::Preview* p, const QFileInfo& file)
{
    log(xprintF(QStringLiteral("WinFinder::view_with, <<<$>>> preview '$'"), file.absoluteFilePath(), p->type()));
    XContainerPreviews* container = context ? context->container() : nullptr;
    if (!container)
        return;
    container->cancelShown();
    p->open_file(file); // a file it cannot load shows as such, as when cycling
    container->setCurrentWidget(p->widget_preview());
    // Cycling goes on from what the user now sees.
    context->follow(file, p);
    show_container_of(context);
}

void WinFinder::show_container_of(ContextPreviews* context)
{
    PanelResults* panel = panelResults();
    if (context == m_contextMain.get() && m_stacked && m_stacked->currentWidget() != m_previewArea)
        m_stacked->setCurrentWidget(m_previewArea);
    else if (panel && context == panel->context())
        panel->showPage(PanelResults::PAGE_PREVIEW);
}

void WinFinder::on_deep_view(const QFileInfo& folder)
{
    log(xprintF(QStringLiteral("WinFinder::on_deep_view, fi:$"), folder.absoluteFilePath()));
    if (m_stacked && m_stacked->currentWidget() != m_previewArea)
        m_stacked->setCurrentWidget(m_previewArea);
    AbstractPreviewDir* dir = previewDirectory();
    const QString path = folder.absoluteFilePath();
    if (!dir || dir->file_info().absoluteFilePath() != path) {
        // Shown as a tree selection would show it; a folder the tree hides is shown all the same.
        if (m_treeView)
            m_treeView->selectFile(path, false);
        dir = previewDirectory();
        if ((!dir || dir->file_info().absoluteFilePath() != path) && m_contextMain) {
            m_contextMain->select_file(folder);
            dir = previewDirectory();
        }
    }
    if (dir)
        deep_info_of(dir, folder);
}

namespace {
// The entries every menu shares, each a small step of the menus below.
struct MenuBuilder {
    WinFinder* win;
    zem::XMenu* menu;
    QFileInfo file;

    void view_with(ContextPreviews* context)
    {
        const std::vector<zem::Preview*> previews = file_previews(context ? context->container() : nullptr);
        if (previews.empty())
            return;
        zem::XMenu* sub = menu->createSubMenu(xt("View with ..."));
        // Qt's default tooltip would cut the dots off the translated text.
        sub->menuAction()->setToolTip(sub->title());
        for (zem::Preview* p : previews) {
            WinFinder* w = win;
            const QFileInfo f = file;
            entry(sub, xt(p->name()), nullptr, [w, context, p, f] { w->view_with(context, p, f); });
        }
    }
    void tree()
    {
        WinFinder* w = win;
        const QFileInfo f = file;
        entry(menu, xt("Tree"), "tree3.svg", [w, f] { w->select_in_tree(f); });
    }
    void open_with()
    {
        win->create_open_with_app(menu, file);
        WinFinder* w = win;
        const QFileInfo f = file;
        entry(menu, xt("Open With Default Program"), nullptr,
              [w, f] { DesktopOpeners::open_with_default_program(f, w); });
    }
    void rename_delete()
    {
        if (read_only())
            return;
        menu->addSeparator();
        WinFinder* w = win;
        const QFileInfo f = file;
        entry(menu, xt("Rename"), "edit.svg", [w, f] { w->rename_file(f); });
        entry(menu, xt("Delete"), "delete.svg", [w, f] { w->delete_file(f); });
    }
    void outside()
    {
        WinFinder* w = win;
        const QFileInfo f = file;
        entry(menu, xt("Window"), "window.svg", [w, f] { w->on_open_new_win_here(f); });
        entry(menu, xt("File Manager"), "fileManager1.svg", [w, f] { DesktopOpeners::show_in_file_manager(f, w); });
        if (DesktopOpeners::has_terminal())
            entry(menu, xt("Terminal"), nullptr, [w, f] { DesktopOpeners::open_terminal_here(f, w); });
    }
    void copy_path()
    {
        const QString path = QDir::toNativeSeparators(file.absoluteFilePath());
        entry(menu, xt("Copy Path to Clipboard"), "copy.svg", [path] { zem::XClipboard::setText(path); });
    }
    void bookmarks()
    {
        WinFinder* w = win;
        const QFileInfo f = file;
        const QString path = file.absoluteFilePath();
        if (Bookmarks::contains(path)) {
            entry(menu, xt("Edit Bookmark"), "bookmark.svg", [w, path] { w->on_edit_bookmark(Bookmarks::bookmark_of(path)); });
            entry(menu, xt("Remove Bookmark"), nullptr, [w, f] { w->on_remove_bookmark(f); });
        } else {
            entry(menu, xt("Add Bookmark"), "bookmark.svg", [w, f] { w->on_add_bookmark(f); });
        }
    }
    void properties()
    {
        const QFileInfo f = file;
        entry(menu, xt("Properties"), nullptr, [f] {
            log(xprintF(QStringLiteral("WinFinder::on_open_stand_alone_preview, ** <<<$>>>"), f.absoluteFilePath()));
            WinProperties::show_for(f);
        });
    }
    void view()
    {
        WinFinder* w = win;
        const QFileInfo f = file;
        entry(menu, xt("View"), "show.svg", [w, f] {
            log(xprintF(QStringLiteral("WinFinder::on_open_stand_alone_preview, * <<<$>>>, fResult:$"),
                        f.absoluteFilePath(), QString()));
            w->open_stand_alone(f);
        });
    }
};
} // namespace

zem::XMenu* WinFinder::create_menu_tree(const QFileInfo& file)
{
    log(xprintF(QStringLiteral("WinFinder::on_contextMenu_treeView, fi:$"), file.absoluteFilePath()));
    auto* menu = new zem::XMenu(this);
    menu->setToolTipsVisible(true);
    MenuBuilder b{this, menu, file};
    if (file.isFile()) {
        b.view();
        b.view_with(m_contextMain.get());
        menu->addSeparator();
    }
    if (!file.isDir())
        b.open_with();
    b.rename_delete();
    menu->addSeparator();
    b.outside();
    menu->addSeparator();
    b.copy_path();
    menu->addSeparator();
    b.bookmarks();
    menu->addSeparator();
    if (file.isDir()) {
        entry(menu, xt("Deep Info"), "calc.svg", [this, file] {
            log(QStringLiteral("WinFinder::on_contextMenu_treeView - deep view"));
            on_deep_view(file);
        })->setToolTip(xt("Count files recursively"));
    } else if (file.isFile()) {
        b.properties();
    }
    return menu;
}

void WinFinder::on_contextMenu_treeView(const QFileInfo& file)
{
    if (file.filePath().isEmpty())
        return;
    zem::XMenu* menu = create_menu_tree(file);
    run(menu);
}

zem::XMenu* WinFinder::create_menu_right_side(const QFileInfo& file, AbstractPreviewDir* dir, ContextPreviews* context)
{
    log(xprintF(QStringLiteral("WinFinder::on_contextMenu_rightSide, fi:$"), file.absoluteFilePath()));
    auto* menu = new zem::XMenu(this);
    menu->setToolTipsVisible(true);
    MenuBuilder b{this, menu, file};
    if (file.isFile()) {
        b.view();
        b.view_with(context);
    }
    b.tree();
    if (!file.isDir()) {
        menu->addSeparator();
        b.open_with();
    }
    b.rename_delete();
    menu->addSeparator();
    b.outside();
    menu->addSeparator();
    b.copy_path();
    menu->addSeparator();
    b.bookmarks();
    // Without a listing of its own, the count runs in the directory preview of the list's
    // container, which shows the folder once it is selected there.
    const bool listing = dir != nullptr;
    if (!dir && context && context->container())
        dir = context->container()->existingPreviewDirectory();
    if (file.isDir() && dir) {
        menu->addSeparator();
        entry(menu, xt("Deep Info"), "calc.svg", [this, dir, listing, context, file] {
            log(QStringLiteral("WinFinder::on_contextMenu_rightSide - prev dir, deep info"));
            if (!listing && context) {
                if (context->file().absoluteFilePath() != file.absoluteFilePath())
                    context->select_file(file);
                show_container_of(context);
            }
            deep_info_of(dir, file);
        })->setToolTip(xt("Count files recursively"));
    } else if (file.isFile()) {
        b.properties();
    }
    return menu;
}

void WinFinder::on_contextMenu_rightSide(const QFileInfo& file, AbstractPreviewDir* dir, ContextPreviews* context)
{
    zem::XMenu* menu = create_menu_right_side(file, dir, context);
    run(menu);
}

zem::XMenu* WinFinder::create_menu_results(const FileResult& result)
{
    log(xprintF(QStringLiteral("WinFinder::onContextMenu_rightSide_FileResults, fResult:$"), result.toString()));
    const QFileInfo file = result.fileInfo;
    auto* menu = new zem::XMenu(this);
    menu->setToolTipsVisible(true);
    MenuBuilder b{this, menu, file};
    if (file.isFile()) {
        // The entry keeps its own copy of the result, marks included.
        entry(menu, xt("View"), "show.svg", [this, result] {
            log(xprintF(QStringLiteral("WinFinder::on_open_stand_alone_preview, * <<<$>>>, fResult:$"),
                        result.fileInfo.absoluteFilePath(), result.toString()));
            open_stand_alone(result);
        });
    }
    b.tree();
    menu->addSeparator();
    b.outside();
    menu->addSeparator();
    b.open_with();
    b.rename_delete();
    menu->addSeparator();
    b.copy_path();
    menu->addSeparator();
    b.bookmarks();
    if (file.isFile()) {
        menu->addSeparator();
        b.properties();
    }
    return menu;
}

void WinFinder::onContextMenu_rightSide_FileResults(const FileResult& result)
{
    zem::XMenu* menu = create_menu_results(result);
    run(menu);
}

} // namespace zemFinder
