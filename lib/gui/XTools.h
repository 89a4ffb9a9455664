#pragma once
// GUI-side helpers: where configuration and cache live, the language, running on the GUI thread,
// and window placement.
#include <QString>
#include <functional>

class QWidget;

namespace zem {

class XTools {
public:
    // ~/.config/zemfinder (XDG_CONFIG_HOME respected); created on demand.
    static QString get_absolute_config_dir();
    static QString get_absolute_config_file_path(const QString& fileName);
    // ~/.cache/zemfinder (XDG_CACHE_HOME respected); created on demand.
    static QString get_create_cache_dir();
    // Removes everything inside the cache directory, keeping the directory and the open log file.
    static bool empty_out_cache_dir();

    // Language file: the user's edited copy in the config directory wins over the built-in one.
    static void set_lang_path(const QString& path);
    static QString lang_path();
    static QString user_lang_file_path();
    static bool lang_ini(bool load);
    static void set_lang(const QString& code);
    static QString get_lang();

    static void run_in_gui_thread(std::function<void()> fn, int delayMs = 0);
    static bool isDebug();

    // Resizes the window and centres it on the screen it is on (or the primary screen).
    static void centerOnScreen(QWidget* window, int width, int height);
    // Moves the window so that it is centred on the window that holds origin (kept on a screen);
    // centred on the screen when there is no origin.
    static void centerOnWindow(QWidget* window, QWidget* origin);
};

// The engine's view of the stored user choices in the kernel's root record.
class ZemEngine {
public:
    static QString get_lang();            // "lang" of the root record, "en" when unset
    static void set_lang(const QString& code);
};

} // namespace zem
