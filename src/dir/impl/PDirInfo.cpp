#include "PDirInfo.h"

#include "Logger.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

namespace zemFinder {

std::function<void(const PDirInfo&)> PDirInfo::entryHook;

void PDirInfo::reset()
{
    files = 0;
    textFiles = 0;
    dirs = 0;
    bytes = 0;
    textBytes = 0;
}

void PDirInfo::scan_dir(const QString& dirPath, bool keepRunning)
{
    if (!keepRunning)
        running = true;
    path = dirPath;
    reset();
    QElapsedTimer timer;
    timer.start();
    walk(dirPath);
    running = false;
    zem::Logger::log(zem::xprintF(QStringLiteral("PDirInfo::~scan_dir, di:{$}, within $ sec"), toString(),
                                  QString::number(double(timer.nsecsElapsed()) / 1e9, 'f', 3)),
                     zem::LOG_PROGRESS);
}

void PDirInfo::walk(const QString& dirPath)
{
    const QFileInfoList entries =
        QDir(dirPath).entryInfoList(QDir::Files | QDir::AllDirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& entry : entries) {
        if (entryHook)
            entryHook(*this);
        if (!running)
            return;
        if (entry.isDir()) {
            bytes += entry.size();
            ++dirs;
            // Links to folders are counted but not followed: they may lead in circles.
            if (!entry.isSymLink())
                walk(entry.filePath());
            continue;
        }
        ++files;
        bytes += entry.size();
        const QString name = entry.fileName();
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0 && textExtensions.contains(name.mid(dot + 1).toLower())) {
            ++textFiles;
            textBytes += entry.size();
        }
    }
}

QString PDirInfo::toString() const
{
    return zem::xprintF(QStringLiteral("dirs:$, files:$, bytes:$, text files:$, text bytes:$"), zem::format1000(dirs),
                        zem::format1000(files), zem::formatBytes(quint64(bytes.load())), zem::format1000(textFiles),
                        zem::formatBytes(quint64(textBytes.load())));
}

} // namespace zemFinder
