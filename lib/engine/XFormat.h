#pragma once
// How sizes and dates of files read wherever the program lists files: the directory tree, the
// folder view and the results table. One place, so that the three never drift apart.
// Plain functions of their arguments; any thread.
#include <QString>

class QDateTime;
class QFileInfo;

namespace zem {

class XFormat {
public:
    // "512 Bytes", "1.50 KB", "12.3 MB" (units of 1024, as the status bar and tooltips write them).
    static QString size(qint64 bytes);
    // The size of a file; empty for a folder, whose own size says nothing about its content.
    static QString fileSize(const QFileInfo& file);
    // "2026/12/08 - 11:51" in local time; empty for an invalid time.
    static QString dateTime(const QDateTime& time);
    // The last modification of a file or folder.
    static QString fileDate(const QFileInfo& file);
};

} // namespace zem
