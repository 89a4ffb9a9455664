#include "XMenu.h"

#include "XAction.h"

#include <QCursor>

namespace zem {

XMenu::XMenu(QWidget* parent) : QMenu(parent) {}

XMenu::XMenu(const QString& title, QWidget* parent) : QMenu(title, parent) {}

XAction* XMenu::createAction(const QString& text, bool checkable, bool checked, bool enabled, int id)
{
    auto* action = new XAction(text, this, id);
    action->setCheckable(checkable);
    action->setChecked(checked);
    action->setEnabled(enabled);
    addAction(action);
    return action;
}

XAction* XMenu::createAction(const QString& iconPath, const QString& text, int id)
{
    XAction* action = createAction(text, false, false, true, id);
    if (!iconPath.isEmpty())
        action->setIcon(QIcon(iconPath));
    return action;
}

XMenu* XMenu::createSubMenu(const QString& text, const QString& iconPath)
{
    auto* sub = new XMenu(text, this);
    if (!iconPath.isEmpty())
        sub->setIcon(QIcon(iconPath));
    addMenu(sub);
    return sub;
}

XAction* XMenu::exec_at_mouse_Pos()
{
    return qobject_cast<XAction*>(exec(QCursor::pos()));
}

} // namespace zem
