// WinFinder: the tree and the navigation through it (history, up, path field, refresh, root,
// hidden files, tree modes, thumbnail sizes).
#include "History.h"
#include "Logger.h"
#include "WinFinder.h"
#include "WinFinder_NavigationBar.h"
#include "XLang.h"
#include "XNode.h"
#include "XTheme.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XAction.h"
#include "widgets/XButton.h"
#include "widgets/XMenu.h"
#include "widgets/XToolsGui.h"
#include "widgets/XTreeViewFiles.h"
#include "preview/Preview.h"
#include "dir/AbstractPreviewDir.h"
#include "dir/ContextPreviews.h"

#include <QDir>
#include <QLineEdit>
#include <algorithm>
#include <array>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
const std::array<uint32_t, 6> THUMB_SIZES{64, 90, 128, 160, 200, 256};
const QString KEY_THUMB_SIZE = QStringLiteral("thumbSize");
const QString KEY_THUMBS = QStringLiteral("flagThumbs");
}

void WinFinder::navigate_history(bool back)
{
    const QFileInfo file = back ? m_history->get_prev() : m_history->get_next();
    if (file.exists())
        select_without_recording(file);
}

void WinFinder::select_without_recording(const QFileInfo& file)
{
    if (!m_treeView)
        return;
    // The tree tells a new selection at once; one that is already selected, outside the root or
    // hidden by the filter is not told at all. Either way the next selection records again.
    m_historyRecording = false;
    m_treeView->selectFile(file.absoluteFilePath(), false);
    m_historyRecording = true;
}

void WinFinder::on_navi_back()
{
    navigate_history(true);
}

void WinFinder::on_navi_forward()
{
    navigate_history(false);
}

void WinFinder::on_navi_up()
{
    Logger::log(QStringLiteral("WinFinder::on_navi_up"), zem::LOG_PROGRESS);
    if (!m_treeView)
        return;
    const QFileInfo selected = m_treeView->selectedFile();
    if (!selected.exists())
        return;
    const QDir parent(selected.absolutePath());
    // A drive or file-system root is never reached this way.
    if (parent.isRoot() || !parent.exists())
        return;
    m_treeView->selectFile(parent.absolutePath(), true);
}

void WinFinder::on_refresh()
{
    Logger::log(QStringLiteral("WinFinder::on_refresh"), zem::LOG_PROGRESS);
    // Refreshes the current preview; the tree itself follows the file system on its own.
    zem::Preview* current = ContextPreviews::currentPreview();
    if (!current)
        return;
    Logger::log(xprintF(QStringLiteral("WinFinder::on_refresh, prevCurr@$"), current->toString()), zem::LOG_PROGRESS);
    current->refresh();
}

void WinFinder::on_root_changed(const QString& root)
{
    Logger::log(xprintF(QStringLiteral("WinFinder::on_root_changed, is_root:$"), m_treeView && m_treeView->is_root_path()),
                zem::LOG_PROGRESS);
    WinFinderConfig::get().root = root;
    apply_tree_background();
}

void WinFinder::on_hidden_files(bool flag)
{
    Logger::log(xprintF(QStringLiteral("WinFinder::on_hidden_files, flag:$"), flag), zem::LOG_PROGRESS);
    // The stored value is for the next window; several windows share the node, so what this
    // window shows is compared with its own tree, which its searches follow.
    if (zem::XNode* nWin = getNodeWin())
        nWin->setBool(QStringLiteral("flagHiddenFiles"), flag);
    if (!m_treeView || flag == m_treeView->is_hidden_files())
        return;
    if (AbstractPreviewDir* dir = previewDirectory()) {
        dir->set_hidden_files(flag);
        dir->refresh();
    }
    m_treeView->set_hidden_files(flag);
    m_treeView->rebuild_model();
}

void WinFinder::on_hist_state_change()
{
    Logger::log(xprintF(QStringLiteral("WinFinder::on_hist_state_change, hist:$"), m_history->stateText()),
                zem::LOG_PROGRESS);
    if (!m_navigationBar)
        return;
    const uint32_t state = m_history->state();
    const bool known = state != History::NOT_INITIALIZED;
    m_navigationBar->backButton()->setEnabled(known && (state & History::PREV));
    m_navigationBar->forwardButton()->setEnabled(known && (state & History::NEXT));
}

uint32_t WinFinder::next_thumb_size(uint32_t current, bool bigger)
{
    if (bigger) {
        for (uint32_t size : THUMB_SIZES)
            if (size > current)
                return size;
        return current;
    }
    for (auto it = THUMB_SIZES.rbegin(); it != THUMB_SIZES.rend(); ++it)
        if (*it < current)
            return *it;
    return current;
}

bool WinFinder::is_thumb_size(uint32_t size)
{
    return std::find(THUMB_SIZES.begin(), THUMB_SIZES.end(), size) != THUMB_SIZES.end();
}

