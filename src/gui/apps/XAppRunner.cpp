#include "XAppRunner.h"

#include "Logger.h"
#include "Terminal.h"
#include "XApp.h"
#include "XLang.h"
#include "XProcess.h"
#include "XTools.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
void log_started(const zem::XProcess* process)
{
    Logger::log(xprintF(QStringLiteral("WinRunProgram::on_exec, processID:$ started"), process->past_pid()), zem::LOG_OUT);
}

void log_not_started(const zem::XProcess* process)
{
    Logger::log(xprintF(QStringLiteral("WinRunProgram::on_exec, processID cannot start_global:$"), process->errorString()),
                zem::LOG_ERROR);
}

// A working directory that does not exist would make every start fail; it is logged and left out.
void apply_working_dir(zem::XProcess* process, const QString& dir)
{
    if (dir.isEmpty())
        return;
    if (QDir(dir).exists())
        process->setWorkingDirectory(dir);
    else
        Logger::log(xprintF(QStringLiteral("XAppRunner::start_program, no working dir '$'"), dir), zem::LOG_WARN);
}
} // namespace

zem::XEventListener<void(const QString&)>& XAppRunner::output_listeners()
{
    static zem::XEventListener<void(const QString&)> listeners;
    return listeners;
}

void XAppRunner::deliver_output(const QString& text, int delayMs)
{
    zem::XTools::run_in_gui_thread([text] { output_listeners().fire(text); }, delayMs);
}

QString XAppRunner::process_error_text()
{
    return zem::xt("Process Error\nProcess Error\n");
}

QString XAppRunner::output_text(bool crashed, const QByteArray& output)
{
    if (crashed)
        return zem::xt("Process crashed\n").repeated(4);
    const QString text = QString::fromUtf8(output);
    return text.isEmpty() ? zem::xt("Process result is empty!") : text;
}

QString XAppRunner::terminal_command(const XApp& app)
{
    QStringList words;
    for (const QString& word : zem::XProcess::expand_args(app.arguments(false)))
        words << zem::XProcess::shell_quote(word);
    QString command = zem::XProcess::shell_quote(app.path(true)) + QLatin1Char(' ') + words.join(QLatin1Char(' '));
    if (app.is_flag_keep_term_open()) {
        Logger::log(QStringLiteral("TERM OPEN"), zem::LOG_PROGRESS);
        command += QStringLiteral("; exec bash");
    }
    return command;
}

bool XAppRunner::start_program(const XApp& app)
{
    if (app.is_flag_terminal())
        start_in_terminal(app);
    else
        start_direct(app);
    return true;
}

void XAppRunner::start_in_terminal(const XApp& app)
{
    for (const QString& piece : (app.path(true) + QLatin1Char(' ') + app.arguments(true))
                                    .split(QRegularExpression(QStringLiteral("[ \t\n]")), Qt::SkipEmptyParts))
        Logger::log(xprintF(QStringLiteral("XAppRunner::start_program, piece '$'"), piece), zem::LOG_DETAIL);
    const QString command = terminal_command(app);
    auto* process = Terminal::create_terminal_process({QStringLiteral("bash"), QStringLiteral("-c"), command});
    if (!process) {
        deliver_output(process_error_text());
        return;
    }
    apply_working_dir(process, app.working_dir(true));
    process->addEnv(app.environment(false));
    process->startedListener.add([process] { log_started(process); });
    process->errorListener.add([process](QProcess::ProcessError) { log_not_started(process); });
    process->start_detached_and_delete();
}

void XAppRunner::start_direct(const XApp& app)
{
    Logger::log(QStringLiteral("WinRunProgram::on_exec, no terminal"), zem::LOG_PROGRESS);
    const bool showOutput = app.is_flag_show_output();
    auto* process = new zem::XProcess(showOutput ? QCoreApplication::instance() : nullptr);
    process->setArgs(app.arguments(false));
    process->addEnv(app.environment(false));
    process->setProgram(app.path(true));
    apply_working_dir(process, app.working_dir(true));
    process->set_collect_output(showOutput);
    process->startedListener.add([process] { log_started(process); });
    process->errorListener.add([process](QProcess::ProcessError error) {
        // A crash also ends the program: the exit callback reports it.
        if (error == QProcess::Crashed)
            return;
        Logger::log(QStringLiteral("XAppRunner::start_program, process error"), zem::LOG_ERROR);
        log_not_started(process);
        deliver_output(process_error_text());
        // A program that never started never ends: nothing else would delete the object.
        if (error == QProcess::FailedToStart && process->state() == QProcess::NotRunning)
            process->deleteLater();
    });
    if (!showOutput) {
        process->start_detached_and_delete();
        return;
    }
    process->exitListener.add([process](bool crashed) {
        if (crashed)
            Logger::log(QStringLiteral("XAppRunner::start_program, process crashed"), zem::LOG_ERROR);
        else
            Logger::log(QStringLiteral("XAppRunner::start_program, process exit"), zem::LOG_PROGRESS);
        deliver_output(output_text(crashed, process->output()));
        process->deleteLater();
    });
    process->start_rw();
}

} // namespace zemFinder
