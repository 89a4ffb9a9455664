#pragma once
// Single-instance guard: the first process that holds the key runs; a second one is told to stop.
// A lock that names no live process of this program (left by a crashed or killed process,
// emptied or garbled) is stale and taken over.
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

    // False when the lock file names no live process running this program: empty, garbage, a
    // process that ended, or an id now used by another program. A file younger than two seconds
    // without a process id counts as held: its owner may still be writing it.
    static bool is_held_by_live_instance(const QString& path);

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace zem
