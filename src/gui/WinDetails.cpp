#include "WinDetails.h"

#include "KernelGUI.h"
#include "Logger.h"
#include "WinFinder.h"
#include "XLang.h"
#include "XNode.h"
#include "XTheme.h"
#include "XTools.h"
#include "config/ConfigZemFinder.h"
#include "find/FileResult.h"
#include "find/XContentFilter.h"
#include "panPreview/PanPreviewHex.h"
#include "panPreview/PanPreviewImg.h"
#include "panPreview/PanPreviewXml.h"
#include "panPreview/PanStats.h"
#include "panPreview/XTabWidget.h"
#include "panPreview/asc/PanPreviewAsc.h"
#include "preview/viewText/XTextView.h"
#include "widgets/XButton.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XToolsGui.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalBlocker>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;

namespace {
const char* SOURCE = "src/gui/WinDetails";
const QString NODE_PREVIEW_ASC = QStringLiteral("PreviewAsc");
const QString KEY_STATE = QStringLiteral("state");
// The first size of a details window, centred on the screen.
constexpr int kWidth = 800;
constexpr int kHeight = 500;
} // namespace

WinDetails::WinDetails(QWidget* parent) : WindowBase(parent)
{
    set_icon(QStringLiteral(":/zf/icons/find3.svg"), 64);
    closeListener.add([this] { on_close(); });
}

WinDetails::~WinDetails()
{
    Logger::log(QStringLiteral("WinDetails::~WinDetails"), zem::LOG_DETAIL);
}

QString WinDetails::shortName() const
{
    return m_file.fileName().isEmpty() ? QStringLiteral("ZF") : m_file.fileName();
}

QString WinDetails::toString() const
{
    return objectName().isEmpty() ? QStringLiteral("WinDetails") : xprintF(QStringLiteral("WinDetails@$"), objectName());
}

WinDetails* WinDetails::open_for(const QFileInfo& file, QWidget* origin)
{
    return open_for(FileResult(zem::find::XRamLayer(), file), zem::find::XContentFilter(), origin);
}

WinDetails* WinDetails::open_for(const FileResult& result, const zem::find::XContentFilter& filter, QWidget* origin)
{
    const QFileInfo& file = result.fileInfo;
    Logger::log(xprintF(QStringLiteral("WinFinder::open_stand_alone_preview, * <<<$>>>, fResult:$"), file.absoluteFilePath(),
                        result.toString()),
                zem::LOG_PROGRESS);
    if (!file.isFile())
        return nullptr;
    zem::KernelGUI* kernel = zem::KernelGUI::kernelGui();
    zem::XNode* nApp = kernel ? kernel->getCreateNodeApplication() : nullptr;
    if (!nApp) {
        zem::nullPointerHandling(SOURCE, __LINE__, "nApp == NULL");
        return nullptr;
    }
    auto* win = new WinDetails;
    win->ini(nApp->getCreateNode(QStringLiteral("GUI"))->getCreateNode(QStringLiteral("View")), true);
    win->setTitleStd(file.absoluteFilePath());
    win->set_file(file, false);
    win->setupTray();
    if (result)
        win->set_file_result(result, filter);
    // The size the user left the last one at, else the first size; centred either way.
    const bool restored = win->restoreGeometryFromNode();
    zem::XTools::centerOnScreen(win, restored ? win->width() : kWidth, restored ? win->height() : kHeight);
    if (origin)
        zem::XTools::centerOnWindow(win, origin);
    win->show();
    return win;
}

void WinDetails::ini(zem::XNode* node, bool deleteOnClose)
{
    if (!node) {
        zem::nullPointerHandling(SOURCE, __LINE__, "nView == NULL");
        return;
    }
    if (contentPanel()) {
        Logger::log(QStringLiteral("WinDetails::ini, content panel already exists"), zem::LOG_ERROR);
        return;
    }
    setAttribute(Qt::WA_DeleteOnClose, deleteOnClose);
    setNodeWin(node);
    if (node->has(KEY_STATE))
        restoreState(QByteArray::fromBase64(node->getString(KEY_STATE).toLatin1()));

    zem::XPanel* content = createContentPanel(true);
    content->set_args(0, 0);
    m_tabs = content->add(new XTabWidget(content), 1);

    m_asc = new PanPreviewAsc(m_tabs);
    m_xml = new PanPreviewXml(m_tabs);
    m_img = new PanPreviewImg(m_tabs);
    m_hex = new PanPreviewHex(m_tabs);
    m_stats = new PanStats(m_tabs);
    m_tabs->add_panel(m_asc, xt("Text"), zem::XTheme::iconPath(QStringLiteral("text.svg")));
    m_asc->ini();
    m_asc->from_node(node->getCreateNode(NODE_PREVIEW_ASC));
    m_tabs->add_panel(m_xml, xt("XML"), zem::XTheme::iconPath(QStringLiteral("xml.svg")));
    m_xml->ini();
    m_tabs->add_panel(m_img, xt("Image"), zem::XTheme::iconPath(QStringLiteral("image.svg")));
    m_img->ini();
    m_tabs->add_panel(m_hex, xt("HEX"), zem::XTheme::iconPath(QStringLiteral("bin.svg")));
    m_hex->ini();
    m_tabs->add_panel(m_stats, xt("Stats"), QString());
    m_stats->ini();

    m_tabs->currentPanelChanged.add([this](zem::XPanel* panel) {
        on_tab_changed(panel);
        if (m_barStack)
            m_barStack->setCurrentIndex(panel == m_asc ? 0 : 1);
    });
    m_tabs->currentIndexChanged.add([this](int index) {
        const QIcon icon = m_tabs->tabIcon(index);
        setWindowIcon(icon.isNull() ? QIcon(QStringLiteral(":/zf/icons/find3.svg")) : icon);
    });

    zem::XPanel* bar = content->createPanelHorizontal();
    bar->setMargins(2, 2, 2, 2);
    setup_bar(bar);
    setup_hot_keys();

    firstShownListener.add([this](qint64) {
        if (PanPreview* tab = current_tab())
            tab->preview()->post_first_time_visibilty_action();
    });
    zem::viewText::XTextView* view = m_asc->text_view();
    view->markedByUser.add([this, view](const zem::find::XRam&) { m_asc->on_direct_mark_search(view->getSelectedText(0)); });
}

