#include "main/StartUp.h"

#include "KernelGUI.h"
#include "Logger.h"
#include "XEnv.h"
#include "XLibInfo.h"
#include "XNode.h"
#include "XTools.h"
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

bool lang_ini_hook(zem::KernelGUI& kernel)
{
    zem::XTools::set_lang_path(QStringLiteral(":/zf/lang/lang.xml"));
    zem::XNode* nEngine = kernel.getNodeRoot();
    if (!nEngine)
        zem::nullPointerHandling("src/main", 209, "nEngine == NULL");
    zem::XNode::atomicWriteFullEmptyTags = true;
    zem::XTools::lang_ini(true);
    zem::XTools::set_lang(zem::ZemEngine::get_lang());
    return true;
}

void prepare_start(int, char**)
{
    zem::signal_handler_memory_alarm();
    zem::ZemLibraries::addLib(2070, QStringLiteral("FIND"));
    remember_start_directory();
    set_env_variables();
    if (zem::hasEnv(QStringLiteral("ZEMALWAYS")))
        zem::KernelGUI::set_generate_config_always();
    zem::KernelGUIConfig::lang_ini = lang_ini_hook;
    zem::setEnv(QStringLiteral("NOCONSOLE"), QStringLiteral("true"));
}

} // namespace zemFinder
