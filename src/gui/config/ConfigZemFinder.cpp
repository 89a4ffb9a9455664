#include "gui/config/ConfigZemFinder.h"

#include "Logger.h"
#include "XAtomic.h"
#include "XEnv.h"
#include "XLang.h"
#include "XNode.h"
#include "preview/TextExtensions.h"

#include <QRegularExpression>
#include <algorithm>

namespace zemFinder {

namespace {
WinFinderConfig g_config;

const QString NODE_TEXT_FILES = QStringLiteral("TextFiles");
const QString KEY_EXT = QStringLiteral("ext");
constexpr uint32_t DEFAULT_HOTKEY_CYCLE = 0x06000000; // Shift + Control
constexpr uint32_t MAX_THREADS = 64;
constexpr uint32_t THREADS_WHEN_OUT_OF_RANGE = 2;

QStringList tokens(const QString& text)
{
    static const QRegularExpression delimiters(QStringLiteral("[, ]"));
    return text.split(delimiters, Qt::SkipEmptyParts);
}

// Folders are stored joined by ";". A ";" inside a path is doubled so that such a folder
// survives; the writer never produces an empty entry, so ";;" was unused before.
QString joinFolders(const FileInfoSet& folders)
{
    QStringList paths;
    for (const QFileInfo& folder : folders)
        paths << folder.absoluteFilePath().replace(QLatin1Char(';'), QLatin1String(";;"));
    return paths.join(QLatin1Char(';'));
}

QStringList splitFolders(const QString& text)
{
    QStringList paths;
    QString current;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char(';')) {
            current += text.at(i);
        } else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char(';')) {
            current += QLatin1Char(';');
            ++i;
        } else {
            paths << current;
            current.clear();
        }
    }
    paths << current;
    paths.removeAll(QString());
    return paths;
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}
} // namespace

QString platform_home_folder()
{
    const QString windowsHome = zem::getEnv(QStringLiteral("HOMEDRIVE")) + zem::getEnv(QStringLiteral("HOMEPATH"));
    return windowsHome.isEmpty() ? zem::getEnv(QStringLiteral("HOME")) : windowsHome;
}

WinFinderConfig::WinFinderConfig()
    : countThreads(default_count_threads(zem::count_hardware_threads(8))), startFolder(platform_home_folder())
{
}

uint32_t WinFinderConfig::default_count_threads(uint32_t hardwareThreads)
{
    // A machine with more hardware threads than the search allows gets the most it allows, not
    // a value that the range check at the next start throws away.
    return std::max<uint32_t>(1, std::min(hardwareThreads, MAX_THREADS));
}

WinFinderConfig& WinFinderConfig::get()
{
    return g_config;
}

