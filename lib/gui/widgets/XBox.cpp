#include "XBox.h"

#include "XLang.h"

#include <QMessageBox>

namespace zem {

std::function<int(XBox::Kind, const QString&, const QString&)> XBox::testHook;

int XBox::ask_yes_no(QWidget* parent, const QString& title, const QString& text)
{
    if (testHook)
        return testHook(Kind::Question, title, text) == 1 ? 1 : 0;
    const auto answer = QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                              QMessageBox::No);
    return answer == QMessageBox::Yes ? 1 : 0;
}

void XBox::info(QWidget* parent, const QString& title, const QString& text)
{
    if (testHook) {
        testHook(Kind::Info, title, text);
        return;
    }
    QMessageBox::information(parent, title, text);
}

void XBox::warn(QWidget* parent, const QString& title, const QString& text)
{
    if (testHook) {
        testHook(Kind::Warn, title, text);
        return;
    }
    QMessageBox::warning(parent, title, text);
}

} // namespace zem
