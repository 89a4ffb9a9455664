#pragma once
// The language table: every user-visible text is written in English in the code and looked up
// here by that English text. Untranslated texts fall back to English.
#include <QHash>
#include <QString>
#include <QStringList>

namespace zem {

class XLang {
public:
    // Loads a language file (root "GUI", elements "Message", one child per language code).
    // False (table unchanged) when unreadable or malformed.
    static bool load(const QString& path);
    static bool loadFromBytes(const QByteArray& xml);

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
