#pragma once
// A whole search filter: the file part applied by the directory scan, the optional content
// part applied by the content workers, and the find panel's flag bits. Copied per search.
#include "XContentFilter.h"
#include "XFileFilter.h"
#include <QString>
#include <QtGlobal>

class QObject;

namespace zem::find {

class XFilter {
public:
    // Flag bits of the find panel's rows.
    enum Flag : quint32 {
        FLAG_PATTERN = 2,
        FLAG_NOT_PATTERN = 4,
        FLAG_TIME = 8,
        FLAG_SIZE = 16,
        FLAG_TEXT_FILES = 32,
        FLAG_HIDDEN = 64,
        FLAG_CONTENT = 128,
    };

    XFileFilter& fileFilter() { return m_fileFilter; }
    const XFileFilter& fileFilter() const { return m_fileFilter; }

    bool has_content_filter() const { return m_hasContent; }
    const XContentFilter& contentFilter() const { return m_content; }
    XContentFilter& contentFilter() { return m_content; }
    void setContentFilter(const XContentFilter& filter);
    void clearContentFilter();

    quint32 flags() const { return m_flags; }
    void setFlags(quint32 flags) { m_flags = flags; }

    // The panel widget whose value made the filter unusable, or null; not owned.
    QObject* faultyField() const { return m_faulty; }
    void setFaultyField(QObject* field) { m_faulty = field; }

    // Short form for a summary line; the long form lists every condition.
    QString toString(bool longForm = false) const;

private:
    XFileFilter m_fileFilter;
    XContentFilter m_content;
    bool m_hasContent = false;
    quint32 m_flags = 0;
    QObject* m_faulty = nullptr;
};

} // namespace zem::find
