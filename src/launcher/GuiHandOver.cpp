#include "launcher/GuiHandOver.h"

#include "XEnv.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace zemFinder {

namespace {
const int kCannotRun = 127;
}

QString GuiHandOver::guiProgramPath()
{
    return zem::get_exe_path(false) + QStringLiteral("/zemfinder-gui");
}

int GuiHandOver::exec(char** argv)
{
    const QByteArray path = QFile::encodeName(guiProgramPath());
    // argv[0] stays as the user typed it: the full program's messages name the command used.
    ::execv(path.constData(), argv);
    const int error = errno;
    std::fprintf(stderr, "zemfinder: cannot run %s: %s\n", path.constData(), std::strerror(error));
    return kCannotRun;
}

} // namespace zemFinder
