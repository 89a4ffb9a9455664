#pragma once
// The engine kernel: the command line, the persistent node tree, exit handlers and the table of
// named commands. A non-GUI command runs on this kernel with a QCoreApplication; GUI commands run
// on KernelGUI (lib/gui), which derives from it.
#include "CommandLine.h"

#include <QList>
#include <QMutex>
#include <functional>
#include <memory>
#include <vector>

namespace zem {

class XNode;
class Kernel;

struct CommandEntry {
    QString name;
    QString description;
    bool gui = false;
    std::function<int(Kernel&)> function;
    QStringList optionalKeys;
    QStringList requiredKeys;
};

// Commands are added before main by static adder objects.
class CommandRegistry {
public:
    static void add(const CommandEntry& entry);
    static const CommandEntry* find(const QString& name);
    static QList<CommandEntry> all();
};

// Registers a command; with gui false it runs headless on a plain Kernel.
class TestContextAdder {
public:
    TestContextAdder(std::function<int(Kernel&)> function, const char* name, const char* description,
                     bool gui, const QStringList& optionalKeys = {}, const QStringList& requiredKeys = {});
};

class Kernel {
public:
    Kernel();
    virtual ~Kernel();
    Kernel(const Kernel&) = delete;
    Kernel& operator=(const Kernel&) = delete;

    // The kernel that runs the current command (null before the runtime made one).
    static Kernel* kernel();

    CommandLine& commandLine() { return m_commandLine; }
    const CommandLine& commandLine() const { return m_commandLine; }

    // Root of the persistent node tree; never null.
    XNode* getNodeRoot() { return m_root.get(); }
    // The application's node ("app" under the root), created on demand.
    XNode* getCreateNodeApplication();

    // Handlers run in order by runExitHandlers (once), before the node tree is persisted.
    void addExitHandler(std::function<void()> handler);
    void runExitHandlers();

    // Runs the event loop of the application object until quit; returns its exit code.
    virtual int run();

protected:
    std::unique_ptr<XNode> m_root;

private:
    CommandLine m_commandLine;
    QMutex m_lock;
    std::vector<std::function<void()>> m_exitHandlers;
    bool m_exitHandlersRan = false;
};

} // namespace zem
