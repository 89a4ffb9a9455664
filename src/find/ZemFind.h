#pragma once
// The content search of one main window: looks inside the files the directory scan let through
// and collects, per file with hits, the file and its marks.
//
// Owns the controller (one pool thread) and, through it, the workers (further pool threads).
// Start, stop and the read-outs belong to the GUI thread (or the one thread that owns the
// object); the finished event runs there too. Workers share only the next-file index (list lock),
// the result list (the controller's results lock, never held together with the list lock) and
// atomics. The file pointers handed to prepareFiles must stay valid until the search ended;
// they belong to the directory scanner that produced them.
#include "FileResult.h"
#include "XAtomic.h"
#include "XEventListener.h"
#include "find/XContentFilter.h"

#include <QString>

#include <QFileInfo>
#include <QMutex>
#include <memory>
#include <vector>

namespace zem {
class XPathQueue;
}

namespace zemFinder {

class ThreadControllerFind;
class FindThread;

class ZemFind {
public:
    ZemFind();
    virtual ~ZemFind();
    ZemFind(const ZemFind&) = delete;
    ZemFind& operator=(const ZemFind&) = delete;

    // Functions run on the GUI thread, in registration order, when a search ends (also after a
    // stop). Guarded by its own lock.
    zem::XEventListener<void()> finishedListener;

    // Parameters, set before start_search.
    void setCountThreads(quint32 count) { m_countThreads = count; }
    quint32 countThreads() const { return m_countThreads; }
    void setContentFilter(const zem::find::XContentFilter& filter) { m_contentFilter = filter; }
    const zem::find::XContentFilter& contentFilter() const { return m_contentFilter; }
    // The scope chosen for the search (0 File, 1 Paragraph, 2 Sentence); the content filter
    // carries the scope it matches with.
    void setScope(quint32 scope) { m_scope = scope; }
    quint32 scope() const { return m_scope; }
    // The folder a queue's files come from (the file system's bytes): workers open them
    // relative to it. A list of files (prepareFiles) has none.
    void setFolder(const QByteArray& native) { m_folder = native; }
    const QByteArray& folder() const { return m_folder; }

    // Takes over the list (the source is left empty) and sums the file sizes.
    void prepareFiles(std::vector<const QFileInfo*>& files);
    void prepareFiles(std::vector<const QFileInfo*>&& files) { prepareFiles(files); }
    // With the bytes of the files already known (the scan summed them): the files' QFileInfo
    // objects are not asked for their sizes, which may not have been read yet.
    void prepareFiles(std::vector<const QFileInfo*>&& files, quint64 bytesToRead);

    // The streaming road: the files come from queue while a walk still fills it (the workers
    // wait for it and end once it is closed and drained). Bytes to read are then the sizes of
    // the files the workers opened, known at the end; progress goes by files. Not owned; it
    // must outlive the search.
    void prepareQueue(zem::XPathQueue* queue);
    bool isStreaming() const { return m_queue != nullptr; }

    // Starts the controller; while one runs, stops it instead.
    void start_search();
    void stop_search();
    // True from start_search until the controller ends or is stopped.
    bool isRunning() const;
    // True until the controller of the last search has completely ended (also after a stop).
    bool isBusy() const;

    // The per-file step alone, synchronous (the text preview's search).
    FileResult find(const QFileInfo& file, zem::find::XContentFilter& contentFilter);

    // Read-outs. The progress ones may be polled while a search runs; the result ones are meant
    // for after the finished event.
    std::size_t count_files() const;
    quint64 bytes_to_read() const;
    quint64 bytes_read() const;
    quint64 files_searched() const;
    // Lines of the files with hits (only they need them; counting every file would cost a
    // second pass over each), except big files searched window by window, which would have to
    // be read again for them.
    quint64 lines_read() const;
    // Lines on which the regular expression's match limit gave up; they were skipped and the
    // rest of their files searched (each is logged with its file and line number).
    quint64 lines_skipped() const;
    // Bytes read against bytes to read (streaming: files searched against files queued), 0 to
    // 100; 0 when there is nothing to read.
    int progress_percent() const;
    static int progress_percent(quint64 bytesRead, quint64 bytesToRead);
    std::size_t count_files_with_hits() const;
    quint64 count_hits() const;
    bool has_results() const { return count_files_with_hits() > 0; }
    std::vector<FileResult>& results();
    // Moves the results out; the list is empty afterwards.
    std::vector<FileResult> take_results();

    ThreadControllerFind* controller() const { return m_controller.get(); }

private:
    friend class ThreadControllerFind;
    friend class FindThread;

    // The next files to search (list order, or queue order; a few at a time from the queue),
    // appended to batch; false when all are handed out. May wait for the walk while streaming.
    bool next_files(std::vector<QByteArray>& batch);

    quint32 m_countThreads = 8;
    zem::find::XContentFilter m_contentFilter;
    quint32 m_scope = 1;
    std::unique_ptr<ThreadControllerFind> m_controller;
    QMutex m_lockList;
    zem::XAtomic<quint32> m_indexNextFile;
    zem::XAtomic<qint32> m_countRunning;
    std::vector<const QFileInfo*> m_files;
    quint64 m_bytesToRead = 0;
    zem::XPathQueue* m_queue = nullptr;
    QByteArray m_folder;

    // Numbers the searches, so that the finished event of a stopped search that arrives after
    // the next one started is dropped.
    zem::XAtomic<quint32> m_generation;
    // Tells the queued finished call whether this object still exists.
    std::shared_ptr<bool> m_alive;
};

} // namespace zemFinder
