#include "KernelGUI.h"

#include "Logger.h"
#include "XNode.h"
#include "XTheme.h"
#include "XTools.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

namespace zem {

std::function<bool(KernelGUI&)> KernelGUIConfig::lang_ini;

namespace {
bool g_generateAlways = false;
const QString KEY_DARK = QStringLiteral("flagDarkTheme");
} // namespace

TestGuiContextAdder::TestGuiContextAdder(std::function<int(KernelGUI&)> function, const char* name,
                                         const char* description, const QStringList& optionalKeys,
                                         const QStringList& requiredKeys)
{
    auto call = [function](Kernel& kernel) { return function(static_cast<KernelGUI&>(kernel)); };
    CommandRegistry::add(CommandEntry{QString::fromUtf8(name), QString::fromUtf8(description), true, call,
                                      optionalKeys, requiredKeys});
}

KernelGUI::KernelGUI() = default;
KernelGUI::~KernelGUI() = default;

KernelGUI* KernelGUI::kernelGui()
{
    return dynamic_cast<KernelGUI*>(Kernel::kernel());
}

QString KernelGUI::configFilePath()
{
    return XTools::get_absolute_config_file_path(QStringLiteral("zemfinder-config.xml"));
}

void KernelGUI::loadConfig()
{
    m_configKept = false;
    const QString path = configFilePath();
    if (g_generateAlways)
        return;
    QString error;
    switch (getNodeRoot()->loadXmlFile(path, &error)) {
    case XNode::LoadResult::Loaded:
    case XNode::LoadResult::Missing:
        return;
    case XNode::LoadResult::Unreadable:
        // Nothing is known about its content: it is the user's, not ours to set aside or replace.
        m_configKept = true;
        Logger::log(xprintF(QStringLiteral("KernelGUI::loadConfig, cannot read <<<$>>> $ - running on defaults, "
                                           "the file stays as it is and is not saved over"),
                            path, error),
                    LOG_ERROR);
        return;
    case XNode::LoadResult::Damaged:
        break;
    }
    Logger::log(xprintF(QStringLiteral("KernelGUI::loadConfig, damaged <<<$>>> $ - starting with defaults"), path, error),
                LOG_ERROR);
    const QString bad = path + QStringLiteral(".bad");
    QFile::remove(bad);
    QFile::rename(path, bad);
    getNodeRoot()->clear();
}

bool KernelGUI::saveConfig()
{
    if (m_configKept) {
        Logger::log(xprintF(QStringLiteral("KernelGUI::saveConfig, <<<$>>> could not be read at start - not saved over"),
                            configFilePath()),
                    LOG_ERROR);
        return false;
    }
    return getNodeRoot()->saveXml(configFilePath());
}

void KernelGUI::set_generate_config_always()
{
    g_generateAlways = true;
}

bool KernelGUI::is_generate_config_always()
{
    return g_generateAlways;
}

bool KernelGUI::isZemStyleDark() const
{
    return m_root->isBool(KEY_DARK, false);
}

void KernelGUI::setZemStyleNewDark()
{
    m_root->setBool(KEY_DARK, true);
    applyTheme();
}

void KernelGUI::setZemStyleNewStandard()
{
    m_root->setBool(KEY_DARK, false);
    applyTheme();
}

void KernelGUI::applyTheme()
{
    XTheme::apply(isZemStyleDark());
}

void KernelGUI::setKeyHook(std::function<bool(QKeyEvent*)> hook)
{
    m_keyHook = std::move(hook);
}

bool KernelGUI::callKeyHook(QKeyEvent* event)
{
    return m_keyHook ? m_keyHook(event) : false;
}

void KernelGUI::addWindow(QWidget* window)
{
    m_windows.append(QPointer<QWidget>(window));
}

QList<QWidget*> KernelGUI::windows() const
{
    QList<QWidget*> out;
    for (const auto& window : m_windows)
        if (window)
            out << window.data();
    return out;
}

int KernelGUI::run()
{
    return QApplication::exec();
}

} // namespace zem
