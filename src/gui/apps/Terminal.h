#pragma once
// Terminal windows: the one this desktop prefers (the Debian "x-terminal-emulator" alternative,
// else $TERMINAL, else the first common terminal found on the PATH), a terminal opened in a
// folder, and terminal processes that run a command. Terminals are started detached: they outlive
// the finder and nothing waits for them. GUI thread only.
#include <QFileInfo>
#include <QStringList>

namespace zem {
class XProcess;
}

namespace zemFinder {

class Terminal {
public:
    // The terminal's program and leading words (from $TERMINAL), or empty when none is found.
    static QStringList find_terminal();
    // The words that make terminal run command (a program and its arguments, never a shell text):
    // each terminal family has its own option for that.
    static QStringList command_words(const QStringList& terminal, const QStringList& command);

    // Opens a terminal in the folder of fileInfo (the item itself when it is a folder).
    static bool open_here(const QFileInfo& fileInfo);
    // Opens a terminal whose shell starts in path; false when no terminal was found or started.
    static bool open_terminal_windows(const QString& path);
    // A process object set to start the terminal with command inside; null (logged) when no
    // terminal is found. The caller adds callbacks and starts it detached.
    static zem::XProcess* create_terminal_process(const QStringList& command);
};

} // namespace zemFinder
