#pragma once
// The one process-wide record of user options. Loaded from the kernel's "Config" node at start,
// edited as a copy by the configuration dialog, stored back by the exit handler. Read by the GUI
// thread, and copied (countThreads, TextFiles) by a search before its threads start; no lock.
#include <QFileInfo>
#include <QSet>
#include <QString>
#include <cstdint>
#include <unordered_set>

namespace zem {
class XNode;

struct QHashFileInfo {
    size_t operator()(const QFileInfo& info) const { return qHash(info.absoluteFilePath()); }
};
} // namespace zem

namespace zemFinder {

using FileInfoSet = std::unordered_set<QFileInfo, zem::QHashFileInfo>;

class WinFinderConfig {
public:
    WinFinderConfig();

    // The process-wide record, constructed before main.
    static WinFinderConfig& get();

    void fromNode(zem::XNode* nConfig);
    void toNode(zem::XNode* nConfig) const;

    bool ext_from_string(const QString& text);
    QString ext_to_string(bool sorted) const;
    static FileInfoSet default_filter_folders();
    // The thread count a new configuration starts with: the hardware threads, within 1 to 64.
    static uint32_t default_count_threads(uint32_t hardwareThreads);
    void dump(int indent) const;

    bool flagUseFilter = true;
    bool flagTreeDirOnly = false;
    bool flagTreeDateSize = false;
    bool flagTreeMouseOverInfo = true;
    bool flagDarkTheme = false;
    bool flagStatusBar = false;
    bool flagConfirmQuit = false;
    bool flag_zf_read_only = true;
    int32_t li_pos = 1;
    QSet<QString> TextFiles;
    FileInfoSet filter;
    uint32_t countThreads;
    uint32_t filterBits = 32;
    uint32_t scope = 1;
    bool flagRegEx = true;
    uint32_t fontSizeHexView = 14;
    uint32_t fontSize = 14;
    bool flagRuler = true;
    bool flagAutoWrap = false;
    uint32_t HotkeyCyclePreviews = 0x06000000;
    bool flagUseStartFolder = true;
    QString startFolder;
    bool flagUseRootFolder = false;
    QString root;
    bool flagPropAutoLoad = true;
    uint64_t max_file_size_auto_calc_checksums = 3;
};

// The user's home folder as the configuration sees it: HOMEDRIVE and HOMEPATH joined where the
// system sets them, else HOME.
QString platform_home_folder();

} // namespace zemFinder
