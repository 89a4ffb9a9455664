#pragma once
// A menu action that carries a callback (run when triggered) and an integer id.
#include <QAction>
#include <functional>

namespace zem {

class XAction : public QAction {
    Q_OBJECT
public:
    XAction(const QString& text, QObject* parent, int id = 0);

    int id() const { return m_id; }
    void setId(int id) { m_id = id; }
    XAction& operator=(std::function<void()> callback);
    void setCallback(std::function<void()> callback);

private:
    int m_id;
    std::function<void()> m_callback;
};

} // namespace zem
