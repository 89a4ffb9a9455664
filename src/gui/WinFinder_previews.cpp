// WinFinder: the right-hand preview container with its context "CONTEXT-MAIN", the directory
// preview's events, the focus-based choice and cycling of previews, and the forced view.
#include "Logger.h"
#include "preview/PreviewAscii.h"
#include "preview/PreviewHex.h"
#include "WinDetails.h"
#include "WinFinder.h"
#include "WinFinder_FindArea.h"
#include "XLang.h"
#include "XNode.h"
#include "XTools.h"
#include "PanelResults.h"
#include "dir/AbstractPreviewDir.h"
#include "dir/ContextPreviews.h"
#include "dir/XContainerPreviews.h"
#include "gui/config/ConfigZemFinder.h"
#include "preview/viewText/XTextView.h"
#include "widgets/XAction.h"
#include "widgets/XMenu.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XToolsGui.h"
#include "widgets/XTreeViewFiles.h"

#include <QPointer>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
const char* SOURCE = "src/gui/WinFinder";
const QString NODE_PREVIEWS = QStringLiteral("Previews");
} // namespace

void WinFinder::setup_previews()
{
    const WinFinderConfig& config = WinFinderConfig::get();
    m_containerPreviews = m_stacked->add(new XContainerPreviews(m_stacked));
    m_containerPreviews->setObjectName(QStringLiteral("container_preview"));
    m_previewArea = m_containerPreviews;
    m_stacked->setCurrentWidget(m_previewArea);
    m_containerPreviews->addStandardPreviews();

    m_contextMain = std::make_unique<ContextPreviews>(QStringLiteral("CONTEXT-MAIN"));
    m_contextMain->ini(m_treeView, m_containerPreviews);
    m_previewContexts.push_back(m_contextMain.get());

    m_containerPreviews->setStandAloneListener([this](const zem::Preview* p) { open_stand_alone(p->file_info()); });
    m_treeView->doubleClickListener.add([this](const QFileInfo& fi) {
        if (!fi.isDir())
            open_stand_alone(fi);
    });
    for (zem::Preview* p : m_containerPreviews->allPreviews())
        apply_preview_settings(p);

    AbstractPreviewDir* dir = m_containerPreviews->previewDirectory();
    if (!dir) {
        zem::nullPointerHandling(SOURCE, __LINE__, "previewDir == NULL");
        return;
    }
    dir->set_text_file_extensions(config.TextFiles);
    zem::XNode* nWin = getNodeWin();
    dir->set_hidden_files(nWin && nWin->isBool(QStringLiteral("flagHiddenFiles"), false));
    // A stored size outside the list (an edited node) is stepped onto it.
    const auto stored = uint32_t(nWin ? nWin->getInt(QStringLiteral("thumbSize"), 128) : 128);
    m_thumbSize = is_thumb_size(stored) ? stored : 128;
    dir->set_thumb_size(int(m_thumbSize));
    if (ContextPreviews* context = dir->context())
        m_previewContexts.push_back(context);

    dir->entered.add([](const QFileInfo&) {});
    dir->selected.add([](const QFileInfo&) {});
    dir->doubleClicked.add([this](const QFileInfo& fi) {
        if (fi.isDir()) {
            if (m_treeView)
                m_treeView->selectFile(fi.absoluteFilePath(), true);
            return;
        }
        open_stand_alone(fi);
    });
    dir->contextMenu.add([this, dir](const QFileInfo& fi) { on_contextMenu_rightSide(fi, dir, dir->context()); });
    dir->willAppear.add([this](zem::Preview* p) { apply_preview_settings(p); });
    if (nWin && nWin->isBool(QStringLiteral("flagThumbs"), false))
        on_thumbs_toggle(true);
}

void WinFinder::setup_previews_restore()
{
    zem::XNode* nWin = getNodeWin();
    if (m_containerPreviews && nWin)
        m_containerPreviews->from_node(nWin->getCreateNode(NODE_PREVIEWS));
}

void WinFinder::apply_preview_settings(zem::Preview* preview)
{
    const WinFinderConfig& config = WinFinderConfig::get();
    if (auto* ascii = qobject_cast<zem::PreviewAscii*>(preview)) {
        ascii->set_font(zem::XToolsGui::getMonoFont(int(config.fontSize)));
        ascii->set_auto_wrap(config.flagAutoWrap);
        ascii->set_ruler(config.flagRuler);
        ascii->set_line_info_pos(config.li_pos);
    } else if (auto* hex = qobject_cast<zem::PreviewHex*>(preview)) {
        hex->set_font_size(int(config.fontSizeHexView));
    }
}

AbstractPreviewDir* WinFinder::previewDirectory() const
{
    return m_containerPreviews ? m_containerPreviews->existingPreviewDirectory() : nullptr;
}

void WinFinder::add_preview_context(ContextPreviews* context)
{
    if (!context)
        return;
    // The results panel's context goes second, before the directory preview's.
    const auto pos = m_previewContexts.empty() ? m_previewContexts.end() : m_previewContexts.begin() + 1;
    m_previewContexts.insert(pos, context);
}

