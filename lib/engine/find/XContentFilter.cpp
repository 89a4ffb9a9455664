#include "XContentFilter.h"

#include "XLineReaderDA.h"

namespace zem::find {

struct XContentFilter::Term {
    QByteArray bytes;
};
struct XRegexCode {
};
class XRegexMatcher {
};

XContentFilter::XContentFilter(quint32 scope) { setScope(scope); }
XContentFilter::XContentFilter(const XContentFilter& other)
    : m_text(other.m_text), m_regEx(other.m_regEx), m_valid(other.m_valid), m_scope(other.m_scope),
      m_error(other.m_error), m_terms(other.m_terms), m_regex(other.m_regex)
{
}
XContentFilter& XContentFilter::operator=(const XContentFilter& other)
{
    if (this != &other) {
        XContentFilter copy(other);
        *this = std::move(copy);
    }
    return *this;
}
XContentFilter::XContentFilter(XContentFilter&&) noexcept = default;
XContentFilter& XContentFilter::operator=(XContentFilter&&) noexcept = default;
XContentFilter::~XContentFilter() = default;

bool XContentFilter::createSymbols(const QString& text, bool regEx)
{
    m_text = text;
    m_regEx = regEx;
    m_valid = !text.trimmed().isEmpty();
    m_error = m_valid ? QString() : QStringLiteral("empty expression");
    return m_valid;
}

void XContentFilter::setScope(quint32 scope) { m_scope = scope <= SCOPE_SENTENCE ? scope : quint32(SCOPE_FILE); }

QString XContentFilter::scope_as_string(quint32 scope)
{
    switch (scope) {
    case SCOPE_FILE:
        return QStringLiteral("File");
    case SCOPE_PARAGRAPH:
        return QStringLiteral("Paragraph");
    case SCOPE_SENTENCE:
        return QStringLiteral("Sentence");
    default:
        return QStringLiteral("?");
    }
}
QString XContentFilter::scope_as_string() const { return scope_as_string(m_scope); }
QStringList XContentFilter::terms() const { return {}; }

XRamLayer XContentFilter::find(qint64 from, XLineReaderDA& reader)
{
    XRamLayer layer = find(from, reader.data(), reader.size());
    layer.setBinary(reader.isBinary());
    return layer;
}
XRamLayer XContentFilter::find(qint64, const char*, qint64) { return {}; }

QString XContentFilter::toString(bool) const { return m_text; }

} // namespace zem::find
