#include "XHexView.h"

#include "Logger.h"
#include "XLang.h"
#include "preview/MonoFont.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSvgRenderer>
#include <algorithm>

namespace zem {

namespace {
// Copying is capped: a hex dump takes three characters per byte.
constexpr qint64 kMaxCopyBytes = qint64(1) << 20;
const char kHex[] = "0123456789ABCDEF";
} // namespace

XHexView::XHexView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setFontSize(m_fontSize);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (v != int(m_topRow >> m_vShift))
            setTopRow(qint64(v) << m_vShift);
    });
}

XHexView::~XHexView() = default;

bool XHexView::openFile(const QString& path)
{
    const bool ok = m_reader.openFile(path);
    if (!ok)
        xlog(LOG_ERROR, "XHexView::openFile, cannot open <<<$>>>", path);
    afterOpen();
    return ok;
}

void XHexView::openBytes(const QByteArray& bytes)
{
    m_reader.openBytes(bytes);
    afterOpen();
}

void XHexView::closeFile()
{
    m_reader.close();
    afterOpen();
}

void XHexView::afterOpen()
{
    m_topRow = 0;
    m_selAnchor = m_selCursor = -1;
    fitBytesPerRow();
    syncScrollBars();
    viewport()->update();
}

void XHexView::setFontSize(int size)
{
    m_fontSize = std::clamp(size, kMinFontSize, kMaxFontSize);
    setFont(preview_mono_font(m_fontSize));
    fitBytesPerRow();
    syncScrollBars();
    viewport()->update();
}

void XHexView::setDefaultImage(const QString& svgPath)
{
    delete m_defaultImage;
    m_defaultImage = nullptr;
    if (svgPath.isEmpty())
        return;
    auto* r = new QSvgRenderer(svgPath, this);
    if (r->isValid()) {
        m_defaultImage = r;
    } else {
        xlog(LOG_WARN, "XHexView::setDefaultImage, no image at <<<$>>>", svgPath);
        delete r;
    }
    viewport()->update();
}

qint64 XHexView::rowCount() const
{
    return (m_reader.size() + m_bytesPerRow - 1) / m_bytesPerRow;
}

// Before the first resize the viewport's width means nothing; the widest row stands until then.
void XHexView::fitBytesPerRow()
{
    int n = m_bytesPerRow;
    if (m_laidOut) {
        const int avail = viewport()->width();
        n = kMinBytesPerRow;
        for (int candidate = kMaxBytesPerRow; candidate > kMinBytesPerRow; candidate /= 2) {
            if (contentWidthFor(candidate) <= avail) {
                n = candidate;
                break;
            }
        }
    }
    const qint64 topByte = m_topRow * m_bytesPerRow;
    m_bytesPerRow = n;
    m_topRow = topByte / n;
    m_vShift = 0;
    while ((rowCount() >> m_vShift) >= (qint64(1) << 30))
        ++m_vShift;
}

int XHexView::contentWidthFor(int bytesPerRow) const
{
    return columnsFor(std::clamp(bytesPerRow, 1, kMaxBytesPerRow)).width;
}

int XHexView::hexX(const Columns& c, int i) const
{
    return c.hexX + c.charW * (i * 3 + (m_bytesPerRow >= 8 && i >= m_bytesPerRow / 2 ? 1 : 0));
}

XHexView::Columns XHexView::columnsFor(int bytesPerRow) const
{
    Columns c;
    const QFontMetrics fm(font());
    c.charW = fm.horizontalAdvance(QLatin1Char('0'));
    c.rowH = fm.lineSpacing();
    int digits = 8;
    for (qint64 s = m_reader.size() >> 32; s > 0; s >>= 4)
        ++digits;
    c.offsetDigits = digits;
    c.hexX = c.charW * (digits + 2);
    // "XX " per byte and one more blank between the two halves of a row.
    c.textX = c.hexX + c.charW * (bytesPerRow * 3 + 2);
    c.width = c.textX + c.charW * (bytesPerRow + 1);
    return c;
}

int XHexView::visibleRows() const
{
    // The first row of the viewport holds the column header.
    return std::max(1, viewport()->height() / columns().rowH - 1);
}

void XHexView::syncScrollBars()
{
    QScrollBar* v = verticalScrollBar();
    const QSignalBlocker block(v);
    const qint64 maxTop = std::max<qint64>(0, rowCount() - visibleRows());
    v->setRange(0, int(maxTop >> m_vShift));
    v->setPageStep(std::max(1, int(qint64(visibleRows()) >> m_vShift)));
    v->setValue(int(m_topRow >> m_vShift));
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, columns().width - viewport()->width()));
    h->setPageStep(viewport()->width());
    h->setSingleStep(columns().charW * 2);
}

