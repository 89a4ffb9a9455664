#include "SearchRun.h"

#include "Logger.h"
#include "XAtomic.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>

namespace zemFinder {

namespace {
// Output is collected and written in blocks; a line per fwrite would dominate a large listing.
constexpr int kFlushBytes = 1 << 16;

void flushTo(std::FILE* out, QByteArray& buffer)
{
    std::fwrite(buffer.constData(), 1, std::size_t(buffer.size()), out);
    buffer.clear();
}
} // namespace

void SearchRun::ScanJob::runCustom()
{
    if (!filter) {
        zem::nullPointerHandling("src/find/SearchRun", __LINE__, "filter == NULL");
        return;
    }
    dirInfo.scan_dir();
    stats = dirInfo.setup_filtered_files(*filter, true);
}

SearchRun::SearchRun(Options options, std::FILE* out, std::FILE* err)
    : m_options(std::move(options)), m_out(out), m_err(err)
{
}

SearchRun::~SearchRun()
{
    m_scan.dirInfo.stop();
    m_scan.wait_done();
}

void SearchRun::start()
{
    m_timer.start();
    const zem::XFileFilter& ff = m_options.filter.fileFilter();
    m_scan.filter = &m_options.filter;
    m_scan.dirInfo.setPath(m_options.dir);
    m_scan.dirInfo.setHiddenFiles(m_options.hidden);
    // The walk gains nothing from more threads than the machine runs at once.
    m_scan.dirInfo.setThreads(std::min(m_options.threads, zem::count_hardware_threads(2)));
    // A file search prints paths only: its sizes are needed only for a size or time condition.
    m_scan.dirInfo.setReadSizes(m_options.filter.has_content_filter()
                                || (ff.needs() & (zem::XFileFilter::NEED_SIZE | zem::XFileFilter::NEED_MTIME)));
    // The content search needs only sizes of its files: the walk notes them cheaply.
    m_scan.dirInfo.setStatInWalk(m_options.filter.has_content_filter());
    m_scan.finishedListener.set([this] { on_dir_scanned(); });
    m_scan.finishedListener.setEnabled(true);
    zem::XThreadPool::start_global(&m_scan, false);
}

void SearchRun::on_dir_scanned()
{
    m_scanSeconds = double(m_timer.nsecsElapsed()) / 1e9;
    if (!m_options.filter.has_content_filter()) {
        const std::vector<const QFileInfo*>& view = m_scan.dirInfo.get_view_filtered_files();
        print_files(view);
        std::fprintf(m_err, "search: %llu files scanned, %llu found%s, %.3f sec\n",
                     static_cast<unsigned long long>(m_scan.stats.countFiles.get()),
                     static_cast<unsigned long long>(view.size()), skipped_text().constData(),
                     double(m_timer.nsecsElapsed()) / 1e9);
        finish(view.empty() ? 1 : 0);
        return;
    }
    m_zemFind.setCountThreads(m_options.threads);
    m_zemFind.setScope(m_options.filter.contentFilter().scope());
    m_zemFind.setContentFilter(m_options.filter.contentFilter());
    m_zemFind.finishedListener.set([this] { on_find_done(); });
    m_zemFind.prepareFiles(m_scan.dirInfo.take_filtered_files(), m_scan.stats.countBytes.get());
    m_zemFind.start_search();
}

void SearchRun::on_find_done()
{
    const std::size_t filesWithHits = m_zemFind.count_files_with_hits();
    const quint64 hits = m_zemFind.count_hits();
    std::vector<FileResult> results = m_zemFind.take_results();
    print_results(results);
    std::fprintf(m_err,
                 "search: %llu files scanned, %llu searched, %llu bytes read, %llu hits in %llu files%s, %.3f sec "
                 "(scan %.3f sec)\n",
                 static_cast<unsigned long long>(m_scan.stats.countFiles.get()),
                 static_cast<unsigned long long>(m_zemFind.files_searched()),
                 static_cast<unsigned long long>(m_zemFind.bytes_read()), static_cast<unsigned long long>(hits),
                 static_cast<unsigned long long>(filesWithHits), (skipped_text() + lines_skipped_text()).constData(),
                 double(m_timer.nsecsElapsed()) / 1e9, m_scanSeconds);
    finish(filesWithHits == 0 ? 1 : 0);
}

QByteArray SearchRun::skipped_text() const
{
    const quint64 skipped = m_scan.dirInfo.countSkippedDirs();
    if (skipped == 0)
        return QByteArray();
    return ", " + QByteArray::number(qulonglong(skipped)) + (skipped == 1 ? " folder" : " folders") + " not read";
}

QByteArray SearchRun::lines_skipped_text() const
{
    const quint64 lines = m_zemFind.lines_skipped();
    if (lines == 0)
        return QByteArray();
    return ", " + QByteArray::number(qulonglong(lines)) + (lines == 1 ? " line" : " lines") + " skipped (match limit)";
}

void SearchRun::print_files(const std::vector<const QFileInfo*>& files)
{
    std::vector<QString> paths;
    paths.reserve(files.size());
    for (const QFileInfo* file : files)
        paths.push_back(file->isAbsolute() ? file->filePath() : file->absoluteFilePath());
    std::sort(paths.begin(), paths.end());
    QByteArray buffer;
    for (const QString& path : paths) {
        buffer += QFile::encodeName(path);
        buffer += m_options.nullSeparated ? '\0' : '\n';
        if (buffer.size() >= kFlushBytes)
            flushTo(m_out, buffer);
    }
    flushTo(m_out, buffer);
}

void SearchRun::print_results(std::vector<FileResult>& results)
{
    struct Row {
        std::size_t hits;
        QString path;
    };
    std::vector<Row> rows;
    rows.reserve(results.size());
    for (const FileResult& result : results)
        rows.push_back(Row{result.layer.size(), result.fileInfo.isAbsolute() ? result.fileInfo.filePath()
                                                                              : result.fileInfo.absoluteFilePath()});
    // The workers finish files in no fixed order: most hits first, then by path, is stable.
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return a.hits != b.hits ? a.hits > b.hits : a.path < b.path;
    });
    QByteArray buffer;
    for (const Row& row : rows) {
        buffer += QByteArray::number(qulonglong(row.hits));
        buffer += '\t';
        buffer += QFile::encodeName(row.path);
        buffer += m_options.nullSeparated ? '\0' : '\n';
        if (buffer.size() >= kFlushBytes)
            flushTo(m_out, buffer);
    }
    flushTo(m_out, buffer);
}

void SearchRun::finish(int code)
{
    std::fflush(m_out);
    std::fflush(m_err);
    if (onDone)
        onDone(code);
}

} // namespace zemFinder
