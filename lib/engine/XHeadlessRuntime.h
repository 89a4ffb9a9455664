#pragma once
// Runs a command that needs no GUI: a QCoreApplication and a plain Kernel, the command line
// checked against the command's keys, the command, then the exit handlers. Shared by the full
// program's runtime and the small launcher, so a headless command behaves the same in both.
#include "Kernel.h"

#include <QStringList>

namespace zem {

class XHeadlessRuntime {
public:
    // The program's arguments without its name, decoded as the system's local 8-bit text.
    static QStringList argsOf(int argc, char** argv);
    // The kernel's command line from args, with the keys the command allows.
    static void prepareCommandLine(Kernel& kernel, const QStringList& args, const CommandEntry& entry);
    // The registered headless command named on the command line, or null (no name given, an
    // unknown name, or a GUI command).
    static const CommandEntry* headlessCommand(const CommandLine& line);
    static int run(int argc, char** argv, const CommandEntry& entry);
};

} // namespace zem