zem::XButton* WinDetails::bar_button(zem::XPanel* bar, const char* icon, const QString& tooltip)
{
    return bar->createButtonImageIcon(zem::XTheme::iconPath(QString::fromLatin1(icon)), tooltip, 16);
}

void WinDetails::setup_bar(zem::XPanel* bar)
{
    m_barStack = bar->add(new zem::XPanelStacked(bar));
    m_barText = m_barStack->add(new zem::XPanel(false));
    m_barText->set_args(0, 4);
    m_barStack->add(new QLabel(QString()));
    m_asc->set_panel_from_outside(m_barText);
    m_barStack->setCurrentIndex(m_tabs->current_panel() == m_asc ? 0 : 1);
    bar->addStretch(1);

    m_buttonPattern = bar_button(bar, "pattern.svg", xt("Pattern Selection Mode"));
    m_buttonPattern->setCheckable(true);
    m_buttonPattern->setChecked(m_asc->patternSelectionMode.get());
    *m_buttonPattern = [this] {
        Logger::log(QStringLiteral("WinDetails::setup_pan_buttons"), zem::LOG_PROGRESS);
        m_asc->patternSelectionMode = !m_asc->patternSelectionMode.get();
        // The property keeps the button in step; a click that changed nothing must not leave it flipped.
        const QSignalBlocker blocker(m_buttonPattern);
        m_buttonPattern->setChecked(m_asc->patternSelectionMode.get());
    };
    zem::XButton* pattern = m_buttonPattern;
    m_asc->patternSelectionMode.changed.add([pattern](const bool& on) {
        const QSignalBlocker blocker(pattern);
        pattern->setChecked(on);
    });

    *bar_button(bar, "fileManager1.svg", xt("File Manager")) = [this] { on_fileManager(); };
    *bar_button(bar, "minus.svg", xt("Smaller Font")) = [this] { on_zoom(false); };
    *bar_button(bar, "plus.svg", xt("Bigger Font")) = [this] { on_zoom(true); };
    *bar_button(bar, "window.svg", xt("New Window")) = [this] { WinFinder::new_win(m_file.absoluteFilePath()); };

    m_buttonFull = bar_button(bar, "expand.svg", xt("Toggle Full Screen\nRight click close Window"));
    m_buttonFull->setCheckable(true);
    *m_buttonFull = [this] { toggle_full_screen(); };
    m_buttonFull->mouseListener.add([this](QMouseEvent* event) {
        if (zem::XButton::isRightButton(event))
            zem::XTools::run_in_gui_thread([w = QPointer<WinDetails>(this)] {
                if (w)
                    w->close();
            });
    });
    *bar_button(bar, "hide.svg", xt("Hide to Tray Menu")) = [this] { hide(); };
}

void WinDetails::setup_hot_keys()
{
    addHotKeyMethod(Qt::Key_Escape, [this] { close(); });
    addHotKeyMethod(Qt::Key_Return, [this] {
        if (PanPreview* tab = current_tab())
            tab->search_focused();
    });
    addHotKeyMethod(Qt::Key_Enter, [this] {
        if (PanPreview* tab = current_tab())
            tab->search_focused();
    });
    addHotKeyMethod(Qt::CTRL | Qt::Key_F, [this] {
        if (!m_tabs->is_panel_enabled(m_asc))
            return;
        m_tabs->set_current_panel(m_asc);
        m_asc->focus_search();
    });
    addHotKeyMethod(Qt::Key_F3, [this] {
        if (current_tab() == m_asc)
            m_asc->on_mark_increment(false);
    });
    addHotKeyMethod(Qt::SHIFT | Qt::Key_F3, [this] {
        if (current_tab() == m_asc)
            m_asc->on_mark_increment(true);
    });
}

