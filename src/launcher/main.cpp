// The zemfinder command. It links QtCore only, so a headless command (search) starts without
// loading the GUI libraries; every other command, and the window, is run by zemfinder-gui,
// which this process becomes.
#include "XHeadlessRuntime.h"
#include "launcher/GuiHandOver.h"
#include "main/StartEnvironment.h"

int main(int argc, char** argv)
{
    const zem::CommandLine line(zem::XHeadlessRuntime::argsOf(argc, argv));
    if (const zem::CommandEntry* entry = zem::XHeadlessRuntime::headlessCommand(line)) {
        zemFinder::prepare_headless_start();
        return zem::XHeadlessRuntime::run(argc, argv, *entry);
    }
    return zemFinder::GuiHandOver::exec(argv);
}
