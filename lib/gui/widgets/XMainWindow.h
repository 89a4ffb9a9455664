#pragma once
// A top-level QMainWindow that is also an AbstractWindow. It registers with the GUI kernel's window
// list, stores its position, size and maximised state in its node when it closes (restored on
// request, fitted to the screens there are then), and fires the first-shown and close events.
#include "AbstractWindow.h"

#include <QList>
#include <QMainWindow>
#include <QRect>
#include <functional>

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

    // Puts the window where the node says it was when it last closed, moved and shrunk as far as
    // needed to lie on one of today's screens, maximised again when it was; false when the node
    // has nothing.
    bool restoreGeometryFromNode();
    // rect moved and shrunk onto the area it overlaps most (the first area when it overlaps none).
    static QRect fit_to_screens(const QRect& rect, const QList<QRect>& areas);
    // The screens' available areas, the primary first; tests replace the provider.
    static std::function<QList<QRect>()> screenAreasProvider;
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
