#include "XFile.h"

#include "XStrings.h"

#include <QDir>
#include <QFileInfo>

namespace zem {

QString XFile::createTmpFileName(int length, bool suffixTxt, const QString& folder)
{
    const QString dir = folder.isEmpty() ? QDir::tempPath() : folder;
    QString path;
    do {
        path = dir + QStringLiteral("/zf_") + random_name(length) + (suffixTxt ? QStringLiteral(".txt") : QString());
    } while (QFileInfo::exists(path));
    return path;
}

} // namespace zem
