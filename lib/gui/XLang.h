#pragma once
// The language table: every user-visible text is written in English in the code and looked up
// here by that English text. Untranslated texts fall back to English.
// The table keeps the messages as the file holds them (also those without "en", which are never
// looked up but are written back), so that the language editor can edit and save it.
// Lookups may come from any thread; loading and replacing happen on the GUI thread.
#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

namespace zem {

// One "Message" of the language file: its texts per language code, in file order.
class LangMessage {
public:
    bool has(const QString& code) const;
    QString text(const QString& code) const;
    // Replaces the text, or appends the language when the message has none yet.
    void set(const QString& code, const QString& text);
    bool remove(const QString& code);
    QStringList codes() const;
    const QVector<QPair<QString, QString>>& texts() const { return m_texts; }

private:
    QVector<QPair<QString, QString>> m_texts;
};

using LangMessages = QVector<LangMessage>;

class XLang {
public:
    // Loads a language file (root "GUI", elements "Message", one child per language code).
    // False (table unchanged) when unreadable or malformed.
    static bool load(const QString& path);
    static bool loadFromBytes(const QByteArray& xml);
    // The user's saved file, then the built-in one. The saved file wins; built-in messages it
    // lacks (new texts of a newer program) are added in the languages the saved file keeps.
    // A saved file that cannot be read as a language file is kept as "<path>.bad".
    static bool loadUserThenBuiltIn(const QString& userPath, const QString& builtInPath);

    static bool parse(const QByteArray& xml, LangMessages* messages, QString* error = nullptr);
    // The file form: UTF-8, root "GUI", empty texts written as an opening and a closing tag.
    static QByteArray toXml(const LangMessages& messages);
    // Atomic: the old file stays intact until the new one is complete.
    static bool save(const QString& path, const LangMessages& messages);

    // A copy of the live table, and its replacement: lookups use the new texts at once.
    static LangMessages messages();
    static void setMessages(const LangMessages& messages);
    // The language codes under the messages, "en" first, then in order of appearance.
    static QStringList languagesOf(const LangMessages& messages);

    static void setLanguage(const QString& code);
    static QString language();
    // The language codes found in the table, "en" first.
    static QStringList languages();
    static QString translate(const QString& english);
    static QString translate(const QString& english, const QString& code);
    static int messageCount();
};

// Translates a text into the current user-interface language.
QString xt(const QString& english);
inline QString xt(const char* english) { return xt(QString::fromUtf8(english)); }

} // namespace zem
