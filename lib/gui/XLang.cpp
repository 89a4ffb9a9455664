#include "XLang.h"

#include "Logger.h"

#include <QFile>
#include <QReadWriteLock>
#include <QXmlStreamReader>

namespace zem {

namespace {
struct LangTable {
    QReadWriteLock lock;
    QHash<QString, QHash<QString, QString>> messages; // English text -> code -> text
    QStringList codes{QStringLiteral("en")};
    QString current = QStringLiteral("en");
};

LangTable& table()
{
    static LangTable t;
    return t;
}

// Languages in the order the file lists them, so that choosers show them the same way each time.
bool parseMessage(QXmlStreamReader& xml, QHash<QString, QString>* texts, QStringList* codes)
{
    while (xml.readNextStartElement()) {
        const QString code = xml.name().toString();
        texts->insert(code, xml.readElementText());
        if (!codes->contains(code))
            codes->append(code);
    }
    return !xml.hasError();
}
} // namespace

bool XLang::loadFromBytes(const QByteArray& bytes)
{
    QXmlStreamReader xml(bytes);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("GUI")) {
        Logger::log(QStringLiteral("XLang::load, no GUI root"), LOG_ERROR);
        return false;
    }
    QHash<QString, QHash<QString, QString>> messages;
    QStringList codes{QStringLiteral("en")};
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("Message")) {
            xml.skipCurrentElement();
            continue;
        }
        QHash<QString, QString> texts;
        if (!parseMessage(xml, &texts, &codes))
            break;
        const QString english = texts.value(QStringLiteral("en"));
        if (!english.isEmpty())
            messages.insert(english, texts);
    }
    if (xml.hasError()) {
        Logger::log(xprintF(QStringLiteral("XLang::load, line $: $"), xml.lineNumber(), xml.errorString()), LOG_ERROR);
        return false;
    }
    LangTable& t = table();
    QWriteLocker locker(&t.lock);
    t.messages = std::move(messages);
    t.codes = codes;
    return true;
}

bool XLang::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Logger::log(xprintF(QStringLiteral("XLang::load, cannot read <<<$>>>"), path), LOG_ERROR);
        return false;
    }
    return loadFromBytes(file.readAll());
}

void XLang::setLanguage(const QString& code)
{
    LangTable& t = table();
    QWriteLocker locker(&t.lock);
    t.current = code.isEmpty() ? QStringLiteral("en") : code;
}

QString XLang::language()
{
    QReadLocker locker(&table().lock);
    return table().current;
}

QStringList XLang::languages()
{
    QReadLocker locker(&table().lock);
    return table().codes;
}

QString XLang::translate(const QString& english, const QString& code)
{
    LangTable& t = table();
    QReadLocker locker(&t.lock);
    auto it = t.messages.constFind(english);
    if (it == t.messages.constEnd())
        return english;
    const QString text = it->value(code);
    return text.isEmpty() ? english : text;
}

QString XLang::translate(const QString& english)
{
    return translate(english, language());
}

int XLang::messageCount()
{
    QReadLocker locker(&table().lock);
    return table().messages.size();
}

QString xt(const QString& english)
{
    return XLang::translate(english);
}

} // namespace zem
