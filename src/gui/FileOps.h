#pragma once
// Rename and delete of one file-system entry, without questions or windows (WinFinder asks).
// Sound by construction: a rename stays in the entry's folder and never replaces anything; a
// delete of a symbolic link removes the link only; a folder is deleted for good only after its
// whole content was listed without following links. Any thread; no state.
#include <QFileInfo>
#include <QString>

namespace zemFinder {

class FileOps {
public:
    // True for a name that stays in its folder: not empty, not "." or "..", no separator, no NUL.
    static bool is_valid_name(const QString& name);
    // Renames file to name in the same folder. False (and nothing changed) for an invalid name
    // or an existing target; *exists tells the latter apart.
    static bool rename_in_folder(const QFileInfo& file, const QString& name, bool* exists = nullptr);

    // True when the entry can go to the desktop trash instead of being removed for good.
    static bool trash_available(const QFileInfo& file);
    // Moves the entry to the trash when there is one, else removes it (a folder with its content).
    static bool remove(const QFileInfo& file, bool* trashed = nullptr);
    // Removes for good; a link is removed itself, never what it points to.
    static bool remove_for_good(const QFileInfo& file);
};

} // namespace zemFinder
