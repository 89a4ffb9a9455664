#pragma once
// A modal dialog that is also an AbstractWindow (content panel, node, hot keys, bounds). run()
// shows it modally; tests set execHook, which then answers instead of a modal loop. GUI thread only.
#include "AbstractWindow.h"

#include <QDialog>
#include <functional>

namespace zem {

class XDialog : public QDialog, public AbstractWindow {
    Q_OBJECT
public:
    explicit XDialog(QWidget* parent = nullptr);
    ~XDialog() override;

    QWidget* asWidget() override { return this; }
    XPanel* createContentPanel(bool vertical = true) override;
    void set_icon(const QString& path, int size) override;
    void setTitleStd(const QString& title) override;
    void addHotKeyMethod(int keyCode, std::function<void()> fn) override;
    void setBounds(int x, int y, int width, int height) override;
    void closeAbstractWindow() override;
    void toggle_full_screen() override;

    // exec(), or execHook's answer when a test set one (the hook may drive the dialog first).
    int run();
    static std::function<int(XDialog&)> execHook;
};

} // namespace zem
