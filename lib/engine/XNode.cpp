#include "XNode.h"

#include "Logger.h"
#include "XStoreFile.h"

#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace zem {

bool XNode::atomicWriteFullEmptyTags = false;

namespace {
const QString TAG_NODE = QStringLiteral("node");
const QString TAG_ATTR = QStringLiteral("a");
const QString TAG_ITEM = QStringLiteral("i");

QString kindName(XRecord::Kind kind)
{
    switch (kind) {
    case XRecord::Kind::Bool: return QStringLiteral("bool");
    case XRecord::Kind::Int: return QStringLiteral("int");
    case XRecord::Kind::UInt: return QStringLiteral("uint");
    case XRecord::Kind::String: return QStringLiteral("string");
    case XRecord::Kind::Base64: return QStringLiteral("base64");
    case XRecord::Kind::StringArray: return QStringLiteral("array");
    }
    return QStringLiteral("string");
}

bool kindFromName(const QString& name, XRecord::Kind* kind)
{
    static const QMap<QString, XRecord::Kind> kinds = {
        {QStringLiteral("bool"), XRecord::Kind::Bool},     {QStringLiteral("int"), XRecord::Kind::Int},
        {QStringLiteral("uint"), XRecord::Kind::UInt},     {QStringLiteral("string"), XRecord::Kind::String},
        {QStringLiteral("base64"), XRecord::Kind::Base64}, {QStringLiteral("array"), XRecord::Kind::StringArray}};
    auto it = kinds.find(name);
    if (it == kinds.end())
        return false;
    *kind = it.value();
    return true;
}

// XML 1.0 cannot carry most control characters, and parsers fold \r; such text is written
// Base64-encoded with a marker so that every string survives a round trip.
bool isXmlSafe(const QString& text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if ((u < 0x20 && u != '\n' && u != '\t') || u == 0xFFFE || u == 0xFFFF)
            return false;
    }
    return true;
}

void writeText(QXmlStreamWriter& xml, const QString& text)
{
    if (isXmlSafe(text)) {
        xml.writeCharacters(text);
    } else {
        xml.writeAttribute(QStringLiteral("enc"), QStringLiteral("b64"));
        xml.writeCharacters(QString::fromLatin1(text.toUtf8().toBase64()));
    }
}

void writeEmptyOrFull(QXmlStreamWriter& xml)
{
    if (XNode::atomicWriteFullEmptyTags)
        xml.writeCharacters(QString());
    xml.writeEndElement();
}

QString readText(QXmlStreamReader& xml)
{
    const bool encoded = xml.attributes().value(QStringLiteral("enc")) == QLatin1String("b64");
    const QString text = xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
    return encoded ? QString::fromUtf8(QByteArray::fromBase64(text.toLatin1())) : text;
}
} // namespace

// ---- XRecord ----

bool XRecord::isBool(const QString& key, bool defaultValue) const
{
    auto it = m_attrs.find(key);
    if (it == m_attrs.end())
        return defaultValue;
    const QString v = it->text.trimmed().toLower();
    if (v == QLatin1String("true") || v == QLatin1String("1"))
        return true;
    if (v == QLatin1String("false") || v == QLatin1String("0"))
        return false;
    return defaultValue;
}

void XRecord::setBool(const QString& key, bool value)
{
    m_attrs[key] = Attr{Kind::Bool, value ? QStringLiteral("true") : QStringLiteral("false"), {}};
}

long long XRecord::getInt(const QString& key, long long defaultValue) const
{
    auto it = m_attrs.find(key);
    if (it == m_attrs.end())
        return defaultValue;
    bool ok = false;
    const long long v = it->text.toLongLong(&ok);
    return ok ? v : defaultValue;
}

void XRecord::setInt(const QString& key, long long value)
{
    m_attrs[key] = Attr{Kind::Int, QString::number(value), {}};
}

unsigned long long XRecord::getUInt(const QString& key, unsigned long long defaultValue) const
{
    auto it = m_attrs.find(key);
    if (it == m_attrs.end())
        return defaultValue;
    bool ok = false;
    const unsigned long long v = it->text.toULongLong(&ok);
    return ok ? v : defaultValue;
}

void XRecord::setUInt(const QString& key, unsigned long long value)
{
    m_attrs[key] = Attr{Kind::UInt, QString::number(value), {}};
}

QString XRecord::getString(const QString& key, const QString& defaultValue) const
{
    auto it = m_attrs.find(key);
    if (it == m_attrs.end() || it->kind == Kind::StringArray)
        return defaultValue;
    if (it->kind == Kind::Base64)
        return QString::fromUtf8(QByteArray::fromBase64(it->text.toLatin1()));
    return it->text;
}

void XRecord::setString(const QString& key, const QString& value)
{
    m_attrs[key] = Attr{Kind::String, value, {}};
}

QString XRecord::getBase64String(const QString& key, const QString& defaultValue) const
{
    auto it = m_attrs.find(key);
    if (it == m_attrs.end() || it->kind == Kind::StringArray)
        return defaultValue;
    if (it->kind != Kind::Base64)
        return it->text;
    return QString::fromUtf8(QByteArray::fromBase64(it->text.toLatin1()));
}

void XRecord::setBase64String(const QString& key, const QString& value)
{
    m_attrs[key] = Attr{Kind::Base64, QString::fromLatin1(value.toUtf8().toBase64()), {}};
}

QStringList XRecord::getStringArray(const QString& key) const
{
    auto it = m_attrs.find(key);
    if (it == m_attrs.end())
        return {};
    return it->kind == Kind::StringArray ? it->list : QStringList{getString(key)};
}

