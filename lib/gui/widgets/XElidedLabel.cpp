#include "XElidedLabel.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>

namespace zem {

namespace {
// Enough to show that something is there and that it goes on ("ab…").
const QString kMinimumSample = QStringLiteral("MMMM");
} // namespace

XElidedLabel::XElidedLabel(QWidget* parent, Qt::TextElideMode mode) : QLabel(parent), m_mode(mode)
{
    setWordWrap(false);
}

QSize XElidedLabel::minimumSizeHint() const
{
    const QSize hint = QLabel::minimumSizeHint();
    if (!isPlain())
        return hint;
    const QMargins m = contentsMargins();
    const int width = fontMetrics().horizontalAdvance(kMinimumSample) + m.left() + m.right() + 2 * margin();
    return QSize(qMin(hint.width(), width), hint.height());
}

bool XElidedLabel::isPlain() const
{
    return textFormat() == Qt::PlainText || (textFormat() == Qt::AutoText && !Qt::mightBeRichText(text()));
}

QString XElidedLabel::shownText() const
{
    if (!isPlain())
        return text();
    const int width = contentsRect().width() - 2 * margin() - indent();
    // Each line is shortened on its own: a caption "640 x 480" above a long name keeps its size line.
    QStringList lines = text().split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (fontMetrics().horizontalAdvance(line) > width)
            line = fontMetrics().elidedText(line, m_mode, qMax(0, width));
    return lines.join(QLatin1Char('\n'));
}

void XElidedLabel::paintEvent(QPaintEvent* event)
{
    update_tooltip();
    const QString shown = shownText();
    // The whole text: QLabel paints it, with its selection and its links.
    if (shown == text()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), shown, foregroundRole());
}

void XElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    update_tooltip();
}

bool XElidedLabel::event(QEvent* event)
{
    // A tooltip asked for before the first paint after a text change still shows the whole text.
    if (event->type() == QEvent::ToolTip)
        update_tooltip();
    return QLabel::event(event);
}

void XElidedLabel::update_tooltip()
{
    if (toolTip() != m_autoTip)
        return;
    const QString wanted = isElided() ? text() : QString();
    if (wanted == m_autoTip)
        return;
    m_autoTip = wanted;
    setToolTip(wanted);
}

} // namespace zem
