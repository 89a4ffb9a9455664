#pragma once
// Hands the process over to the full program, zemfinder-gui in the launcher's own folder: the
// same arguments and the same process (its id, its signals and its exit code stay the caller's).
#include <QString>

namespace zemFinder {

class GuiHandOver {
public:
    // zemfinder-gui beside the running executable (found through /proc/self/exe, so a start
    // through a link or from another directory finds it too).
    static QString guiProgramPath();
    // Replaces this process with the full program; returns only when that failed, with 127
    // (the shell's "cannot run") after a line on stderr that names the path and the reason.
    static int exec(char** argv);
};

} // namespace zemFinder
