#include "XTextView.h"

#include "Logger.h"
#include "preview/MonoFont.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace zem::viewText {

namespace {
// Selected text handed to the clipboard is capped; a whole 3 GB file would not fit anyway.
constexpr qint64 kMaxCopyBytes = qint64(64) << 20;
// Laid-out pieces kept for scrolling back and forth; a few screens' worth.
constexpr std::size_t kCacheSize = 512;
// Repaint interval while the line index grows (ruler numbers and line count appear).
constexpr int kIndexPollMs = 150;
} // namespace

XTextView::XTextView(QWidget* parent) : QAbstractScrollArea(parent)
{
    // First: setting the font below lays the strip out.
    m_lineInfo = new QLabel(this);
    m_lineInfo->setObjectName(QStringLiteral("lineInfo"));
    m_lineInfo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_lineInfo->setContentsMargins(6, 0, 6, 0);
    m_lineInfo->setAutoFillBackground(true);
    m_lineInfo->setBackgroundRole(QPalette::Window);
    m_lineInfo->setForegroundRole(QPalette::WindowText);
    m_lineInfo->hide();
    setFont(preview_mono_font());
    setFrameShape(QFrame::NoFrame);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &XTextView::onScrollValue);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &XTextView::onScrollAction);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, viewport(), [this] { viewport()->update(); });
    m_indexTimer = new QTimer(this);
    m_indexTimer->setInterval(kIndexPollMs);
    connect(m_indexTimer, &QTimer::timeout, this, [this] {
        if (m_src.indexDone())
            m_indexTimer->stop();
        viewport()->update();
    });
}

XTextView::~XTextView() = default;

bool XTextView::openFile(const QString& path)
{
    const bool ok = m_src.openFile(path);
    afterOpen();
    return ok;
}

void XTextView::openBytes(const QByteArray& bytes)
{
    m_src.openBytes(bytes);
    afterOpen();
}

void XTextView::closeFile()
{
    m_src.close();
    afterOpen();
}

void XTextView::afterOpen()
{
    // Marks come as offsets of the file's bytes; a UTF-16 file is shown as UTF-8.
    if (m_src.isUtf16())
        m_layers.set_offset_map([this](const find::XRam& mark) { return m_src.fromFileMark(mark); });
    else
        m_layers.set_offset_map(nullptr);
    invalidateLayout();
    m_top = 0;
    m_topSub = 0;
    m_selAnchor = m_selCursor = m_caret = -1;
    m_lastHoverChar = -2;
    m_maxSeenWidth = 0;
    m_vShift = 0;
    while ((m_src.size() >> m_vShift) >= (qint64(1) << 30))
        ++m_vShift;
    horizontalScrollBar()->setValue(0);
    syncScrollBars();
    if (!m_src.indexDone())
        m_indexTimer->start();
    layoutLineInfo();
    viewport()->update();
}

void XTextView::invalidateLayout()
{
    m_cache.clear();
    m_maxSeenWidth = 0;
}

void XTextView::set_ruler(bool on)
{
    if (m_ruler == on)
        return;
    m_ruler = on;
    invalidateLayout();
    syncScrollBars();
    viewport()->update();
}

void XTextView::set_wrap(bool on)
{
    if (m_wrap == on)
        return;
    m_wrap = on;
    m_topSub = 0;
    invalidateLayout();
    horizontalScrollBar()->setValue(0);
    clampBottom();
    syncScrollBars();
    viewport()->update();
}

void XTextView::set_line_info_pos(int pos)
{
    m_lineInfoPos = std::clamp(pos, 0, 2);
    layoutLineInfo();
    clampBottom();
    syncScrollBars();
    viewport()->update();
}

