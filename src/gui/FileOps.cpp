#include "FileOps.h"

#include "Logger.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>
#include <QStorageInfo>

#include <unistd.h>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
// An entry that is there, even a link that points nowhere.
bool present(const QString& path)
{
    const QFileInfo fi(path);
    return fi.exists() || fi.isSymLink();
}

// Collects the content of dir, deepest first, without entering linked folders. False when a
// folder could not be read: then nothing may be deleted, or part of it would be left.
bool list_content(const QString& dir, QStringList* files, QStringList* dirs)
{
    QDir d(dir);
    if (!d.isReadable())
        return false;
    const QFileInfoList entries = d.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& fi : entries) {
        if (fi.isDir() && !fi.isSymLink()) {
            if (!list_content(fi.absoluteFilePath(), files, dirs))
                return false;
            dirs->append(fi.absoluteFilePath());
        } else {
            files->append(fi.absoluteFilePath());
        }
    }
    return true;
}
} // namespace

bool FileOps::is_valid_name(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    // Both separators: a backslash typed into a name is meant as one more often than not.
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

bool FileOps::rename_in_folder(const QFileInfo& file, const QString& name, bool* exists)
{
    if (exists)
        *exists = false;
    if (!is_valid_name(name) || !present(file.absoluteFilePath()))
        return false;
    const QString target = file.absolutePath() + QLatin1Char('/') + name;
    if (present(target)) {
        if (exists)
            *exists = true;
        return false;
    }
    // QDir::rename renames the entry itself (a link stays a link) and refuses an existing target.
    return QDir().rename(file.absoluteFilePath(), target);
}

bool FileOps::trash_available(const QFileInfo& file)
{
    // The home trash takes what lives on the same file system as the user's data folder.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QStorageInfo entryStore(file.absolutePath());
    if (!entryStore.isValid())
        return false;
    if (QStorageInfo(data).rootPath() == entryStore.rootPath())
        return true;
    // Elsewhere a trash folder in the top folder of that file system, made when writable.
    const QString top = entryStore.rootPath();
    const QString uid = QString::number(::getuid());
    return QFileInfo(top + QStringLiteral("/.Trash-") + uid).isWritable()
           || QFileInfo(top + QStringLiteral("/.Trash/") + uid).isWritable() || QFileInfo(top).isWritable();
}

bool FileOps::remove(const QFileInfo& file, bool* trashed)
{
    if (trashed)
        *trashed = false;
    if (!present(file.absoluteFilePath()))
        return false;
    if (trash_available(file)) {
        // moveToTrash renames the entry itself: a link goes to the trash, not its target.
        QFile entry(file.absoluteFilePath());
        if (entry.moveToTrash()) {
            if (trashed)
                *trashed = true;
            return true;
        }
        Logger::log(xprintF(QStringLiteral("FileOps::remove, trash refused <<<$>>>"), file.absoluteFilePath()),
                    zem::LOG_WARN);
        return false;
    }
    return remove_for_good(file);
}

bool FileOps::remove_for_good(const QFileInfo& file)
{
    const QString path = file.absoluteFilePath();
    if (file.isSymLink() || !file.isDir())
        return QFile::remove(path);
    QStringList files, dirs;
    if (!list_content(path, &files, &dirs)) {
        Logger::log(xprintF(QStringLiteral("FileOps::remove_for_good, cannot list <<<$>>>"), path), zem::LOG_WARN);
        return false;
    }
    for (const QString& f : files)
        if (!QFile::remove(f))
            return false;
    for (const QString& d : dirs)
        if (!QDir().rmdir(d))
            return false;
    return QDir().rmdir(path);
}

} // namespace zemFinder
