#include "XFormat.h"

#include "Logger.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>

namespace zem {

QString XFormat::size(qint64 bytes)
{
    return formatBytes(quint64(std::max<qint64>(0, bytes)));
}

QString XFormat::fileSize(const QFileInfo& file)
{
    return file.isDir() ? QString() : size(file.size());
}

QString XFormat::dateTime(const QDateTime& time)
{
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy/MM/dd - hh:mm")) : QString();
}

QString XFormat::fileDate(const QFileInfo& file)
{
    return dateTime(file.lastModified());
}

} // namespace zem
