#pragma once
// The keyboard modifiers held at the last mouse press, for the drag-on-select of the file lists:
// Control held while clicking a row drags that file out instead of previewing it. The live
// keyboard state will not do: Control held while hovering (the forced view) or with an arrow key
// also moves the selection, and neither is a click. A mouse release or any key press forgets the
// remembered value, so it stands only for the selection that the click itself made.
// An event filter on the application object, installed by the first call of install(); GUI
// thread only.
#include <QObject>
#include <Qt>

namespace zemFinder {

class PressModifiers : public QObject {
    Q_OBJECT
public:
    // Installs the filter once per application; later calls do nothing.
    static void install();
    // The modifiers of the mouse press that is still held, else none.
    static Qt::KeyboardModifiers at_press();
    // Forgets them (after a drag, which swallows the release).
    static void reset();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit PressModifiers(QObject* parent) : QObject(parent) {}
    static Qt::KeyboardModifiers s_modifiers;
};

} // namespace zemFinder
