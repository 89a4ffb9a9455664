#include "XRunGuard.h"

#include "Logger.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QSysInfo>
#include <cerrno>
#include <csignal>
#include <unistd.h>

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

// A lock file younger than this may be one that another instance is still writing.
constexpr qint64 kWritingGraceMs = 2000;

// The file name of the program a process runs; empty when it cannot be told.
QString programOf(qint64 pid)
{
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid))).fileName();
}

bool processRuns(qint64 pid)
{
    return pid > 0 && pid <= qint64(INT32_MAX) && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}
} // namespace

bool XRunGuard::is_held_by_live_instance(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;  // cannot tell: do not take it from anyone
    const QFileInfo info(file);
    const qint64 age = info.lastModified().msecsTo(QDateTime::currentDateTime());
    // QLockFile writes "pid\napp\nhost\n"; empty or garbage names nobody.
    const QList<QByteArray> lines = file.read(4096).split('\n');
    bool ok = false;
    const qint64 pid = lines.value(0).trimmed().toLongLong(&ok);
    if (!ok || pid <= 0)
        return age >= 0 && age < kWritingGraceMs;
    const QString host = QString::fromUtf8(lines.value(2).trimmed());
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return true;  // another machine's process: cannot be checked from here
    if (!processRuns(pid))
        return false;
    // A live process that runs another program (the id was reused) does not hold our lock.
    const QString theirs = programOf(pid);
    const QString ours = programOf(qint64(::getpid()));
    return theirs.isEmpty() || ours.isEmpty() || theirs == ours;
}

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
    if (m_lock->error() == QLockFile::LockFailedError && !is_held_by_live_instance(m_path)) {
        Logger::log(xprintF(QStringLiteral("XRunGuard::run_instance_of_program, stale lock <<<$>>> taken over"), m_path),
                    LOG_WARN);
        if (m_lock->removeStaleLockFile() && m_lock->tryLock(0))
            return true;
    }
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
