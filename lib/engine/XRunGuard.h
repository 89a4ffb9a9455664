#pragma once
// Single-instance guard: the first process that holds the key runs; a second one is told to stop.
// A lock left by a crashed or killed process is detected as stale and taken over.
#include <QString>
#include <memory>

class QLockFile;

namespace zem {

class XRunGuard {
public:
    // The lock file lives in lockDir (default: the user's runtime or cache directory).
    explicit XRunGuard(const QString& key, const QString& lockDir = QString());
    ~XRunGuard();
    XRunGuard(const XRunGuard&) = delete;
    XRunGuard& operator=(const XRunGuard&) = delete;

    // True when this process now holds the key (or already held it).
    bool run_instance_of_program();
    void release();
    QString lockFilePath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace zem
