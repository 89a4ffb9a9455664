#include "XMimeType.h"

#include <QFile>
#include <QImageReader>
#include <QMimeDatabase>
#include <QSet>

namespace zem {

XMimeType XMimeType::fromFile(const QFileInfo& fi)
{
    XMimeType t;
    static const QMimeDatabase db;
    t.m_mime = db.mimeTypeForFile(fi, QMimeDatabase::MatchDefault);
    return t;
}

bool XMimeType::isQtImage() const
{
    static const QSet<QString> readable = [] {
        QSet<QString> s;
        for (const QByteArray& m : QImageReader::supportedMimeTypes())
            s.insert(QString::fromLatin1(m));
        return s;
    }();
    if (!m_mime.isValid())
        return false;
    if (readable.contains(m_mime.name()))
        return true;
    for (const QString& alias : m_mime.aliases())
        if (readable.contains(alias))
            return true;
    return false;
}

bool XMimeType::isText() const
{
    return m_mime.isValid() && m_mime.inherits(QStringLiteral("text/plain"));
}

bool XMimeType::isXml() const
{
    return m_mime.isValid() && m_mime.inherits(QStringLiteral("application/xml"));
}

bool is_text_file(const QFileInfo& fi)
{
    if (!fi.isFile())
        return false;
    if (fi.size() == 0)
        return true;
    const XMimeType mime = XMimeType::fromFile(fi);
    if (mime.isText())
        return true;
    if (mime.isValid() && !mime.mime().isDefault())
        return false;  // a known type that is not text (image, archive, executable...)
    // Names the database does not know: text when the start holds no NUL byte. 4 KiB is what
    // the database itself looks at.
    QFile f(fi.absoluteFilePath());
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(4096);
    return !head.isEmpty() && !head.contains('\0');
}

} // namespace zem
