#include "XFilter.h"

#include <QStringList>

namespace zem::find {

void XFilter::setContentFilter(const XContentFilter& filter)
{
    m_content = filter;
    m_hasContent = filter.isValid();
}

void XFilter::clearContentFilter()
{
    m_content = XContentFilter();
    m_hasContent = false;
}

QString XFilter::toString(bool longForm) const
{
    QStringList parts;
    const QString files = m_fileFilter.toString();
    if (!files.isEmpty())
        parts << files;
    if (m_hasContent)
        parts << m_content.toString(longForm);
    if (longForm) {
        if (m_flags & FLAG_HIDDEN)
            parts << QStringLiteral("hidden");
        if (parts.isEmpty())
            parts << QStringLiteral("all files");
    }
    return parts.join(longForm ? QStringLiteral("; ") : QStringLiteral(" "));
}

} // namespace zem::find
