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

SearchRun::SearchRun(Options options, std::FILE* out, std::FILE* err)
    : m_options(std::move(options)), m_out(out), m_err(err)
{
}

SearchRun::~SearchRun()
{
    m_zemFind.stop_search();
    m_road.stop();
    m_road.wait_done();
}

void SearchRun::start()
{
    m_timer.start();
    m_walkDone = false;
    m_findDone = false;
    SearchRoad::Settings road;
    road.folder = m_options.dir;
    road.filter = &m_options.filter;
    road.hidden = m_options.hidden;
    road.threads = m_options.threads;
    // Paths only: sizes and times only for a size or time condition.
    road.fileDetails = false;
    m_road.finishedListener.set([this] { on_dir_scanned(); });
    m_road.finishedListener.setEnabled(true);
    m_zemFind.finishedListener.set([this] {
        m_findDone = true;
        finish_content();
    });
    if (!m_road.start(road, m_zemFind))
        finish(1);
}

void SearchRun::on_dir_scanned()
{
    m_scanSeconds = double(m_timer.nsecsElapsed()) / 1e9;
    m_walkDone = true;
    if (m_road.isStreaming()) {
        finish_content();
        return;
    }
    std::vector<QByteArray> paths = m_road.take_paths();
    print_files(paths);
    std::fprintf(m_err, "search: %llu files scanned, %llu found%s, %.3f sec\n",
                 static_cast<unsigned long long>(m_road.stats.countFiles.get()),
                 static_cast<unsigned long long>(paths.size()), skipped_text().constData(),
                 double(m_timer.nsecsElapsed()) / 1e9);
    finish(paths.empty() ? 1 : 0);
}

void SearchRun::finish_content()
{
    if (!m_walkDone || !m_findDone)
        return;
    const std::size_t filesWithHits = m_zemFind.count_files_with_hits();
    const quint64 hits = m_zemFind.count_hits();
    std::vector<FileResult> results = m_zemFind.take_results();
    print_results(results);
    std::fprintf(m_err,
                 "search: %llu files scanned, %llu searched, %llu bytes read, %llu hits in %llu files%s, %.3f sec "
                 "(scan %.3f sec)\n",
                 static_cast<unsigned long long>(m_road.stats.countFiles.get()),
                 static_cast<unsigned long long>(m_zemFind.files_searched()),
                 static_cast<unsigned long long>(m_zemFind.bytes_read()), static_cast<unsigned long long>(hits),
                 static_cast<unsigned long long>(filesWithHits), (skipped_text() + lines_skipped_text()).constData(),
                 double(m_timer.nsecsElapsed()) / 1e9, m_scanSeconds);
    finish(filesWithHits == 0 ? 1 : 0);
}

QByteArray SearchRun::skipped_text() const
{
    const quint64 skipped = m_road.dirInfo.countSkippedDirs();
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

void SearchRun::print_files(std::vector<QByteArray>& paths)
{
    // Byte order of the file system's names: for UTF-8 names the order of their code points.
    std::sort(paths.begin(), paths.end());
    QByteArray buffer;
    for (const QByteArray& path : paths) {
        buffer += path;
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
