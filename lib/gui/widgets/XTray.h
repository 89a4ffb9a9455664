#pragma once
// A system tray icon with its own menu. Where the desktop has no tray the object still exists and
// its menu still works; it is simply not shown.
#include <QSystemTrayIcon>

#include <functional>

namespace zem {

class XMenu;

class XTray : public QSystemTrayIcon {
    Q_OBJECT
public:
    explicit XTray(const QString& iconPath, QObject* parent = nullptr);
    ~XTray() override;

    XMenu* menu() const { return m_menu; }
    // Shows the icon when the desktop has a tray; false when it has none.
    bool showIfAvailable();
    // Whether the desktop offers a tray; tests replace the provider.
    static bool isAvailable();
    static std::function<bool()> availableProvider;

private:
    XMenu* m_menu;   // owned; a QMenu cannot have a QObject parent
};

} // namespace zem
