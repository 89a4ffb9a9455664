#include "XTray.h"

#include "XMenu.h"

#include <QIcon>

namespace zem {

std::function<bool()> XTray::availableProvider = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };

bool XTray::isAvailable()
{
    return availableProvider ? availableProvider() : false;
}

XTray::XTray(const QString& iconPath, QObject* parent) : QSystemTrayIcon(QIcon(iconPath), parent), m_menu(new XMenu)
{
    m_menu->setToolTipsVisible(true);
    setContextMenu(m_menu);
}

XTray::~XTray()
{
    setContextMenu(nullptr);
    delete m_menu;
}

bool XTray::showIfAvailable()
{
    if (!isAvailable())
        return false;
    show();
    return true;
}

} // namespace zem
