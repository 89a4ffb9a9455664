// WinFinder: the window-wide shortcuts, the filter flags, and the forced view of the tree entry
// under the mouse while Ctrl is held.
#include "Logger.h"
#include "WinFinder.h"
#include "WinFinder_NavigationBar.h"
#include "widgets/XAppEvents.h"
#include "widgets/XBrowserWindow.h"
#include "widgets/XTreeViewFiles.h"
#include "XLang.h"
#include "XTools.h"
#include "gui/dia/DiaFirstMessage.h"

#include <QTextBrowser>

#include <QKeyEvent>
#include <QLineEdit>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
void logKey(const char* text)
{
    Logger::log(QString::fromLatin1(text), zem::LOG_PROGRESS);
}
} // namespace

void WinFinder::setup_hotkeys()
{
    addHotKeyMethod(Qt::CTRL | Qt::Key_N, [this] {
        on_open_new_win_here(m_treeView ? m_treeView->selectedFile() : QFileInfo());
    });
    addHotKeyMethod(Qt::Key_F5, [this] { on_refresh(); });
    addHotKeyMethod(Qt::Key_F2, [this] { on_rename(); });
    addHotKeyMethod(Qt::Key_F3, [this] {
        auto* help =
            zem::XBrowserWindow::showHelp(QStringLiteral(":/zf/html/FirstMessage.en.html"), zem::xt("Hint"), 0, this);
        if (help)
            help->browser()->setHtml(DiaFirstMessage::page_html(zem::XTools::get_lang()));
    });
    addHotKeyMethod(Qt::Key_Return, [this] {
        if (m_navigationBar && m_navigationBar->pathField()->hasFocus()) {
            logKey("WinFinder::setup_hotkeys - FOCUS ON EDIT PATH");
            on_key_return();
        } else {
            on_find();
        }
    });
    addHotKeyMethod(Qt::ALT | Qt::Key_B, [this] { on_bookmarks(); });
    addHotKeyMethod(Qt::ALT | Qt::Key_H, [this] { hide_to_tray(); });
    addHotKeyMethod(Qt::ALT | Qt::Key_Left, [this] {
        logKey("WinFinder::setup_hotkeys - LEFT");
        on_navi_back();
    });
    addHotKeyMethod(Qt::ALT | Qt::Key_Right, [this] {
        logKey("WinFinder::setup_hotkeys - RIGHT");
        on_navi_forward();
    });
    addHotKeyMethod(Qt::ALT | Qt::Key_Up, [this] {
        logKey("WinFinder::setup_hotkeys - UP");
        on_navi_up();
    });
    addHotKeyMethod(Qt::ALT | Qt::Key_Down, [] { logKey("WinFinder::setup_hotkeys - DOWN"); });
    addHotKeyMethod(Qt::ALT | Qt::Key_P, [this] { toggle_filter_flag(FLAG_PATTERN); });
    addHotKeyMethod(Qt::ALT | Qt::Key_N, [this] { toggle_filter_flag(FLAG_NOT_PATTERN); });
    addHotKeyMethod(Qt::ALT | Qt::Key_T, [this] { toggle_filter_flag(FLAG_TIME); });
    addHotKeyMethod(Qt::ALT | Qt::Key_S, [this] { toggle_filter_flag(FLAG_SIZE); });
    addHotKeyMethod(Qt::ALT | Qt::Key_C, [this] { toggle_filter_flag(FLAG_CONTENT); });
    addHotKeyMethod(Qt::ALT | Qt::Key_0, [this] { set_filter_flags(0); });
    addHotKeyMethod(Qt::CTRL | Qt::Key_Q, [this] { quit_application(this); });
    addHotKeyMethod(Qt::CTRL | Qt::Key_1, [this] { on_thumbs_toggle(true); });
    addHotKeyMethod(Qt::CTRL | Qt::Key_2, [this] { on_thumbs_toggle(false); });
}

void WinFinder::set_filter_flags(uint32_t flags)
{
    m_filterFlags.set_all(flags);
    filterFlagsListener.fire(flags);
}

void WinFinder::toggle_filter_flag(uint32_t flag)
{
    set_filter_flags(filter_flags() ^ flag);
}

void WinFinder::setUp_shift_control()
{
    register_app_listeners();
}

void WinFinder::register_app_listeners()
{
    zem::XAppEvents* events = zem::XAppEvents::get();
    if (!events || m_listenerKeyPress >= 0)
        return;
    m_listenerKeyPress = events->keyPressed.add([this](QKeyEvent* event) { on_key_pressed(event); });
    m_listenerKeyRelease = events->keyReleased.add([](QKeyEvent*) {});
}

void WinFinder::unregister_app_listeners()
{
    zem::XAppEvents* events = zem::XAppEvents::get();
    if (events) {
        if (m_listenerKeyPress >= 0)
            events->keyPressed.remove(m_listenerKeyPress);
        if (m_listenerKeyRelease >= 0)
            events->keyReleased.remove(m_listenerKeyRelease);
    }
    m_listenerKeyPress = -1;
    m_listenerKeyRelease = -1;
}

void WinFinder::on_key_pressed(QKeyEvent* event)
{
    // Only the press of Ctrl (or Shift while Ctrl is down) itself: shortcuts with Ctrl are not meant.
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (!ctrl || (event->key() != Qt::Key_Control && event->key() != Qt::Key_Shift) || !m_treeView || !isVisible())
        return;
    const QFileInfo file = m_treeView->current_hoover();
    if (file.filePath().isEmpty() || !file.exists())
        return;
    Logger::log(xprintF(QStringLiteral("WinFinder::setUp_shift_control, TREE-LEFT, fi:$"), file.absoluteFilePath()),
                zem::LOG_PROGRESS);
    if (file.isDir()) {
        on_treeView_selectFile(file);
        return;
    }
    force_view(file, event->modifiers() & Qt::ShiftModifier);
}

} // namespace zemFinder
