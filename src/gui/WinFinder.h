#pragma once
// The main window: the navigation bar, the directory tree beside the right-hand area (a stack
// that later holds the previews and the results), and the status bar. Several may be open at
// once; each is independent but for the process-wide configuration record and the kernel.
// Built in setUp; its state lives in its node ("GUI"/"Window" of the application node).
// GUI thread only. The sources are split: WinFinder_navigate.cpp (tree and history),
// WinFinder_hotkeys.cpp (shortcuts, filter flags, the forced view under Ctrl),
// WinFinder_status_bar.cpp and WinFinder_NavigationBar.cpp.
#include "WindowBase.h"
#include "XAtomic.h"
#include "XEventListener.h"
#include "find/XFilter.h"

#include <QColor>
#include <QFileInfo>
#include <QList>
#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QKeyEvent;
class QLabel;
class QMenu;
class QStatusBar;

namespace zem {
class Preview;
class XMenu;
class XNode;
class XPanel;
class XPanelStacked;
class XSplitter;
class XTreeViewFiles;
namespace find {
class XFilter;
class XRamLayer;
}
} // namespace zem

namespace zemFinder {

class AbstractPreviewDir;
class ContextPreviews;
struct FileResult;
struct Bookmark;
class History;
class PanelResults;
class XContainerPreviews;

class WinFinder : public WindowBase {
    Q_OBJECT
public:
    class NavigationBar;

    enum TreeMode : uint32_t { NORMAL = 0, DETAILS = 1, NO_TREE = 2 };
    enum ViewBit : uint32_t { VIEW_THUMBS = 2 };
    // The filter's own bits, so that the window and the engine can never disagree.
    enum FilterFlag : uint32_t {
        FLAG_PATTERN = zem::find::XFilter::FLAG_PATTERN,
        FLAG_NOT_PATTERN = zem::find::XFilter::FLAG_NOT_PATTERN,
        FLAG_TIME = zem::find::XFilter::FLAG_TIME,
        FLAG_SIZE = zem::find::XFilter::FLAG_SIZE,
        FLAG_TEXT_FILES = zem::find::XFilter::FLAG_TEXT_FILES,
        FLAG_HIDDEN = zem::find::XFilter::FLAG_HIDDEN,
        FLAG_CONTENT = zem::find::XFilter::FLAG_CONTENT
    };

    // The filter items in menu order; the separator carries FILTER_SEPARATOR instead of a bit.
    // Texts are English, translated where shown.
    struct FilterItem {
        uint32_t bit;
        const char* label;
        const char* tooltip;
    };
    static constexpr uint32_t FILTER_SEPARATOR = 0x40000000;
    static QList<FilterItem> filter_items();

    explicit WinFinder(QWidget* parent = nullptr);
    ~WinFinder() override;

    // Opens a new main window on the application node's "GUI"/"Window" node.
    static WinFinder* new_win(const QString& path);
    // Creates, binds, titles and builds a window on nWin (not shown, not placed).
    static WinFinder* create_window(zem::XNode* nWin, const QString& startPath);
    // Where the window was when it last closed (from its node), else 1200 x 600 centred.
    void place_window();
    // Another window on file, sharing this window's node.
    WinFinder* on_open_new_win_here(const QFileInfo& file);

    void setUp(const QString& selectFile);
    void setup_window_appear_first_time(qint64 microseconds, const QString& selectFile);
    void on_treeView_selectFile(const QFileInfo& file);

    // Asks first when the configuration wants it; then quit_the_app.
    static void quit_application(QWidget* parent);
    // Closes every window, waits for the pool's threads and leaves the event loop with 0.
    static void quit_the_app();

    // --- Previews (WinFinder_previews.cpp). ---
    // Cycles the previews of the preview context that holds widget (the first found walking up).
    void key_cycle_previews(QWidget* widget);
    // Shows the preview of this type in the preview context that holds widget.
    void select_preview(QWidget* widget, const QString& type);
    // The context of widget or of its nearest parent that one holds; null if none.
    ContextPreviews* preview_context_of(QWidget* widget) const;
    // Adds a context (the results panel's) to those the focus-based operations search.
    void add_preview_context(ContextPreviews* context);
    const std::vector<ContextPreviews*>& preview_contexts() const { return m_previewContexts; }
    XContainerPreviews* containerPreviews() const { return m_containerPreviews; }
    ContextPreviews* contextMain() const { return m_contextMain.get(); }
    AbstractPreviewDir* previewDirectory() const;
    // Opens file in the hex preview (in the text preview with shift), whatever its type.
    void force_view(const QFileInfo& file, bool shift);
    // Shows file in a details window of its own. Every such request of this window comes here: a
    // double click in the tree, the directory preview or the results, and "Open in a separate
    // window" of every preview it holds.
    void open_stand_alone(const QFileInfo& file);
    // A content result in a details window: its hits in the first layer and the search's content
    // filter in the first search row.
    void open_stand_alone(const FileResult& result);
    // The results panel's events: context menu and double click on a row.
    void setup_results_events();
    // The text the text preview's "Copy to search" took; the find area puts it in its content box.
    zem::XEventListener<void(const QString&)> copyToSearchListener;
    // --- end of the previews ---

