#include "gui/FileResultModel.h"

#include "Logger.h"
#include "XFormat.h"

#include <QApplication>
#include <QDateTime>
#include <QFileIconProvider>
#include <QPalette>
#include <algorithm>
#include <numeric>

namespace zemFinder {

namespace {
const FileResult& emptyResult()
{
    static const FileResult empty;
    return empty;
}

QFileIconProvider& iconProvider()
{
    static QFileIconProvider provider;
    return provider;
}

// Both from the file information that the scan or the search filled and the table shows: a
// fresh look at the disk would sort a file changed since by a date the row does not show.
void sortKeys(const QFileInfo& file, qint64* size, qint64* modified)
{
    *size = file.size();
    const QDateTime time = file.lastModified();
    *modified = time.isValid() ? time.toMSecsSinceEpoch() : -1;
}

template <typename T>
void permute(std::vector<T>& list, const std::vector<size_t>& order)
{
    if (list.empty())
        return;
    std::vector<T> sorted;
    sorted.reserve(list.size());
    for (size_t i : order)
        sorted.push_back(std::move(list[i]));
    list = std::move(sorted);
}
} // namespace

FileResultModel::FileResultModel(QObject* parent) : QStandardItemModel(parent)
{
    setColumnCount(COLUMN_COUNT);
}

Qt::ItemFlags FileResultModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void FileResultModel::setResults(std::vector<FileResult>&& results)
{
    m_basic = false;
    m_sizeKeys.clear();
    m_dateKeys.clear();
    m_results = std::move(results);
    m_files.clear();
}

void FileResultModel::setResultsSimple(std::vector<QFileInfo>&& files)
{
    m_basic = true;
    m_sizeKeys.clear();
    m_dateKeys.clear();
    m_files = std::move(files);
    m_results.clear();
}

const QFileInfo* FileResultModel::fileAt(int row) const
{
    if (row < 0)
        return nullptr;
    if (m_basic)
        return size_t(row) < m_files.size() ? &m_files[size_t(row)] : nullptr;
    return size_t(row) < m_results.size() ? &m_results[size_t(row)].fileInfo : nullptr;
}

QVariant FileResultModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.column() < 0 || index.row() >= rowCount())
        return {};
    const int row = index.row();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return display(row, column);
    case Qt::DecorationRole: {
        const QFileInfo* file = column == COL_NAME ? fileAt(row) : nullptr;
        return file ? QVariant(iconProvider().icon(*file)) : QVariant();
    }
    case Qt::ToolTipRole:
        // The table shortens names and paths to fit; the whole text is one hover away.
        return (column == COL_NAME || column == COL_PATH) ? display(row, column) : QVariant();
    case Qt::TextAlignmentRole:
        if (column == COL_SIZE || column == COL_HITS)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::BackgroundRole: {
        const QPalette palette = QApplication::palette();
        return row % 2 == 0 ? palette.alternateBase() : palette.base();
    }
    default:
        return {};
    }
}

QVariant FileResultModel::display(int row, int column) const
{
    const QFileInfo* file = fileAt(row);
    if (!file)
        return {};
    switch (column) {
    case COL_NAME: return file->fileName();
    case COL_SIZE: return zem::XFormat::fileSize(*file);
    case COL_DATE: return zem::XFormat::fileDate(*file);
    case COL_HITS:
        if (m_basic) {
            zem::Logger::log(QStringLiteral("FileResultModel::data_simple, SHOULD NOT BE HERE"), zem::LOG_ERROR);
            return QStringLiteral("0");
        }
        return zem::format1000(qint64(m_results[size_t(row)].countHits()));
    case COL_PATH: return file->absolutePath();
    default: return {};
    }
}

void FileResultModel::sort(int column, Qt::SortOrder order)
{
    if (m_basic && column == COL_HITS)
        return;
    const size_t count = size_t(listSize());
    if ((column == COL_SIZE || column == COL_DATE) && m_sizeKeys.size() != count) {
        // Asked once per list; later sorts reuse the values, permuted along with the rows.
        m_sizeKeys.resize(count);
        m_dateKeys.resize(count);
        for (size_t i = 0; i < count; ++i)
            sortKeys(*fileAt(int(i)), &m_sizeKeys[i], &m_dateKeys[i]);
    }
    // Text keys are folded once per row: a comparator that builds strings would do it millions of times.
    std::vector<QString> textKeys;
    std::vector<qint64> numberKeys;
    const bool byText = column == COL_NAME || column == COL_PATH;
    if (byText) {
        textKeys.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            const QFileInfo& file = *fileAt(int(i));
            textKeys.push_back((column == COL_NAME ? file.fileName() : file.absoluteFilePath()).toCaseFolded());
        }
    } else if (column == COL_HITS) {
        numberKeys.reserve(count);
        for (const FileResult& r : m_results)
            numberKeys.push_back(qint64(r.countHits()));
    }
    const std::vector<qint64>& numbers = column == COL_SIZE ? m_sizeKeys : column == COL_DATE ? m_dateKeys : numberKeys;
    std::vector<size_t> rows(count);
    std::iota(rows.begin(), rows.end(), size_t(0));
    const bool ascending = order == Qt::AscendingOrder;
    std::sort(rows.begin(), rows.end(), [&](size_t a, size_t b) {
        if (!ascending)
            std::swap(a, b);
        return byText ? textKeys[a] < textKeys[b] : numbers[a] < numbers[b];
    });
    permute(m_files, rows);
    permute(m_results, rows);
    permute(m_sizeKeys, rows);
    permute(m_dateKeys, rows);
}

void FileResultModel::refreshAll()
{
    zem::Logger::log(QStringLiteral("FileResultModel::refreshAll"), zem::LOG_PROGRESS);
    beginResetModel();
    endResetModel();
}

const FileResult& FileResultModel::fileResultFromRow(int row) const
{
    if (m_basic) {
        zem::Logger::log(zem::xprintF(QStringLiteral("FileResultModel::fileResultFromRow, row:$ - BASIC MODE VORBIDDEN"), row),
                         zem::LOG_ERROR);
        return emptyResult();
    }
    if (row < 0 || row >= rowCount() || size_t(row) >= m_results.size()) {
        zem::Logger::log(zem::xprintF(QStringLiteral("FileResultModel::fileResultFromRow, row:$, but rowCount():$"), row, rowCount()),
                         zem::LOG_ERROR);
        return emptyResult();
    }
    return m_results[size_t(row)];
}

QFileInfo FileResultModel::fromRow(int row) const
{
    const QFileInfo* file = row < rowCount() ? fileAt(row) : nullptr;
    if (!file) {
        zem::Logger::log(zem::xprintF(QStringLiteral("FileResultModel::fromRow, row:$, but rowCount():$"), row, rowCount()),
                         zem::LOG_ERROR);
        return {};
    }
    return *file;
}

quint64 FileResultModel::hits() const
{
    if (m_basic) {
        zem::Logger::log(QStringLiteral("FileResultModel::hits(), we are in basic mode !"), zem::LOG_ERROR);
        return 0;
    }
    quint64 sum = 0;
    for (const FileResult& r : m_results)
        sum += quint64(r.countHits());
    return sum;
}

} // namespace zemFinder