void WinFinderConfig::fromNode(zem::XNode* nConfig)
{
    if (!nConfig) {
        zem::nullPointerHandling("src/gui/config/ConfigZemFinder", __LINE__, "nConfig == NULL");
        return;
    }
    QString ext = nConfig->getCreateNode(NODE_TEXT_FILES)->getString(KEY_EXT, QString());
    if (ext.isEmpty())
        ext = zem::default_text_file_extensions_as_string();
    ext_from_string(ext);

    flagUseRootFolder = nConfig->isBool(QStringLiteral("flagUseRootFolder"), false);
    root = nConfig->getBase64String(QStringLiteral("root"), QString());
    flagUseFilter = nConfig->isBool(QStringLiteral("flagUseFilter"), flagUseFilter);
    flagTreeDirOnly = nConfig->isBool(QStringLiteral("flagTreeDirOnly"), false);
    flagTreeDateSize = nConfig->isBool(QStringLiteral("flagTreeDateSize"), false);
    flagTreeMouseOverInfo = nConfig->isBool(QStringLiteral("flagTreeMouseOverInfo"), true);
    flagRuler = nConfig->isBool(QStringLiteral("flagRuler"), flagRuler);
    flagAutoWrap = nConfig->isBool(QStringLiteral("flagAutoWrap"), flagAutoWrap);
    flagStatusBar = nConfig->isBool(QStringLiteral("flagStatusBar"), flagStatusBar);
    flagConfirmQuit = nConfig->isBool(QStringLiteral("flagConfirmQuit"), flagConfirmQuit);
    flag_zf_read_only = nConfig->isBool(QStringLiteral("flag_zf_read_only"), flag_zf_read_only);
    flagPropAutoLoad = nConfig->isBool(QStringLiteral("flagPropAutoLoad"), flagPropAutoLoad);
    max_file_size_auto_calc_checksums = uint32_t(nConfig->getUInt(
        QStringLiteral("max_file_size_auto_calc_checksums"), uint32_t(max_file_size_auto_calc_checksums)));
    filterBits = uint32_t(nConfig->getUInt(QStringLiteral("filterBits"), filterBits));
    scope = uint32_t(nConfig->getUInt(QStringLiteral("scope"), scope));
    flagRegEx = nConfig->isBool(QStringLiteral("flagRegEx"), flagRegEx);
    HotkeyCyclePreviews = uint32_t(nConfig->getUInt(QStringLiteral("HotkeyCyclePreviews"), DEFAULT_HOTKEY_CYCLE));
    // Read wide so that a stored value above 32 bits is seen as out of range, not cut into range.
    const unsigned long long threads = nConfig->getUInt(QStringLiteral("countThreads"), countThreads);
    fontSizeHexView = uint32_t(nConfig->getUInt(QStringLiteral("fontSizeHexView"), 14));
    fontSize = uint32_t(nConfig->getUInt(QStringLiteral("fontSize"), fontSize));

    if (threads == 0 || threads > MAX_THREADS) {
        zem::Logger::log(zem::xprintF(QStringLiteral("WinFinderConfig::fromNode, countThreads:$, allowed range 1...64, set to 2"),
                                      threads),
                         zem::LOG_ERROR);
        countThreads = THREADS_WHEN_OUT_OF_RANGE;
    } else {
        countThreads = uint32_t(threads);
    }

    FileInfoSet folders;
    for (const QString& path : splitFolders(nConfig->getBase64String(QStringLiteral("filter"), QString())))
        folders.insert(QFileInfo(path));
    filter = folders.empty() ? default_filter_folders() : std::move(folders);

    flagUseStartFolder = nConfig->isBool(QStringLiteral("flagUseStartFolder"), false);
    startFolder = nConfig->getBase64String(QStringLiteral("startFolder"), startFolder);
    li_pos = nConfig->has(QStringLiteral("li_pos")) ? int32_t(nConfig->getInt(QStringLiteral("li_pos"), 1)) : 1;
}

void WinFinderConfig::toNode(zem::XNode* nConfig) const
{
    if (!nConfig) {
        zem::nullPointerHandling("src/gui/config/ConfigZemFinder", __LINE__, "nConfig == NULL");
        return;
    }
    nConfig->getCreateNode(NODE_TEXT_FILES)->setString(KEY_EXT, ext_to_string(false));
    nConfig->setBase64String(QStringLiteral("root"), root);
    nConfig->setBool(QStringLiteral("flagUseRootFolder"), flagUseRootFolder);
    nConfig->setBool(QStringLiteral("flagUseFilter"), flagUseFilter);
    nConfig->setBool(QStringLiteral("flagTreeDirOnly"), flagTreeDirOnly);
    nConfig->setBool(QStringLiteral("flagTreeDateSize"), flagTreeDateSize);
    nConfig->setBool(QStringLiteral("flagTreeMouseOverInfo"), flagTreeMouseOverInfo);
    nConfig->setBool(QStringLiteral("flagRuler"), flagRuler);
    nConfig->setBool(QStringLiteral("flagAutoWrap"), flagAutoWrap);
    nConfig->setBool(QStringLiteral("flagStatusBar"), flagStatusBar);
    nConfig->setBool(QStringLiteral("flagConfirmQuit"), flagConfirmQuit);
    nConfig->setBool(QStringLiteral("flag_zf_read_only"), flag_zf_read_only);
    nConfig->setBool(QStringLiteral("flagPropAutoLoad"), flagPropAutoLoad);
    nConfig->setUInt(QStringLiteral("max_file_size_auto_calc_checksums"), uint32_t(max_file_size_auto_calc_checksums));
    nConfig->setUInt(QStringLiteral("filterBits"), filterBits);
    nConfig->setUInt(QStringLiteral("scope"), scope);
    nConfig->setBool(QStringLiteral("flagRegEx"), flagRegEx);
    nConfig->setUInt(QStringLiteral("HotkeyCyclePreviews"), HotkeyCyclePreviews);
    nConfig->setUInt(QStringLiteral("countThreads"), countThreads);
    nConfig->setUInt(QStringLiteral("fontSizeHexView"), fontSizeHexView);
    nConfig->setUInt(QStringLiteral("fontSize"), fontSize);
    nConfig->setBase64String(QStringLiteral("filter"), joinFolders(filter));
    nConfig->setBool(QStringLiteral("flagUseStartFolder"), flagUseStartFolder);
    nConfig->setBase64String(QStringLiteral("startFolder"), startFolder);
    nConfig->setInt(QStringLiteral("li_pos"), li_pos);
}

