#pragma once
// A top-level QMainWindow that is also an AbstractWindow. It registers with the GUI kernel's window
// list, stores its geometry in its node when it closes, and fires the first-shown and close events.
#include "AbstractWindow.h"

#include <QMainWindow>

namespace zem {

class XMainWindow : public QMainWindow, public AbstractWindow {
    Q_OBJECT
public:
    explicit XMainWindow(QWidget* parent = nullptr);
    ~XMainWindow() override;

    QWidget* asWidget() override { return this; }
    XPanel* createContentPanel(bool vertical = true) override;
    void set_icon(const QString& path, int size) override;
    void setTitleStd(const QString& title) override;
    // keyCode: a Qt key with modifier bits (Qt::ALT | Qt::Key_Left); active while the window has focus.
    void addHotKeyMethod(int keyCode, std::function<void()> fn) override;
    void setBounds(int x, int y, int width, int height) override;
    void closeAbstractWindow() override;
    void toggle_full_screen() override;

    // Puts the window where the node says it was when it last closed; false when the node has nothing.
    bool restoreGeometryFromNode();
    bool wasShown() const { return m_shown; }
    bool isClosing() const { return m_closed; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool m_shown = false;
    bool m_closed = false;
};

} // namespace zem
