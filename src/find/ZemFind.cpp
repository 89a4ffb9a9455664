#include "ZemFind.h"

#include "FindThread.h"
#include "Logger.h"
#include "ThreadControllerFind.h"
#include "XLineReaderDA.h"
#include "XPathQueue.h"

#include <QFile>

#include <QMutexLocker>

namespace zemFinder {

ZemFind::ZemFind() : m_controller(std::make_unique<ThreadControllerFind>()), m_alive(std::make_shared<bool>(true)) {}

ZemFind::~ZemFind()
{
    // The workers point at this object and at the file list: let them end first. Those that
    // wait for a walk's next file must wake up (the queue outlives this object).
    if (m_queue)
        m_queue->stop();
    m_controller->setRunning(false);
    m_controller->wait_done();
    for (const auto& worker : m_controller->workers())
        worker->wait_done();
}

void ZemFind::prepareFiles(std::vector<const QFileInfo*>& files)
{
    quint64 bytes = 0;
    for (const QFileInfo* file : files)
        if (file && file->size() > 0)
            bytes += quint64(file->size());
    prepareFiles(std::move(files), bytes);
}

void ZemFind::prepareFiles(std::vector<const QFileInfo*>&& files, quint64 bytesToRead)
{
    m_queue = nullptr;
    m_folder.clear();
    m_files = std::move(files);
    files.clear();
    zem::xlog(zem::LOG_PROGRESS, QStringLiteral("ZemFind2::prepareFiles, arTextFiles:$"), m_files.size());
    m_bytesToRead = bytesToRead;
    zem::xlog(zem::LOG_PROGRESS, QStringLiteral("ZemFind2::prepareFiles, bytesToRead:$"),
              zem::format1000(qint64(m_bytesToRead)));
}

void ZemFind::prepareQueue(zem::XPathQueue* queue)
{
    m_files = {};
    m_bytesToRead = 0;
    m_queue = queue;
    zem::Logger::log(QStringLiteral("ZemFind2::prepareFiles, arTextFiles: from the walk"), zem::LOG_PROGRESS);
}

std::size_t ZemFind::count_files() const
{
    return m_queue ? std::size_t(m_queue->countPushed()) : m_files.size();
}

quint64 ZemFind::bytes_to_read() const
{
    // Streaming, nobody asked the sizes before the workers opened the files.
    return m_queue ? bytes_read() : m_bytesToRead;
}

int ZemFind::progress_percent() const
{
    if (m_queue)
        return progress_percent(files_searched(), m_queue->countPushed());
    return progress_percent(bytes_read(), m_bytesToRead);
}

void ZemFind::start_search()
{
    zem::xlog(zem::LOG_PROGRESS, QStringLiteral("ZemFind2::start_search, arTextFiles:$"), m_files.size());
    if (m_controller->isRunning()) {
        zem::Logger::log(QStringLiteral("ZemFind2::start_search - RUNNING"), zem::LOG_PROGRESS);
        m_controller->setRunning(false);
        return;
    }
    zem::Logger::log(QStringLiteral("ZemFind2::start_search()"), zem::LOG_PROGRESS);
    // A stopped controller may still be waiting for workers to finish their current file; its
    // workers must not be replaced under them. This lasts at most one file per worker.
    m_controller->wait_done();
    m_generation.fetch_add(1);
    m_controller->ini(this);
    zem::XThreadPool::start_global(m_controller.get(), false);
    zem::Logger::log(QStringLiteral("ZemFind2::~start_search"), zem::LOG_PROGRESS);
}

void ZemFind::stop_search()
{
    // Workers waiting for the walk's next file wake up and end.
    if (m_queue)
        m_queue->stop();
    if (!m_controller->isRunning()) {
        zem::Logger::log(QStringLiteral("ZemFind::stop_search - not running"), zem::LOG_PROGRESS);
        return;
    }
    zem::Logger::log(QStringLiteral("ZemFind::stop_search - will stop now"), zem::LOG_PROGRESS);
    m_controller->setRunning(false);
}

bool ZemFind::isRunning() const
{
    return m_controller->isRunning();
}

bool ZemFind::isBusy() const
{
    return m_controller->isBusy();
}

bool ZemFind::next_files(std::vector<QByteArray>& batch)
{
    // Files are taken from the walk in small batches: a hand-over per file made the queue's
    // lock the busiest place of a search over many small files.
    constexpr std::size_t kBatch = 32;
    if (m_queue)
        return m_queue->popSome(batch, kBatch);
    const QFileInfo* file = nullptr;
    {
        QMutexLocker locker(&m_lockList);
        const quint32 index = m_indexNextFile.get();
        if (index >= m_files.size())
            return false;
        m_indexNextFile.set(index + 1);
        file = m_files[index];
    }
    // The scan hands out absolute paths; absoluteFilePath() would cache a second copy of each.
    batch.push_back(QFile::encodeName(file->isAbsolute() ? file->filePath() : file->absoluteFilePath()));
    return true;
}

FileResult ZemFind::find(const QFileInfo& file, zem::find::XContentFilter& contentFilter)
{
    contentFilter.seekHome();
    if (!file.isFile()) {
        zem::xlog(zem::LOG_PROGRESS, QStringLiteral("ZemFind::find, IS NOT A FILE <<<$>>>"), file.absoluteFilePath());
        return FileResult();
    }
    if (file.size() == 0)
        return FileResult();
    zem::XLineReaderDA reader;
    if (!reader.openFile(file.absoluteFilePath(), 65536, true)) {
        zem::xlog(zem::LOG_ERROR, QStringLiteral("ZemFind::find, problems with <<<$>>>"), file.absoluteFilePath());
        return FileResult();
    }
    zem::find::XRamLayer marks = contentFilter.find(0, reader);
    contentFilter.seekHome();
    if (!marks)
        return FileResult(std::move(marks), QFileInfo());
    return FileResult(std::move(marks), file);
}

quint64 ZemFind::bytes_read() const
{
    quint64 sum = 0;
    for (const auto& worker : m_controller->workers())
        sum += worker->stats.countBytes.get();
    return sum;
}

quint64 ZemFind::files_searched() const
{
    quint64 sum = 0;
    for (const auto& worker : m_controller->workers())
        sum += worker->stats.countFiles.get();
    return sum;
}

quint64 ZemFind::lines_read() const
{
    quint64 sum = 0;
    for (const auto& worker : m_controller->workers())
        sum += worker->stats.countLines.get();
    return sum;
}

quint64 ZemFind::lines_skipped() const
{
    quint64 sum = 0;
    for (const auto& worker : m_controller->workers())
        sum += worker->stats.countSkipped.get();
    return sum;
}

int ZemFind::progress_percent(quint64 bytesRead, quint64 bytesToRead)
{
    if (bytesToRead == 0)
        return 0;
    // In floating point: bytesRead * 100 could overflow near the top of the 64-bit range.
    const double percent = double(bytesRead) * 100.0 / double(bytesToRead);
    return percent >= 100.0 ? 100 : int(percent);
}

std::size_t ZemFind::count_files_with_hits() const
{
    return m_controller->results().size();
}

quint64 ZemFind::count_hits() const
{
    // 64 bits: a search over large logs passes 2^32 marks.
    quint64 sum = 0;
    for (const FileResult& result : m_controller->results())
        sum += quint64(result.layer.size());
    return sum;
}

std::vector<FileResult>& ZemFind::results()
{
    return m_controller->results();
}

std::vector<FileResult> ZemFind::take_results()
{
    std::vector<FileResult> taken;
    taken.swap(m_controller->results());
    return taken;
}

} // namespace zemFinder
