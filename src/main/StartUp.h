#pragma once
// The process entry's preparation: the headless part (environment variables, start directory)
// and what the GUI adds, the language hook.
#include "main/StartEnvironment.h"

namespace zem {
class KernelGUI;
}

namespace zemFinder {

bool lang_ini_hook(zem::KernelGUI& kernel);
// Everything main does before handing over to the runtime.
void prepare_start(int argc, char** argv);

} // namespace zemFinder
