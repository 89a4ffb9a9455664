#pragma once
// What every top-level window of the program offers beside its Qt widget: a content panel, a
// persistence node for its geometry and state, hot keys, help pages, and the events of its first
// showing and of its closing. XMainWindow is the one implementation; lives on the GUI thread.
#include "XEventListener.h"

#include <QString>
#include <QtGlobal>
#include <functional>

class QWidget;

namespace zem {

class XNode;
class XPanel;

class AbstractWindow {
public:
    AbstractWindow();
    virtual ~AbstractWindow();
    AbstractWindow(const AbstractWindow&) = delete;
    AbstractWindow& operator=(const AbstractWindow&) = delete;

    virtual QWidget* asWidget() = 0;

    // The central panel, created once; later calls return the same panel.
    virtual XPanel* createContentPanel(bool vertical = true) = 0;
    XPanel* contentPanel() const { return m_content; }
    virtual void set_icon(const QString& path, int size) = 0;
    virtual void setTitleStd(const QString& title) = 0;
    virtual void addHotKeyMethod(int keyCode, std::function<void()> fn) = 0;
    virtual void setBounds(int x, int y, int width, int height) = 0;
    virtual void closeAbstractWindow() = 0;
    virtual void toggle_full_screen() = 0;

    // The node the window keeps its state in (not owned; the kernel's tree owns it).
    void setNodeWin(XNode* node) { m_node = node; }
    XNode* getNodeWin() const { return m_node; }

    // Two candidate help pages; the first that exists as a file or resource is used.
    void setHtmlHelpPage(const QString& first, const QString& second);
    QString htmlHelpPage() const;

    virtual void aboutProgram();
    virtual void helpProgram();

    // Microseconds since the process started (since this library was initialised).
    static qint64 microsecondsSinceStart();

    // Fired once, when the window is first shown, with microsecondsSinceStart().
    XEventListener<void(qint64)> firstShownListener;
    // Fired once, when the window closes, before it is hidden and deleted.
    XEventListener<void()> closeListener;

protected:
    XPanel* m_content = nullptr;

private:
    XNode* m_node = nullptr;
    QString m_helpFirst;
    QString m_helpSecond;
};

} // namespace zem
