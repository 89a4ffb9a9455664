#pragma once
// Application-wide key events: every key press and release of any widget, told to listeners
// before the widget sees it. One object per application object, created on first use.
#include "XEventListener.h"

#include <QObject>

class QKeyEvent;

namespace zem {

class XAppEvents : public QObject {
    Q_OBJECT
public:
    // Null without an application object.
    static XAppEvents* get();

    XEventListener<void(QKeyEvent*)> keyPressed;
    XEventListener<void(QKeyEvent*)> keyReleased;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit XAppEvents(QObject* app);

    const QEvent* m_last = nullptr;
    unsigned long m_lastTimestamp = 0;
    int m_lastType = 0;
};

} // namespace zem
