#include "gui/lang/DiaAddLang.h"

#include "Logger.h"
#include "XLang.h"
#include "XTheme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zemFinder {

using zem::xt;

std::function<int(DiaAddLang&)> DiaAddLang::execHook;

DiaAddLang::DiaAddLang(QWidget* parent) : QDialog(parent), m_field(new QLineEdit(this))
{
    setWindowTitle(xt("Add language"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        xt("Add new Language by given a short name\nLowercase letters only without space.\nWe recommend 2 letters!"),
        this));
    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    row->addWidget(new QLabel(xt("Language"), this));
    row->addWidget(m_field, 1);
    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    buttons->addStretch(1);
    auto* ok = new QPushButton(QIcon(zem::XTheme::iconPath(QStringLiteral("apply-ok.svg"))), xt("OK"), this);
    auto* cancel = new QPushButton(QIcon(zem::XTheme::iconPath(QStringLiteral("apply-cancel.svg"))), xt("Cancel"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    connect(ok, &QPushButton::clicked, this, &DiaAddLang::on_ok);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool DiaAddLang::is_valid_code(const QString& code)
{
    for (const QChar c : code) {
        const bool ascii = c.unicode() < 128;
        if (ascii ? !(c >= QLatin1Char('a') && c <= QLatin1Char('z')) : c.category() != QChar::Letter_Lowercase)
            return false;
    }
    return true;
}

void DiaAddLang::on_ok()
{
    if (!is_valid_code(m_field->text().trimmed())) {
        zem::Logger::log(QStringLiteral("WinLang::on_ok, vorbidden char"), zem::LOG_WARN);
        return;
    }
    accept();
}

QString DiaAddLang::ask(QWidget* parent)
{
    DiaAddLang dia(parent);
    const int result = execHook ? execHook(dia) : dia.exec();
    return result == QDialog::Accepted ? dia.m_field->text().trimmed() : QString();
}

} // namespace zemFinder
