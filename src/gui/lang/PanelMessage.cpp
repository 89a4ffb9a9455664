#include "gui/lang/PanelMessage.h"

#include "Logger.h"
#include "XLang.h"

#include <QEvent>
#include <QPlainTextEdit>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

const QString PanelMessage::WRONG_PLACE = QStringLiteral("WRONG PLACE HERE");

namespace {
QPlainTextEdit* createField(zem::XPanel* panel, bool readOnly)
{
    auto* field = panel->add(new QPlainTextEdit(panel), 1);
    field->setReadOnly(readOnly);
    field->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    field->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    field->setFixedHeight(PanelMessage::HEIGHT_SMALL);
    // One line high, a wrapped text would show a later line; unwrapped it shows its beginning.
    field->setLineWrapMode(QPlainTextEdit::NoWrap);
    return field;
}
} // namespace

PanelMessage::PanelMessage(QWidget* parent) : zem::XPanel(false, parent)
{
    setMargins(0, 0, 0, 0);
    m_english = createField(this, true);
    m_translation = createField(this, false);
    m_english->installEventFilter(this);
    m_translation->installEventFilter(this);
}

void PanelMessage::set_message(zem::LangMessage& message, const QString& lang)
{
    if (!message.has(QStringLiteral("en")))
        Logger::log(QStringLiteral("PanelMessage::set_message, <en> tag missing !"), zem::LOG_ERROR);
    m_english->setPlainText(message.text(QStringLiteral("en")));
    if (message.has(lang)) {
        m_translation->setPlainText(message.text(lang));
    } else {
        message.set(lang, QString());
        m_translation->setPlainText(WRONG_PLACE);
    }
    show_first_line();
}

void PanelMessage::show_first_line()
{
    m_english->moveCursor(QTextCursor::Start);
    m_translation->moveCursor(QTextCursor::Start);
}

QString PanelMessage::english() const
{
    return m_english->toPlainText();
}

QString PanelMessage::translation() const
{
    return m_translation->toPlainText();
}

void PanelMessage::set_translation(const QString& text)
{
    m_translation->setPlainText(text);
    show_first_line();
}

void PanelMessage::activate(bool flag)
{
    Logger::log(xprintF(QStringLiteral("PanelMessage::activate, flag:$"), flag), zem::LOG_DETAIL);
    const int height = flag ? HEIGHT_ACTIVE : HEIGHT_SMALL;
    const auto wrap = flag ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap;
    for (QPlainTextEdit* field : {m_english, m_translation}) {
        field->setFixedHeight(height);
        field->setLineWrapMode(wrap);
    }
    if (!flag)
        show_first_line();
}

bool PanelMessage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        activate(true);
    else if (event->type() == QEvent::FocusOut)
        activate(false);
    return XPanel::eventFilter(watched, event);
}

} // namespace zemFinder
