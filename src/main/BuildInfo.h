#pragma once
// Version and build stamp of the program, and the directory the user started it from.
#include <QString>

namespace zemFinder {

struct BuildInfo {
    static const QString version;
    static const QString date;
    static const QString time;
    static QString banner();
};

// Remembered by main before the program makes the executable's directory current, so that
// relative paths from the command line still mean what the user meant.
void remember_start_directory();
QString start_directory();
// A path from the command line made absolute against the start directory.
QString resolve_user_path(const QString& path);

} // namespace zemFinder
