#pragma once
// A tree of named nodes with typed attributes, stored as XML. The kernel's configuration
// (window states, the "Config" record, the language) lives in one such tree.
#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QXmlStreamReader;
class QXmlStreamWriter;

namespace zem {

// Typed attributes: bool, signed and unsigned integers, strings, Base64 strings, string arrays.
// Reading with a default gives the default when the key is absent or does not parse.
class XRecord {
public:
    enum class Kind { Bool, Int, UInt, String, Base64, StringArray };

    bool has(const QString& key) const { return m_attrs.contains(key); }
    void remove(const QString& key) { m_attrs.remove(key); }
    QStringList keys() const { return m_attrs.keys(); }
    int attributeCount() const { return m_attrs.size(); }

    bool isBool(const QString& key, bool defaultValue) const;
    void setBool(const QString& key, bool value);
    long long getInt(const QString& key, long long defaultValue) const;
    void setInt(const QString& key, long long value);
    unsigned long long getUInt(const QString& key, unsigned long long defaultValue) const;
    void setUInt(const QString& key, unsigned long long value);
    QString getString(const QString& key, const QString& defaultValue = QString()) const;
    void setString(const QString& key, const QString& value);
    // Kept Base64-encoded in the file, so that any characters survive hand edits and XML rules.
    QString getBase64String(const QString& key, const QString& defaultValue = QString()) const;
    void setBase64String(const QString& key, const QString& value);
    QStringList getStringArray(const QString& key) const;
    void setStringArray(const QString& key, const QStringList& value);

protected:
    struct Attr {
        Kind kind = Kind::String;
        QString text;       // bool, integers and strings as text; Base64 kind: the encoded text
        QStringList list;   // StringArray kind
    };
    QMap<QString, Attr> m_attrs;
};

class XNode : public XRecord {
public:
    explicit XNode(const QString& name = QStringLiteral("root"), XNode* parent = nullptr);
    ~XNode();
    XNode(const XNode&) = delete;
    XNode& operator=(const XNode&) = delete;

    QString name() const { return m_name; }
    XNode* parent() const { return m_parent; }
    XNode* root();

    XNode* getNode(const QString& name) const;       // null when absent
    XNode* getCreateNode(const QString& name);        // created on demand
    bool removeNode(const QString& name);
    const std::vector<std::unique_ptr<XNode>>& children() const { return m_children; }
    void clear();                                     // attributes and children
    void copyFrom(const XNode& other);                // deep copy of attributes and children

    QByteArray toXml() const;
    // Replaces this node's content; false (content untouched) on malformed input.
    bool fromXml(const QByteArray& xml, QString* error = nullptr);
    // Atomic: the old file stays intact until the new one is complete.
    bool saveXml(const QString& path) const;
    bool loadXml(const QString& path, QString* error = nullptr);
    // Missing: no such file. Unreadable: it exists but could not be read (permissions, not a
    // regular file) and says nothing about its content. Damaged: read, but not a node tree.
    // Only Loaded changes this node.
    enum class LoadResult { Loaded, Missing, Unreadable, Damaged };
    LoadResult loadXmlFile(const QString& path, QString* error = nullptr);

    // Empty elements are written as <a></a> instead of <a/>.
    static bool atomicWriteFullEmptyTags;

private:
    void write(QXmlStreamWriter& xml) const;
    bool read(QXmlStreamReader& xml);
    bool readAttr(QXmlStreamReader& xml);

    QString m_name;
    XNode* m_parent;
    std::vector<std::unique_ptr<XNode>> m_children;
};

} // namespace zem
