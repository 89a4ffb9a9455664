#include "XImageViewer.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace zem {

XImageViewer::XImageViewer(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
}

void XImageViewer::setImage(const QImage& image, const QString& info)
{
    m_image = image;
    m_info = info;
    m_message.clear();
    fit();
}

void XImageViewer::setMessage(const QString& text)
{
    m_image = QImage();
    m_info.clear();
    m_message = text;
    syncScrollBars();
    viewport()->update();
}

double XImageViewer::fitZoom() const
{
    if (m_image.isNull())
        return 1.0;
    // A small margin so that the image does not touch the edges.
    const double w = std::max(1, viewport()->width() - 16);
    const double h = std::max(1, viewport()->height() - 16);
    return std::min({1.0, w / m_image.width(), h / m_image.height()});
}

void XImageViewer::fit()
{
    m_fit = true;
    m_zoom = std::clamp(fitZoom(), kMinZoom, kMaxZoom);
    syncScrollBars();
    viewport()->update();
}

void XImageViewer::setZoom(double zoom)
{
    zoomAround(zoom, QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0));
}

void XImageViewer::on_zoom(bool in, bool centered)
{
    const double z = in ? m_zoom * kZoomStep : m_zoom / kZoomStep;
    const QPointF at = centered ? QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0)
                                : QPointF(viewport()->mapFromGlobal(QCursor::pos()));
    zoomAround(z, at);
}

void XImageViewer::zoomAround(double zoom, const QPointF& vp)
{
    if (m_image.isNull())
        return;
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    const QRectF before = imageRect();
    const QPointF imgPoint = (vp - before.topLeft()) / m_zoom;
    m_zoom = zoom;
    m_fit = false;
    syncScrollBars();
    // Keep the image point under vp where it was.
    const QRectF after = imageRect();
    const QPointF now = after.topLeft() + imgPoint * m_zoom;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + int(std::lround(now.x() - vp.x())));
    verticalScrollBar()->setValue(verticalScrollBar()->value() + int(std::lround(now.y() - vp.y())));
    viewport()->update();
}

void XImageViewer::syncScrollBars()
{
    const int w = m_image.isNull() ? 0 : int(std::ceil(m_image.width() * m_zoom));
    const int h = m_image.isNull() ? 0 : int(std::ceil(m_image.height() * m_zoom));
    horizontalScrollBar()->setRange(0, std::max(0, w - viewport()->width()));
    verticalScrollBar()->setRange(0, std::max(0, h - viewport()->height()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setPageStep(viewport()->height());
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

QRectF XImageViewer::imageRect() const
{
    const double w = m_image.width() * m_zoom;
    const double h = m_image.height() * m_zoom;
    // Centred while smaller than the view, else placed by the scroll bars.
    const double x = w < viewport()->width() ? (viewport()->width() - w) / 2 : -horizontalScrollBar()->value();
    const double y = h < viewport()->height() ? (viewport()->height() - h) / 2 : -verticalScrollBar()->value();
    return QRectF(x, y, w, h);
}

void XImageViewer::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().color(QPalette::Window).darker(108));
    if (m_image.isNull()) {
        p.setPen(palette().color(QPalette::Text));
        p.drawText(viewport()->rect().adjusted(16, 16, -16, -16), Qt::AlignCenter | Qt::TextWordWrap, m_message);
        return;
    }
    const QRectF target = imageRect();
    if (m_image.hasAlphaChannel()) {
        // A checkerboard shows where the image is transparent.
        const int cell = 8;
        const QRect area = target.toAlignedRect().intersected(viewport()->rect());
        p.save();
        p.setClipRect(area);
        for (int y = area.top() - area.top() % cell; y < area.bottom(); y += cell)
            for (int x = area.left() - area.left() % cell; x < area.right(); x += cell)
                p.fillRect(QRect(x, y, cell, cell), ((x / cell + y / cell) % 2) ? QColor(204, 204, 204) : QColor(255, 255, 255));
        p.restore();
    }
    // Scale only the part of the image that is visible.
    const QRectF visible = target.intersected(QRectF(viewport()->rect()));
    const QRectF source((visible.topLeft() - target.topLeft()) / m_zoom, visible.size() / m_zoom);
    p.setRenderHint(QPainter::SmoothPixmapTransform, m_zoom < 2.0);
    p.drawImage(visible, m_image, source);
    if (!m_info.isEmpty()) {
        const QString text = m_info + QStringLiteral("  ") + QString::number(std::lround(m_zoom * 100)) + QLatin1Char('%');
        const QFontMetrics fm(font());
        const QRect box(6, viewport()->height() - fm.height() - 10, fm.horizontalAdvance(text) + 12, fm.height() + 4);
        QColor bg = palette().color(QPalette::ToolTipBase);
        bg.setAlpha(220);
        p.setPen(palette().color(QPalette::Mid));
        p.setBrush(bg);
        p.drawRoundedRect(box, 3, 3);
        p.setPen(palette().color(QPalette::ToolTipText));
        p.drawText(box, Qt::AlignCenter, text);
    }
}

void XImageViewer::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (m_fit)
        m_zoom = std::clamp(fitZoom(), kMinZoom, kMaxZoom);
    syncScrollBars();
}

void XImageViewer::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        const double steps = event->angleDelta().y() / 120.0;
        zoomAround(m_zoom * std::pow(kZoomStep, steps), event->position());
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void XImageViewer::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragFrom = event->pos();
        viewport()->setCursor(Qt::ClosedHandCursor);
    }
}

void XImageViewer::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    const QPoint d = event->pos() - m_dragFrom;
    m_dragFrom = event->pos();
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - d.x());
    verticalScrollBar()->setValue(verticalScrollBar()->value() - d.y());
}

void XImageViewer::mouseReleaseEvent(QMouseEvent*)
{
    m_dragging = false;
    viewport()->unsetCursor();
}

void XImageViewer::scrollContentsBy(int, int)
{
    viewport()->update();
}

} // namespace zem
