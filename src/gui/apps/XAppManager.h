#pragma once
// The process-wide application store: one typed tree whose key "programs" holds the records in
// display order, kept in "zemFind-apps.bin" in the configuration folder. Start-up loads it (or
// sets the defaults); the application editor replaces it. GUI thread only.
#include "XApp.h"

#include <QFileInfo>
#include <memory>
#include <vector>

namespace zemFinder {

class XAppManager {
public:
    static const QString FILE_NAME;   // "zemFind-apps.bin"
    static const QString KEY;         // "programs"

    // The store file becomes the configuration folder's "zemFind-apps.bin".
    static void set_file();
    static void set_file(const QString& path);
    static QFileInfo file();
    // Loads the store file. False when it is missing (told on the console) or unreadable; an
    // unreadable file is kept beside it as "<name>.bad" so that the next save cannot lose it.
    static bool load();
    // Writes the store atomically.
    static bool save();
    // Replaces the store by the default list (one text editor record). Nothing is saved.
    static void set_defaults();
    static std::unique_ptr<zem::XTree> create_defaults();

    // A deep copy of the store tree; the editor works on one.
    static std::unique_ptr<zem::XTree> get_copy();
    // The records in order; valid until the store is next replaced.
    static std::vector<XApp*> get_apps();
    // Replaces the store tree (by a copy of tree).
    static void set_tree(const zem::XTree& tree);
    static const zem::XTree& tree();

    // The records of tree's "programs" array, in order (empty when missing).
    static std::vector<XApp*> apps_of(const zem::XTree& tree);
};

} // namespace zemFinder
