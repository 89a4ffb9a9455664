#pragma once
// A typed tree for the program's binary stores (bookmarks, applications): keys holding bools,
// integers, strings, string lists, sub-trees and arrays of sub-trees. Saved as a compressed,
// versioned and checksummed file; loading a damaged file fails without touching the tree.
//
// Trees may be of user types derived from XTree; an XTypeSupporter creates them by type name
// when reading, so that an array of such records comes back as the same type.
#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <map>
#include <memory>
#include <vector>

class QDataStream;

namespace zem {

class XTree;

class NameAble {
public:
    explicit NameAble(const QString& name = QString()) : m_name(name) {}
    virtual ~NameAble() = default;
    QString name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }

private:
    QString m_name;
};

// Creates trees of registered user types when a stored tree names one.
class XTypeSupporter : public NameAble {
public:
    using NameAble::NameAble;
    // Returns a new tree for typeName, or null when this supporter does not know it.
    virtual std::unique_ptr<XTree> createTree(const QString& typeName) const;
    // Text form of an array of trees for logs.
    virtual QString arrayAsString(const std::vector<std::unique_ptr<XTree>>& array) const;

    QSet<QString> types;
};

// The readable name of a C++ type (as typeid renders it, demangled).
QString deMangle(const char* mangledName);

class XTree {
public:
    using TreeArray = std::vector<std::unique_ptr<XTree>>;

    XTree() = default;
    virtual ~XTree();
    XTree(const XTree&) = delete;
    XTree& operator=(const XTree&) = delete;
    XTree(XTree&&) = default;
    XTree& operator=(XTree&&) = default;

    // Stored with each sub-tree so that a supporter can recreate its type.
    virtual QString typeName() const;

    bool has(const QString& key) const { return m_values.count(key) != 0; }
    void remove(const QString& key) { m_values.erase(key); }
    QStringList keys() const;
    bool isEmpty() const { return m_values.empty(); }
    void clear() { m_values.clear(); }

    bool getBool(const QString& key, bool defaultValue) const;
    void setBool(const QString& key, bool value);
    long long getInt(const QString& key, long long defaultValue) const;
    void setInt(const QString& key, long long value);
    unsigned long long getUInt(const QString& key, unsigned long long defaultValue) const;
    void setUInt(const QString& key, unsigned long long value);
    QString getString(const QString& key, const QString& defaultValue = QString()) const;
    void setString(const QString& key, const QString& value);
    QStringList getStringList(const QString& key) const;
    void setStringList(const QString& key, const QStringList& value);

    // Sub-tree and arrays of sub-trees; the tree owns them.
    XTree* getTree(const QString& key) const;
    void setTree(const QString& key, std::unique_ptr<XTree> tree);
    const TreeArray* getTreeArray(const QString& key) const;   // null when absent
    TreeArray& treeArray(const QString& key);                   // created on demand

    // Copies this tree deeply (through the stream form, so user types come back as themselves).
    std::unique_ptr<XTree> create_copy(const XTypeSupporter* supporter) const;
    // Copies other's content into this tree.
    bool assign_copy(const XTree& other, const XTypeSupporter* supporter);
    // MD5 of the tree's stream form: equal trees give equal sums.
    QByteArray calc_MD5() const;

    bool save_as_compressed_file(const QString& path, const XTypeSupporter* supporter) const;
    // False on a missing, damaged or foreign file, or one that is not a regular file (never
    // waits on a pipe); the tree is then unchanged.
    bool load_from_compressed_file(const QString& path, const XTypeSupporter* supporter);

    QByteArray toBytes() const;
    bool fromBytes(const QByteArray& bytes, const XTypeSupporter* supporter);

    void writeTree(QDataStream& out) const;
    bool readTree(QDataStream& in, const XTypeSupporter* supporter, int depth = 0);

private:
    enum class Kind : quint8 { Bool = 1, Int, UInt, String, StringList, Tree, TreeArray };
    struct Value {
        Kind kind = Kind::String;
        QVariant scalar;
        TreeArray trees;   // one entry for Kind::Tree
    };
    static std::unique_ptr<XTree> makeTree(const QString& typeName, const XTypeSupporter* supporter);
    const Value* find(const QString& key, Kind kind) const;

    std::map<QString, Value> m_values;
};

} // namespace zem