void XRecord::setStringArray(const QString& key, const QStringList& value)
{
    m_attrs[key] = Attr{Kind::StringArray, QString(), value};
}

// ---- XNode ----

XNode::XNode(const QString& name, XNode* parent) : m_name(name), m_parent(parent) {}

XNode::~XNode() = default;

XNode* XNode::root()
{
    XNode* node = this;
    while (node->m_parent)
        node = node->m_parent;
    return node;
}

XNode* XNode::getNode(const QString& name) const
{
    for (const auto& child : m_children)
        if (child->m_name == name)
            return child.get();
    return nullptr;
}

XNode* XNode::getCreateNode(const QString& name)
{
    if (XNode* found = getNode(name))
        return found;
    m_children.push_back(std::make_unique<XNode>(name, this));
    return m_children.back().get();
}

bool XNode::removeNode(const QString& name)
{
    for (auto it = m_children.begin(); it != m_children.end(); ++it) {
        if ((*it)->m_name == name) {
            m_children.erase(it);
            return true;
        }
    }
    return false;
}

void XNode::clear()
{
    m_attrs.clear();
    m_children.clear();
}

void XNode::copyFrom(const XNode& other)
{
    if (&other == this)
        return;
    clear();
    m_attrs = other.m_attrs;
    for (const auto& child : other.m_children)
        getCreateNode(child->m_name)->copyFrom(*child);
}

QByteArray XNode::toXml() const
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    write(xml);
    xml.writeEndDocument();
    return out;
}

void XNode::write(QXmlStreamWriter& xml) const
{
    xml.writeStartElement(TAG_NODE);
    xml.writeAttribute(QStringLiteral("name"), m_name);
    for (auto it = m_attrs.constBegin(); it != m_attrs.constEnd(); ++it) {
        xml.writeStartElement(TAG_ATTR);
        xml.writeAttribute(QStringLiteral("key"), it.key());
        xml.writeAttribute(QStringLiteral("type"), kindName(it->kind));
        if (it->kind == Kind::StringArray) {
            for (const QString& item : it->list) {
                xml.writeStartElement(TAG_ITEM);
                writeText(xml, item);
                writeEmptyOrFull(xml);
            }
        } else {
            writeText(xml, it->text);
        }
        writeEmptyOrFull(xml);
    }
    for (const auto& child : m_children)
        child->write(xml);
    writeEmptyOrFull(xml);
}

bool XNode::fromXml(const QByteArray& bytes, QString* error)
{
    QXmlStreamReader xml(bytes);
    XNode parsed(m_name);
    bool ok = false;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement) {
            ok = xml.name() == TAG_NODE && parsed.read(xml);
            break;
        }
    }
    if (ok) {
        while (!xml.atEnd())
            xml.readNext();
        ok = !xml.hasError();
    }
    if (!ok) {
        if (error)
            *error = xml.hasError() ? xprintF(QStringLiteral("line $: $"), xml.lineNumber(), xml.errorString())
                                    : QStringLiteral("not a node tree");
        return false;
    }
    m_attrs = parsed.m_attrs;
    m_children.clear();
    for (auto& child : parsed.m_children) {
        child->m_parent = this;
        m_children.push_back(std::move(child));
    }
    return true;
}

bool XNode::read(QXmlStreamReader& xml)
{
    m_name = xml.attributes().value(QStringLiteral("name")).toString();
    while (xml.readNextStartElement()) {
        if (xml.name() == TAG_NODE) {
            m_children.push_back(std::make_unique<XNode>(QString(), this));
            if (!m_children.back()->read(xml))
                return false;
        } else if (xml.name() == TAG_ATTR) {
            if (!readAttr(xml))
                return false;
        } else {
            xml.skipCurrentElement();
        }
    }
    return !xml.hasError();
}

bool XNode::readAttr(QXmlStreamReader& xml)
{
    const QString key = xml.attributes().value(QStringLiteral("key")).toString();
    Attr attr;
    if (!kindFromName(xml.attributes().value(QStringLiteral("type")).toString(), &attr.kind)) {
        xml.raiseError(QStringLiteral("unknown attribute type"));
        return false;
    }
    if (attr.kind == Kind::StringArray) {
        while (xml.readNextStartElement()) {
            if (xml.name() != TAG_ITEM) {
                xml.skipCurrentElement();
                continue;
            }
            attr.list << readText(xml);
        }
    } else {
        attr.text = readText(xml);
    }
    if (xml.hasError())
        return false;
    m_attrs.insert(key, attr);
    return true;
}

bool XNode::saveXml(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        Logger::log(xprintF(QStringLiteral("XNode::saveXml, cannot write <<<$>>> $"), path, file.errorString()), LOG_ERROR);
        return false;
    }
    file.write(toXml());
    if (!file.commit()) {
        Logger::log(xprintF(QStringLiteral("XNode::saveXml, commit failed <<<$>>> $"), path, file.errorString()), LOG_ERROR);
        return false;
    }
    return true;
}

bool XNode::loadXml(const QString& path, QString* error)
{
    return loadXmlFile(path, error) == LoadResult::Loaded;
}

XNode::LoadResult XNode::loadXmlFile(const QString& path, QString* error)
{
    QByteArray bytes;
    QString reason;
    switch (XStoreFile::read(path, bytes, reason)) {
    case XStoreFile::Read::Ok:
        break;
    case XStoreFile::Read::Missing:
        if (error)
            *error = reason;
        return LoadResult::Missing;
    case XStoreFile::Read::Unreadable:
        if (error)
            *error = reason;
        return LoadResult::Unreadable;
    }
    return fromXml(bytes, error) ? LoadResult::Loaded : LoadResult::Damaged;
}

} // namespace zem
