#pragma once
// The program's command line: an optional command name, then "--key value" pairs.
// "--key" followed by another "--key" or by the end reads as "true" (a bare key); "--key=value"
// gives any value, also one that starts with "--".
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

namespace zem {

class CommandLine {
public:
    CommandLine() = default;
    explicit CommandLine(const QStringList& args) { parse(args); }

    // args without the program name.
    void parse(const QStringList& args);

    QString command() const { return m_command; }
    bool has(const QString& key) const { return m_values.contains(key); }
    // True when the key was given without a value ("--key" before another key or at the end).
    bool isBare(const QString& key) const { return m_bare.contains(key); }
    // A short word such as "-0" among the stray words becomes the bare key.
    void addShortFlag(const QString& word, const QString& key);
    QString getString(const QString& key, const QString& defaultValue) const;
    long long getInt(const QString& key, long long defaultValue, bool* ok = nullptr) const;
    bool getBool(const QString& key, bool defaultValue) const;
    QStringList keys() const { return m_values.keys(); }
    // Positional words after the command name (not "--key value" pairs).
    QStringList extraWords() const { return m_extra; }

    // Keys that may appear; checkKeys is false (and logs which) when another key or a stray word
    // is present, or a required key is missing.
    void setAllowedKeys(const QStringList& optional, const QStringList& required = {});
    bool checkKeys() const;
    QString lastError() const { return m_error; }

private:
    QString m_command;
    QMap<QString, QString> m_values;
    QStringList m_extra;
    QSet<QString> m_bare;
    QSet<QString> m_allowed;
    QStringList m_required;
    mutable QString m_error;
};

} // namespace zem