void XHexView::setTopRow(qint64 row)
{
    const qint64 maxTop = std::max<qint64>(0, rowCount() - visibleRows());
    m_topRow = std::clamp<qint64>(row, 0, maxTop);
    syncScrollBars();
    viewport()->update();
}

void XHexView::scrollToOffset(qint64 offset)
{
    setTopRow(offset / m_bytesPerRow);
}

void XHexView::setSelection(qint64 offset, qint64 length)
{
    m_selAnchor = offset;
    m_selCursor = offset + std::max<qint64>(0, length) - 1;
    if (length <= 0)
        m_selAnchor = m_selCursor = -1;
    viewport()->update();
}

qint64 XHexView::selectionStart() const
{
    return m_selAnchor < 0 ? -1 : std::min(m_selAnchor, m_selCursor);
}

qint64 XHexView::selectionLength() const
{
    return m_selAnchor < 0 ? 0 : std::abs(m_selCursor - m_selAnchor) + 1;
}

QString XHexView::selectedHex() const
{
    const qint64 a = selectionStart();
    const qint64 n = std::min(selectionLength(), kMaxCopyBytes);
    QString s;
    if (a < 0 || !m_reader.isOpen())
        return s;
    s.reserve(int(n * 3));
    const auto* d = reinterpret_cast<const uchar*>(m_reader.data());
    for (qint64 i = a; i < a + n && i < m_reader.size(); ++i) {
        if (i > a)
            s += QLatin1Char(' ');
        s += QLatin1Char(kHex[d[i] >> 4]);
        s += QLatin1Char(kHex[d[i] & 15]);
    }
    return s;
}

QString XHexView::rowText(qint64 row) const
{
    const Columns c = columns();
    const qint64 a = row * m_bytesPerRow;
    if (a >= m_reader.size() || a < 0)
        return QString();
    const qint64 n = std::min<qint64>(m_bytesPerRow, m_reader.size() - a);
    const auto* d = reinterpret_cast<const uchar*>(m_reader.data()) + a;
    QString s = QStringLiteral("%1  ").arg(a, c.offsetDigits, 16, QLatin1Char('0')).toUpper();
    for (int i = 0; i < m_bytesPerRow; ++i) {
        if (m_bytesPerRow >= 8 && i == m_bytesPerRow / 2)
            s += QLatin1Char(' ');
        if (i < n) {
            s += QLatin1Char(kHex[d[i] >> 4]);
            s += QLatin1Char(kHex[d[i] & 15]);
            s += QLatin1Char(' ');
        } else {
            s += QStringLiteral("   ");
        }
    }
    s += QLatin1Char(' ');
    for (int i = 0; i < n; ++i)
        s += (d[i] >= 0x20 && d[i] < 0x7F) ? QChar(d[i]) : QChar(0x00B7);
    return s;
}

qint64 XHexView::offsetAt(const QPoint& pos) const
{
    const Columns c = columns();
    const int x = pos.x() + horizontalScrollBar()->value();
    const int rowInView = pos.y() / c.rowH - 1;
    if (rowInView < 0 || !m_reader.isOpen())
        return -1;
    int col = -1;
    if (x >= c.textX && x < c.textX + c.charW * m_bytesPerRow) {
        col = (x - c.textX) / c.charW;
    } else if (x >= c.hexX && x < c.textX - c.charW) {
        int rel = (x - c.hexX) / c.charW;
        if (m_bytesPerRow >= 8 && rel >= m_bytesPerRow / 2 * 3)
            rel -= 1;  // the gap between the halves
        col = std::clamp(rel / 3, 0, m_bytesPerRow - 1);
    }
    if (col < 0)
        return -1;
    const qint64 off = (m_topRow + rowInView) * m_bytesPerRow + col;
    return off < m_reader.size() ? off : -1;
}

