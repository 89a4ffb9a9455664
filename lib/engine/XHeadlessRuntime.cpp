#include "XHeadlessRuntime.h"

#include <QCoreApplication>

namespace zem {

QStringList XHeadlessRuntime::argsOf(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

void XHeadlessRuntime::prepareCommandLine(Kernel& kernel, const QStringList& args, const CommandEntry& entry)
{
    kernel.commandLine().parse(args);
    kernel.commandLine().setAllowedKeys(entry.optionalKeys, entry.requiredKeys);
}

const CommandEntry* XHeadlessRuntime::headlessCommand(const CommandLine& line)
{
    if (line.command().isEmpty())
        return nullptr;
    const CommandEntry* entry = CommandRegistry::find(line.command());
    return entry && !entry->gui ? entry : nullptr;
}

int XHeadlessRuntime::run(int argc, char** argv, const CommandEntry& entry)
{
    QCoreApplication app(argc, argv);
    Kernel kernel;
    prepareCommandLine(kernel, argsOf(argc, argv), entry);
    const int rc = entry.function(kernel);
    kernel.runExitHandlers();
    return rc;
}

} // namespace zem