bool WinFinderConfig::ext_from_string(const QString& text)
{
    const QStringList list = tokens(text);
    if (list.isEmpty()) {
        zem::Logger::log(QStringLiteral("WinFinderConfig::ext_from_string, EMPTY"), zem::LOG_ERROR);
        return false;
    }
    for (const QString& ext : list)
        TextFiles.insert(ext);
    return true;
}

QString WinFinderConfig::ext_to_string(bool sorted) const
{
    QStringList list(TextFiles.begin(), TextFiles.end());
    if (sorted)
        std::sort(list.begin(), list.end());
    return list.join(QLatin1Char(','));
}

FileInfoSet WinFinderConfig::default_filter_folders()
{
    FileInfoSet folders;
    for (const char* name : {"ProgramData", "ProgramFiles", "ProgramFiles(x86)", "SystemRoot"}) {
        const QString value = zem::getEnv(QString::fromLatin1(name));
        if (!value.isEmpty())
            folders.insert(QFileInfo(value));
    }
    if (folders.empty()) {
        // Linux has none of those variables: hide its kernel pseudo file systems instead,
        // which only slow a tree walk down and hold nothing a user looks for.
        folders.insert(QFileInfo(QStringLiteral("/proc")));
        folders.insert(QFileInfo(QStringLiteral("/sys")));
    }
    return folders;
}

void WinFinderConfig::dump(int indent) const
{
    using zem::xprintF;
    auto line = [indent](const QString& text) { zem::Logger::log(text, zem::LOG_PROGRESS, indent + 4); };
    zem::Logger::log(QStringLiteral("WinFinderConfig"), zem::LOG_PROGRESS, indent);
    line(xprintF(QStringLiteral("countThreads:$"), countThreads));
    line(xprintF(QStringLiteral("ext:$"), ext_to_string(true)));
    for (const QFileInfo& folder : filter)
        line(xprintF(QStringLiteral("filter[$]"), folder.absoluteFilePath()));
    line(xprintF(QStringLiteral("fontSize:$"), fontSize));
    line(xprintF(QStringLiteral("li_pos:$"), li_pos));
    line(xprintF(QStringLiteral("flagRuler:$"), boolText(flagRuler)));
    line(xprintF(QStringLiteral("flagStatusBar:$"), boolText(flagStatusBar)));
    line(xprintF(QStringLiteral("flagConfirmQuit:$"), boolText(flagConfirmQuit)));
    line(xprintF(QStringLiteral("flag_zf_read_only:$"), boolText(flag_zf_read_only)));
    line(xprintF(QStringLiteral("flagUseStartFolder:$"), boolText(flagUseStartFolder)));
    line(xprintF(QStringLiteral("sStartFolder:$"), startFolder));
    line(xprintF(QStringLiteral("flagUseRootFolder:$"), boolText(flagUseRootFolder)));
    line(xprintF(QStringLiteral("sRootFolder:$"), root));
    line(xprintF(QStringLiteral("flagTreeDateSize:$"), boolText(flagTreeDateSize)));
    line(xprintF(QStringLiteral("flagTreeDirOnly:$"), boolText(flagTreeDirOnly)));
    line(xprintF(QStringLiteral("flagTreeMouseOverInfo:$"), boolText(flagTreeMouseOverInfo)));
    line(xprintF(QStringLiteral("filterBits:$"), filterBits));
    line(xprintF(QStringLiteral("scope:$"), scope));
    line(xprintF(QStringLiteral("property auto load:$"), boolText(flagPropAutoLoad)));
    line(xprintF(QStringLiteral("max size prop auto load:$"), max_file_size_auto_calc_checksums));
    line(xprintF(QStringLiteral("XTools::lang:$"), zem::XLang::language()));
}

} // namespace zemFinder
