#pragma once
// A menu of XActions. The menu owns its actions and sub-menus.
#include <QMenu>

namespace zem {

class XAction;

class XMenu : public QMenu {
    Q_OBJECT
public:
    explicit XMenu(QWidget* parent = nullptr);
    XMenu(const QString& title, QWidget* parent);

    XAction* createAction(const QString& text, bool checkable, bool checked, bool enabled, int id);
    XAction* createAction(const QString& iconPath, const QString& text, int id);
    XMenu* createSubMenu(const QString& text, const QString& iconPath = QString());
    // Runs the menu at the mouse position; returns the chosen action (its callback has run), or null.
    XAction* exec_at_mouse_Pos();
};

} // namespace zem