ContextPreviews* WinFinder::preview_context_of(QWidget* widget) const
{
    // A preview inside a context's container counts as well as the context's list itself, so the
    // key works wherever the user clicked last.
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        for (ContextPreviews* context : m_previewContexts)
            if (context->is_widget(w) || w == static_cast<QWidget*>(context->container()))
                return context;
        if (w == this)
            break;
    }
    return nullptr;
}

void WinFinder::select_preview(QWidget* widget, const QString& type)
{
    if (!widget) {
        zem::nullPointerHandling(SOURCE, __LINE__, "widget == NULL");
        return;
    }
    if (ContextPreviews* context = preview_context_of(widget)) {
        context->set_preview(type);
        return;
    }
    Logger::log(QStringLiteral("WinFinder::select_preview - no contextFocus"), zem::LOG_PROGRESS);
}

void WinFinder::key_cycle_previews(QWidget* widget)
{
    if (!widget) {
        zem::nullPointerHandling(SOURCE, __LINE__, "widget == NULL");
        return;
    }
    // The walk stops at a text view: the key belongs to it there (a content result shows its
    // marks in it, which no other preview of the context could show).
    for (QWidget* w = widget; w && w != this; w = w->parentWidget()) {
        for (ContextPreviews* context : m_previewContexts)
            if (context->is_widget(w) || w == static_cast<QWidget*>(context->container())) {
                context->cycle_previews();
                return;
            }
        if (qobject_cast<zem::viewText::XTextView*>(w)) {
            Logger::log(QStringLiteral("WinFinder::key_cycle_previews, TextView-Result"), zem::LOG_PROGRESS);
            return;
        }
    }
    Logger::log(QStringLiteral("WinFinder::select_preview - no contextFocus"), zem::LOG_PROGRESS);
}

void WinFinder::open_stand_alone(const QFileInfo& file)
{
    Logger::log(xprintF(QStringLiteral("WinFinder::on_double_click_file, <<<$>>>"), file.absoluteFilePath()),
                zem::LOG_PROGRESS);
    if (file.isFile())
        WinDetails::open_for(file, this);
}

void WinFinder::open_stand_alone(const FileResult& result)
{
    Logger::log(xprintF(QStringLiteral("WinFinder::on_double_click_file, <<<$>>>"), result.fileInfo.absoluteFilePath()),
                zem::LOG_PROGRESS);
    if (result.fileInfo.isFile())
        WinDetails::open_for(result, m_find->zemFind.contentFilter(), this);
}

void WinFinder::setup_results_events()
{
    PanelResults* panel = panelResults();
    if (!panel || !panel->container()) {
        zem::nullPointerHandling(SOURCE, __LINE__, "component == NULL");
        return;
    }
    panel->container()->setStandAloneListener([this](const zem::Preview* p) { open_stand_alone(p->file_info()); });
    panel->fileDoubleClickListener.add([this](const QFileInfo& file) { open_stand_alone(file); });
    panel->resultDoubleClickListener.add(
        [this](const FileResult& result) { open_stand_alone(result); });
    panel->fileContextListener.add(
        [this, panel](const QFileInfo& file) { on_contextMenu_rightSide(file, nullptr, panel->context()); });
    panel->resultContextListener.add([this](const FileResult& result) { onContextMenu_rightSide_FileResults(result); });
    // A folder among the results is listed in the panel's own preview (made when first needed):
    // its entries get the same menu as the main listing's; a double-click opens a file's details
    // or goes down into a folder.
    const auto connectListing = [this, panel](AbstractPreviewDir* dir) {
        dir->contextMenu.add([this, dir, panel](const QFileInfo& fi) { on_contextMenu_rightSide(fi, dir, panel->context()); });
        dir->doubleClicked.add([this, panel](const QFileInfo& fi) {
            if (!fi.isDir())
                open_stand_alone(fi);
            else if (panel->context())
                panel->context()->select_file(fi);
        });
    };
    if (AbstractPreviewDir* dir = panel->container()->existingPreviewDirectory())
        connectListing(dir);
    else
        panel->container()->directoryPreviewCreated.add(connectListing);
}

void WinFinder::force_view(const QFileInfo& file, bool shift)
{
    Logger::log(xprintF(QStringLiteral("WinFinder_shift_control::on_treeView_selectFile_tree_forceView, <<<$>>>"),
                        file.absoluteFilePath()),
                zem::LOG_PROGRESS);
    if (!m_containerPreviews)
        return;
    zem::PreviewAscii* text = m_containerPreviews->asciiPreview();
    auto* hex = qobject_cast<zem::PreviewHex*>(m_containerPreviews->defaultPreview());
    if (!text || !hex)
        return;
    const WinFinderConfig& config = WinFinderConfig::get();
    zem::Preview* shown = nullptr;
    if (shift) {
        text->set_font(zem::XToolsGui::getMonoFont(int(config.fontSize)));
        text->set_ruler(config.flagRuler);
        text->set_line_info_pos(config.li_pos);
        text->set_auto_wrap(config.flagAutoWrap);
        text->open_file(file);
        shown = text;
    } else {
        hex->set_font_size(int(config.fontSizeHexView));
        hex->open_file(file);
        shown = hex;
    }
    m_containerPreviews->setCurrentWidget(shown->widget_preview());
    if (m_stacked && m_stacked->currentWidget() != m_previewArea)
        m_stacked->setCurrentWidget(m_previewArea);
}

} // namespace zemFinder
