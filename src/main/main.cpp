// Process entry: prepares the environment and hands over to the GUI runtime, which runs the
// command named on the command line ("app", the finder, by default).
#include "XRuntime.h"
#include "main/StartUp.h"

int main(int argc, char** argv, char** envp)
{
    zemFinder::prepare_start(argc, argv);
    return zem::XRuntime::runStandard(argc, argv, envp, QStringLiteral("app"), QStringLiteral("zemEngine"), nullptr);
}
