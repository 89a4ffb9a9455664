#include "Terminal.h"

#include "Logger.h"
#include "XEnv.h"
#include "XProcess.h"

#include <QStandardPaths>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
// Tried in this order when neither the alternative nor $TERMINAL names one.
const char* const COMMON_TERMINALS[] = {"gnome-terminal", "konsole", "xfce4-terminal", "mate-terminal",
                                        "qterminal", "tilix", "terminator", "alacritty", "kitty",
                                        "foot", "xterm", "urxvt"};
} // namespace

QStringList Terminal::find_terminal()
{
    const QString alternative = QStandardPaths::findExecutable(QStringLiteral("x-terminal-emulator"));
    if (!alternative.isEmpty())
        return {alternative};
    QStringList fromEnv = zem::XProcess::split_args(zem::getEnv(QStringLiteral("TERMINAL")));
    if (!fromEnv.isEmpty()) {
        const QString program = QStandardPaths::findExecutable(fromEnv.first());
        if (!program.isEmpty()) {
            fromEnv[0] = program;
            return fromEnv;
        }
    }
    for (const char* name : COMMON_TERMINALS) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!program.isEmpty())
            return {program};
    }
    return {};
}

QStringList Terminal::command_words(const QStringList& terminal, const QStringList& command)
{
    QStringList words = terminal;
    if (command.isEmpty() || terminal.isEmpty())
        return words;
    const QString name = QFileInfo(terminal.first()).fileName();
    if (name == QLatin1String("gnome-terminal") || name == QLatin1String("mate-terminal")
        || name == QLatin1String("tilix"))
        words << QStringLiteral("--");
    else if (name == QLatin1String("xfce4-terminal") || name == QLatin1String("terminator"))
        words << QStringLiteral("-x");
    else if (name != QLatin1String("kitty") && name != QLatin1String("foot"))
        words << QStringLiteral("-e");   // the Debian alternative's promise, and xterm's and most others'
    return words + command;
}

zem::XProcess* Terminal::create_terminal_process(const QStringList& command)
{
    const QStringList terminal = find_terminal();
    if (terminal.isEmpty()) {
        Logger::log(QStringLiteral("Terminal, no terminal program found"), zem::LOG_ERROR);
        return nullptr;
    }
    QStringList words = command_words(terminal, command);
    auto* process = new zem::XProcess;
    process->setProgram(words.takeFirst());
    process->setArguments(words);
    return process;
}

bool Terminal::open_here(const QFileInfo& fileInfo)
{
    const QString dir = fileInfo.isDir() ? fileInfo.absoluteFilePath() : fileInfo.absolutePath();
    Logger::log(xprintF(QStringLiteral("Terminal::open_here '$'"), dir), zem::LOG_PROGRESS);
    return open_terminal_windows(dir);
}

bool Terminal::open_terminal_windows(const QString& path)
{
    Logger::log(xprintF(QStringLiteral("open_terminal_windows,*, sPath '$'"), path), zem::LOG_PROGRESS);
    zem::XProcess* process = create_terminal_process({});
    if (!process)
        return false;
    // The folder reaches the terminal as its working directory, never through a command line.
    process->setWorkingDirectory(path);
    process->startedListener.add([process] {
        Logger::log(xprintF(QStringLiteral("open_terminal_windows, processID:$ started"), process->past_pid()),
                    zem::LOG_OUT);
    });
    process->errorListener.add([process](QProcess::ProcessError) {
        Logger::log(xprintF(QStringLiteral("open_terminal_windows, processID cannot start_global:$"),
                            process->errorString()),
                    zem::LOG_ERROR);
    });
    const bool ok = process->start_detached_and_delete();
    Logger::log(QStringLiteral("~open_terminal_windows"), zem::LOG_PROGRESS);
    return ok;
}

} // namespace zemFinder
