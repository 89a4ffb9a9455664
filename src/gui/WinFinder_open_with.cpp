// WinFinder: the "Open with ..." submenu of the application records, the desktop openers, the
// applications tool button's menu, and a started program's output coming back.
#include "KernelGUI.h"
#include "Logger.h"
#include "WinFinder.h"
#include "XFile.h"
#include "XFileEnv.h"
#include "XLang.h"
#include "XTools.h"
#include "dir/ContextPreviews.h"
#include "gui/apps/DesktopOpeners.h"
#include "gui/apps/WinEditorApps.h"
#include "gui/apps/XAppManager.h"
#include "gui/apps/XAppRunner.h"
#include "widgets/XAction.h"
#include "widgets/XMenu.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XTreeViewFiles.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QPointer>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;

namespace {
const char* SOURCE = "src/gui/WinFinder_open_with";

// The value after the first "=" behind "$OUTPUT", up to the end of its line.
QString output_value(const QString& text)
{
    const int marker = text.indexOf(QLatin1String("$OUTPUT"));
    if (marker < 0)
        return QString();
    const int equals = text.indexOf(QLatin1Char('='), marker);
    if (equals < 0)
        return QString();
    const int end = text.indexOf(QLatin1Char('\n'), equals);
    return text.mid(equals + 1, end < 0 ? -1 : end - equals - 1).trimmed();
}

bool is_quoted(const QString& value)
{
    return value.size() >= 2 && (value.front() == QLatin1Char('\'') || value.front() == QLatin1Char('"'))
           && value.back() == value.front();
}
} // namespace

zem::XMenu* WinFinder::create_open_with_app(zem::XMenu* menu, const QFileInfo& file)
{
    Logger::log(QStringLiteral("WinFinder::create_open_with_app"), zem::LOG_PROGRESS);
    zem::XMenu* sub = menu->createSubMenu(xt("Open with ..."));
    sub->setToolTipsVisible(true);
    const std::vector<XApp*> apps = XAppManager::get_apps();
    for (XApp* app : apps) {
        if (!app) {
            zem::nullPointerHandling(SOURCE, __LINE__, "app == NULL");
            continue;
        }
        zem::XAction* action = sub->createAction(app->icon_path(true), app->name(false), 0);
        action->setToolTip(app->tool_tip(true));
        // The entry keeps its own copy: the store may be replaced while the menu is open.
        const XApp record = *app;
        *action = [record, file] {
            zem::fileInfo_to_env(file);
            XAppRunner::start_program(record);
        };
    }
    if (!apps.empty())
        sub->addSeparator();
    zem::XAction* editor = sub->createAction(QStringLiteral(":/zf/icons/app.svg"), xt("Application Editor"), 0);
    editor->setEnabled(!WinEditorApps::is_open());
    *editor = [] { open_app_editor(); };
    return sub;
}

void WinFinder::add_desktop_openers(zem::XMenu* menu, const QFileInfo& file)
{
    QPointer<WinFinder> self(this);
    *menu->createAction(xt("Open With Default Program"), false, false, true, 0) = [file, self] {
        DesktopOpeners::open_with_default_program(file, self.data());
    };
    *menu->createAction(xt("File Manager"), false, false, true, 0) = [file, self] {
        DesktopOpeners::show_in_file_manager(file, self.data());
    };
    if (DesktopOpeners::has_terminal())
        *menu->createAction(xt("Terminal"), false, false, true, 0) = [file, self] {
            DesktopOpeners::open_terminal_here(file, self.data());
        };
}

zem::XMenu* WinFinder::create_apps_menu()
{
    auto* menu = new zem::XMenu(this);
    const QFileInfo file = currentFile();
    if (file.exists()) {
        if (!file.isDir())
            create_open_with_app(menu, file);
        add_desktop_openers(menu, file);
        menu->addSeparator();
    }
    zem::XAction* editor = menu->createAction(QStringLiteral(":/zf/icons/app.svg"), xt("Application Editor"), 0);
    editor->setEnabled(!WinEditorApps::is_open());
    *editor = [] { open_app_editor(); };
    return menu;
}

void WinFinder::show_apps_menu()
{
    zem::XMenu* menu = create_apps_menu();
    QWidget* anchor = findChild<QWidget*>(QStringLiteral("buttonApps"));
    menu->exec(anchor ? anchor->mapToGlobal(QPoint(0, anchor->height())) : QCursor::pos());
    menu->deleteLater();
}

void WinFinder::open_app_editor()
{
    WinEditorApps::open_editor();
}

QString WinFinder::output_target(const QString& text)
{
    const QString value = output_value(text);
    if (value.isEmpty())
        return QString();
    // A path in matching quotes is taken as written; else every quote character is left out.
    QStringList candidates;
    if (is_quoted(value))
        candidates << value.mid(1, value.size() - 2);
    QString stripped = value;
    stripped.remove(QLatin1Char('"')).remove(QLatin1Char('\''));
    candidates << stripped.trimmed();
    for (const QString& candidate : candidates)
        if (!candidate.isEmpty() && QFileInfo::exists(candidate))
            return QFileInfo(candidate).absoluteFilePath();
    return QString();
}

void WinFinder::show_output(const QString& text)
{
    const QString target = output_target(text);
    if (!target.isEmpty()) {
        Logger::log(xprintF(QStringLiteral("WinFinder::show_output, select <<<$>>>"), target), zem::LOG_PROGRESS);
        if (m_treeView)
            m_treeView->selectFile(target, true);
        return;
    }
    // Output files go to the cache folder, which the program's cache cleaning empties.
    const QString folder = zem::XTools::get_create_cache_dir() + QStringLiteral("/output");
    QDir().mkpath(folder);
    QFile file(zem::XFile::createTmpFileName(16, true, folder));
    if (!file.open(QIODevice::WriteOnly)) {
        Logger::log(xprintF(QStringLiteral("WinFinder::show_output, cannot write <<<$>>>"), file.fileName()),
                    zem::LOG_ERROR);
        return;
    }
    file.write(text.toUtf8());
    file.close();
    if (m_stacked && m_previewArea)
        m_stacked->setCurrentWidget(m_previewArea);
    if (m_contextMain)
        m_contextMain->select_file(QFileInfo(file.fileName()));
}

void WinFinder::show_output_in_main_window(const QString& text)
{
    // The started program's own window usually holds the focus when it ends, so without an
    // active main window the first open one takes the output.
    WinFinder* target = nullptr;
    if (zem::KernelGUI* kernel = zem::KernelGUI::kernelGui())
        for (QWidget* window : kernel->windows())
            if (auto* win = qobject_cast<WinFinder*>(window)) {
                if (win->isActiveWindow()) {
                    target = win;
                    break;
                }
                if (!target && win->isVisible())
                    target = win;
            }
    if (!target) {
        Logger::log(QStringLiteral("WinFinder::show_output_in_main_window, no main window: output dropped"),
                    zem::LOG_WARN);
        return;
    }
    target->show_output(text);
}

} // namespace zemFinder
