#pragma once
// The GUI kernel: the engine kernel plus the persistent configuration file, themes, the key
// hook, the window list and restart. One exists while a GUI command runs; it lives on the GUI thread.
#include "Kernel.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

class QKeyEvent;

namespace zem {

class KernelGUI;

// Hooks the program installs before the runtime starts.
struct KernelGUIConfig {
    // Called once when the kernel initialises languages.
    static std::function<bool(KernelGUI&)> lang_ini;
};

// Registers a GUI command, run by the runtime on a KernelGUI.
class TestGuiContextAdder {
public:
    TestGuiContextAdder(std::function<int(KernelGUI&)> function, const char* name, const char* description,
                        const QStringList& optionalKeys = {}, const QStringList& requiredKeys = {});
};

class KernelGUI : public Kernel {
public:
    KernelGUI();
    ~KernelGUI() override;

    static KernelGUI* kernelGui();

    // The configuration file of the node tree (in the user's config directory).
    static QString configFilePath();
    // Loads the node tree from the configuration file. A damaged file (read, but no node tree) is
    // kept as "<name>.bad", logged, and the tree starts empty. A file that exists but cannot be
    // read (permissions, a pipe or folder in its place) is left where it is: the tree starts empty
    // and saveConfig will not write over it. With "generate always" nothing is loaded.
    void loadConfig();
    // Writes the node tree atomically; false (and nothing written) after an unreadable load.
    bool saveConfig();
    bool isConfigKept() const { return m_configKept; }
    static void set_generate_config_always();
    static bool is_generate_config_always();

    // Themes, remembered in the node tree.
    bool isZemStyleDark() const;
    void setZemStyleNewDark();
    void setZemStyleNewStandard();
    void applyTheme();

    // Called for every key press in the application before it reaches its widget;
    // returning true consumes the key.
    void setKeyHook(std::function<bool(QKeyEvent*)> hook);
    bool callKeyHook(QKeyEvent* event);

    // The program's top-level windows, in creation order; closed windows drop out.
    void addWindow(QWidget* window);
    QList<QWidget*> windows() const;

    // Asks the runtime to start the program again once this run has ended.
    void set_restart(bool on) { m_restart = on; }
    bool is_restart() const { return m_restart; }

    int run() override;

private:
    std::function<bool(QKeyEvent*)> m_keyHook;
    QList<QPointer<QWidget>> m_windows;
    bool m_restart = false;
    bool m_configKept = false;  // the configuration file could not be read: do not save over it
};

} // namespace zem
