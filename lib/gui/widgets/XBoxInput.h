#pragma once
// A modal one-line text question. Tests set testHook, which then answers instead of the dialog.
#include <QString>
#include <functional>

class QWidget;

namespace zem {

class XBoxInput {
public:
    // The entered text; a null QString when the user cancelled.
    static QString get_text(QWidget* parent, const QString& title, const QString& preset, const QString& hint);

    static std::function<QString(const QString& title, const QString& preset, const QString& hint)> testHook;
};

} // namespace zem
