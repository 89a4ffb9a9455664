#include "gui/dia/DiaFirstMessage.h"

#include "Logger.h"
#include "XEnv.h"
#include "XLang.h"
#include "XNode.h"
#include "XTools.h"
#include "widgets/XPanel.h"

#include <QButtonGroup>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;

std::function<int(DiaFirstMessage&)> DiaFirstMessage::execHook;

namespace {
const QString KEY_SEE = QStringLiteral("flagSeeIniMessage");
const QString KEY_LANG = QStringLiteral("lang");

// The page with the program's version filled in.
QString pageText(const QString& page)
{
    QFile file(page);
    if (!file.open(QIODevice::ReadOnly)) {
        Logger::log(xprintF(QStringLiteral("DiaFirstMessage, page missing <<<$>>>"), page), zem::LOG_ERROR);
        return QString();
    }
    return QString::fromUtf8(file.readAll())
        .replace(QStringLiteral("$(ZEMFINDER_VERSION)"), zem::getEnv(QStringLiteral("ZEMFINDER_VERSION")));
}
} // namespace

DiaFirstMessage::DiaFirstMessage(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(xt("Hint"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_browser = new QTextBrowser(this);
    m_browser->setMinimumSize(960, 500);
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);
    m_browser->document()->setDocumentMargin(0);
    layout->addWidget(m_browser, 1);

    auto* row = new zem::XPanel(false, this);
    row->set_args(8, 8);
    layout->addWidget(row);
    m_group = new QButtonGroup(this);
    const std::pair<const char*, int> languages[] = {{"English", ENGLISH}, {"German", GERMAN}, {"Russian", RUSSIAN}};
    for (const auto& [text, id] : languages) {
        auto* radio = row->add(new QRadioButton(xt(text)));
        radio->setObjectName(QString::fromLatin1(text));
        m_group->addButton(radio, id);
    }
    row->addStretch(1);
    auto* save = row->add(new QPushButton(xt("OK + save")));
    save->setObjectName(QStringLiteral("okSave"));
    auto* ok = row->add(new QPushButton(xt("OK")));
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(save, &QPushButton::clicked, this, [this] { finish(OK_SAVE); });
    connect(ok, &QPushButton::clicked, this, [this] { finish(OK); });
    connect(m_group, &QButtonGroup::idClicked, this, [this](int id) { select(id); });
    select(ENGLISH);
}

QString DiaFirstMessage::page_of(DaLang lang)
{
    return xprintF(QStringLiteral(":zf/html/FirstMessage.$.html"), code_of(lang));
}

QString DiaFirstMessage::page_html(const QString& code)
{
    for (DaLang lang : {GERMAN, RUSSIAN})
        if (code == code_of(lang))
            return pageText(page_of(lang));
    return pageText(page_of(ENGLISH));
}

QString DiaFirstMessage::code_of(DaLang lang)
{
    switch (lang) {
    case GERMAN:
        return QStringLiteral("de");
    case RUSSIAN:
        return QStringLiteral("ru");
    case ENGLISH:
        break;
    }
    return QStringLiteral("en");
}

void DiaFirstMessage::select(int lang)
{
    QAbstractButton* button = m_group->button(lang);
    if (!button) {
        Logger::log(xprintF(QStringLiteral("XButtonGroupTyped<TYPE>::select, bt with ID:$ does not exist"), lang),
                    zem::LOG_WARN);
        return;
    }
    button->setChecked(true);
    m_choice = DaLang(lang);
    Logger::log(QString::fromLatin1(lang == GERMAN ? "deutsch" : lang == RUSSIAN ? "russisch" : "english"),
                zem::LOG_PROGRESS);
    m_browser->setHtml(pageText(page_of(m_choice)));
}

void DiaFirstMessage::finish(int code)
{
    m_code = code;
    accept();
}

DiaFirstMessage::Result DiaFirstMessage::run(QWidget* parent)
{
    DiaFirstMessage dia(parent);
    const int accepted = execHook ? execHook(dia) : dia.exec();
    Result result;
    if (accepted == QDialog::Accepted && dia.m_code != CANCEL) {
        result.code = dia.m_code;
        result.lang = code_of(dia.m_choice);
    }
    return result;
}

void DiaFirstMessage::show_at_start(zem::XNode* root)
{
    if (!root || !root->isBool(KEY_SEE, true))
        return;
    const Result result = run(nullptr);
    Logger::log(xprintF(QStringLiteral("sLang:$"), result.code == CANCEL ? QStringLiteral("CANCEL")
                                                   : xprintF(QStringLiteral("$, return:$"),
                                                             result.code == OK ? "OK" : "OK_SAVE", result.lang)),
                zem::LOG_PROGRESS);
    if (result.code == CANCEL)
        return;
    zem::XTools::set_lang(result.lang);
    if (result.code == OK_SAVE) {
        root->setString(KEY_LANG, result.lang);
        root->setBool(KEY_SEE, false);
    }
}

} // namespace zemFinder
