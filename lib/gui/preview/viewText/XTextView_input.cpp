// Mouse, keyboard, context menu and mouse-over regions of XTextView.
#include "XTextView.h"

#include "XLang.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

namespace zem::viewText {

namespace {
// Sentences and paragraphs are looked for this far around the mouse; beyond that the region
// is cut, so hovering over a file without blank lines stays cheap.
constexpr qint64 kSentenceReach = 4096;
constexpr qint64 kParagraphReach = 65536;

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c.isSurrogate() || c.isMark();
}

find::XRam region(qint64 a, qint64 b, qint32 category)
{
    if (b <= a || a < 0)
        return find::XRam{-1, 0, category};
    return find::XRam{a, qint32(std::min<qint64>(b - a, INT32_MAX)), category};
}
} // namespace

MouseOverMark XTextView::mouseOverAt(qint64 offset) const
{
    MouseOverMark m;
    const qint64 n = m_src.size();
    if (offset < 0 || offset >= n)
        return m;
    const char* d = m_src.data();
    const XTextPiece piece = m_src.pieceAt(offset);
    if (offset >= piece.textEnd)
        return m;  // on a line end
    const XLineText t = m_src.decode(piece);
    const int u = t.unitOfByte(offset);
    int ue = u + 1;
    while (ue < t.text.size() && t.byteOf[size_t(ue)] == t.byteOf[size_t(u)])
        ++ue;
    m.character = region(t.byteOf[size_t(u)], t.byteOf[size_t(ue)], MouseOverMark::Character);
    if (isWordChar(t.text.at(u))) {
        int w0 = u;
        int w1 = ue;
        while (w0 > 0 && isWordChar(t.text.at(w0 - 1)))
            --w0;
        while (w1 < t.text.size() && isWordChar(t.text.at(w1)))
            ++w1;
        m.word = region(t.byteOf[size_t(w0)], t.byteOf[size_t(w1)], MouseOverMark::Word);
    }
    m.line = region(piece.start, piece.textEnd, MouseOverMark::Line);

    // Paragraph: the lines around offset up to an empty line.
    auto isEmptyLineAt = [&](qint64 ls) { return ls >= n || XTextSource::isLineEndByte(d[ls]); };
    qint64 p0 = m_src.lineStartOf(offset);
    while (p0 > 0 && offset - p0 < kParagraphReach) {
        const qint64 prev = m_src.lineStartOf(p0 - 1);
        if (isEmptyLineAt(prev))
            break;
        p0 = prev;
    }
    qint64 p1 = piece.textEnd;
    while (p1 < n && p1 - offset < kParagraphReach) {
        const XTextPiece next = m_src.pieceAt(p1);
        if (next.next >= n || next.next <= p1 || isEmptyLineAt(next.next))
            break;
        p1 = m_src.pieceAt(next.next).textEnd;
    }
    m.paragraph = region(p0, p1, MouseOverMark::Paragraph);

    // Sentence: inside the paragraph, between ".", "!" or "?" followed by white space.
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    auto endsSentence = [&](qint64 i) {
        return (d[i] == '.' || d[i] == '!' || d[i] == '?') && (i + 1 >= n || isSpace(d[i + 1]));
    };
    qint64 s0 = offset;
    while (s0 > p0 && offset - s0 < kSentenceReach && !endsSentence(s0 - 1))
        --s0;
    while (s0 < offset && isSpace(d[s0]))
        ++s0;
    qint64 s1 = offset;
    while (s1 < p1 && s1 - offset < kSentenceReach && !endsSentence(s1))
        ++s1;
    if (s1 < p1 && endsSentence(s1))
        ++s1;
    m.sentence = region(s0, s1, MouseOverMark::Sentence);
    return m;
}

void XTextView::updateMouseOver(const QPoint& pos)
{
    if (mouseOver.empty() && m_mouseOverLayer.empty())
        return;
    const qint64 at = offsetAt(pos);
    const MouseOverMark m = mouseOverAt(pos.x() >= textLeft() ? at : -1);
    if (m.character.offset == m_lastHoverChar)
        return;
    m_lastHoverChar = m.character.offset;
    for (std::size_t i = 0; i < m_mouseOverLayer.size(); ++i)
        if (const find::XRam* r = m.region(m_mouseOverLayer.mark(i).category))
            m_mouseOverLayer.set_mark_region(i, r->offset, r->length);
    mouseOver.fire(m);
    viewport()->update();
}

bool XTextView::activateMarkAt(qint64 offset)
{
    std::vector<XMarkLayer*> order = m_layers.layers();
    XMarkLayer* current = currentLayer();
    // The current layer is on top, so it wins a click on overlapping marks.
    if (current) {
        order.erase(std::remove(order.begin(), order.end(), current), order.end());
        order.push_back(current);
    }
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        XMarkLayer* layer = *it;
        if (!layer->is_visible())
            continue;
        const int i = layer->index_at(offset);
        if (i < 0)
            continue;
        layer->set_active_mark_index(i);
        if (layer != current) {
            setCurrentLayer(layer);
            layerActivated.fire(layer->id());
        }
        activeMarkChanged.fire(layer->id(), i);
        viewport()->update();
        return true;
    }
    return false;
}

