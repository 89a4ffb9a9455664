#pragma once
// The process entry's preparation: environment variables and the language hook.
namespace zem {
class KernelGUI;
}

namespace zemFinder {

// The platform's name as started programs see it in OS.
const char* platform_os_name();
void set_env_variables();
bool lang_ini_hook(zem::KernelGUI& kernel);
// Everything main does before handing over to the runtime.
void prepare_start(int argc, char** argv);

} // namespace zemFinder
