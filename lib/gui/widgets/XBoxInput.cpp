#include "XBoxInput.h"

#include <QInputDialog>

namespace zem {

std::function<QString(const QString&, const QString&, const QString&)> XBoxInput::testHook;

QString XBoxInput::get_text(QWidget* parent, const QString& title, const QString& preset, const QString& hint)
{
    if (testHook)
        return testHook(title, preset, hint);
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, hint, QLineEdit::Normal, preset, &ok);
    return ok ? (text.isNull() ? QStringLiteral("") : text) : QString();
}

} // namespace zem
