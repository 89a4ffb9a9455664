#include "XTree.h"

#include "Logger.h"
#include "XStoreFile.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QFile>
#include <QSaveFile>
#include <cxxabi.h>
#include <cstdlib>
#include <typeinfo>
#include <zlib.h>

namespace zem {

namespace {
constexpr quint32 FILE_MAGIC = 0x5A454D54;   // "ZEMT"
constexpr quint32 FILE_VERSION = 1;
constexpr int MAX_DEPTH = 64;                // a damaged file cannot recurse us to death
constexpr quint32 MAX_PAYLOAD = 512u << 20;  // refuse absurd sizes from a damaged header

QByteArray deflate(const QByteArray& raw)
{
    uLongf size = compressBound(uLong(raw.size()));
    QByteArray out(int(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.constData()),
                  uLong(raw.size()), Z_BEST_SPEED) != Z_OK)
        return {};
    out.resize(int(size));
    return out;
}

bool inflate(const QByteArray& packed, quint32 rawSize, QByteArray* raw)
{
    raw->resize(int(rawSize));
    uLongf size = rawSize;
    const int rc = uncompress(reinterpret_cast<Bytef*>(raw->data()), &size,
                              reinterpret_cast<const Bytef*>(packed.constData()), uLong(packed.size()));
    return rc == Z_OK && size == rawSize;
}

quint32 crcOf(const QByteArray& bytes)
{
    return quint32(crc32(0L, reinterpret_cast<const Bytef*>(bytes.constData()), uInt(bytes.size())));
}
} // namespace

std::unique_ptr<XTree> XTypeSupporter::createTree(const QString&) const
{
    return nullptr;
}

QString XTypeSupporter::arrayAsString(const std::vector<std::unique_ptr<XTree>>& array) const
{
    return xprintF(QStringLiteral("XTree [$] "), array.size());
}

QString deMangle(const char* mangledName)
{
    int status = 0;
    char* readable = abi::__cxa_demangle(mangledName, nullptr, nullptr, &status);
    const QString name = QString::fromLatin1(status == 0 && readable ? readable : mangledName);
    std::free(readable);
    return name;
}

XTree::~XTree() = default;

QString XTree::typeName() const
{
    return deMangle(typeid(*this).name());
}

QStringList XTree::keys() const
{
    QStringList out;
    for (const auto& entry : m_values)
        out << entry.first;
    return out;
}

const XTree::Value* XTree::find(const QString& key, Kind kind) const
{
    auto it = m_values.find(key);
    return it != m_values.end() && it->second.kind == kind ? &it->second : nullptr;
}

bool XTree::getBool(const QString& key, bool defaultValue) const
{
    const Value* v = find(key, Kind::Bool);
    return v ? v->scalar.toBool() : defaultValue;
}

void XTree::setBool(const QString& key, bool value)
{
    m_values[key] = Value{Kind::Bool, value, {}};
}

long long XTree::getInt(const QString& key, long long defaultValue) const
{
    const Value* v = find(key, Kind::Int);
    return v ? v->scalar.toLongLong() : defaultValue;
}

void XTree::setInt(const QString& key, long long value)
{
    m_values[key] = Value{Kind::Int, QVariant(qlonglong(value)), {}};
}

unsigned long long XTree::getUInt(const QString& key, unsigned long long defaultValue) const
{
    const Value* v = find(key, Kind::UInt);
    return v ? v->scalar.toULongLong() : defaultValue;
}

void XTree::setUInt(const QString& key, unsigned long long value)
{
    m_values[key] = Value{Kind::UInt, QVariant(qulonglong(value)), {}};
}

QString XTree::getString(const QString& key, const QString& defaultValue) const
{
    const Value* v = find(key, Kind::String);
    return v ? v->scalar.toString() : defaultValue;
}

void XTree::setString(const QString& key, const QString& value)
{
    m_values[key] = Value{Kind::String, value, {}};
}

QStringList XTree::getStringList(const QString& key) const
{
    const Value* v = find(key, Kind::StringList);
    return v ? v->scalar.toStringList() : QStringList();
}

void XTree::setStringList(const QString& key, const QStringList& value)
{
    m_values[key] = Value{Kind::StringList, value, {}};
}

XTree* XTree::getTree(const QString& key) const
{
    const Value* v = find(key, Kind::Tree);
    return v && !v->trees.empty() ? v->trees.front().get() : nullptr;
}

void XTree::setTree(const QString& key, std::unique_ptr<XTree> tree)
{
    Value value{Kind::Tree, {}, {}};
    value.trees.push_back(std::move(tree));
    m_values[key] = std::move(value);
}

const XTree::TreeArray* XTree::getTreeArray(const QString& key) const
{
    const Value* v = find(key, Kind::TreeArray);
    return v ? &v->trees : nullptr;
}

XTree::TreeArray& XTree::treeArray(const QString& key)
{
    auto it = m_values.find(key);
    if (it == m_values.end() || it->second.kind != Kind::TreeArray)
        it = m_values.insert_or_assign(key, Value{Kind::TreeArray, {}, {}}).first;
    return it->second.trees;
}

