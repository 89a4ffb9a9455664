#pragma once
// Shows one image, fitted to the view or zoomed; drag to pan, Ctrl+wheel to zoom at the mouse.
// Only the visible part of the image is scaled when painting. GUI thread only.
#include <QAbstractScrollArea>
#include <QImage>

namespace zem {

class XImageViewer : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr double kMinZoom = 0.02;
    static constexpr double kMaxZoom = 32.0;
    static constexpr double kZoomStep = 1.25;

    explicit XImageViewer(QWidget* parent = nullptr);

    // Shows the image fitted (never enlarged) to the view. A null image clears the view.
    void setImage(const QImage& image, const QString& info = QString());
    const QImage& image() const { return m_image; }
    // Any text to show when there is no image (an error, for example).
    void setMessage(const QString& text);

    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    bool isFitted() const { return m_fit; }
    void fit();
    // One step in or out; centered keeps the view's centre on the same image point.
    void on_zoom(bool in, bool centered);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void zoomAround(double zoom, const QPointF& viewportPoint);
    void syncScrollBars();
    double fitZoom() const;
    QRectF imageRect() const;

    QImage m_image;
    QString m_info;
    QString m_message;
    double m_zoom = 1.0;
    bool m_fit = true;
    QPoint m_dragFrom;
    bool m_dragging = false;
};

} // namespace zem
