#include "Kernel.h"

#include "Logger.h"
#include "XFileNameCodec.h"
#include "XNode.h"

#include <QCoreApplication>
#include <QMutexLocker>

namespace zem {

namespace {
QList<CommandEntry>& registry()
{
    static QList<CommandEntry> entries;
    return entries;
}

Kernel* g_kernel = nullptr;
} // namespace

void CommandRegistry::add(const CommandEntry& entry)
{
    registry().append(entry);
}

const CommandEntry* CommandRegistry::find(const QString& name)
{
    for (const CommandEntry& entry : registry())
        if (entry.name == name)
            return &entry;
    return nullptr;
}

QList<CommandEntry> CommandRegistry::all()
{
    return registry();
}

TestContextAdder::TestContextAdder(std::function<int(Kernel&)> function, const char* name, const char* description,
                                   bool gui, const QStringList& optionalKeys, const QStringList& requiredKeys)
{
    CommandRegistry::add(CommandEntry{QString::fromUtf8(name), QString::fromUtf8(description), gui,
                                      std::move(function), optionalKeys, requiredKeys});
}

Kernel::Kernel() : m_root(std::make_unique<XNode>(QStringLiteral("root")))
{
    g_kernel = this;
    // Before any thread starts: file names keep their bytes through every QString.
    XFileNameCodec::install();
}

Kernel::~Kernel()
{
    if (g_kernel == this)
        g_kernel = nullptr;
}

Kernel* Kernel::kernel()
{
    return g_kernel;
}

XNode* Kernel::getCreateNodeApplication()
{
    return m_root->getCreateNode(QStringLiteral("app"));
}

void Kernel::addExitHandler(std::function<void()> handler)
{
    QMutexLocker locker(&m_lock);
    m_exitHandlers.push_back(std::move(handler));
}

void Kernel::runExitHandlers()
{
    std::vector<std::function<void()>> handlers;
    {
        QMutexLocker locker(&m_lock);
        if (m_exitHandlersRan)
            return;
        m_exitHandlersRan = true;
        handlers = m_exitHandlers;
    }
    for (auto& handler : handlers)
        if (handler)
            handler();
}

int Kernel::run()
{
    if (!QCoreApplication::instance()) {
        Logger::log(QStringLiteral("Kernel::run, no application object"), LOG_ERROR);
        return 1;
    }
    return QCoreApplication::exec();
}

} // namespace zem