    // Navigation (WinFinder_navigate.cpp).
    void on_navi_back();
    void on_navi_forward();
    void on_navi_up();
    void on_refresh();
    void on_root_changed(const QString& root);
    void on_hidden_files(bool flag);
    void on_hist_state_change();
    void on_thumb_size(bool bigger);
    // The directory preview as thumbnails (true) or as a table; kept in the window's node.
    void on_thumbs_toggle(bool thumbs);
    void on_key_return();
    void show_history_menu();
    // Builds the history menu without running it (the caller owns it).
    zem::XMenu* create_history_menu();
    TreeMode step_tree_mode();
    TreeMode tree_mode() const { return m_treeMode; }
    static QString tree_mode_name(TreeMode mode);
    void collapse_tree();
    // The next size of the fixed list 64, 90, 128, 160, 200, 256 above (or below) current;
    // current when there is none.
    static uint32_t next_thumb_size(uint32_t current, bool bigger);
    static bool is_thumb_size(uint32_t size);
    uint32_t thumb_size() const { return m_thumbSize; }
    uint32_t view_bits() const { return m_viewBits.get(); }

    // Shortcuts and filter flags (WinFinder_hotkeys.cpp).
    void setup_hotkeys();
    uint32_t filter_flags() const { return m_filterFlags.get(); }
    void set_filter_flags(uint32_t flags);
    void toggle_filter_flag(uint32_t flag);
    zem::XEventListener<void(uint32_t)> filterFlagsListener;

    // --- Find area, search run and search history (WinFinder_setup_panel_find.cpp,
    // WinFinder_find_pages.cpp, WinFinder_find.cpp, WinFinder_search_history.cpp). ---
    class ThreadScanDir;
    struct FindArea;
    void setup_panel_find(zem::XPanel* content);
    void setup_panel_find_pages();
    // Shows the rows of the set flags, moves the focus, colours the filter button.
    void apply_filter_flags(uint32_t flags);
    // The menus are built without running them (the caller owns them).
    zem::XMenu* create_filter_menu();
    void show_filter_menu();
    zem::XMenu* create_settings_menu();
    void show_settings_menu();
    // The panel's values as a filter; a set faulty field means: do not search.
    zem::find::XFilter filter_from_GUI();
    void on_find();
    // The end of scan number generation (GUI thread).
    void on_find_dir_scanned(quint32 generation);
    void on_find_done();
    void on_escape_key();
    void on_find_progress();
    void setup_find_run();
    // Asks every job of this window to end (scan, content search, the directory previews'
    // counting) and forgets a waiting Find; never waits.
    void stop_jobs();
    // True while a scan or content search of this window has not completely ended.
    bool is_search_busy() const;
    bool is_find_pending() const;
    void restoreSearchHistory();
    void saveSearchHistory();
    void manage_combo_History(QComboBox* comboBox, const QString& text);
    // The context menu of a history box's field: the standard entries and "Edit History"
    // (the caller owns the menu).
    QMenu* create_history_context_menu(QComboBox* comboBox);
    // Runs the history editor on the box's items; OK replaces them, keeping the field's text.
    void edit_combo_history(QComboBox* comboBox);
    uint32_t search_state() const;
    FindArea* findArea() const { return m_find.get(); }
    PanelResults* panelResults() const;
    // --- end of the find area ---

    // --- Applications and the desktop (WinFinder_open_with.cpp). ---
    // Adds the "Open with ..." submenu for file to menu: one entry per application record, then
    // "Application Editor". Returns the submenu (owned by menu).
    zem::XMenu* create_open_with_app(zem::XMenu* menu, const QFileInfo& file);
    // Adds "Open With Default Program", "File Manager" and "Terminal" for file to menu ("Terminal"
    // only when a terminal program exists).
    void add_desktop_openers(zem::XMenu* menu, const QFileInfo& file);
    // The applications tool button's menu for the current file (the caller owns it).
    zem::XMenu* create_apps_menu();
    void show_apps_menu();
    static void open_app_editor();
    // A program's output: a "$OUTPUT = '<path>'" line of an existing file selects that file in
    // the tree; any other output is shown as a text preview.
    void show_output(const QString& text);
    // Hands text to the active main window, else to the first open one.
    static void show_output_in_main_window(const QString& text);
    // The existing file an output names in its "$OUTPUT" line, or empty.
    static QString output_target(const QString& text);
    // --- end of the applications ---

    // Configuration dialog and language editor (WinFinder_config.cpp).
    void on_config();
    void on_lang_editor();
    // Ends this run and starts the program again; tests replace it.
    static std::function<void()> restartHook;