PanPreview* WinDetails::current_tab() const
{
    return m_tabs ? qobject_cast<PanPreview*>(m_tabs->currentWidget()) : nullptr;
}

void WinDetails::set_file(const QFileInfo& fi, bool stats)
{
    Logger::log(QStringLiteral("WinDetails::set_file"), zem::LOG_PROGRESS);
    m_file = fi;
    if (!m_tabs)
        return;
    PanPreview* chosen = nullptr;
    if (m_xml->preview()->can_handle_file(fi))
        chosen = m_xml;
    for (int i = 0; !chosen && i < m_tabs->count(); ++i) {
        auto* tab = qobject_cast<PanPreview*>(m_tabs->widget(i));
        if (tab && !tab->is_hex_panel() && tab->preview()->can_handle_file(fi))
            chosen = tab;
    }
    if (stats) {
        Logger::log(QStringLiteral("WinDetails::set_file - STATS"), zem::LOG_PROGRESS);
        chosen = m_stats;
    }
    if (!chosen)
        chosen = m_hex;
    if (chosen == m_hex)
        m_hex->preview_hex().set_font_size(int(WinFinderConfig::get().fontSizeHexView));
    if (!chosen->preview()->open_file(fi)) {
        // The XML preview turns down a malformed file: the text tab (else the hex tab) shows it.
        Logger::log(xprintF(QStringLiteral("WinDetails::on_tab_changed - CANNOT open file with:$"), chosen->type_as_string()),
                    zem::LOG_ERROR);
        m_tabs->enable_panel(chosen, false);
        PanPreview* fallback = chosen != m_asc && m_asc->preview()->can_handle_file(fi) ? static_cast<PanPreview*>(m_asc)
                                                                                        : static_cast<PanPreview*>(m_hex);
        if (fallback != chosen) {
            fallback->preview()->open_file(fi);
            chosen = fallback;
        }
    }
    m_tabs->set_current_panel(chosen);
    set_tray_text(shortName());
}

void WinDetails::set_file_result(const FileResult& result, const zem::find::XContentFilter& filter)
{
    Logger::log(xprintF(QStringLiteral("WinView::set_file_result, fResult:$, filter:$"), result.toString(), filter.toString()),
                zem::LOG_PROGRESS);
    if (!m_asc)
        return;
    // The hits belong to the file's text: the text tab shows them (opening the file if needed).
    if (m_asc->preview()->file_info() != m_file)
        m_asc->preview()->open_file(m_file);
    m_asc->update_search_results(result, filter, 0);
}

void WinDetails::on_zoom(bool in)
{
    Logger::log(QStringLiteral("WinDetails::on_zoom"), zem::LOG_PROGRESS);
    if (PanPreview* tab = current_tab())
        tab->on_zoom(in);
}

void WinDetails::on_tab_changed(zem::XPanel* panel)
{
    auto* tab = qobject_cast<PanPreview*>(panel);
    if (!tab || tab->preview()->file_info() == m_file || m_file.filePath().isEmpty())
        return;
    if (tab == m_hex)
        m_hex->preview_hex().set_font_size(int(WinFinderConfig::get().fontSizeHexView));
    if (!tab->preview()->open_file(m_file)) {
        Logger::log(xprintF(QStringLiteral("WinDetails::on_tab_changed - CANNOT open file with:$"), tab->type_as_string()),
                    zem::LOG_ERROR);
        m_tabs->enable_panel(tab, false);
    }
}

void WinDetails::on_fileManager()
{
    Logger::log(xprintF(QStringLiteral("WinDetails::on_fileManager, fi '$'"), m_file.absoluteFilePath()), zem::LOG_PROGRESS);
    zem::XToolsGui::showFolderInFileManager(m_file.absoluteFilePath());
}

void WinDetails::on_close()
{
    Logger::log(QStringLiteral("WinDetails::on_close"), zem::LOG_PROGRESS);
    zem::XNode* node = getNodeWin();
    if (!node) {
        zem::nullPointerHandling(SOURCE, __LINE__, "nWin == NULL");
        return;
    }
    if (m_asc)
        m_asc->to_node(node->getCreateNode(NODE_PREVIEW_ASC));
    node->setString(KEY_STATE, QString::fromLatin1(saveState().toBase64()));
}

void WinDetails::changeEvent(QEvent* event)
{
    WindowBase::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !m_buttonFull)
        return;
    const bool full = windowState() & Qt::WindowFullScreen;
    Logger::log(xprintF(QStringLiteral("PanPreviewAsc::ini, fullscreen:$"), full), zem::LOG_PROGRESS);
    const QSignalBlocker blocker(m_buttonFull);
    m_buttonFull->setChecked(full);
}

} // namespace zemFinder
