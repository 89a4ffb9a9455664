#include "XThumbCache.h"

#include "Logger.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace zem {

namespace {
const QString KEY_URI = QStringLiteral("Thumb::URI");
const QString KEY_MTIME = QStringLiteral("Thumb::MTime");
const QString KEY_SIZE = QStringLiteral("Thumb::Size");
const QString KEY_WIDTH = QStringLiteral("Thumb::Image::Width");
const QString KEY_HEIGHT = QStringLiteral("Thumb::Image::Height");
// The two flavours of the shared cache: thumbnails up to 128 px are "normal", larger ones "large".
constexpr int kNormal = 128;
constexpr int kLarge = 256;

// The cache tells which pictures the user looked at: a folder we create is for the owner only. An
// existing folder keeps its permissions (the user may have made it read-only on purpose).
bool make_private_dir(const QString& dir)
{
    if (QFileInfo(dir).isDir())
        return true;
    if (!QDir().mkpath(dir))
        return false;
    return QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}
} // namespace

QString XThumbCache::root()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/thumbnails");
}

int XThumbCache::flavourSize(int displaySize)
{
    return displaySize <= kNormal ? kNormal : kLarge;
}

QString XThumbCache::flavourName(int displaySize)
{
    return displaySize <= kNormal ? QStringLiteral("normal") : QStringLiteral("large");
}

QByteArray XThumbCache::uriOf(const QString& absPath)
{
    return QUrl::fromLocalFile(absPath).toEncoded();
}

QString XThumbCache::thumbPath(const QString& absPath, int displaySize)
{
    const QByteArray md5 = QCryptographicHash::hash(uriOf(absPath), QCryptographicHash::Md5).toHex();
    return root() + QLatin1Char('/') + flavourName(displaySize) + QLatin1Char('/') + QString::fromLatin1(md5) +
           QStringLiteral(".png");
}

bool XThumbCache::isInsideCache(const QString& absPath)
{
    const QString base = QDir::cleanPath(root()) + QLatin1Char('/');
    return QDir::cleanPath(absPath).startsWith(base);
}

XThumbCache::Entry XThumbCache::load(const QString& absPath, qint64 mtime, int displaySize)
{
    Entry entry;
    QImageReader reader(thumbPath(absPath, displaySize), "png");
    // The keys are read from the image, not from the reader: the reader parses "key: value" text
    // and cannot tell a key such as "Thumb::URI" from its value. A thumbnail is small to decode.
    QImage image;
    if (!reader.read(&image))
        return entry;
    if (image.text(KEY_MTIME) != QString::number(mtime) || image.text(KEY_URI) != QString::fromUtf8(uriOf(absPath)))
        return entry;
    const QSize picture(image.text(KEY_WIDTH).toInt(), image.text(KEY_HEIGHT).toInt());
    if (picture.width() > 0 && picture.height() > 0)
        entry.pictureSize = picture;
    entry.image = image;
    return entry;
}

bool XThumbCache::save(const QString& absPath, qint64 mtime, qint64 fileSize, const QSize& pictureSize,
                       const QImage& image, int displaySize)
{
    if (image.isNull() || isInsideCache(absPath))
        return false;
    const QString target = thumbPath(absPath, displaySize);
    const QString dir = QFileInfo(target).absolutePath();
    if (!make_private_dir(root()) || !make_private_dir(dir)) {
        xlog(LOG_ERROR, QStringLiteral("XThumbCache::save, cannot write:$, no folder"), dir);
        return false;
    }
    const int side = flavourSize(displaySize);
    QImage thumb = image.width() > side || image.height() > side
                       ? image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                       : image;
    thumb.setText(KEY_URI, QString::fromUtf8(uriOf(absPath)));
    thumb.setText(KEY_MTIME, QString::number(mtime));
    thumb.setText(KEY_SIZE, QString::number(fileSize));
    thumb.setText(KEY_WIDTH, QString::number(pictureSize.width()));
    thumb.setText(KEY_HEIGHT, QString::number(pictureSize.height()));

    // Readers of the cache must never see half a file: write aside, then rename.
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        xlog(LOG_ERROR, QStringLiteral("XThumbCache::save, cannot write:$, $"), target, file.errorString());
        return false;
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QImageWriter writer(&file, "png");
    if (!writer.write(thumb) || !file.commit()) {
        xlog(LOG_ERROR, QStringLiteral("XThumbCache::save, cannot write:$, $"), target, file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace zem
