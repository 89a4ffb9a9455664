#include "XAppDefaults.h"

#include "Logger.h"
#include "Terminal.h"
#include "XEnv.h"
#include "XProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

namespace zemFinder {

namespace {
// Graphical editors in the order a Debian desktop is likely to have them.
const char* const GUI_EDITORS[] = {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "pluma", "xed",
                                   "featherpad", "geany", "leafpad"};
const char* const CONSOLE_EDITORS[] = {"nano", "vim", "vi"};

// The "[Default Applications]" (or "[Added Associations]") value of mimeType in one list file.
QString desktop_id_in(const QString& file, const QString& mimeType)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream in(&f);
    bool inSection = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inSection = line == QLatin1String("[Default Applications]") || line == QLatin1String("[Added Associations]");
            continue;
        }
        if (inSection && line.startsWith(mimeType + QLatin1Char('='))) {
            const QString ids = line.mid(mimeType.size() + 1);
            return ids.split(QLatin1Char(';'), Qt::SkipEmptyParts).value(0).trimmed();
        }
    }
    return QString();
}

// key's value in the "[Desktop Entry]" group of a desktop file (untranslated), or empty.
QString desktop_entry_value(const QString& file, const QString& key)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream in(&f);
    in.setCodec("UTF-8");
    bool inGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inGroup = line == QLatin1String("[Desktop Entry]");
        else if (inGroup && line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1).trimmed();
    }
    return QString();
}

QStringList config_and_data_dirs(const QString& sub)
{
    QStringList out;
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        out << dir + QLatin1Char('/') + QStringLiteral("mimeapps.list");
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        out << dir + QStringLiteral("/applications/") + sub;
        out << dir + QStringLiteral("/applications/defaults.list");
    }
    return out;
}

XApp record(const QString& name, const QString& path, const QString& arguments, const QString& title)
{
    XApp app;
    app.set_name(name);
    app.set_path(path);
    app.set_title(title);
    app.set_flag_terminal(false);
    app.set_arguments(arguments);
    app.set_tool_tip(zem::xprintF(QStringLiteral("$ $"), path, arguments));
    return app;
}
} // namespace

QString XAppDefaults::default_desktop_id(const QString& mimeType)
{
    for (const QString& file : config_and_data_dirs(QStringLiteral("mimeapps.list"))) {
        const QString id = desktop_id_in(file, mimeType);
        if (!id.isEmpty())
            return id;
    }
    return QString();
}

XApp XAppDefaults::app_from_desktop_file(const QString& path)
{
    const QString exec = desktop_entry_value(path, QStringLiteral("Exec"));
    const QString name = desktop_entry_value(path, QStringLiteral("Name"));
    QStringList words = zem::XProcess::split_args(exec);
    if (words.isEmpty() || QStandardPaths::findExecutable(words.first()).isEmpty())
        return XApp();
    const QString program = words.takeFirst();
    // Field codes: the file ones become the chosen file, the others are left out.
    bool hasFile = false;
    QStringList args;
    for (const QString& word : words) {
        if (word == QLatin1String("%f") || word == QLatin1String("%F") || word == QLatin1String("%u")
            || word == QLatin1String("%U")) {
            args << QStringLiteral("$(G_PATH)");
            hasFile = true;
        } else if (!(word.size() == 2 && word.startsWith(QLatin1Char('%')))) {
            args << word;
        }
    }
    if (!hasFile)
        args << QStringLiteral("$(G_PATH)");
    const QString label = name.isEmpty() ? QFileInfo(program).fileName() : name;
    return record(zem::xprintF(QStringLiteral("Text Editor ($)"), label), program,
                  zem::XProcess::join_args(args),
                  zem::xprintF(QStringLiteral("The desktop's text editor, $"), label));
}

XApp XAppDefaults::text_editor()
{
    const QString id = default_desktop_id(QStringLiteral("text/plain"));
    if (!id.isEmpty()) {
        const QString file = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
        if (!file.isEmpty()) {
            XApp app = app_from_desktop_file(file);
            if (!app.path().isEmpty())
                return app;
        }
    }
    for (const char* editor : GUI_EDITORS) {
        const QString name = QString::fromLatin1(editor);
        if (!QStandardPaths::findExecutable(name).isEmpty())
            return record(zem::xprintF(QStringLiteral("Text Editor ($)"), name), name, QStringLiteral("$(G_PATH)"),
                          zem::xprintF(QStringLiteral("Text editor $"), name));
    }
    // A console editor is of use only where a terminal window can hold it.
    const bool terminal = !Terminal::find_terminal().isEmpty();
    for (const char* editor : CONSOLE_EDITORS) {
        const QString name = QString::fromLatin1(editor);
        if (!terminal || QStandardPaths::findExecutable(name).isEmpty())
            continue;
        XApp app = record(zem::xprintF(QStringLiteral("Text Editor ($ in a terminal)"), name), name,
                          QStringLiteral("$(G_PATH)"), zem::xprintF(QStringLiteral("Console editor $"), name));
        app.set_flag_terminal(true);
        return app;
    }
    return record(QStringLiteral("Default Program"), QStringLiteral("xdg-open"), QStringLiteral("$(G_PATH)"),
                  QStringLiteral("The desktop's program for the file"));
}

} // namespace zemFinder
