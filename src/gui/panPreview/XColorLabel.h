#pragma once
// A small square showing a colour. A plain click is told to clicked; a click that asks for a new
// colour (with Control when needsControl) opens the colour chooser and tells colorChanged.
// GUI thread only.
#include "XEventListener.h"

#include <QColor>
#include <QLabel>
#include <functional>

namespace zemFinder {

class XColorLabel : public QLabel {
    Q_OBJECT
public:
    explicit XColorLabel(int size, QWidget* parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    // true: only a click with Control changes the colour.
    void setNeedsControl(bool on) { m_needsControl = on; }

    // The colour chooser; tests replace it. An invalid colour means cancelled.
    static std::function<QColor(const QColor&, QWidget*)> chooser;

    zem::XEventListener<void(const QColor&)> colorChanged;
    zem::XEventListener<void()> clicked;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QColor m_color;
    bool m_needsControl = true;
};

} // namespace zemFinder
