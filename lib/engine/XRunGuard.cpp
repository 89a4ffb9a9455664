#include "XRunGuard.h"

#include "Logger.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace zem {

namespace {
QString defaultLockDir()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir;
}
} // namespace

XRunGuard::XRunGuard(const QString& key, const QString& lockDir)
{
    const QString dir = lockDir.isEmpty() ? defaultLockDir() : lockDir;
    QDir().mkpath(dir);
    m_path = dir + QLatin1Char('/') + key + QStringLiteral(".lock");
    m_lock = std::make_unique<QLockFile>(m_path);
    // Age alone never makes a lock stale: a long-running instance keeps it. QLockFile still takes
    // over a lock whose process no longer runs.
    m_lock->setStaleLockTime(0);
}

XRunGuard::~XRunGuard()
{
    release();
}

bool XRunGuard::run_instance_of_program()
{
    if (m_lock->isLocked())
        return true;
    if (m_lock->tryLock(0))
        return true;
    if (m_lock->error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host, app;
        m_lock->getLockInfo(&pid, &host, &app);
        Logger::log(xprintF(QStringLiteral("XRunGuard::run_instance_of_program, held by pid $"), pid), LOG_PROGRESS);
        return false;
    }
    // The lock file cannot be written at all: better to run than to refuse for ever.
    Logger::log(xprintF(QStringLiteral("XRunGuard::run_instance_of_program, cannot use <<<$>>>"), m_path), LOG_WARN);
    return true;
}

void XRunGuard::release()
{
    if (m_lock && m_lock->isLocked())
        m_lock->unlock();
}

} // namespace zem
