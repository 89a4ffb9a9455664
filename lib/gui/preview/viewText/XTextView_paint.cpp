// Painting and geometry of XTextView: rows of the visible pieces, decorations per row.
#include "XTextView.h"

#include "Logger.h"
#include "XLang.h"
#include "XTheme.h"

#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace zem::viewText {

namespace {
// The active mark gets a frame in this colour on top of its layer colour.
const QColor kActiveFrame(230, 110, 0);
} // namespace

template <typename Fn>
void XTextView::forEachVisible(Fn fn) const
{
    if (m_src.size() <= 0)
        return;
    const int rh = rowHeight();
    const int h = viewport()->height();
    qreal y = -qreal(m_topSub) * rh;
    qint64 lineNo = m_src.lineNumberOf(m_top);
    for (qint64 p = m_top; p < m_src.size() && y < h;) {
        const LaidPtr l = laid(p);
        if (p != m_top && l->piece.firstOfLine && lineNo >= 0)
            ++lineNo;
        if (!fn(*l, y, lineNo))
            return;
        y += qreal(l->rows) * rh;
        if (l->piece.next <= p)
            break;
        p = l->piece.next;
    }
}

void XTextView::drawRange(QPainter& p, const Laid& l, qreal y, qint64 a, qint64 b, const QColor& c, bool frame) const
{
    const qreal x0 = textLeft() - horizontalScrollBar()->value();
    const int rh = rowHeight();
    const int u0 = l.text.unitOfByte(std::max(a, l.piece.start));
    const int u1 = b >= l.piece.textEnd ? l.text.text.size() : l.text.unitEndOfByte(b);
    // A mark that takes in the line end shows a narrow box after the text.
    const bool takesLineEnd = b > l.piece.textEnd && a <= l.piece.textEnd && l.piece.next > l.piece.textEnd;
    const int n = l.layout.lineCount();
    for (int i = 0; i < n; ++i) {
        const QTextLine line = l.layout.lineAt(i);
        const int ls = line.textStart();
        const int le = ls + line.textLength();
        const int s = std::max(u0, ls);
        const int e = std::min(u1, le);
        QRectF r;
        if (s < e)
            r = QRectF(x0 + line.cursorToX(s), y + i * rh, line.cursorToX(e) - line.cursorToX(s), rh);
        if (takesLineEnd && i == n - 1) {
            const qreal xe = x0 + line.cursorToX(le);
            const QRectF endBox(xe, y + i * rh, fontMetrics().horizontalAdvance(QLatin1Char(' ')) / 2.0, rh);
            r = r.isNull() ? endBox : r.united(endBox);
        }
        if (r.isNull())
            continue;
        p.fillRect(r, c);
        if (frame) {
            p.setPen(QPen(kActiveFrame, 2));
            p.drawRect(r.adjusted(1, 1, -1, -1));
        }
    }
}

void XTextView::paintRuler(QPainter& p, qreal y, const Laid& l, qint64 lineNo) const
{
    const int w = rulerWidth();
    const int rh = rowHeight();
    QString label;
    if (!l.piece.firstOfLine)
        label = QStringLiteral("\u21aa");  // this row continues a long line
    else if (lineNo >= 0)
        label = QString::number(lineNo + 1);
    if (label.isEmpty())
        return;
    p.drawText(QRectF(0, y, w - 8, rh), Qt::AlignRight | Qt::AlignVCenter, label);
}

void XTextView::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    const QPalette& pal = palette();
    p.fillRect(viewport()->rect(), pal.color(QPalette::Base));
    const int rw = rulerWidth();
    const int tl = textLeft();
    const int rh = rowHeight();
    if (m_ruler)
        p.fillRect(QRect(0, 0, rw, viewport()->height()), pal.color(QPalette::AlternateBase).darker(104));

    // Decorations from bottom to top: other layers in id order, the current layer, the
    // mouse-over layer, the active mark, then the selection (drawn with the text).
    std::vector<const XMarkLayer*> order;
    XMarkLayer* current = currentLayer();
    for (const XMarkLayer* l : m_layers.layers())
        if (l != current && l->is_visible())
            order.push_back(l);
    if (current && current->is_visible())
        order.push_back(current);
    order.push_back(&m_mouseOverLayer);
    const find::XRam* active = current ? current->active_mark() : nullptr;
    const find::XRam sel = selection();

    qreal widest = 0;
    forEachVisible([&](const Laid& l, qreal y, qint64 lineNo) {
        widest = std::max(widest, l.width);
        const qint64 a = l.piece.start;
        const qint64 b = l.piece.next;
        p.save();
        p.setClipRect(QRect(tl, 0, viewport()->width() - tl, viewport()->height()));
        // Text on a mark takes black or white, whichever reads better on the mark's colour, so
        // every layer colour (the user picks them) keeps its text readable. Later ranges win,
        // as later fills do.
        QVector<QTextLayout::FormatRange> selections;
        auto markText = [&](qint64 from, qint64 to, const QColor& fill) {
            QTextLayout::FormatRange fr;
            fr.start = l.text.unitOfByte(std::max(from, a));
            const int end = to >= l.piece.textEnd ? l.text.text.size() : l.text.unitEndOfByte(to);
            fr.length = end - fr.start;
            if (fr.length <= 0)
                return;
            fr.format.setForeground(XTheme::textOn(fill, pal.color(QPalette::Base)));
            selections.push_back(fr);
        };
        for (const XMarkLayer* layer : order)
            layer->for_each_in(a, b, [&](std::size_t i) {
                const find::XRam& r = layer->mark(i);
                drawRange(p, l, y, r.offset, r.offset + r.length, layer->mark_color(i), false);
                markText(r.offset, r.offset + r.length, layer->mark_color(i));
            });
        if (active && active->offset < b && active->offset + active->length > a) {
            const QColor fill = current->color().darker(115);
            drawRange(p, l, y, active->offset, active->offset + active->length, fill, true);
            markText(active->offset, active->offset + active->length, fill);
        }
        if (sel.offset >= 0 && sel.offset < b && sel.offset + sel.length > a) {
            QTextLayout::FormatRange fr;
            fr.start = l.text.unitOfByte(std::max(sel.offset, a));
            fr.length = l.text.unitEndOfByte(sel.offset + sel.length) - fr.start;
            fr.format.setBackground(pal.color(QPalette::Highlight));
            fr.format.setForeground(pal.color(QPalette::HighlightedText));
            selections.push_back(fr);
        }
        p.setPen(pal.color(QPalette::Text));
        l.layout.draw(&p, QPointF(tl - horizontalScrollBar()->value(), y), selections);
        p.restore();
        if (m_ruler) {
            p.setPen(pal.color(QPalette::PlaceholderText));
            paintRuler(p, y, l, lineNo);
        }
        return true;
    });
    if (m_ruler) {
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(rw - 1, 0, rw - 1, viewport()->height());
    }
    if (m_src.size() <= 0) {
        p.setPen(pal.color(QPalette::PlaceholderText));
        p.drawText(QRect(tl, 0, viewport()->width() - tl, rh), Qt::AlignLeft | Qt::AlignVCenter,
                   m_src.isOpen() ? xt("(empty file)") : QString());
    }
    if (!m_wrap && widest > m_maxSeenWidth) {
        // The horizontal range grows with the widest row seen so far (rows are laid out lazily).
        m_maxSeenWidth = widest;
        QScrollBar* h = horizontalScrollBar();
        h->setRange(0, std::max(h->maximum(), int(widest - textWidth()) + 16));
        h->setPageStep(int(textWidth()));
    }
    updateLineInfo();
}

