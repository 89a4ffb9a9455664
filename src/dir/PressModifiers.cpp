#include "PressModifiers.h"

#include <QCoreApplication>
#include <QInputEvent>
#include <QPointer>

namespace zemFinder {

Qt::KeyboardModifiers PressModifiers::s_modifiers = Qt::NoModifier;

void PressModifiers::install()
{
    static QPointer<PressModifiers> filter;
    QCoreApplication* app = QCoreApplication::instance();
    if (filter || !app)
        return;
    filter = new PressModifiers(app);
    app->installEventFilter(filter);
}

Qt::KeyboardModifiers PressModifiers::at_press()
{
    return s_modifiers;
}

void PressModifiers::reset()
{
    s_modifiers = Qt::NoModifier;
}

bool PressModifiers::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        s_modifiers = static_cast<QInputEvent*>(event)->modifiers();
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::KeyPress:
        s_modifiers = Qt::NoModifier;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zemFinder
