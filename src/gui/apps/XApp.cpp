#include "XApp.h"

#include "Logger.h"
#include "XEnv.h"
#include "XType_App.h"

#include <typeinfo>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

const QString XApp::KEY_NAME = QStringLiteral("name");
const QString XApp::KEY_TITLE = QStringLiteral("title");
const QString XApp::KEY_PATH = QStringLiteral("path");
const QString XApp::KEY_ICON_PATH = QStringLiteral("iconPath");
const QString XApp::KEY_ARGUMENTS = QStringLiteral("arguments");
const QString XApp::KEY_ENVIRO = QStringLiteral("enviro");
const QString XApp::KEY_WORKING_DIR = QStringLiteral("workingDir");
const QString XApp::KEY_TOOL_TIP = QStringLiteral("toolTip");
const QString XApp::KEY_FLAG_ENABLED = QStringLiteral("flagEnabled");
const QString XApp::KEY_FLAG_TERMINAL = QStringLiteral("flagTerminal");
const QString XApp::KEY_FLAG_TERM_WIN_OPEN = QStringLiteral("flagTermWinOpen");
const QString XApp::KEY_FLAG_SHOW_OUTPUT = QStringLiteral("flagShowOutput");

XApp::~XApp() = default;

XApp::XApp(const XApp& other) : zem::XTree()
{
    assign_copy(other, &XType_App::for_copies());
}

XApp& XApp::operator=(const XApp& other)
{
    assign_copy(other, &XType_App::for_copies());
    return *this;
}

XApp::XApp(XApp&& other) noexcept : zem::XTree(std::move(other)) {}

XApp& XApp::operator=(XApp&& other) noexcept
{
    zem::XTree::operator=(std::move(other));
#ifdef QT_DEBUG
    Logger::log(QStringLiteral("XApp::operator=, MOVE"), zem::LOG_DETAIL);
#endif
    return *this;
}

QString XApp::type_name()
{
    return zem::deMangle(typeid(XApp).name());
}

QString XApp::text(const QString& key, bool replace) const
{
    // getString gives the default for a key that holds a tree or an array.
    const QString stored = getString(key);
    return replace ? zem::replaceEnv(stored) : stored;
}

QString XApp::toString() const
{
    return xprintF(QStringLiteral("XApp@$"), name(false));
}

void XApp::dump(int indent) const
{
    const int in = indent + 4;
    Logger::log(xprintF(QStringLiteral("XApp@$"), name(false)), zem::LOG_PROGRESS, indent);
    Logger::log(xprintF(QStringLiteral("title:'$'"), title(true)), zem::LOG_PROGRESS, in);
    Logger::log(xprintF(QStringLiteral("path:'$'"), path(true)), zem::LOG_PROGRESS, in);
    Logger::log(xprintF(QStringLiteral("icon_path:'$'"), icon_path(true)), zem::LOG_PROGRESS, in);
    Logger::log(xprintF(QStringLiteral("is_flag_terminal:'$'"), is_flag_terminal()), zem::LOG_PROGRESS, in);
    Logger::log(xprintF(QStringLiteral("is_flag_keep_term_open:'$'"), is_flag_keep_term_open()), zem::LOG_PROGRESS, in);
    Logger::log(xprintF(QStringLiteral("is_flag_show_output:'$'"), is_flag_show_output()), zem::LOG_PROGRESS, in);
    Logger::log(xprintF(QStringLiteral("environment:'$'"), environment(true)), zem::LOG_PROGRESS, in);
    Logger::log(xprintF(QStringLiteral("arguments:'$'"), arguments(true)), zem::LOG_PROGRESS, in);
    Logger::log(xprintF(QStringLiteral("working_dir:'$'"), working_dir(true)), zem::LOG_PROGRESS, in);
    Logger::log(xprintF(QStringLiteral("toolTip:'$'"), tool_tip(true)), zem::LOG_PROGRESS, in);
}

} // namespace zemFinder