void XTextView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const qint64 at = offsetAt(event->pos(), true);
    if (at < 0)
        return;
    m_pressChar = offsetAt(event->pos());
    if (!(event->modifiers() & Qt::ShiftModifier) || m_selAnchor < 0)
        m_selAnchor = at;
    m_selCursor = at;
    m_caret = at;
    m_dragging = true;
    m_dragMoved = (event->modifiers() & Qt::ShiftModifier) != 0;
    viewport()->update();
}

void XTextView::autoScrollForDrag(const QPoint& pos)
{
    if (pos.y() < 0)
        scrollRows(-1);
    else if (pos.y() > viewport()->height())
        scrollRows(1);
}

void XTextView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        autoScrollForDrag(event->pos());
        const qint64 at = offsetAt(event->pos(), true);
        if (at >= 0 && at != m_selCursor) {
            m_selCursor = at;
            m_caret = at;
            m_dragMoved = true;
            viewport()->update();
        }
        return;
    }
    updateMouseOver(event->pos());
}

void XTextView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_dragging) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    const find::XRam sel = selection();
    if (m_dragMoved && sel.offset >= 0) {
        markedByUser.fire(sel);
        return;
    }
    m_selAnchor = m_selCursor = -1;
    activateMarkAt(m_pressChar);
    viewport()->update();
}

void XTextView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const MouseOverMark m = mouseOverAt(offsetAt(event->pos()));
    const find::XRam& r = MouseOverMark::isValid(m.word) ? m.word : m.character;
    if (!MouseOverMark::isValid(r))
        return;
    setSelection(r.offset, r.length);
    m_dragging = false;
    markedByUser.fire(selection());
}

void XTextView::leaveEvent(QEvent* event)
{
    QAbstractScrollArea::leaveEvent(event);
    if (m_lastHoverChar != -2 && !m_mouseOverLayer.empty()) {
        for (std::size_t i = 0; i < m_mouseOverLayer.size(); ++i)
            m_mouseOverLayer.set_mark_region(i, -1, 0);
        m_lastHoverChar = -2;
        viewport()->update();
    }
}

void XTextView::wheelEvent(QWheelEvent* event)
{
    const QPoint d = event->angleDelta();
    if (d.y() != 0 && !(event->modifiers() & Qt::ShiftModifier)) {
        // Three rows per wheel notch (120 units), like most text views.
        scrollRows(-d.y() * 3 / 120);
    } else {
        const int dx = d.x() != 0 ? d.x() : d.y();
        QScrollBar* h = horizontalScrollBar();
        h->setValue(h->value() - dx * h->singleStep() / 120);
    }
    event->accept();
}

void XTextView::keyPressEvent(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    QScrollBar* h = horizontalScrollBar();
    switch (event->key()) {
    case Qt::Key_Up: scrollRows(-1); break;
    case Qt::Key_Down: scrollRows(1); break;
    case Qt::Key_PageUp: scrollRows(-std::max(1, visibleRows() - 1)); break;
    case Qt::Key_PageDown: scrollRows(std::max(1, visibleRows() - 1)); break;
    case Qt::Key_Home:
        if (ctrl)
            scrollToStart();
        else
            h->setValue(0);
        break;
    case Qt::Key_End:
        if (ctrl)
            scrollToEnd();
        break;
    case Qt::Key_Left: h->setValue(h->value() - h->singleStep()); break;
    case Qt::Key_Right: h->setValue(h->value() + h->singleStep()); break;
    default:
        if (event->matches(QKeySequence::Copy))
            copy();
        else if (event->matches(QKeySequence::SelectAll))
            selectAll();
        else
            QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void XTextView::set_request_action(const QString& text, std::function<bool()> checked)
{
    m_requestText = text;
    m_requestChecked = std::move(checked);
}

void XTextView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    const bool hasSelection = selection().offset >= 0;
    QAction* copyAction = menu.addAction(xt("Copy"), this, [this] { copy(); });
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(hasSelection);
    QAction* allAction = menu.addAction(xt("Select All"), this, [this] { selectAll(); });
    allAction->setShortcut(QKeySequence::SelectAll);
    menu.addSeparator();
    QAction* wrapAction = menu.addAction(xt("Wrap"), this, [this](bool on) { set_wrap(on); });
    wrapAction->setCheckable(true);
    wrapAction->setChecked(m_wrap);
    QAction* rulerAction = menu.addAction(xt("Ruler"), this, [this](bool on) { set_ruler(on); });
    rulerAction->setCheckable(true);
    rulerAction->setChecked(m_ruler);
    if (!requestStandAlone.empty() && (!m_requestAvailable || m_requestAvailable())) {
        menu.addSeparator();
        const QString text = m_requestText.isEmpty() ? xt("Open in a separate window") : m_requestText;
        QAction* request = menu.addAction(text, this, [this] { requestStandAlone.fire(); });
        if (m_requestChecked) {
            request->setCheckable(true);
            request->setChecked(m_requestChecked());
        }
    }
    const QString sel = hasSelection ? getSelectedText(1000) : QString();
    for (const ContextMenuBuilder& b : m_menuBuilders)
        b(&menu, sel);
    menu.exec(event->globalPos());
}

} // namespace zem::viewText
