#include "XTray.h"

#include "XMenu.h"

#include <QIcon>

namespace zem {

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
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return false;
    show();
    return true;
}

} // namespace zem