// The strip takes a row of its own above or below the viewport, so it can never hide text.
void XTextView::layoutLineInfo()
{
    const bool on = m_lineInfoPos != LineInfoOff && m_src.isOpen();
    // A little smaller than the text, so it reads as a caption.
    QFont f = font();
    if (f.pixelSize() > 0)
        f.setPixelSize(std::max(8, f.pixelSize() * 85 / 100));
    else
        f.setPointSizeF(std::max(6.0, f.pointSizeF() * 0.85));
    m_lineInfo->setFont(f);
    const int h = on ? QFontMetrics(f).height() + 4 : 0;
    const bool top = m_lineInfoPos == LineInfoTopRight;
    setViewportMargins(0, top ? h : 0, 0, top ? 0 : h);
    if (!on) {
        m_lineInfo->hide();
        return;
    }
    const QRect vp = viewport()->geometry();
    m_lineInfo->setGeometry(QRect(vp.left(), top ? vp.top() - h : vp.bottom() + 1, vp.width(), h));
    m_lineInfo->show();
    updateLineInfo();
}

void XTextView::updateLineInfo()
{
    if (m_lineInfoPos != LineInfoOff && m_src.isOpen())
        m_lineInfo->setText(lineInfoText());
}

QRect XTextView::lineInfoRect() const
{
    return m_lineInfo->isHidden() ? QRect() : m_lineInfo->geometry();
}

void XTextView::setCurrentLayer(XMarkLayer* layer)
{
    m_currentLayer = layer;
    m_currentLayerId = layer ? layer->id() : -1;
    viewport()->update();
}

XMarkLayer* XTextView::currentLayer() const
{
    if (!m_currentLayer || m_layers.layer_by_ID(m_currentLayerId) != m_currentLayer)
        return nullptr;
    return m_currentLayer;
}

int XTextView::rowHeight() const
{
    return std::max(1, fontMetrics().lineSpacing());
}

int XTextView::rulerWidth() const
{
    if (!m_ruler)
        return 0;
    qint64 lines = m_src.lineCount();
    if (lines < 0)
        lines = m_src.size() / 40 + 1;  // a guess until the index is done; typical text lines
    int digits = 1;
    for (qint64 n = lines; n >= 10; n /= 10)
        ++digits;
    return fontMetrics().horizontalAdvance(QLatin1Char('9')) * (std::max(digits, 4) + 1) + 8;
}

int XTextView::textLeft() const
{
    return rulerWidth() + 4;
}

qreal XTextView::textWidth() const
{
    return std::max(20, viewport()->width() - textLeft() - 4);
}

int XTextView::visibleRows() const
{
    return std::max(1, viewport()->height() / rowHeight());
}

