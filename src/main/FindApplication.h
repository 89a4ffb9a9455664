#pragma once
// The "app" command: guards against a second instance, loads the configuration and the stores,
// opens the finder window and runs the event loop.
#include <QString>

namespace zem {
class KernelGUI;
}

namespace zemFinder {

class FindApplication {
public:
    static int zemFind(zem::KernelGUI& kernel);
    // The start path of the window: --file (relative to where the user started the program),
    // else the configured start folder when that is switched on, else empty.
    static QString start_path(zem::KernelGUI& kernel);
    // The application store from its file, else the default list.
    static void load_apps();
    // A second start asked to see the program: its main window comes forward (one is opened when
    // none is left) and selects file when that exists.
    static void on_second_start(const QString& file);
};

} // namespace zemFinder
