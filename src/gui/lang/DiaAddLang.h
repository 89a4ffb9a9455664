#pragma once
// Asks for the code of a new language: lower-case letters only, trimmed. OK with a code that
// breaks the rule keeps the dialog open. Modal, GUI thread only.
#include <QDialog>
#include <functional>

class QLineEdit;

namespace zemFinder {

class DiaAddLang : public QDialog {
    Q_OBJECT
public:
    explicit DiaAddLang(QWidget* parent = nullptr);

    // Lower-case ASCII letters, or lower-case letters beyond ASCII; empty is allowed.
    static bool is_valid_code(const QString& code);
    // The trimmed code after OK, empty after Cancel.
    static QString ask(QWidget* parent);
    // Tests answer here instead of a modal loop (QDialog::Accepted or Rejected).
    static std::function<int(DiaAddLang&)> execHook;

    QLineEdit* field() const { return m_field; }
    void on_ok();

private:
    QLineEdit* m_field;
};

} // namespace zemFinder