XTextView::LaidPtr XTextView::laid(qint64 pieceStart) const
{
    auto it = m_cache.find(pieceStart);
    if (it != m_cache.end())
        return it->second;
    if (m_cache.size() >= kCacheSize)
        m_cache.clear();
    auto l = std::make_shared<Laid>();
    l->piece = m_src.pieceAt(pieceStart);
    l->text = m_src.decode(l->piece);
    QTextOption opt;
    opt.setWrapMode(m_wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    opt.setTabStopDistance(QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')) * 8);
    l->layout.setText(l->text.text);
    l->layout.setFont(font());
    l->layout.setTextOption(opt);
    l->layout.setCacheEnabled(true);
    const int rh = rowHeight();
    l->layout.beginLayout();
    int rows = 0;
    for (QTextLine line = l->layout.createLine(); line.isValid(); line = l->layout.createLine()) {
        line.setLineWidth(m_wrap ? textWidth() : 1e7);
        line.setPosition(QPointF(0, rows * rh));
        l->width = std::max(l->width, line.naturalTextWidth());
        ++rows;
    }
    l->layout.endLayout();
    l->rows = std::max(1, rows);
    LaidPtr p = l;
    m_cache.emplace(l->piece.start, p);
    if (l->piece.start != pieceStart)
        m_cache.emplace(pieceStart, p);
    return p;
}

void XTextView::scrollRows(int rows)
{
    if (m_src.size() <= 0)
        return;
    moveRows(rows);
    clampBottom();
    syncScrollBars();
    viewport()->update();
}

void XTextView::moveRows(int rows)
{
    for (; rows > 0; --rows) {
        const LaidPtr l = laid(m_top);
        if (m_topSub + 1 < l->rows) {
            ++m_topSub;
        } else if (l->piece.next < m_src.size()) {
            m_top = l->piece.next;
            m_topSub = 0;
        } else {
            break;
        }
    }
    for (; rows < 0; ++rows) {
        if (m_topSub > 0) {
            --m_topSub;
            continue;
        }
        const qint64 prev = m_src.prevPieceStart(m_top);
        if (prev < 0)
            break;
        m_top = prev;
        m_topSub = laid(prev)->rows - 1;
    }
}

// Keeps the last row at the bottom: scrolling never shows empty space below a file that fills
// the screen.
void XTextView::clampBottom()
{
    if (m_src.size() <= 0)
        return;
    const int want = visibleRows();
    int have = laid(m_top)->rows - m_topSub;
    for (qint64 p = laid(m_top)->piece.next; have < want && p < m_src.size();) {
        const LaidPtr l = laid(p);
        have += l->rows;
        p = l->piece.next;
    }
    if (have < want)
        moveRows(have - want);
}

qint64 XTextView::bottomTop() const
{
    if (m_src.size() <= 0)
        return 0;
    qint64 p = m_src.lastPieceStart();
    int have = laid(p)->rows;
    while (have < visibleRows()) {
        const qint64 prev = m_src.prevPieceStart(p);
        if (prev < 0)
            break;
        p = prev;
        have += laid(p)->rows;
    }
    return p;
}

int XTextView::scrollValueFor(qint64 offset) const
{
    return int(offset >> m_vShift);
}

void XTextView::syncScrollBars()
{
    QScrollBar* v = verticalScrollBar();
    const QSignalBlocker block(v);
    const int max = scrollValueFor(bottomTop());
    v->setRange(0, max);
    const qint64 screenBytes = std::max<qint64>(1, qint64(visibleRows()) * 60);
    v->setPageStep(std::max(1, int(screenBytes >> m_vShift)));
    v->setSingleStep(1);
    v->setValue(scrollValueFor(m_top));
    QScrollBar* h = horizontalScrollBar();
    if (m_wrap) {
        h->setRange(0, 0);
    } else {
        h->setRange(0, std::max(0, int(std::ceil(m_maxSeenWidth - textWidth())) + 16));
        h->setPageStep(int(textWidth()));
        h->setSingleStep(fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 4);
    }
}

void XTextView::onScrollValue(int value)
{
    // Our own step and page actions already moved the top; their value echoes here.
    if (value == scrollValueFor(m_top))
        return;
    if (value >= verticalScrollBar()->maximum()) {
        scrollToEnd();
        return;
    }
    m_top = m_src.pieceAt(qint64(value) << m_vShift).start;
    m_topSub = 0;
    clampBottom();
    syncScrollBars();
    viewport()->update();
}

void XTextView::onScrollAction(int action)
{
    QScrollBar* v = verticalScrollBar();
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: scrollRows(1); break;
    case QAbstractSlider::SliderSingleStepSub: scrollRows(-1); break;
    case QAbstractSlider::SliderPageStepAdd: scrollRows(std::max(1, visibleRows() - 1)); break;
    case QAbstractSlider::SliderPageStepSub: scrollRows(-std::max(1, visibleRows() - 1)); break;
    case QAbstractSlider::SliderToMinimum: scrollToStart(); break;
    case QAbstractSlider::SliderToMaximum: scrollToEnd(); break;
    default: return;
    }
    v->setSliderPosition(scrollValueFor(m_top));
}

void XTextView::scrollToOffset(qint64 offset)
{
    if (m_src.size() <= 0)
        return;
    setTopTo(offset);
    clampBottom();
    syncScrollBars();
    viewport()->update();
}

void XTextView::setTopTo(qint64 offset)
{
    const LaidPtr l = laid(m_src.pieceAt(offset).start);
    m_top = l->piece.start;
    m_topSub = 0;
    if (l->rows > 1) {
        const int u = l->text.unitOfByte(offset);
        const QTextLine line = l->layout.lineForTextPosition(std::min(u, l->text.text.size()));
        if (line.isValid())
            m_topSub = line.lineNumber();
    }
}

void XTextView::scrollToStart()
{
    m_top = 0;
    m_topSub = 0;
    syncScrollBars();
    viewport()->update();
}

void XTextView::scrollToEnd()
{
    m_top = bottomTop();
    m_topSub = 0;
    clampBottom();
    syncScrollBars();
    viewport()->update();
}

void XTextView::scrollToRam(const find::XRam& ram)
{
    if (m_src.size() <= 0 || ram.offset < 0)
        return;
    setTopTo(ram.offset);
    moveRows(-(visibleRows() / 3));
    clampBottom();
    syncScrollBars();
    if (!m_wrap) {
        const QVector<QRectF> rects = rectsForRange(ram.offset, std::max<qint32>(1, ram.length));
        if (!rects.isEmpty()) {
            QScrollBar* h = horizontalScrollBar();
            const qreal x = rects.first().left() - textLeft() + h->value();
            if (x < h->value() || x + rects.first().width() > h->value() + textWidth()) {
                h->setRange(0, std::max(h->maximum(), int(x)));
                h->setValue(std::max(0, int(x - textWidth() / 3)));
            }
        }
    }
    viewport()->update();
}

QString XTextView::textFromMarkRam(const find::XRam& ram) const
{
    return m_src.text(ram.offset, std::min<qint64>(ram.length, kMaxCopyBytes));
}

find::XRam XTextView::selection() const
{
    if (m_selAnchor < 0 || m_selCursor < 0 || m_selAnchor == m_selCursor)
        return find::XRam{-1, 0, 0};
    const qint64 a = std::min(m_selAnchor, m_selCursor);
    const qint64 b = std::max(m_selAnchor, m_selCursor);
    return find::XRam{a, qint32(std::min<qint64>(b - a, INT32_MAX)), 0};
}

void XTextView::setSelection(qint64 offset, qint64 length)
{
    m_selAnchor = std::clamp<qint64>(offset, 0, m_src.size());
    m_selCursor = std::clamp<qint64>(offset + length, 0, m_src.size());
    viewport()->update();
}

void XTextView::selectAll()
{
    setSelection(0, m_src.size());
}

QString XTextView::getSelectedText(int maxChars) const
{
    const find::XRam sel = selection();
    if (sel.offset < 0)
        return QString();
    qint64 len = std::min<qint64>(sel.length, kMaxCopyBytes);
    if (maxChars > 0)
        len = std::min<qint64>(len, qint64(maxChars) * 4);  // 4 bytes hold any character
    QString s = m_src.text(sel.offset, len);
    if (maxChars > 0 && s.size() > maxChars)
        s.truncate(maxChars);
    return s;
}

void XTextView::copy() const
{
    const find::XRam sel = selection();
    if (sel.offset < 0)
        return;
    if (sel.length > kMaxCopyBytes)
        xlog(LOG_WARN, "XTextView::copy, selection of $ bytes cut to $", sel.length, kMaxCopyBytes);
    QApplication::clipboard()->setText(getSelectedText(0));
}

void XTextView::re_paint()
{
    viewport()->update();
}

void XTextView::add_extra_context_menu(ContextMenuBuilder builder)
{
    if (builder)
        m_menuBuilders.push_back(std::move(builder));
}

void XTextView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    layoutLineInfo();
    if (m_wrap)
        invalidateLayout();
    clampBottom();
    syncScrollBars();
}

void XTextView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        layoutLineInfo();
        invalidateLayout();
        m_topSub = 0;
        clampBottom();
        syncScrollBars();
        viewport()->update();
    }
    QAbstractScrollArea::changeEvent(event);
}

void XTextView::scrollContentsBy(int, int)
{
    // Scrolling is done by moving the top offset; the whole viewport is repainted.
    viewport()->update();
}

} // namespace zem::viewText
