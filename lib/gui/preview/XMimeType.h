#pragma once
// MIME detection for choosing previews: by file name and content, through QMimeDatabase.
#include <QFileInfo>
#include <QMimeType>

namespace zem {

class XMimeType {
public:
    static XMimeType fromFile(const QFileInfo& fi);

    bool isValid() const { return m_mime.isValid(); }
    QString name() const { return m_mime.name(); }
    const QMimeType& mime() const { return m_mime; }
    // An image format that QImageReader can read.
    bool isQtImage() const;
    bool isText() const;
    bool isXml() const;

private:
    QMimeType m_mime;
};

// True for files whose content is text (an empty file counts as text).
bool is_text_file(const QFileInfo& fi);

} // namespace zem
