#pragma once
// One message in the language editor: the English text (read-only) beside its translation into
// the language being edited. Both fields are one line high and grow while either has the focus.
// GUI thread only.
#include "widgets/XPanel.h"

class QPlainTextEdit;

namespace zem {
class LangMessage;
}

namespace zemFinder {

class PanelMessage : public zem::XPanel {
    Q_OBJECT
public:
    static constexpr int HEIGHT_SMALL = 28;
    static constexpr int HEIGHT_ACTIVE = 112;
    // Shown for a message that has no text in the edited language yet.
    static const QString WRONG_PLACE;

    explicit PanelMessage(QWidget* parent = nullptr);

    // Shows the message's English text and its text in lang; a message without lang gets an
    // empty element of that language.
    void set_message(zem::LangMessage& message, const QString& lang);
    QString english() const;
    QString translation() const;
    void set_translation(const QString& text);
    void activate(bool flag);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show_first_line();

    QPlainTextEdit* m_english;
    QPlainTextEdit* m_translation;
};

} // namespace zemFinder