void XTree::writeTree(QDataStream& out) const
{
    out << quint32(m_values.size());
    for (const auto& [key, value] : m_values) {
        out << key << quint8(value.kind);
        switch (value.kind) {
        case Kind::Bool: out << value.scalar.toBool(); break;
        case Kind::Int: out << qint64(value.scalar.toLongLong()); break;
        case Kind::UInt: out << quint64(value.scalar.toULongLong()); break;
        case Kind::String: out << value.scalar.toString(); break;
        case Kind::StringList: out << value.scalar.toStringList(); break;
        case Kind::Tree:
        case Kind::TreeArray:
            out << quint32(value.trees.size());
            for (const auto& tree : value.trees) {
                out << tree->typeName();
                tree->writeTree(out);
            }
            break;
        }
    }
}

std::unique_ptr<XTree> XTree::makeTree(const QString& typeName, const XTypeSupporter* supporter)
{
    if (supporter) {
        if (auto tree = supporter->createTree(typeName))
            return tree;
    }
    return std::make_unique<XTree>();
}

bool XTree::readTree(QDataStream& in, const XTypeSupporter* supporter, int depth)
{
    if (depth > MAX_DEPTH)
        return false;
    quint32 count = 0;
    in >> count;
    std::map<QString, Value> values;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString key;
        quint8 kind = 0;
        in >> key >> kind;
        Value value{Kind(kind), {}, {}};
        switch (Kind(kind)) {
        case Kind::Bool: { bool b = false; in >> b; value.scalar = b; break; }
        case Kind::Int: { qint64 n = 0; in >> n; value.scalar = qlonglong(n); break; }
        case Kind::UInt: { quint64 n = 0; in >> n; value.scalar = qulonglong(n); break; }
        case Kind::String: { QString s; in >> s; value.scalar = s; break; }
        case Kind::StringList: { QStringList l; in >> l; value.scalar = l; break; }
        case Kind::Tree:
        case Kind::TreeArray: {
            quint32 n = 0;
            in >> n;
            if (Kind(kind) == Kind::Tree && n != 1)
                return false;
            for (quint32 k = 0; k < n && in.status() == QDataStream::Ok; ++k) {
                QString type;
                in >> type;
                auto tree = makeTree(type, supporter);
                if (!tree->readTree(in, supporter, depth + 1))
                    return false;
                value.trees.push_back(std::move(tree));
            }
            break;
        }
        default: return false;
        }
        values[key] = std::move(value);
    }
    if (in.status() != QDataStream::Ok)
        return false;
    m_values = std::move(values);
    return true;
}

QByteArray XTree::toBytes() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    writeTree(out);
    return bytes;
}

bool XTree::fromBytes(const QByteArray& bytes, const XTypeSupporter* supporter)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_5_15);
    XTree parsed;
    if (!parsed.readTree(in, supporter) || !in.atEnd())
        return false;
    m_values = std::move(parsed.m_values);
    return true;
}

std::unique_ptr<XTree> XTree::create_copy(const XTypeSupporter* supporter) const
{
    auto copy = makeTree(typeName(), supporter);
    copy->fromBytes(toBytes(), supporter);
    return copy;
}

bool XTree::assign_copy(const XTree& other, const XTypeSupporter* supporter)
{
    return &other == this || fromBytes(other.toBytes(), supporter);
}

QByteArray XTree::calc_MD5() const
{
    return QCryptographicHash::hash(toBytes(), QCryptographicHash::Md5).toHex();
}

bool XTree::save_as_compressed_file(const QString& path, const XTypeSupporter*) const
{
    const QByteArray raw = toBytes();
    const QByteArray packed = deflate(raw);
    QSaveFile file(path);
    if (packed.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        Logger::log(xprintF(QStringLiteral("XTree::save_as_compressed_file, cannot write <<<$>>>"), path), LOG_ERROR);
        return false;
    }
    QDataStream out(&file);
    out << FILE_MAGIC << FILE_VERSION << quint32(raw.size()) << crcOf(raw) << quint32(packed.size());
    out.writeRawData(packed.constData(), packed.size());
    return out.status() == QDataStream::Ok && file.commit();
}

bool XTree::load_from_compressed_file(const QString& path, const XTypeSupporter* supporter)
{
    QByteArray bytes;
    QString reason;
    if (XStoreFile::read(path, bytes, reason) != XStoreFile::Read::Ok)
        return false;
    QDataStream in(bytes);
    quint32 magic = 0, version = 0, rawSize = 0, crc = 0, packedSize = 0;
    in >> magic >> version >> rawSize >> crc >> packedSize;
    const qint64 rest = qint64(bytes.size()) - in.device()->pos();
    if (in.status() != QDataStream::Ok || magic != FILE_MAGIC || version != FILE_VERSION || rawSize > MAX_PAYLOAD
        || packedSize > MAX_PAYLOAD || qint64(packedSize) != rest) {
        Logger::log(xprintF(QStringLiteral("XTree::load_from_compressed_file, not a store file <<<$>>>"), path), LOG_ERROR);
        return false;
    }
    QByteArray raw;
    if (!inflate(bytes.mid(int(bytes.size() - rest)), rawSize, &raw) || crcOf(raw) != crc
        || !fromBytes(raw, supporter)) {
        Logger::log(xprintF(QStringLiteral("XTree::load_from_compressed_file, damaged <<<$>>>"), path), LOG_ERROR);
        return false;
    }
    return true;
}

} // namespace zem

