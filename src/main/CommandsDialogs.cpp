// Developer commands that open one dialog each, without the finder window: the configuration
// dialog, the first-run message, the history editor, the language editor and the file dialog
// with preview.
#include "KernelGUI.h"
#include "Logger.h"
#include "XLang.h"
#include "XNode.h"
#include "gui/config/ConfigZemFinder.h"
#include "gui/config/DiaWinFinderConfig.h"
#include "gui/dia/DiaFirstMessage.h"
#include "gui/dia/DiaHistory.h"
#include "gui/lang/WinLang.h"
#include "dialogs/DiaSelectFile.h"

#include <QApplication>
#include <QFileInfo>

namespace zemFinder {

namespace {
void log(const QString& text)
{
    zem::Logger::log(text, zem::LOG_PROGRESS);
}

// The dialog on a record loaded from the test node "cfg"; OK stores it there.
int dia_config(zem::KernelGUI& kernel)
{
    zem::XNode* node = kernel.getCreateNodeApplication()->getCreateNode(QStringLiteral("cfg"));
    WinFinderConfig config;
    config.fromNode(node);
    config.flagDarkTheme = kernel.isZemStyleDark();
    DiaZemFinderConfig dia(config);
    dia.setGeometry(50, 50, 600, 400);
    if (dia.run() != QDialog::Accepted) {
        log(QStringLiteral("dialog cancelled"));
        return 0;
    }
    dia.config().toNode(node);
    dia.config().dump(0);
    return 0;
}

int dia_first_message(zem::KernelGUI&)
{
    const DiaFirstMessage::Result result = DiaFirstMessage::run(nullptr);
    log(result.code == DiaFirstMessage::CANCEL
            ? QStringLiteral("sLang:CANCEL")
            : zem::xprintF(QStringLiteral("sLang:$, return:$"), result.code == DiaFirstMessage::OK ? "OK" : "OK_SAVE",
                           result.lang));
    return 0;
}

int dia_edit_hist(zem::KernelGUI&)
{
    bool ok = false;
    const QStringList list = DiaHistory::edit(
        nullptr, {QStringLiteral("*.cpp,*.h"), QStringLiteral("*.txt"), QStringLiteral("report*"), QStringLiteral("*.md")},
        &ok);
    log(zem::xprintF(QStringLiteral("dia.editHist, ok:$, list:$"), ok, list.join(QLatin1Char('|'))));
    return 0;
}

// The language editor on the given language file (loaded into the live table for this run).
int win_lang(zem::KernelGUI& kernel)
{
    const QString file = kernel.commandLine().getString(QStringLiteral("file"), QString());
    if (!file.isEmpty() && !zem::XLang::load(file))
        return 1;
    WinLang* win = WinLang::open_editor();
    if (!win)
        return 1;
    QObject::connect(win, &QObject::destroyed, qApp, [] { QApplication::exit(0); });
    return kernel.run();
}

// The file dialog with preview on the test node "selFile"; file, when given, is where it starts.
int dia_sel_file(zem::KernelGUI& kernel)
{
    zem::XNode* node = kernel.getCreateNodeApplication()->getCreateNode(QStringLiteral("selFile"));
    const QString file = kernel.commandLine().getString(QStringLiteral("file"), QString());
    if (!file.isEmpty()) {
        const QFileInfo fi(file);
        node->setString(QStringLiteral("path"), fi.isDir() ? fi.absoluteFilePath() : fi.absolutePath());
    }
    const QString chosen = DiaSelectFile::getSelectedFile(
        node, QStringList{QStringLiteral("All (*)"), QStringLiteral("Text (*.txt *.md *.cpp *.h *.xml)"),
                          QStringLiteral("Pictures (*.png *.jpg *.jpeg *.svg)")});
    log(zem::xprintF(QStringLiteral("dia.selFile, selected:'$'"), chosen));
    return 0;
}

const zem::TestGuiContextAdder g_config(dia_config, "dia.config", "");
const zem::TestGuiContextAdder g_first(dia_first_message, "dia.showFirstMessage", "");
const zem::TestGuiContextAdder g_hist(dia_edit_hist, "dia.editHist", "");
const zem::TestGuiContextAdder g_sel_file(dia_sel_file, "dia.selFile", "", {QStringLiteral("file")});
const zem::TestGuiContextAdder g_lang(win_lang, "winLang", "", {}, {QStringLiteral("file")});
} // namespace

} // namespace zemFinder