void XHexView::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    const QPalette& pal = palette();
    p.fillRect(viewport()->rect(), pal.color(QPalette::Base));
    if (!m_reader.isOpen() || m_reader.size() == 0) {
        const QRect area = viewport()->rect();
        if (m_defaultImage) {
            QSize s = m_defaultImage->defaultSize();
            s.scale(area.size() * 0.6, Qt::KeepAspectRatio);
            m_defaultImage->render(&p, QRectF(QPointF(area.center().x() - s.width() / 2.0, area.center().y() - s.height() / 2.0), s));
        } else if (m_reader.isOpen()) {
            p.setPen(pal.color(QPalette::PlaceholderText));
            p.drawText(area, Qt::AlignCenter, xt("(empty file)"));
        }
        return;
    }
    p.setFont(font());
    const Columns c = columns();
    const int hx = -horizontalScrollBar()->value();
    const int ascent = QFontMetrics(font()).ascent();
    // Column header: the low nibble of each byte's offset.
    p.fillRect(QRect(0, 0, viewport()->width(), c.rowH), pal.color(QPalette::AlternateBase).darker(104));
    p.setPen(pal.color(QPalette::PlaceholderText));
    for (int i = 0; i < m_bytesPerRow; ++i) {
        p.drawText(hx + hexX(c, i), ascent, QStringLiteral("%1").arg(i, 2, 16, QLatin1Char('0')).toUpper());
        p.drawText(hx + c.textX + c.charW * i, ascent, QString(QLatin1Char(kHex[i])));
    }
    const qint64 selA = selectionStart();
    const qint64 selB = selA + selectionLength();
    const auto* d = reinterpret_cast<const uchar*>(m_reader.data());
    const qint64 rows = rowCount();
    for (int r = 0; r <= visibleRows() && m_topRow + r < rows; ++r) {
        const qint64 row = m_topRow + r;
        const int y = (r + 1) * c.rowH;
        const qint64 a = row * m_bytesPerRow;
        const int n = int(std::min<qint64>(m_bytesPerRow, m_reader.size() - a));
        p.setPen(pal.color(QPalette::PlaceholderText));
        p.drawText(hx + c.charW / 2, y + ascent, QStringLiteral("%1").arg(a, c.offsetDigits, 16, QLatin1Char('0')).toUpper());
        for (int i = 0; i < n; ++i) {
            const qint64 off = a + i;
            const int xh = hx + hexX(c, i);
            const int xt = hx + c.textX + c.charW * i;
            const bool selected = off >= selA && off < selB;
            if (selected) {
                p.fillRect(QRect(xh, y, c.charW * 2, c.rowH), pal.color(QPalette::Highlight));
                p.fillRect(QRect(xt, y, c.charW, c.rowH), pal.color(QPalette::Highlight));
            }
            const uchar b = d[off];
            p.setPen(selected ? pal.color(QPalette::HighlightedText)
                              : (b == 0 ? pal.color(QPalette::PlaceholderText) : pal.color(QPalette::Text)));
            const char hex[2] = {kHex[b >> 4], kHex[b & 15]};
            p.drawText(xh, y + ascent, QString::fromLatin1(hex, 2));
            p.drawText(xt, y + ascent, QString((b >= 0x20 && b < 0x7F) ? QChar(b) : QChar(0x00B7)));
        }
    }
    p.setPen(pal.color(QPalette::Mid));
    p.drawLine(hx + c.hexX - c.charW, 0, hx + c.hexX - c.charW, viewport()->height());
    p.drawLine(hx + c.textX - c.charW / 2, 0, hx + c.textX - c.charW / 2, viewport()->height());
}

void XHexView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    m_laidOut = true;
    fitBytesPerRow();
    setTopRow(m_topRow);
}

void XHexView::mousePressEvent(QMouseEvent* event)
{
    const qint64 off = offsetAt(event->pos());
    if (off < 0)
        return;
    if (!(event->modifiers() & Qt::ShiftModifier) || m_selAnchor < 0)
        m_selAnchor = off;
    m_selCursor = off;
    viewport()->update();
}

void XHexView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const qint64 off = offsetAt(event->pos());
    if (off >= 0 && off != m_selCursor) {
        m_selCursor = off;
        viewport()->update();
    }
}

void XHexView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up: setTopRow(m_topRow - 1); break;
    case Qt::Key_Down: setTopRow(m_topRow + 1); break;
    case Qt::Key_PageUp: setTopRow(m_topRow - visibleRows()); break;
    case Qt::Key_PageDown: setTopRow(m_topRow + visibleRows()); break;
    case Qt::Key_Home: setTopRow(0); break;
    case Qt::Key_End: setTopRow(rowCount()); break;
    default:
        if (event->matches(QKeySequence::Copy) && selectionLength() > 0) {
            QApplication::clipboard()->setText(selectedHex());
            break;
        }
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void XHexView::wheelEvent(QWheelEvent* event)
{
    // Three rows per wheel notch (120 units).
    setTopRow(m_topRow - event->angleDelta().y() * 3 / 120);
    event->accept();
}

void XHexView::scrollContentsBy(int, int)
{
    viewport()->update();
}

} // namespace zem