void WinFinder::on_thumb_size(bool bigger)
{
    // The sizes belong to the directory preview's thumbnail view; without one there is nothing to size.
    AbstractPreviewDir* dir = previewDirectory();
    if (!dir || !dir->can_show_thumbs())
        return;
    const uint32_t current = uint32_t(dir->thumb_size());
    Logger::log(xprintF(QStringLiteral("WinFinder_navigate::on_thumb_size, flagBigger:$, sz:$"), bigger, current),
                zem::LOG_DETAIL);
    m_thumbSize = next_thumb_size(current, bigger);
    Logger::log(xprintF(QStringLiteral("WinFinder_navigate::on_thumb_size, sz now:$"), m_thumbSize), zem::LOG_DETAIL);
    if (zem::XNode* nWin = getNodeWin())
        nWin->setInt(KEY_THUMB_SIZE, m_thumbSize);
    if (m_thumbSize == current)
        return;
    dir->set_thumb_size(int(m_thumbSize));
    if (dir->active_view() == AbstractPreviewDir::VIEW_THUMB)
        dir->refresh();
}

void WinFinder::on_thumbs_toggle(bool thumbs)
{
    AbstractPreviewDir* dir = previewDirectory();
    if (!dir || !dir->can_show_thumbs()) {
        if (m_navigationBar)
            m_navigationBar->show_thumbs_state(false);
        return;
    }
    m_viewBits.set(VIEW_THUMBS, thumbs);
    if (m_navigationBar)
        m_navigationBar->show_thumbs_state(thumbs);
    if (zem::XNode* nWin = getNodeWin())
        nWin->setBool(KEY_THUMBS, thumbs);
    dir->on_active_win_view(thumbs ? AbstractPreviewDir::VIEW_THUMB : AbstractPreviewDir::VIEW_TABLE);
}

void WinFinder::on_key_return()
{
    if (!m_navigationBar || !m_treeView)
        return;
    const QString text = m_navigationBar->pathField()->text();
    Logger::log(xprintF(QStringLiteral("WinFinder_navigate::on_key_return <$>"), text), zem::LOG_PROGRESS);
    m_treeView->selectFile(text, true);
}

zem::XMenu* WinFinder::create_history_menu()
{
    auto* menu = new zem::XMenu(this);
    menu->setToolTipsVisible(true);
    const QList<QFileInfo>& files = m_history->files();
    for (int i = 0; i < files.size(); ++i) {
        const QFileInfo& file = files.at(i);
        const QString name = file.fileName().isEmpty() ? file.absoluteFilePath() : file.fileName();
        zem::XAction* action = menu->createAction(
            uint32_t(i) == m_history->index() ? xprintF(QStringLiteral("*** $ ***"), name) : name, false, false, true,
            200);
        action->setToolTip(file.absoluteFilePath());
        action->setIcon(zem::XToolsGui::get_file_icon_association(file));
        *action = [this, i, file] {
            m_history->setIndex(uint32_t(i));
            select_without_recording(file);
            m_history->compute_state();
        };
    }
    if (!files.isEmpty())
        menu->addSeparator();
    zem::XAction* clear = menu->createAction(zem::xt("Clear History"), false, false, true, 200);
    clear->setIcon(QIcon(zem::XTheme::iconPath(QStringLiteral("delete.svg"))));
    *clear = [this] {
        m_history->reset();
        if (m_treeView)
            m_history->addFile(m_treeView->selectedFile());
    };
    return menu;
}

void WinFinder::show_history_menu()
{
    zem::XMenu* menu = create_history_menu();
    menu->exec_at_mouse_Pos();
    menu->deleteLater();
}

QString WinFinder::tree_mode_name(TreeMode mode)
{
    switch (mode) {
    case NORMAL:
        return QStringLiteral("NORMAL");
    case DETAILS:
        return QStringLiteral("DETAILS");
    case NO_TREE:
        return QStringLiteral("NO_TREE");
    }
    return QStringLiteral("unknown");
}

WinFinder::TreeMode WinFinder::step_tree_mode()
{
    Logger::log(QStringLiteral("WinFinder_setup_panel_find::setup_panel_find, TREE VIEW"), zem::LOG_PROGRESS);
    m_treeMode = m_treeMode == NORMAL ? DETAILS : (m_treeMode == DETAILS ? NO_TREE : NORMAL);
    Logger::log(tree_mode_name(m_treeMode), zem::LOG_PROGRESS);
    if (!m_treeView)
        return m_treeMode;
    switch (m_treeMode) {
    case NORMAL:
        m_treeView->setVisible(true);
        m_treeView->showHeaderDetails(false);
        break;
    case DETAILS:
        m_treeView->setVisible(true);
        m_treeView->showHeaderDetails(true);
        break;
    case NO_TREE:
        m_treeView->setVisible(false);
        break;
    }
    return m_treeMode;
}

void WinFinder::collapse_tree()
{
    if (m_treeView)
        m_treeView->collapse_all_but_root();
}

} // namespace zemFinder
