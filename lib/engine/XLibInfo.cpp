#include "XLibInfo.h"

#include "Logger.h"

#include <QMutex>
#include <QMutexLocker>
#include <cstdio>
#include <new>

namespace zem {

namespace {
QMutex& lock()
{
    static QMutex m;
    return m;
}
QList<QPair<int, QString>>& libList()
{
    static QList<QPair<int, QString>> l;
    return l;
}
QStringList& infoList()
{
    static QStringList l;
    return l;
}

void onOutOfMemory()
{
    // No allocation here: the logger itself would need memory.
    std::fputs("MEMORY ALARM: an allocation failed\n", stderr);
    std::set_new_handler(nullptr);
    throw std::bad_alloc();
}
} // namespace

void ZemLibraries::addLib(int number, const QString& tag)
{
    QMutexLocker locker(&lock());
    libList().append({number, tag});
}

QList<QPair<int, QString>> ZemLibraries::libs()
{
    QMutexLocker locker(&lock());
    return libList();
}

void XAdditionalLibInfos::addLibInfo(const QString& info, bool log)
{
    {
        QMutexLocker locker(&lock());
        infoList().append(info);
    }
    if (log)
        Logger::log(info, LOG_PROGRESS);
}

QStringList XAdditionalLibInfos::infos()
{
    QMutexLocker locker(&lock());
    return infoList();
}

void signal_handler_memory_alarm()
{
    std::set_new_handler(onOutOfMemory);
}

} // namespace zem
