#include "main/StartEnvironment.h"

#include "Logger.h"
#include "XEnv.h"
#include "XLibInfo.h"
#include "main/BuildInfo.h"

#include <QDir>
#include <cstdio>

namespace zemFinder {

const char* platform_os_name()
{
#ifdef Q_OS_WIN
    return "WINDOWS";
#elif defined(Q_OS_MACOS)
    return "MACOS";
#else
    return "LINUX";
#endif
}

void set_env_variables()
{
    zem::setEnv(QStringLiteral("ZEMFINDER_VERSION"), BuildInfo::version);
    zem::setEnv(QStringLiteral("BUILD_DATE"), BuildInfo::date);
    zem::setEnv(QStringLiteral("BUILD_TIME"), BuildInfo::time);
    const QString exeDir = zem::get_exe_path(false);
    if (!QDir::setCurrent(exeDir))
        std::fprintf(stderr, "%s\n",
                     qPrintable(zem::xprintF(QStringLiteral("main::set_env_variables - tried to cd to dir <<<$>>> did not work!"), exeDir)));
    zem::setEnv(QStringLiteral("OS"), QString::fromLatin1(platform_os_name()));
    if (!zem::getEnv(QStringLiteral("ZEM_WINDOWS_DEVELOP")).isEmpty())
        return;
    zem::setEnv(QStringLiteral("QT_PLUGIN_PATH"), zem::xprintF(QStringLiteral("$/plugins"), exeDir));
}

void prepare_headless_start()
{
    zem::signal_handler_memory_alarm();
    zem::ZemLibraries::addLib(2070, QStringLiteral("FIND"));
    // Before set_env_variables changes the current directory: relative paths on the command
    // line mean the directory the user started from.
    remember_start_directory();
    set_env_variables();
    zem::setEnv(QStringLiteral("NOCONSOLE"), QStringLiteral("true"));
}

} // namespace zemFinder
