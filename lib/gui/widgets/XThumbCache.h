#pragma once
// The desktop's shared thumbnail cache ($XDG_CACHE_HOME/thumbnails): other programs read and write
// the same files, so a picture decoded once anywhere is not decoded again. A thumbnail is a PNG
// named after the MD5 of the file's URI, in "normal" (128 px) or "large" (256 px), valid while its
// "Thumb::MTime" text equals the file's modification time. Stateless; any thread.
#include <QImage>
#include <QString>

namespace zem {

class XThumbCache {
public:
    // The cache's root folder ("<generic cache>/thumbnails").
    static QString root();
    // The longest side of the flavour that serves a display size (128 or 256).
    static int flavourSize(int displaySize);
    static QString flavourName(int displaySize);
    // "file:///abs/path", percent-encoded.
    static QByteArray uriOf(const QString& absPath);
    // Where the thumbnail of absPath for displaySize is (or would be) stored.
    static QString thumbPath(const QString& absPath, int displaySize);
    // True for files inside the cache itself: thumbnails of thumbnails are never written.
    static bool isInsideCache(const QString& absPath);

    struct Entry {
        QImage image;
        QSize pictureSize; // the original picture's size when the thumbnail says it, else invalid
    };
    // The valid cached thumbnail of absPath (mtime in seconds since the epoch); null image if none.
    static Entry load(const QString& absPath, qint64 mtime, int displaySize);
    // Stores a thumbnail (scaled to the flavour's size if larger); an unwritable cache only logs.
    static bool save(const QString& absPath, qint64 mtime, qint64 fileSize, const QSize& pictureSize,
                     const QImage& image, int displaySize);
};

} // namespace zem
