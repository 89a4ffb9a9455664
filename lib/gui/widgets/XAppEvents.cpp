#include "XAppEvents.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>

namespace zem {

XAppEvents::XAppEvents(QObject* app) : QObject(app)
{
    app->installEventFilter(this);
}

XAppEvents* XAppEvents::get()
{
    static QPointer<XAppEvents> instance;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return nullptr;
    if (!instance)
        instance = new XAppEvents(app);
    return instance;
}

bool XAppEvents::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) || !watched->isWidgetType())
        return false;
    // An ignored key event travels up the parent chain and passes this filter at every stop;
    // listeners hear of it once.
    auto* key = static_cast<QKeyEvent*>(event);
    if (key == m_last && key->timestamp() == m_lastTimestamp && key->type() == m_lastType)
        return false;
    m_last = key;
    m_lastTimestamp = key->timestamp();
    m_lastType = key->type();
    {
        if (event->type() == QEvent::KeyPress && !key->isAutoRepeat())
            keyPressed.fire(key);
        else if (event->type() == QEvent::KeyRelease && !key->isAutoRepeat())
            keyReleased.fire(key);
    }
    return false;
}

} // namespace zem