    // Bookmarks (WinFinder_bookmarks.cpp). The menu is built without running it (the caller
    // owns it); null when there are no bookmarks.
    zem::XMenu* create_bookmarks_menu();
    void on_bookmarks();
    void on_bookmark_chosen(const Bookmark& bookmark);
    void on_add_bookmark(const QFileInfo& file);
    void on_edit_bookmark(const Bookmark& bookmark);
    void on_remove_bookmark(const QFileInfo& file);
    void on_edit_bookmarks();

    // --- Context menus (WinFinder_context_menus.cpp). Each is built without running it (the
    // caller owns it); the on_ functions run it at the mouse position. ---
    // The tree's menu on file.
    zem::XMenu* create_menu_tree(const QFileInfo& file);
    void on_contextMenu_treeView(const QFileInfo& file);
    // The menu of a directory listing's entry (dir: the listing) or of a file-search result (dir
    // null); context is the preview context of the list the request came from.
    zem::XMenu* create_menu_right_side(const QFileInfo& file, AbstractPreviewDir* dir, ContextPreviews* context);
    void on_contextMenu_rightSide(const QFileInfo& file, AbstractPreviewDir* dir, ContextPreviews* context);
    // The menu of a content result.
    zem::XMenu* create_menu_results(const FileResult& result);
    void onContextMenu_rightSide_FileResults(const FileResult& result);
    // The recursive count of folder in the directory preview beside the tree.
    void on_deep_view(const QFileInfo& folder);
    // Shows file in preview p of context's container, whatever its type.
    void view_with(ContextPreviews* context, zem::Preview* p, const QFileInfo& file);
    // Brings the previews of context into view (the tree's or the results panel's).
    void show_container_of(ContextPreviews* context);
    // Selects file in the tree, else its folder (a tree of folders only does not show files).
    void select_in_tree(const QFileInfo& file);
    // Runs a built context menu (at the mouse position); tests replace it.
    static std::function<void(zem::XMenu*)> contextMenuRunner;
    // --- end of the context menus ---

    // Rename and delete (WinFinder_file_ops.cpp); true when the file system changed.
    // on_rename (F2) renames the file the window shows, whatever the read-only flag says.
    void on_rename();
    bool rename_file(const QFileInfo& file);
    bool delete_file(const QFileInfo& file);

    // Status bar (WinFinder_status_bar.cpp).
    void setup_status_bar();
    static QString status_text(const QFileInfo& file);
    // Shows file in the status label of the main window that holds widget.
    static void show_status(QWidget* widget, const QFileInfo& file);
    // Shows or hides the status bar of every open main window after flagStatusBar changed.
    static void apply_status_bar_flag();
    QLabel* statusLabel() const { return m_statusLabel; }
    // A field stopped the search: it flashes in a colour that stands out in either theme, and
    // what is wrong (when said) becomes its tooltip and the status text until it is edited.
    void show_fault(QObject* field, const QString& text);
    QStatusBar* statusBarRow() const { return m_statusBar; }

    QString tree_tooltip(const QFileInfo& file, bool ctrlHeld) const;
    void apply_tree_background();
    QColor tree_background() const;

    QFileInfo currentFile() const override { return m_currentFile; }
    QString shortName() const override;
    QString toString() const override;

    zem::XTreeViewFiles* treeView() const { return m_treeView; }
    NavigationBar* navigationBar() const { return m_navigationBar; }
    zem::XSplitter* splitter() const { return m_splitter; }
    zem::XPanelStacked* stackedRight() const { return m_stacked; }
    QWidget* previewArea() const { return m_previewArea; }
    History* history() const { return m_history.get(); }
    bool isHistoryRecording() const { return m_historyRecording; }

private:
    void start_find(const QString& folder, const zem::find::XFilter& filter);
    void start_pending_find();
    void setup_previews();
    void setup_previews_restore();
    void apply_preview_settings(zem::Preview* preview);
    void on_close();
    void on_key_pressed(QKeyEvent* event);
    void setUp_shift_control();
    void navigate_history(bool back);
    // Selects file in the tree without adding it to the history.
    void select_without_recording(const QFileInfo& file);
    void register_app_listeners();
    void unregister_app_listeners();

    TreeMode m_treeMode = NORMAL;
    zem::AtomicBits m_viewBits;
    uint32_t m_thumbSize = 128;
    zem::AtomicBits m_filterFlags;

    NavigationBar* m_navigationBar = nullptr;
    zem::XTreeViewFiles* m_treeView = nullptr;
    zem::XSplitter* m_splitter = nullptr;
    zem::XPanelStacked* m_stacked = nullptr;
    QWidget* m_previewArea = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_statusLabel = nullptr;

    int m_listenerKeyPress = -1;
    int m_listenerKeyRelease = -1;

    QFileInfo m_currentFile;
    QColor m_colorRoot;
    QColor m_colorSub;
    bool m_historyRecording = true;
    std::unique_ptr<History> m_history;
    std::unique_ptr<FindArea> m_find;
    XContainerPreviews* m_containerPreviews = nullptr;
    std::unique_ptr<ContextPreviews> m_contextMain;
    std::vector<ContextPreviews*> m_previewContexts;
};

} // namespace zemFinder
