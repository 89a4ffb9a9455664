#pragma once
// Modal message boxes: a yes/no question, an information and a warning.
// Tests set testHook, which then answers instead of the modal dialog.
#include <QString>
#include <functional>

class QWidget;

namespace zem {

class XBox {
public:
    enum class Kind { Question, Info, Warn };

    // 1 for yes, 0 for anything else.
    static int ask_yes_no(QWidget* parent, const QString& title, const QString& text);
    static void info(QWidget* parent, const QString& title, const QString& text);
    static void warn(QWidget* parent, const QString& title, const QString& text);

    // When set, called instead of showing a dialog; its result is the answer of ask_yes_no.
    static std::function<int(Kind kind, const QString& title, const QString& text)> testHook;
};

} // namespace zem
