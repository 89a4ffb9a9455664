#pragma once
// A transparent label laid over other widgets to take their mouse: click, double click and the
// context-menu request each call one function. Cheap on purpose (no listener locks, no style
// sheet): a wall of thumbnails has one per tile. GUI thread only.
#include <QLabel>
#include <functional>

namespace zem {

class XGlassLabel : public QLabel {
    Q_OBJECT
public:
    explicit XGlassLabel(QWidget* parent = nullptr);

    std::function<void()> onClick;
    std::function<void()> onDoubleClick;
    std::function<void()> onContextMenu;

    // Paints a frame of the highlight colour around the tile it covers.
    void setHighlighted(bool on);
    bool isHighlighted() const { return m_highlighted; }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_highlighted = false;
};

} // namespace zem
