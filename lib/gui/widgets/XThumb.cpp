#include "XThumb.h"

#include "Logger.h"
#include "XThread.h"
#include "XThumbCache.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QPainter>
#include <QSet>
#include <QStyle>

namespace zem {

namespace {
// A file that refuses to be read once its job was cancelled: the decoder then gives up at its
// next read (a few KiB later) instead of finishing a picture nobody will see.
class CancellableFile : public QFile {
public:
    CancellableFile(const QString& path, const std::atomic<bool>& cancelled) : QFile(path), m_cancelled(cancelled) {}

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (m_cancelled.load())
            return -1;
        return QFile::readData(data, maxSize);
    }

private:
    const std::atomic<bool>& m_cancelled;
};

const QSet<QString>& picture_suffixes()
{
    static const QSet<QString> suffixes = [] {
        QSet<QString> set;
        for (const QByteArray& format : QImageReader::supportedImageFormats())
            set.insert(QString::fromLatin1(format).toLower());
        return set;
    }();
    return suffixes;
}

// One icon each for all tiles: asking the desktop per tile would be slow in large folders.
const QIcon& folder_icon()
{
    static const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    return icon;
}

const QIcon& file_icon()
{
    static const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    return icon;
}

// The picture at most side x side: scaled down here, on the worker, so that painting never scales.
QImage fit(const QImage& image, int side)
{
    if (image.width() <= side && image.height() <= side)
        return image;
    return image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// Icons fill this share of the tile, so that they read as icons and not as pictures.
constexpr double kIconShare = 0.6;
} // namespace

bool XThumbJob::claim()
{
    int expected = WAITING;
    return state.compare_exchange_strong(expected, CLAIMED);
}

void XThumbJob::work()
{
    if (cancelled.load()) {
        state = DONE;
        return;
    }
    const Result result = decode();
    state = DONE;
    if (cancelled.load())
        return;
    QPointer<XThumb> target = owner;
    std::weak_ptr<XThumbJob> self = weak_from_this();
    qt::run_in_Gui_Thread([target, result, self] {
        // A newer set_file replaced this job: its result belongs to an older file.
        if (target && target->m_job && target->m_job == self.lock())
            target->on_loaded(result);
    });
}

XThumbJob::Result XThumbJob::decode()
{
    Result result;
    // Time and size are read here rather than by the tile: a wall of a thousand tiles must not
    // stat a thousand files on the GUI thread.
    const QFileInfo info(path);
    mtime = info.lastModified().toSecsSinceEpoch();
    fileSize = info.size();
    const XThumbCache::Entry cached = XThumbCache::load(path, mtime, displaySize);
    CancellableFile file(path, cancelled);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    QImageReader reader(&file);
    if (!cached.image.isNull()) {
        result.pictureSize = cached.pictureSize.isValid() ? cached.pictureSize : reader.size();
        result.image = fit(cached.image, displaySize);
        return result;
    }
    if (!reader.canRead())
        return result;
    result.pictureSize = reader.size();
    // Decode at the cache flavour's size: a JPEG is then scaled down inside the decoder, and the
    // cache gets a thumbnail other sizes can use too.
    const int side = XThumbCache::flavourSize(displaySize);
    if (result.pictureSize.width() > side || result.pictureSize.height() > side)
        reader.setScaledSize(result.pictureSize.scaled(side, side, Qt::KeepAspectRatio));
    QImage decoded;
    if (!reader.read(&decoded) || cancelled.load())
        return Result();
    if (!result.pictureSize.isValid())
        result.pictureSize = decoded.size();
    XThumbCache::save(path, mtime, fileSize, result.pictureSize, decoded, displaySize);
    result.image = fit(decoded, displaySize);
    return result;
}

XThumb::XThumb(QWidget* parent) : QWidget(parent) {}

XThumb::~XThumb()
{
    drop_job();
}

bool XThumb::has_picture_suffix(const QString& fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && picture_suffixes().contains(fileName.mid(dot + 1).toLower());
}

void XThumb::set_file(const QString& absPath, int size)
{
    set_file(QFileInfo(absPath), size);
}

void XThumb::set_file(const QFileInfo& fi, int size)
{
    drop_job();
    m_path = fi.absoluteFilePath();
    m_size = size;
    m_image = QImage();
    m_pictureSize = QSize();
    m_waiting = false;
    setFixedSize(size, size);
    if (fi.isDir()) {
        m_kind = DIRECTORY;
    } else if (has_picture_suffix(fi.fileName())) {
        m_kind = PICTURE;
        start_job(m_path);
    } else {
        m_kind = OTHER;
    }
    update();
}

void XThumb::start_job(const QString& absPath)
{
    m_job = std::make_shared<XThumbJob>();
    m_job->path = absPath;
    m_job->displaySize = m_size;
    m_job->owner = this;
    m_waiting = true;
}

void XThumb::renew_cancelled_job()
{
    if (is_ini() && m_job && m_job->cancelled)
        start_job(m_path);
}

void XThumb::release_picture()
{
    if (m_kind != PICTURE || m_waiting || m_image.isNull())
        return;
    m_image = QImage();
    start_job(m_path);
    update();
}

void XThumb::drop_job()
{
    if (m_job)
        m_job->cancelled = true;
    m_job.reset();
}

void XThumb::work()
{
    if (std::shared_ptr<XThumbJob> job = m_job)
        if (job->claim())
            job->work();
}

void XThumb::on_loaded(const XThumbJob::Result& result)
{
    m_waiting = false;
    m_image = result.image;
    m_pictureSize = result.pictureSize;
    if (m_image.isNull())
        m_kind = OTHER;
    update();
    Q_EMIT loaded();
}

void XThumb::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    if (!m_image.isNull()) {
        QRect target(QPoint(0, 0), m_image.size().scaled(area.size(), Qt::KeepAspectRatio));
        target.moveCenter(area.center());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_image);
        return;
    }
    if (m_kind == PICTURE) {
        // Still waiting: a quiet frame keeps the wall's rhythm until the picture arrives.
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(area.adjusted(4, 4, -5, -5));
        return;
    }
    const int side = int(qMin(area.width(), area.height()) * kIconShare);
    QRect iconRect(0, 0, side, side);
    iconRect.moveCenter(area.center());
    (m_kind == DIRECTORY ? folder_icon() : file_icon()).paint(&painter, iconRect);
}

} // namespace zem
