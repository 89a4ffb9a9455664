#pragma once
// A tool button whose click runs a callback; every mouse press is also told to a listener, so
// that a right click can open a menu.
#include "XEventListener.h"

#include <QToolButton>
#include <functional>

class QMouseEvent;

namespace zem {

class XButton : public QToolButton {
    Q_OBJECT
public:
    explicit XButton(QWidget* parent = nullptr);

    // Assigning a callback sets the click action (replacing an earlier one).
    XButton& operator=(std::function<void()> onClick);
    void setCallback(std::function<void()> onClick);

    static bool isRightButton(const QMouseEvent* event);

    // Told of every mouse press before the button handles it.
    XEventListener<void(QMouseEvent*)> mouseListener;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::function<void()> m_onClick;
};

} // namespace zem
