#pragma once
// One user-defined application: a program with which the finder opens a file. A typed tree whose
// keys are the fields; a missing key reads as its default, and nothing is written for a field
// until it is set, so stored records stay small and old stores read with new defaults.
// Plain value; copies are deep. Used on the GUI thread.
#include "XTree.h"

#include <QString>

namespace zemFinder {

class XApp : public zem::XTree {
public:
    static const QString KEY_NAME, KEY_TITLE, KEY_PATH, KEY_ICON_PATH, KEY_ARGUMENTS, KEY_ENVIRO, KEY_WORKING_DIR,
        KEY_TOOL_TIP, KEY_FLAG_ENABLED, KEY_FLAG_TERMINAL, KEY_FLAG_TERM_WIN_OPEN, KEY_FLAG_SHOW_OUTPUT;

    XApp() = default;
    ~XApp() override;
    XApp(const XApp& other);
    XApp& operator=(const XApp& other);
    XApp(XApp&& other) noexcept;
    XApp& operator=(XApp&& other) noexcept;

    // The registered type name of records in stores ("zemFinder::XApp").
    static QString type_name();

    // With replace, "$(NAME)" references are filled from the process environment.
    QString name(bool replace = false) const { return text(KEY_NAME, replace); }
    QString title(bool replace = false) const { return text(KEY_TITLE, replace); }
    QString path(bool replace = false) const { return text(KEY_PATH, replace); }
    QString icon_path(bool replace = false) const { return text(KEY_ICON_PATH, replace); }
    QString arguments(bool replace = false) const { return text(KEY_ARGUMENTS, replace); }
    QString environment(bool replace = false) const { return text(KEY_ENVIRO, replace); }
    QString working_dir(bool replace = false) const { return text(KEY_WORKING_DIR, replace); }
    QString tool_tip(bool replace = false) const { return text(KEY_TOOL_TIP, replace); }
    bool is_flag_enabled() const { return getBool(KEY_FLAG_ENABLED, true); }
    bool is_flag_terminal() const { return getBool(KEY_FLAG_TERMINAL, false); }
    bool is_flag_keep_term_open() const { return getBool(KEY_FLAG_TERM_WIN_OPEN, false); }
    bool is_flag_show_output() const { return getBool(KEY_FLAG_SHOW_OUTPUT, false); }

    void set_name(const QString& v) { setString(KEY_NAME, v); }
    void set_title(const QString& v) { setString(KEY_TITLE, v); }
    void set_path(const QString& v) { setString(KEY_PATH, v); }
    void set_icon_path(const QString& v) { setString(KEY_ICON_PATH, v); }
    void set_arguments(const QString& v) { setString(KEY_ARGUMENTS, v); }
    void set_environment(const QString& v) { setString(KEY_ENVIRO, v); }
    void set_working_dir(const QString& v) { setString(KEY_WORKING_DIR, v); }
    void set_tool_tip(const QString& v) { setString(KEY_TOOL_TIP, v); }
    void set_flag_enabled(bool on) { setBool(KEY_FLAG_ENABLED, on); }
    void set_flag_terminal(bool on) { setBool(KEY_FLAG_TERMINAL, on); }
    void set_flag_keep_term_open(bool on) { setBool(KEY_FLAG_TERM_WIN_OPEN, on); }
    void set_flag_show_output(bool on) { setBool(KEY_FLAG_SHOW_OUTPUT, on); }

    // True when the arguments, after replacement, are not empty.
    bool has_arguments() const { return !arguments(true).isEmpty(); }
    bool is_name(const QString& text) const { return name(false) == text; }

    // "XApp@<name>", the record's text form in logs and array texts.
    QString toString() const;
    // Writes the record to the log (level 32), fields indented by indent + 4.
    void dump(int indent) const;

private:
    QString text(const QString& key, bool replace) const;
};

} // namespace zemFinder
