#include "XLang.h"

#include "Logger.h"

#include <QFile>
#include <QReadWriteLock>
#include <QSaveFile>
#include <QSet>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace zem {

namespace {
const QString EN = QStringLiteral("en");

struct LangTable {
    QReadWriteLock lock;
    LangMessages messages;
    QHash<QString, int> byEnglish;   // English text -> index in messages
    QStringList codes{EN};
    QString current = EN;
};

LangTable& table()
{
    static LangTable t;
    return t;
}

bool parseMessage(QXmlStreamReader& xml, LangMessage* message)
{
    while (xml.readNextStartElement()) {
        const QString code = xml.name().toString();
        message->set(code, xml.readElementText());
    }
    return !xml.hasError();
}

int countWithEnglish(const LangMessages& messages)
{
    int count = 0;
    for (const LangMessage& message : messages)
        if (!message.text(EN).isEmpty())
            ++count;
    return count;
}

// Adds the built-in messages the saved file lacks, in the languages the saved file keeps (a
// language the user removed stays removed).
void addMissing(LangMessages* saved, const LangMessages& builtIn)
{
    QSet<QString> known;
    for (const LangMessage& message : *saved)
        known.insert(message.text(EN));
    const QStringList codes = XLang::languagesOf(*saved);
    for (const LangMessage& message : builtIn) {
        const QString english = message.text(EN);
        if (english.isEmpty() || known.contains(english))
            continue;
        LangMessage added;
        for (const QString& code : codes)
            added.set(code, message.text(code));
        saved->append(added);
    }
}

bool readFile(const QString& path, QByteArray* bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Logger::log(xprintF(QStringLiteral("XLang::load, cannot read <<<$>>>"), path), LOG_ERROR);
        return false;
    }
    *bytes = file.readAll();
    return true;
}

void keepAsBad(const QString& path)
{
    const QString bad = path + QStringLiteral(".bad");
    QFile::remove(bad);
    QFile::rename(path, bad);
    Logger::log(xprintF(QStringLiteral("XLang::load, damaged <<<$>>> kept as <<<$>>>"), path, bad), LOG_ERROR);
}
} // namespace

bool LangMessage::has(const QString& code) const
{
    for (const auto& text : m_texts)
        if (text.first == code)
            return true;
    return false;
}

QString LangMessage::text(const QString& code) const
{
    for (const auto& text : m_texts)
        if (text.first == code)
            return text.second;
    return QString();
}

void LangMessage::set(const QString& code, const QString& text)
{
    for (auto& entry : m_texts)
        if (entry.first == code) {
            entry.second = text;
            return;
        }
    m_texts.append(qMakePair(code, text));
}

bool LangMessage::remove(const QString& code)
{
    for (int i = 0; i < m_texts.size(); ++i)
        if (m_texts.at(i).first == code) {
            m_texts.removeAt(i);
            return true;
        }
    return false;
}

QStringList LangMessage::codes() const
{
    QStringList out;
    for (const auto& text : m_texts)
        out << text.first;
    return out;
}

bool XLang::parse(const QByteArray& bytes, LangMessages* messages, QString* error)
{
    QXmlStreamReader xml(bytes);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("GUI")) {
        if (error)
            *error = QStringLiteral("no GUI root");
        return false;
    }
    LangMessages parsed;
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("Message")) {
            xml.skipCurrentElement();
            continue;
        }
        LangMessage message;
        if (!parseMessage(xml, &message))
            break;
        parsed.append(message);
    }
    // A file cut short ends without its closing root tag; the reader notices at the end.
    while (!xml.atEnd() && !xml.hasError())
        xml.readNext();
    if (xml.hasError()) {
        if (error)
            *error = xprintF(QStringLiteral("line $: $"), xml.lineNumber(), xml.errorString());
        return false;
    }
    *messages = std::move(parsed);
    return true;
}

bool XLang::loadFromBytes(const QByteArray& bytes)
{
    LangMessages messages;
    QString error;
    if (!parse(bytes, &messages, &error)) {
        Logger::log(xprintF(QStringLiteral("XLang::load, $"), error), LOG_ERROR);
        return false;
    }
    setMessages(messages);
    return true;
}

bool XLang::load(const QString& path)
{
    QByteArray bytes;
    return readFile(path, &bytes) && loadFromBytes(bytes);
}

bool XLang::loadUserThenBuiltIn(const QString& userPath, const QString& builtInPath)
{
    LangMessages builtIn;
    QByteArray bytes;
    const bool haveBuiltIn = readFile(builtInPath, &bytes) && parse(bytes, &builtIn);
    if (QFile::exists(userPath)) {
        LangMessages saved;
        QString error;
        if (readFile(userPath, &bytes) && parse(bytes, &saved, &error) && countWithEnglish(saved) > 0) {
            addMissing(&saved, builtIn);
            setMessages(saved);
            return true;
        }
        Logger::log(xprintF(QStringLiteral("XLang::load, <<<$>>> $"), userPath, error), LOG_ERROR);
        keepAsBad(userPath);
    }
    if (!haveBuiltIn) {
        Logger::log(xprintF(QStringLiteral("XLang::load, built-in <<<$>>> unreadable"), builtInPath), LOG_ERROR);
        return false;
    }
    setMessages(builtIn);
    return true;
}

QByteArray XLang::toXml(const LangMessages& messages)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("GUI"));
    for (const LangMessage& message : messages) {
        xml.writeStartElement(QStringLiteral("Message"));
        for (const auto& text : message.texts()) {
            xml.writeStartElement(text.first);
            // Writing the (possibly empty) text closes the start tag, so an empty text is
            // written as an opening and a closing tag.
            xml.writeCharacters(text.second);
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

bool XLang::save(const QString& path, const LangMessages& messages)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(toXml(messages)) < 0 || !file.commit()) {
        Logger::log(xprintF(QStringLiteral("XLang::save, cannot write <<<$>>>"), path), LOG_ERROR);
        return false;
    }
    return true;
}

LangMessages XLang::messages()
{
    QReadLocker locker(&table().lock);
    return table().messages;
}

void XLang::setMessages(const LangMessages& messages)
{
    QHash<QString, int> byEnglish;
    for (int i = 0; i < messages.size(); ++i) {
        const QString english = messages.at(i).text(EN);
        if (!english.isEmpty())
            byEnglish.insert(english, i);
    }
    const QStringList codes = languagesOf(messages);
    LangTable& t = table();
    QWriteLocker locker(&t.lock);
    t.messages = messages;
    t.byEnglish = std::move(byEnglish);
    t.codes = codes;
}

QStringList XLang::languagesOf(const LangMessages& messages)
{
    QStringList codes{EN};
    for (const LangMessage& message : messages)
        for (const auto& text : message.texts())
            if (!codes.contains(text.first))
                codes.append(text.first);
    return codes;
}

void XLang::setLanguage(const QString& code)
{
    LangTable& t = table();
    QWriteLocker locker(&t.lock);
    t.current = code.isEmpty() ? EN : code;
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
    auto it = t.byEnglish.constFind(english);
    if (it == t.byEnglish.constEnd())
        return english;
    const QString text = t.messages.at(*it).text(code);
    return text.isEmpty() ? english : text;
}

QString XLang::translate(const QString& english)
{
    return translate(english, language());
}

int XLang::messageCount()
{
    QReadLocker locker(&table().lock);
    return table().byEnglish.size();
}

QString xt(const QString& english)
{
    return XLang::translate(english);
}

} // namespace zem
