#pragma once
// The counters of a recursive folder scan ("Deep Info"). The scan runs on a pool thread and
// writes the counters as atomics; the GUI thread reads them and clears running to cancel.
#include <QSet>
#include <QString>
#include <atomic>
#include <functional>

namespace zemFinder {

class PDirInfo {
public:
    // Walks path recursively and counts; stops at the next entry once running is cleared.
    // keepRunning: the caller set running already (and may have cleared it again to cancel).
    void scan_dir(const QString& path, bool keepRunning = false);
    // "dirs:$, files:$, bytes:$, text files:$, text bytes:$".
    QString toString() const;
    void reset();

    std::atomic<bool> running{false};
    QString path;
    std::atomic<int32_t> files{0};
    std::atomic<int32_t> textFiles{0};
    std::atomic<int32_t> dirs{0};
    std::atomic<int64_t> bytes{0};
    std::atomic<int64_t> textBytes{0};
    // Lower-case extensions of text files; set before a scan starts.
    QSet<QString> textExtensions;

    // Called on the scanning thread before each entry; lets tests hold a scan at a known point.
    static std::function<void(const PDirInfo&)> entryHook;

private:
    void walk(const QString& dirPath);
};

} // namespace zemFinder
