#include "WinFinder.h"

#include "History.h"
#include "PanelResults.h"
#include "KernelGUI.h"
#include "Logger.h"
#include "WinFinder_FindArea.h"
#include "WinFinder_NavigationBar.h"
#include "WinTray.h"
#include "XLang.h"
#include "XNode.h"
#include "XThread.h"
#include "XTools.h"
#include "dir/ContextPreviews.h"
#include "dir/XContainerPreviews.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XBox.h"
#include "widgets/XPanel.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XSplitter.h"
#include "widgets/XTreeViewFiles.h"

#include <QApplication>
#include <algorithm>
#include <QDateTime>
#include <QLineEdit>
#include <QPointer>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
const char* SOURCE = "src/gui/WinFinder";
const QString KEY_SPLITTER = QStringLiteral("splitter");
const QString KEY_FILTER_FLAGS = QStringLiteral("filterFlags");
const QString KEY_HIDDEN_FILES = QStringLiteral("flagHiddenFiles");
const QString KEY_HEADER = QStringLiteral("header");
const QString NODE_TREE = QStringLiteral("XTreeView");
// How long a quit gives the stopped jobs to end. They check their stop flags per entry or per
// block, so this is plenty; a job stuck in the file system (a hung network mount) is left behind
// rather than keeping the program alive.
constexpr int kQuitWaitMs = 250;
// The tree's first width: room for a few levels of folder names, the rest for results and
// their preview side by side.
constexpr int kTreeWidth = 300;
} // namespace

WinFinder::WinFinder(QWidget* parent)
    : WindowBase(parent), m_history(std::make_unique<History>()), m_find(std::make_unique<FindArea>())
{
    m_colorRoot = Qt::white;
    m_colorSub = Qt::yellow;
    set_icon(QStringLiteral(":/zf/icons/find2.svg"), 64);
    m_history->stateListener.add([this] { on_hist_state_change(); });
}

WinFinder::~WinFinder()
{
    Logger::log(QStringLiteral("WinFinder::~WinFinder"), zem::LOG_DETAIL);
    unregister_app_listeners();
}

QString WinFinder::shortName() const
{
    return QStringLiteral("ZF");
}

QString WinFinder::toString() const
{
    return objectName().isEmpty() ? QStringLiteral("WinFinder") : xprintF(QStringLiteral("WinFinder@$"), objectName());
}

WinFinder* WinFinder::new_win(const QString& path)
{
    Logger::log(QStringLiteral("WinFinder::new_win"), zem::LOG_PROGRESS);
    zem::KernelGUI* kernel = zem::KernelGUI::kernelGui();
    zem::XNode* nApp = kernel ? kernel->getCreateNodeApplication() : nullptr;
    if (!nApp) {
        zem::nullPointerHandling(SOURCE, __LINE__, "nApp == NULL");
        return nullptr;
    }
    const WinFinderConfig& config = WinFinderConfig::get();
    QString start;
    if (!path.isEmpty() && QFileInfo::exists(path))
        start = path;
    else if (config.flagUseStartFolder)
        start = config.startFolder;
    zem::XNode* nWin = nApp->getCreateNode(QStringLiteral("GUI"))->getCreateNode(QStringLiteral("Window"));
    WinFinder* win = create_window(nWin, start);
    win->place_window();
    win->show();
    return win;
}

WinFinder* WinFinder::create_window(zem::XNode* nWin, const QString& startPath)
{
    auto* win = new WinFinder;
    win->setNodeWin(nWin);
    win->setTitleStd(QStringLiteral("Zem Finder"));
    win->setHtmlHelpPage(QStringLiteral(":html/en.index.html"), QStringLiteral(":/html/en.index.html"));
    win->setupTray();
    win->setUp(startPath);
    return win;
}

void WinFinder::place_window()
{
    if (!restoreGeometryFromNode())
        zem::XTools::centerOnScreen(this, 1200, 600);
}

WinFinder* WinFinder::on_open_new_win_here(const QFileInfo& file)
{
    WinFinder* win = create_window(getNodeWin(), file.filePath().isEmpty() ? QString() : file.absoluteFilePath());
    win->setBounds(50, 50, 900, 500);
    win->show();
    return win;
}

