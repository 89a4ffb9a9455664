#include "XAction.h"

namespace zem {

XAction::XAction(const QString& text, QObject* parent, int id) : QAction(text, parent), m_id(id)
{
    connect(this, &QAction::triggered, this, [this] {
        if (m_callback)
            m_callback();
    });
}

XAction& XAction::operator=(std::function<void()> callback)
{
    setCallback(std::move(callback));
    return *this;
}

void XAction::setCallback(std::function<void()> callback)
{
    m_callback = std::move(callback);
}

} // namespace zem
