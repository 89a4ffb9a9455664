#include "main/FindApplication.h"

#include "KernelGUI.h"
#include "Logger.h"
#include "XEnv.h"
#include "XNode.h"
#include "XRunGuard.h"
#include "gui/config/ConfigZemFinder.h"
#include "main/BuildInfo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace zemFinder {

namespace {
const zem::TestGuiContextAdder g_app(FindApplication::zemFind, "app", "", {QStringLiteral("file")});

// Stands in for the finder window until it is built: a real top-level window, so that the event
// loop, the exit handler and the persistence run; closing it ends the program.
class StartWindow : public QWidget {
public:
    explicit StartWindow(const QString& startPath)
    {
        setWindowTitle(QStringLiteral("Zem Finder"));
        auto* layout = new QVBoxLayout(this);
        auto* label = new QLabel(startPath.isEmpty() ? QStringLiteral("Zem Finder") : startPath, this);
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        event->accept();
        QCoreApplication::quit();
    }
};
} // namespace

QString FindApplication::start_path(zem::KernelGUI& kernel)
{
    QString path = resolve_user_path(kernel.commandLine().getString(QStringLiteral("file"), QString()));
    zem::Logger::log(zem::xprintF(QStringLiteral("FindApplication::zemFind <<<$>>>"), path), zem::LOG_PROGRESS);
    const WinFinderConfig& config = WinFinderConfig::get();
    if (path.isEmpty() && config.flagUseStartFolder)
        path = config.startFolder;
    return path;
}

int FindApplication::zemFind(zem::KernelGUI& kernel)
{
    zem::Logger::setLogLevelSimple(3);
    QGuiApplication::setQuitOnLastWindowClosed(false);

    zem::XRunGuard guard(QStringLiteral("zemFind"));
    if (!guard.run_instance_of_program()) {
        zem::Logger::log(QStringLiteral("ONE-INSTANCE-ONLY!"), zem::LOG_ERROR);
        return 0;
    }

    zem::XNode* nApp = kernel.getCreateNodeApplication();
    zem::XNode* nConfig = nApp->getCreateNode(QStringLiteral("Config"));
    WinFinderConfig::get().fromNode(nConfig);

    if (!kernel.commandLine().checkKeys()) {
        zem::Logger::log(QStringLiteral("Keys !"), zem::LOG_ERROR);
        return 1;
    }
    const QString startPath = start_path(kernel);
    zem::setEnv(QStringLiteral("NOCONSOLE"), QStringLiteral("X"));
    nApp->getCreateNode(QStringLiteral("GUI"))->getCreateNode(QStringLiteral("Window"));

    kernel.addExitHandler([nConfig] { WinFinderConfig::get().toNode(nConfig); });

    StartWindow window(startPath);
    window.resize(1200, 600);
    kernel.addWindow(&window);
    window.show();
    return kernel.run();
}

} // namespace zemFinder