void WinFinder::setUp(const QString& selectFile)
{
    Logger::log(xprintF(QStringLiteral("WinFinder::setUp, sSelectFile '$'"), selectFile), zem::LOG_PROGRESS);
    if (m_treeView) {
        Logger::log(QStringLiteral("WinFinder::setUp, treeView"), zem::LOG_PROGRESS);
        return;
    }
    zem::XNode* nWin = getNodeWin();
    if (!nWin)
        zem::nullPointerHandling(SOURCE, __LINE__, "nWin == NULL");
    zem::XNode* nTree = nWin ? nWin->getCreateNode(NODE_TREE) : nullptr;
    const WinFinderConfig& config = WinFinderConfig::get();

    zem::XPanel* content = createContentPanel(true);
    m_navigationBar = content->add(new NavigationBar(this, content));

    m_splitter = content->add(new zem::XSplitter(Qt::Horizontal, content), 1);
    m_treeView = new zem::XTreeViewFiles(m_splitter);
    m_treeView->setSortingEnabled(true);
    m_treeView->sortByColumn(0, Qt::AscendingOrder);
    m_splitter->addWidget(m_treeView);
    m_stacked = new zem::XPanelStacked(m_splitter);
    m_stacked->setObjectName(QStringLiteral("stacked"));
    m_splitter->addWidget(m_stacked);
    // The right-hand area: the preview container (WinFinder_previews.cpp), the results panel beside it.
    setup_previews();
    // The tree keeps its width as the window grows; the previews and results take the rest.
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);

    // Without a stored state the tree gets a fixed share once the window has its size.
    const bool splitterRestored = m_splitter->nodeToState(nWin, KEY_SPLITTER);
    m_treeView->showHeaderDetails(nTree && nTree->isBool(KEY_HEADER, false));
    m_treeView->restoreStates(nTree);

    m_treeView->selectionListener.add([this](const QFileInfo& file) { on_treeView_selectFile(file); });
    m_treeView->contextMenuListener.add([this](const QPoint&, const QFileInfo& file) { on_contextMenu_treeView(file); });
    m_treeView->toolTipProvider = [this](const QFileInfo& file) {
        return tree_tooltip(file, QApplication::queryKeyboardModifiers() & Qt::ControlModifier);
    };

    if (config.flagUseFilter) {
        QSet<QString> folders;
        for (const QFileInfo& folder : config.filter)
            folders.insert(folder.absoluteFilePath());
        m_treeView->set_filter(folders);
    }
    m_treeView->setDirOnly(config.flagTreeDirOnly);
    const bool hidden = nWin && nWin->isBool(KEY_HIDDEN_FILES, false);
    m_treeView->set_hidden_files(hidden);
    m_treeView->rebuild_model();
    m_filterFlags.set(FLAG_HIDDEN, hidden);

    m_treeView->restoreStates(nTree);
    m_treeView->showHeaderDetails(config.flagTreeDateSize);

    setup_panel_find(content);
    setup_results_events();
    content->setSpacing(0);
    content->setMargins(4, 4, 4, 0);
    setup_status_bar();

    Logger::log(xprintF(QStringLiteral("WinFinder::setUp, selectFile:<<<$>>>"), selectFile), zem::LOG_PROGRESS);
    m_treeView->rootChangedListener.add([this](const QString& root) { on_root_changed(root); });
    if (!splitterRestored)
        firstShownListener.add([this](qint64) {
            const int total = m_splitter->width();
            const int tree = std::min(kTreeWidth, total / 3);
            m_splitter->setSizes({tree, total - tree});
        });
    firstShownListener.add(
        [this, selectFile](qint64 microseconds) { setup_window_appear_first_time(microseconds, selectFile); });

    closeListener.add([this] { on_close(); });
    setup_hotkeys();
    setup_previews_restore();

    filterFlagsListener.add([this](uint32_t flags) { on_hidden_files((flags & FLAG_HIDDEN) != 0); });

    if (config.flagUseRootFolder && config.root.size() > 1) {
        const QString root = QFileInfo(config.root).absoluteFilePath();
        m_treeView->set_root_path(root);
        WinFinderConfig::get().root = root;
    }

    if (zem::KernelGUI* kernel = zem::KernelGUI::kernelGui(); kernel && kernel->isZemStyleDark()) {
        m_colorRoot = QColor(QStringLiteral("#1d2125"));
        m_colorSub = QColor(QStringLiteral("#212245"));
    } else {
        m_colorRoot = Qt::white;
        m_colorSub = QColor(QStringLiteral("#f3e7e3"));
    }
    apply_tree_background();
    setUp_shift_control();
    m_history->compute_state();
}

