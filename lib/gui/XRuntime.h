#pragma once
// Runs one registered command: picks it by name from the command line (default given by the
// program), makes the application object and the kernel, runs it, then the exit handlers, then
// persists the configuration. SIGTERM and SIGINT end a GUI command like a normal quit.
#include <QString>

namespace zem {

class XRuntime {
public:
    static int runStandard(int argc, char** argv, char** envp, const QString& defaultCommand,
                           const QString& engineName, void* reserved);
    // True once SIGTERM or SIGINT asked the program to end. A modal dialog that the signal closed
    // cannot tell its caller otherwise, and the caller must not go on to open windows.
    static bool quit_requested();
};

} // namespace zem
