// Developer command "testThumbs": the thumbnail wall alone, on the folder given as "open" (the
// home folder without one), with its loader, in a window of its own.
#include "KernelGUI.h"
#include "XDirInfo.h"
#include "gui/PanThumb.h"
#include "gui/PanelThumbs.h"
#include "gui/ThumbLoader.h"

#include <QApplication>
#include <QDir>
#include <memory>

namespace zemFinder {

namespace {
constexpr int kThumbSize = 128;

int test_thumbs(zem::KernelGUI& kernel)
{
    const QString folder = kernel.commandLine().getString(QStringLiteral("open"), QDir::homePath());
    auto loader = std::make_shared<ThumbLoader>();
    auto* panel = new PanelThumbs;
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowTitle(folder);
    panel->resize(900, 600);
    panel->visibleTiles.add([loader](const QList<PanThumb*>& tiles) {
        for (PanThumb* tile : tiles)
            loader->add(tile);
        loader->start();
    });
    panel->set_dirs_and_files(nullptr, zem::XDirInfo::get_flat_directory_info(folder), kThumbSize);
    panel->show();
    panel->trigger_thumbs_appear_event();
    QObject::connect(panel, &QObject::destroyed, qApp, [loader] {
        loader->reset();
        QApplication::exit(0);
    });
    return kernel.run();
}

const zem::TestGuiContextAdder g_thumbs(test_thumbs, "testThumbs", "", {QStringLiteral("open")});
} // namespace

} // namespace zemFinder
