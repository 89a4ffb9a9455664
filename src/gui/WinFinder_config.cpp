// WinFinder: the configuration dialog's result applied to the running program, the restart
// that options such as the theme and the language need, and the language editor.
#include "KernelGUI.h"
#include "Logger.h"
#include "WinFinder.h"
#include "WinFinder_FindArea.h"
#include "XFontScale.h"
#include "XLang.h"
#include "XNode.h"
#include "XTools.h"
#include "dir/AbstractPreviewDir.h"
#include "dir/XContainerPreviews.h"
#include "gui/config/DiaWinFinderConfig.h"
#include "gui/lang/WinLang.h"
#include "widgets/XBox.h"
#include "widgets/XButton.h"
#include "widgets/XTreeViewFiles.h"

#include <QDialog>

namespace zemFinder {

using zem::Logger;
using zem::xt;

std::function<void()> WinFinder::restartHook;

namespace {
// The question box has closed and the dialog is gone before the windows start closing.
constexpr int RESTART_DELAY_MS = 1000;

void log(const char* text)
{
    Logger::log(QString::fromLatin1(text), zem::LOG_PROGRESS);
}

// Every open main window follows the new record: tree filter and mode, the text extensions of
// its directory preview, the regular-expression toggle and the status bar.
void apply_config_to_windows()
{
    const WinFinderConfig& config = WinFinderConfig::get();
    zem::KernelGUI* kernel = zem::KernelGUI::kernelGui();
    if (!kernel)
        return;
    for (QWidget* window : kernel->windows()) {
        auto* win = qobject_cast<WinFinder*>(window);
        if (!win)
            continue;
        if (zem::XTreeViewFiles* tree = win->treeView()) {
            if (config.flagUseFilter) {
                QSet<QString> folders;
                for (const QFileInfo& folder : config.filter)
                    folders.insert(folder.absoluteFilePath());
                tree->set_filter(folders);
            } else {
                tree->remove_filter();
            }
            tree->setDirOnly(config.flagTreeDirOnly);
            tree->showHeaderDetails(config.flagTreeDateSize);
            tree->rebuild_model();
        }
        if (win->containerPreviews())
            if (AbstractPreviewDir* dir = win->containerPreviews()->previewDirectory())
                dir->set_text_file_extensions(config.TextFiles);
        if (win->findArea() && win->findArea()->buttonRegEx)
            win->findArea()->buttonRegEx->setVisible(config.flagRegEx);
    }
    WinFinder::apply_status_bar_flag();
}

void apply_theme(bool darkBefore)
{
    zem::KernelGUI* kernel = zem::KernelGUI::kernelGui();
    if (!kernel)
        return;
    const bool dark = WinFinderConfig::get().flagDarkTheme;
    if (dark) {
        log("WinFinder_config::on_config - DARK THEME");
        kernel->setZemStyleNewDark();
    } else {
        log("WinFinder_config::on_config - STANDARD THEME");
        kernel->setZemStyleNewStandard();
    }
    if (dark == darkBefore)
        return;
    // Cached images (thumbnails, icons) were drawn for the other theme.
    log("THEME CHANGED !");
    log("del contents of cache dir");
    zem::XTools::empty_out_cache_dir();
    zem::XTools::get_create_cache_dir();
}

void restart_program()
{
    if (WinFinder::restartHook) {
        WinFinder::restartHook();
        return;
    }
    if (zem::KernelGUI* kernel = zem::KernelGUI::kernelGui())
        kernel->set_restart(true);
    WinFinder::quit_the_app();
}
} // namespace

void WinFinder::on_config()
{
    zem::KernelGUI* kernel = zem::KernelGUI::kernelGui();
    const bool darkBefore = kernel && kernel->isZemStyleDark();
    WinFinderConfig copy = WinFinderConfig::get();
    copy.flagDarkTheme = darkBefore;

    DiaZemFinderConfig dia(copy, this);
    dia.setGeometry(50, 50, 600, 400);
    if (dia.run() != QDialog::Accepted) {
        log("dia cancel");
        return;
    }
    WinFinderConfig::get() = dia.config();
    if (kernel) {
        WinFinderConfig::get().toNode(kernel->getCreateNodeApplication()->getCreateNode(QStringLiteral("Config")));
        kernel->saveConfig();
    }
    apply_config_to_windows();
    apply_theme(darkBefore);
    zem::XFontScale::set_percent(dia.scaling());

    const int answer = zem::XBox::ask_yes_no(
        this, xt("Restart"), xt("Some options will work only after restart!\nDo you want to restart Zem Finder ?"));
    if (answer == 1)
        zem::XTools::run_in_gui_thread(restart_program, RESTART_DELAY_MS);
}

void WinFinder::on_lang_editor()
{
    Logger::log(
        zem::xprintF(QStringLiteral("WinFinder_config::on_lang_editor, current lang:$"), zem::XTools::get_lang()),
        zem::LOG_PROGRESS);
    WinLang::open_editor();
}

} // namespace zemFinder
