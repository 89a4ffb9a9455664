#include "PreviewImage.h"

#include "Logger.h"
#include "XImageViewer.h"
#include "XLang.h"

#include <QBuffer>
#include <QImageReader>
#include <QVBoxLayout>

namespace zem {

PreviewImage::PreviewImage(QWidget* parent) : Preview(parent)
{
    set_kind(Kind::Image);
    QStringList ext;
    for (const QByteArray& f : QImageReader::supportedImageFormats())
        ext << QString::fromLatin1(f).toLower();
    set_file_extensions(ext);
    m_view = new XImageViewer(this);
}

PreviewImage::~PreviewImage() = default;

void PreviewImage::ini()
{
    if (layout())
        return;
    Preview::ini();
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(m_view);
}

bool PreviewImage::can_handle_file(const QFileInfo& fi)
{
    if (!fi.isFile())
        return false;
    QImageReader reader(fi.absoluteFilePath());
    return reader.canRead();
}

bool PreviewImage::read(QImageReader& reader, const QString& label)
{
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPixels) {
        reader.setScaledSize(size.scaled(8192, 8192, Qt::KeepAspectRatio));
        xlog(LOG_WARN, "PreviewImage::read, $ x $ pixels, shown scaled down", size.width(), size.height());
    }
    const QImage img = reader.read();
    if (img.isNull()) {
        m_view->setMessage(xprintF(xt("Cannot show this image: $"), reader.errorString()));
        xlog(LOG_WARN, "PreviewImage::open_file, <<<$>>> $", label, reader.errorString());
        return false;
    }
    const QSize shown = size.isValid() ? size : img.size();
    m_view->setImage(img, QStringLiteral("%1 \u00d7 %2  %3").arg(shown.width()).arg(shown.height())
                              .arg(QString::fromLatin1(reader.format()).toUpper()));
    return true;
}

bool PreviewImage::open_file(const QFileInfo& fi)
{
    m_fileInfo = fi;
    // Only regular files: opening a FIFO for reading would wait for a writer, with the window.
    if (!fi.isFile()) {
        m_view->setMessage(xt("The file cannot be read."));
        xlog(LOG_WARN, "PreviewImage::open_file, <<<$>>> is not a file", fi.absoluteFilePath());
        return false;
    }
    QImageReader reader(fi.absoluteFilePath());
    return read(reader, fi.absoluteFilePath());
}

bool PreviewImage::set_mem_file(const XMemFile& mem)
{
    m_fileInfo = QFileInfo(mem.name);
    QBuffer buffer;
    buffer.setData(mem.bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return read(reader, mem.name);
}

void PreviewImage::close()
{
    Preview::close();
    m_view->setImage(QImage());
}

void PreviewImage::mouseDoubleClickEvent(QMouseEvent*)
{
    fire_request_stand_alone();
}

} // namespace zem