void WinFinder::setup_window_appear_first_time(qint64 microseconds, const QString& selectFile)
{
    Logger::log(xprintF(QStringLiteral("WinFinder::setup_window_appear_first_time, mc:$, sel: <<<$>>>"),
                        double(microseconds) / 1e6, selectFile),
                zem::LOG_PROGRESS);
    if (!m_treeView)
        return;
    if (!selectFile.isEmpty())
        m_treeView->selectFile(selectFile, true);
    else
        m_treeView->expandRoot();
    zem::XNode* nWin = getNodeWin();
    const uint32_t flags = nWin ? uint32_t(nWin->getUInt(KEY_FILTER_FLAGS, WinFinderConfig::get().filterBits))
                                : WinFinderConfig::get().filterBits;
    set_filter_flags(flags);
    apply_tree_background();
}

void WinFinder::on_treeView_selectFile(const QFileInfo& file)
{
    if (zem::XTools::isDebug())
        Logger::log(xprintF(QStringLiteral("WinFinder::on_treeView_selectFile, fi: '$'"), file.absoluteFilePath()),
                    zem::LOG_DETAIL);
    if (m_historyRecording && file.exists())
        m_history->addFile(file);
    m_historyRecording = true;

    const QString path = file.absoluteFilePath();
    set_tray_text(QStringLiteral("ZF ") + path);
    setWindowTitle(QStringLiteral("ZF ") + path);
    m_currentFile = file;
    if (m_contextMain)
        m_contextMain->select_file(file);
    if (m_stacked && m_find->panelResults && m_stacked->currentWidget() == m_find->panelResults)
        m_stacked->setCurrentWidget(m_previewArea);
    if (m_navigationBar)
        m_navigationBar->pathField()->setText(path);
}

QString WinFinder::tree_tooltip(const QFileInfo& file, bool ctrlHeld) const
{
    if (ctrlHeld || !WinFinderConfig::get().flagTreeMouseOverInfo)
        return QString();
    if (m_treeView && m_treeView->isHeaderDetails())
        return file.absoluteFilePath();
    if (file.isDir())
        return xprintF(QStringLiteral("[$]"), file.absoluteFilePath());
    return xprintF(QStringLiteral("$\n$\n$"), file.absoluteFilePath(), zem::formatBytes(quint64(file.size())),
                   file.lastModified().toString(QStringLiteral("yyyy/MM/dd - hh:mm")));
}

QColor WinFinder::tree_background() const
{
    return (m_treeView && m_treeView->is_root_path()) ? m_colorRoot : m_colorSub;
}

void WinFinder::apply_tree_background()
{
    if (!m_treeView)
        return;
    const QString rule = QStringLiteral(".QTreeView { background: $(BG); }");
    m_treeView->setStyleSheet(QString(rule).replace(QStringLiteral("$(BG)"), tree_background().name()));
}

void WinFinder::on_close()
{
    // Before anything waits: the scan, the content search and the counting of the directory
    // previews end at their next check, so neither the deletion of this window nor a quit
    // waits for the work to run its course.
    stop_jobs();
    unregister_app_listeners();
    zem::XNode* nWin = getNodeWin();
    if (!nWin)
        return;
    if (m_splitter)
        m_splitter->stateToNode(nWin, KEY_SPLITTER);
    if (m_treeView)
        m_treeView->saveStates(nWin->getCreateNode(NODE_TREE));
    if (m_containerPreviews)
        m_containerPreviews->to_node();
    nWin->setUInt(KEY_FILTER_FLAGS, filter_flags());
    saveSearchHistory();
}

void WinFinder::quit_application(QWidget* parent)
{
    if (WinFinderConfig::get().flagConfirmQuit) {
        const int answer = zem::XBox::ask_yes_no(parent, zem::xt("Quit Zem Finder"),
                                                 zem::xt("Do you want to quit Zem Finder Application ?"));
        if (answer != 1) {
            Logger::log(QStringLiteral("WinFinder::quit_application - CANCEL"), zem::LOG_PROGRESS);
            return;
        }
    }
    quit_the_app();
}

void WinFinder::quit_the_app()
{
    Logger::log(QStringLiteral("WinFinder::quit_the_app"), zem::LOG_PROGRESS);
    if (zem::KernelGUI* kernel = zem::KernelGUI::kernelGui()) {
        QList<QPointer<QWidget>> windows;
        for (QWidget* window : kernel->windows())
            windows << window;
        for (const QPointer<QWidget>& window : windows)
            if (window)
                window->close();
    }
    if (!zem::XThreadPool::wait_for_all(kQuitWaitMs))
        Logger::log(QStringLiteral("WinFinder::quit_the_app, jobs still running are left behind"), zem::LOG_WARN);
    QApplication::exit(0);
}

} // namespace zemFinder
