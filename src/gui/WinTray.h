#pragma once
// The one tray icon of the process, with its fixed menu (Quit, New Window, Reset Configuration)
// followed by one entry per window. Every 500 ms it checks whether any window is left and ends
// the program when none is. Created on first use; deleted by the program's exit handler.
#include "widgets/XTray.h"

#include <QTimer>

namespace zemFinder {

class WinTray : public zem::XTray {
    Q_OBJECT
public:
    ~WinTray() override;

    // The tray, created on the first call.
    static WinTray* get();
    static bool exists();
    static void destroy();

    // Counts the kernel's windows that are not closing; a hidden window still counts.
    static int count_windows();
    // One tick of the check: ends the program when no window is left. True when it did.
    bool check_windows();
    QTimer& timer() { return m_timer; }

    // Sets the kernel's node tree back to its first-start state, keeping the nodes that running
    // code still holds ("Config" is emptied, not removed).
    static void reset_configuration();

private:
    WinTray();
    void build_menu();
    void on_reset_configuration();

    QTimer m_timer;
};

} // namespace zemFinder
