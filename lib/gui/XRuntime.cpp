#include "XRuntime.h"

#include "KernelGUI.h"
#include "Logger.h"
#include "XEnv.h"
#include "XHeadlessRuntime.h"
#include "XNode.h"
#include "XTools.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace zem {

namespace {
int g_signalFds[2] = {-1, -1};
bool g_quitRequested = false;

void onSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe work here: the event loop reads the byte and quits.
    [[maybe_unused]] ssize_t n = ::write(g_signalFds[0], &byte, 1);
}

void installQuitOnSignals(QCoreApplication& app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalFds) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalFds[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        notifier->setEnabled(false);
        char byte = 0;
        [[maybe_unused]] ssize_t n = ::read(g_signalFds[1], &byte, 1);
        Logger::log(QStringLiteral("XRuntime, signal received: quitting"), LOG_PROGRESS);
        g_quitRequested = true;
        QCoreApplication::quit();
        notifier->setEnabled(true);
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// Hands every key press to the kernel's key hook first.
class KeyHookFilter : public QObject {
public:
    explicit KeyHookFilter(KernelGUI& kernel) : m_kernel(kernel) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        // A key the focus widget ignores travels on to its parents and passes here again at
        // every stop; the hook hears it only at the first receiver.
        QWidget* focus = QApplication::focusWidget();
        if (focus && watched != focus)
            return false;
        return m_kernel.callKeyHook(static_cast<QKeyEvent*>(event));
    }

private:
    KernelGUI& m_kernel;
};

const CommandEntry* pickCommand(const CommandLine& line, const QString& defaultCommand)
{
    const QString name = line.command().isEmpty() ? defaultCommand : line.command();
    const CommandEntry* entry = CommandRegistry::find(name);
    if (!entry) {
        std::fprintf(stderr, "Unknown command '%s'. Commands:", qPrintable(name));
        for (const CommandEntry& e : CommandRegistry::all())
            std::fprintf(stderr, " %s", qPrintable(e.name));
        std::fprintf(stderr, "\n");
    }
    return entry;
}

bool hasDisplay()
{
    return hasEnv(QStringLiteral("DISPLAY")) || hasEnv(QStringLiteral("WAYLAND_DISPLAY"))
           || hasEnv(QStringLiteral("QT_QPA_PLATFORM"));
}

void restartProgram(const QStringList& args)
{
    const QString exe = get_exe_path(true);
    Logger::log(xprintF(QStringLiteral("XRuntime, restarting <<<$>>>"), exe), LOG_PROGRESS);
    if (!QProcess::startDetached(exe, args))
        Logger::log(QStringLiteral("XRuntime, restart failed"), LOG_ERROR);
}

int runGui(int argc, char** argv, const CommandEntry& entry)
{
    if (!hasDisplay()) {
        std::fprintf(stderr, "No display: start it under a virtual display, e.g. xvfb-run -a %s\n", argv[0]);
        return 1;
    }
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zemfinder"));
    KernelGUI kernel;
    Logger::setLogFile(XTools::get_create_cache_dir() + QStringLiteral("/zemfinder.log"));
    // Arguments after Qt took its own (-platform ...).
    QStringList args = app.arguments();
    args.removeFirst();
    XHeadlessRuntime::prepareCommandLine(kernel, args, entry);
    kernel.loadConfig();
    if (KernelGUIConfig::lang_ini)
        KernelGUIConfig::lang_ini(kernel);
    else
        XTools::lang_ini(true);
    kernel.applyTheme();
    installQuitOnSignals(app);
    KeyHookFilter keyHook(kernel);
    app.installEventFilter(&keyHook);

    const int rc = entry.function(kernel);

    kernel.runExitHandlers();
    kernel.saveConfig();
    Logger::log(xprintF(QStringLiteral("XRuntime::runStandard, command '$' ended with $"), entry.name, rc), LOG_PROGRESS);
    if (kernel.is_restart())
        restartProgram(args);
    Logger::setLogFile(QString());
    return rc;
}
} // namespace

bool XRuntime::quit_requested()
{
    return g_quitRequested;
}

int XRuntime::runStandard(int argc, char** argv, char** /*envp*/, const QString& defaultCommand,
                          const QString& /*engineName*/, void* /*reserved*/)
{
    const CommandLine line(XHeadlessRuntime::argsOf(argc, argv));
    const CommandEntry* entry = pickCommand(line, defaultCommand);
    if (!entry)
        return 2;
    return entry->gui ? runGui(argc, argv, *entry) : XHeadlessRuntime::run(argc, argv, *entry);
}

} // namespace zem
