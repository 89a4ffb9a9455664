#include "CommandLine.h"

#include "Logger.h"

namespace zem {

void CommandLine::parse(const QStringList& args)
{
    m_command.clear();
    m_values.clear();
    m_extra.clear();
    m_bare.clear();
    for (int i = 0; i < args.size(); ++i) {
        const QString& word = args.at(i);
        if (word.startsWith(QLatin1String("--")) && word.size() > 2) {
            // "--key=value" carries any value, also one that starts with "--".
            const int equals = word.indexOf(QLatin1Char('='));
            if (equals > 2) {
                const QString key = word.mid(2, equals - 2);
                m_values.insert(key, word.mid(equals + 1));
                m_bare.remove(key);
                continue;
            }
            const QString key = word.mid(2);
            const bool hasValue = i + 1 < args.size() && !args.at(i + 1).startsWith(QLatin1String("--"));
            m_values.insert(key, hasValue ? args.at(++i) : QStringLiteral("true"));
            if (hasValue)
                m_bare.remove(key);
            else
                m_bare.insert(key);
        } else if (i == 0 && !word.startsWith(QLatin1Char('-'))) {
            m_command = word;
        } else {
            m_extra << word;
        }
    }
}

void CommandLine::addShortFlag(const QString& word, const QString& key)
{
    if (m_extra.removeAll(word) == 0)
        return;
    m_values.insert(key, QStringLiteral("true"));
    m_bare.insert(key);
}

QString CommandLine::getString(const QString& key, const QString& defaultValue) const
{
    return m_values.value(key, defaultValue);
}

long long CommandLine::getInt(const QString& key, long long defaultValue, bool* ok) const
{
    if (!m_values.contains(key)) {
        if (ok)
            *ok = true;
        return defaultValue;
    }
    bool parsed = false;
    const long long value = m_values.value(key).trimmed().toLongLong(&parsed);
    if (ok)
        *ok = parsed;
    return parsed ? value : defaultValue;
}

bool CommandLine::getBool(const QString& key, bool defaultValue) const
{
    if (!m_values.contains(key))
        return defaultValue;
    const QString v = m_values.value(key).trimmed().toLower();
    return v == QLatin1String("true") || v == QLatin1String("1") || v == QLatin1String("yes");
}

void CommandLine::setAllowedKeys(const QStringList& optional, const QStringList& required)
{
    m_allowed = QSet<QString>(optional.begin(), optional.end());
    for (const QString& key : required)
        m_allowed.insert(key);
    m_required = required;
}

bool CommandLine::checkKeys() const
{
    m_error.clear();
    for (auto it = m_values.constBegin(); it != m_values.constEnd(); ++it)
        if (!m_allowed.contains(it.key()))
            m_error += xprintF(QStringLiteral("key not allowed: --$; "), it.key());
    for (const QString& key : m_required)
        if (!m_values.contains(key))
            m_error += xprintF(QStringLiteral("key missing: --$; "), key);
    for (const QString& word : m_extra)
        m_error += xprintF(QStringLiteral("unexpected word: $; "), word);
    if (m_error.isEmpty())
        return true;
    Logger::log(xprintF(QStringLiteral("CommandLine::checkKeys, $"), m_error), LOG_ERROR);
    return false;
}

} // namespace zem