QString XTextView::lineInfoText() const
{
    // The caret's line while the caret is on screen; after a jump or a scroll that leaves it
    // behind, the top line in view, so the box always speaks of what the user sees.
    const bool caretInView = m_caret >= 0 && m_caret >= m_top && m_caret < visibleEnd();
    const qint64 at = caretInView ? m_caret : m_top;
    const qint64 line = m_src.lineNumberOf(at);
    const qint64 total = m_src.lineCount();
    QString s = xprintF(xt("Line $ of $"), line >= 0 ? format1000(line + 1) : QStringLiteral("?"),
                        total >= 0 ? format1000(total) : QStringLiteral("?"));
    if (caretInView)
        s += QStringLiteral("  ") + xprintF(xt("Byte $"), format1000(m_caret));
    if (!m_src.indexDone())
        s += QStringLiteral("  ") + xprintF(xt("counting lines $%"), m_src.indexPercent());
    return s;
}

qint64 XTextView::visibleEnd() const
{
    qint64 end = m_top;
    forEachVisible([&](const Laid& l, qreal, qint64) {
        end = l.piece.next;
        return true;
    });
    // The last row may be cut by the viewport's edge; a caret there still counts as in view.
    return m_src.size() > 0 && end >= m_src.size() ? m_src.size() + 1 : end;
}

QVector<QRectF> XTextView::rectsForRange(qint64 offset, qint64 length) const
{
    QVector<QRectF> out;
    const qint64 a = offset;
    const qint64 b = offset + length;
    const qreal x0 = textLeft() - horizontalScrollBar()->value();
    const int rh = rowHeight();
    forEachVisible([&](const Laid& l, qreal y, qint64) {
        if (a >= l.piece.next || b <= l.piece.start)
            return true;
        const int u0 = l.text.unitOfByte(std::max(a, l.piece.start));
        const int u1 = b >= l.piece.textEnd ? l.text.text.size() : l.text.unitEndOfByte(b);
        for (int i = 0; i < l.layout.lineCount(); ++i) {
            const QTextLine line = l.layout.lineAt(i);
            const int s = std::max(u0, line.textStart());
            const int e = std::min(u1, line.textStart() + line.textLength());
            if (s < e)
                out.push_back(QRectF(x0 + line.cursorToX(s), y + i * rh, line.cursorToX(e) - line.cursorToX(s), rh));
        }
        return true;
    });
    return out;
}

qint64 XTextView::offsetAt(const QPoint& pos, bool between) const
{
    if (m_src.size() <= 0)
        return -1;
    const int rh = rowHeight();
    const qreal x = std::max<qreal>(0, pos.x() - textLeft() + horizontalScrollBar()->value());
    qint64 found = -1;
    if (pos.y() < 0)
        return m_top;
    forEachVisible([&](const Laid& l, qreal y, qint64) {
        if (pos.y() >= y + l.rows * rh)
            return true;
        const int row = std::clamp(int((pos.y() - y) / rh), 0, l.layout.lineCount() - 1);
        const QTextLine line = l.layout.lineAt(row);
        int u = line.isValid() ? line.xToCursor(x, between ? QTextLine::CursorBetweenCharacters : QTextLine::CursorOnCharacter) : 0;
        u = std::clamp(u, 0, l.text.text.size());
        found = l.text.byteOf[size_t(u)];
        return false;
    });
    return found >= 0 ? found : m_src.size();
}

} // namespace zem::viewText
