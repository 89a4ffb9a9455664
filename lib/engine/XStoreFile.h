#pragma once
// Reads a whole store file (the configuration, saved trees) at once, without ever blocking: only
// a regular file is read; a pipe, device or folder in its place counts as unreadable. Tells a
// missing file from one that exists but cannot be read, so that callers keep the latter in place
// instead of treating it as damaged. Any thread; no state.
#include <QByteArray>
#include <QString>

namespace zem {

class XStoreFile {
public:
    enum class Read { Ok, Missing, Unreadable };

    // Largest store read; a larger file is unreadable rather than a memory hazard.
    static constexpr qint64 kMaxBytes = qint64(512) << 20;

    // bytes gets the content on Ok; reason says why not otherwise.
    static Read read(const QString& path, QByteArray& bytes, QString& reason);
};

} // namespace zem
