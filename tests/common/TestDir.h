#pragma once
// Test helpers: a temporary file tree, and private config/cache/data homes so that no test
// touches the real home directory.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

class TestDir {
public:
    TestDir() { Q_ASSERT(m_dir.isValid()); }

    QString path() const { return m_dir.path(); }
    QString abs(const QString& relative) const { return m_dir.path() + QLatin1Char('/') + relative; }

    // Writes bytes to relative path, creating parent folders; returns the absolute path.
    QString write(const QString& relative, const QByteArray& bytes) const
    {
        const QString full = abs(relative);
        QDir().mkpath(QFileInfo(full).absolutePath());
        QFile f(full);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(bytes);
        return full;
    }
    QString mkdir(const QString& relative) const
    {
        const QString full = abs(relative);
        QDir().mkpath(full);
        return full;
    }

private:
    QTemporaryDir m_dir;
};

// Points XDG_CONFIG_HOME, XDG_CACHE_HOME, XDG_DATA_HOME, XDG_RUNTIME_DIR and HOME at a private
// temporary folder for the life of the process. Call before QCoreApplication exists
// (e.g. from a static object or initTestCase before anything reads the paths).
inline QString isolateHomes()
{
    static QTemporaryDir home;
    const QByteArray base = home.path().toUtf8();
    for (const char* sub : {"config", "cache", "data", "runtime"})
        QDir().mkpath(home.path() + QLatin1Char('/') + QLatin1String(sub));
    qputenv("HOME", base);
    qputenv("XDG_CONFIG_HOME", base + "/config");
    qputenv("XDG_CACHE_HOME", base + "/cache");
    qputenv("XDG_DATA_HOME", base + "/data");
    qputenv("XDG_RUNTIME_DIR", base + "/runtime");
    QFile::setPermissions(home.path() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return home.path();
}
