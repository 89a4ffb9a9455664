#include "main/StartUp.h"

#include "KernelGUI.h"
#include "Logger.h"
#include "XEnv.h"
#include "XNode.h"
#include "XTools.h"

namespace zemFinder {

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
    prepare_headless_start();
    if (zem::hasEnv(QStringLiteral("ZEMALWAYS")))
        zem::KernelGUI::set_generate_config_always();
    zem::KernelGUIConfig::lang_ini = lang_ini_hook;
}

} // namespace zemFinder
