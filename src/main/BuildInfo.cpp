#include "main/BuildInfo.h"

#include "Logger.h"
#include "XLibInfo.h"

#include <QDir>

namespace zemFinder {

const QString BuildInfo::version = QStringLiteral("1.00.15");
const QString BuildInfo::date = QStringLiteral("Sep 13 2022");
const QString BuildInfo::time = QStringLiteral("19:39:31");

QString BuildInfo::banner()
{
    return zem::xprintF(QStringLiteral("ZemFinder $ - build at $ / $"), version, date, time);
}

namespace {
QString g_startDirectory;

// Registered before main, so the description is there whatever command runs.
const bool g_bannerAdded = [] {
    zem::XAdditionalLibInfos::addLibInfo(BuildInfo::banner(), false);
    return true;
}();
} // namespace

void remember_start_directory()
{
    g_startDirectory = QDir::currentPath();
}

QString start_directory()
{
    return g_startDirectory.isEmpty() ? QDir::currentPath() : g_startDirectory;
}

QString resolve_user_path(const QString& path)
{
    if (path.isEmpty() || QDir::isAbsolutePath(path))
        return path;
    return QDir::cleanPath(QDir(start_directory()).absoluteFilePath(path));
}

} // namespace zemFinder
