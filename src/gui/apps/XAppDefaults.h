#pragma once
// The default application list on this platform: one record that opens the file in a text editor
// present on the machine. Reads a few small desktop files; GUI thread, at start-up.
#include "XApp.h"

namespace zemFinder {

class XAppDefaults {
public:
    // The desktop's default program for plain text, else the first common editor on the PATH,
    // else a console editor in a terminal (when there is a terminal), else the desktop's opener.
    static XApp text_editor();
    // The desktop entry id ("org.gnome.gedit.desktop") the desktop lists for a MIME type, or empty.
    static QString default_desktop_id(const QString& mimeType);
    // A record from a desktop entry file; empty (no path) when the file has no usable Exec line.
    static XApp app_from_desktop_file(const QString& path);
};

} // namespace zemFinder
