#pragma once
// Starts application records: directly, or inside a terminal window; the record's strings are read
// with their "$(NAME)" references filled in (the file variables are set by fileInfo_to_env just
// before). Nothing here waits for a program: starts return at once, and what a program reports
// (its start, an error, its end) arrives later on the GUI thread through the process object's
// callbacks. A program whose output the record wants is kept attached, and its output goes to the
// output listeners; every other program is started detached and runs on after the finder ends.
// GUI thread only (the output listeners may be fired from any thread).
#include "XEventListener.h"

#include <QByteArray>
#include <QString>

namespace zemFinder {

class XApp;

class XAppRunner {
public:
    // Always true: failures show in the log and, for process errors, as output to the user.
    static bool start_program(const XApp& app);

    // The shell command a terminal record runs: the program and each argument quoted for the
    // shell, a blank between program and arguments, and "; exec bash" to keep the terminal open.
    static QString terminal_command(const XApp& app);

    // The process-wide output listeners: each gets every text a program hands back. The finder
    // registers the main window's output display at start-up.
    static zem::XEventListener<void(const QString&)>& output_listeners();
    // Hands text to the output listeners on the GUI thread, delayMs later.
    static void deliver_output(const QString& text, int delayMs = 100);

    // What the user is shown when a program with wanted output ends.
    static QString output_text(bool crashed, const QByteArray& output);
    static QString process_error_text();

private:
    static void start_in_terminal(const XApp& app);
    static void start_direct(const XApp& app);
};

} // namespace zemFinder
