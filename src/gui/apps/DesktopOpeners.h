#pragma once
// The ways out to the rest of the desktop for one file: its default program, the file manager
// showing it, a terminal in its folder. Each returns at once (a file manager is asked over D-Bus
// without waiting for the answer) and tells the user in a warning box when it cannot work.
// GUI thread only.
#include <QFileInfo>

class QWidget;

namespace zemFinder {

class DesktopOpeners {
public:
    // The desktop's default program for the file; false (and a warning) when that failed.
    static bool open_with_default_program(const QFileInfo& file, QWidget* parent);
    // Asks the desktop's file manager to show the file selected (freedesktop FileManager1); where
    // no session bus or file manager answers, opens the folder that holds it instead.
    static bool show_in_file_manager(const QFileInfo& file, QWidget* parent);
    // A terminal in the file's folder (the item itself when it is a folder).
    static bool open_terminal_here(const QFileInfo& file, QWidget* parent);
    // True when a terminal program is found, so that a menu can leave the entry out otherwise.
    static bool has_terminal();

    // The fall-back of show_in_file_manager: the folder through the desktop's URL handling.
    static bool open_folder(const QFileInfo& file, QWidget* parent);
};

} // namespace zemFinder
