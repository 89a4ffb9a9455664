#include "gui/lang/WinLang.h"

#include "KernelGUI.h"
#include "Logger.h"
#include "XNode.h"
#include "XTheme.h"
#include "XTools.h"
#include "gui/lang/DiaAddLang.h"
#include "gui/lang/PanelLang.h"
#include "widgets/XBox.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;

namespace {
WinLang* g_editor = nullptr;
const QString EN = QStringLiteral("en");
const QString DE = QStringLiteral("de");

void log(const QString& text, int level = zem::LOG_PROGRESS)
{
    Logger::log(text, level);
}
} // namespace

WinLang::WinLang(QWidget* parent) : WindowBase(parent), m_langAtOpen(zem::XTools::get_lang())
{
    g_editor = this;
    setObjectName(QStringLiteral("WinLang"));
    set_icon(zem::XTheme::iconPath(QStringLiteral("find2.svg")), 32);
    setTitleStd(xt("Zem Finder - Language Editor"));

    zem::XPanel* content = createContentPanel(true);
    content->set_args(6, 4);
    m_panel = content->add(new PanelLang(content), 1);
    zem::XPanel* row = content->createPanelHorizontal();
    auto button = [row](const char* icon, const char* text, const char* tooltip, const char* name) {
        auto* b = row->add(new QPushButton(xt(text)));
        if (icon)
            b->setIcon(QIcon(zem::XTheme::iconPath(QString::fromLatin1(icon))));
        b->setToolTip(xt(tooltip));
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    connect(button("apply-ok.svg", "OK", "Saves the current changes and close the Window", "ok"), &QPushButton::clicked,
            this, &WinLang::on_ok);
    connect(button("apply-cancel.svg", "Cancel", "Cancel all - changes will not be written", "cancel"),
            &QPushButton::clicked, this, &WinLang::on_cancel);
    row->addStretch(1);
    connect(button(nullptr, "Add language", "Add a new language with 2 letters like 'en', 'it', 'ru', ...", "add"),
            &QPushButton::clicked, this, &WinLang::on_add_lang);
    connect(button(nullptr, "Remove language", "Remove language except 'en' and 'de'", "remove"),
            &QPushButton::clicked, this, &WinLang::on_remove_lang);
    row->addStretch(1);
    row->createLabel(xt("Language"));
    m_combo = row->add(new QComboBox(row));
    m_combo->setMinimumWidth(80);
    connect(m_combo, &QComboBox::currentTextChanged, this, [this](const QString& lang) {
        log(xprintF(QStringLiteral("WinLang::WinLang - combo lang CHANGED, sLang:$"), lang));
        on_combo_lang_changed(lang);
    });
}

WinLang::~WinLang()
{
    log(QStringLiteral("WinLang::~WinLang"), zem::LOG_DETAIL);
    if (g_editor == this)
        g_editor = nullptr;
}

bool WinLang::is_open()
{
    return g_editor != nullptr;
}

WinLang* WinLang::open_editor()
{
    if (is_open()) {
        log(QStringLiteral("WinFinder_config::on_lang_editor, one instance only!"), zem::LOG_ERROR);
        return nullptr;
    }
    auto* win = new WinLang;
    if (zem::KernelGUI* kernel = zem::KernelGUI::kernelGui())
        win->setNodeWin(kernel->getCreateNodeApplication()
                            ->getCreateNode(QStringLiteral("GUI"))
                            ->getCreateNode(QStringLiteral("WinLang")));
    win->set_lang_root(zem::XLang::messages());
    win->setBounds(50, 50, 800, 500);
    win->show();
    return win;
}

QString WinLang::sort_key(const zem::LangMessage& message)
{
    if (!message.has(EN)) {
        log(QStringLiteral("get_string, nEN == nullptr"), zem::LOG_ERROR);
        return QString();
    }
    return message.text(EN).trimmed().toLower();
}

void WinLang::set_lang_root(const zem::LangMessages& tree)
{
    const QString uiLang = zem::XTools::get_lang();
    m_langEdit = uiLang == EN ? DE : uiLang;
    log(xprintF(QStringLiteral("WinLang::set_lang_root, XTools::lang:$, langCurr:$"), uiLang, m_langEdit));
    m_tree = tree;
    QVector<QPair<QString, int>> keys;
    for (int i = 0; i < m_tree.size(); ++i)
        keys << qMakePair(sort_key(m_tree.at(i)), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const QPair<QString, int>& a, const QPair<QString, int>& b) { return a.first < b.first; });
    zem::LangMessages sorted;
    for (const auto& key : keys)
        sorted << m_tree.at(key.second);
    m_tree = sorted;
    log(xprintF(QStringLiteral("count nodes:$"), m_tree.size()));
    m_panel->set_lang_root(&m_tree, m_langEdit);
    {
        const QSignalBlocker blocker(m_combo);
        m_combo->clear();
        for (const QString& code : zem::XLang::languagesOf(m_tree))
            if (code != EN)
                m_combo->addItem(code);
        m_combo->setCurrentText(m_langEdit);
    }
    log(xprintF(QStringLiteral("WinLang::~set_lang_root, XTools::lang:$"), uiLang));
}

void WinLang::set_current_lang_to_edit(const QString& lang)
{
    log(xprintF(QStringLiteral("WinLang::set_current_lang_to_edit, sLang:$"), lang));
    m_panel->set_lang_root(&m_tree, lang);
    m_langEdit = lang;
}

void WinLang::update_nodes(const QString& lang)
{
    log(xprintF(QStringLiteral("WinLang::update_nodes, lang:'$'"), lang));
    m_panel->update_nodes(lang);
}

void WinLang::on_combo_lang_changed(const QString& lang)
{
    log(xprintF(QStringLiteral("WinLang::on_combo_lang_changed, lang-prev:$, sLang:$"), m_langEdit, lang));
    if (lang.isEmpty() || lang == m_langEdit)
        return;
    update_nodes(m_langEdit);
    set_current_lang_to_edit(lang);
}

void WinLang::on_add_lang()
{
    const QString lang = DiaAddLang::ask(this);
    log(xprintF(QStringLiteral("WinLang::on_add_lang, sLang:'$'"), lang));
    if (lang.isEmpty())
        return;
    if (zem::XLang::languagesOf(m_tree).contains(lang)) {
        zem::XBox::warn(this, xt("Already exists"), xprintF(xt("'$' already exists!"), lang));
        return;
    }
    log(xprintF(QStringLiteral("WinLang::on_add_lang - ok accept '$'"), lang));
    // The texts typed for the language shown so far are kept before the panel changes.
    update_nodes(m_langEdit);
    for (zem::LangMessage& message : m_tree)
        message.set(lang, QString());
    {
        const QSignalBlocker blocker(m_combo);
        m_combo->addItem(lang);
        m_combo->setCurrentText(lang);
    }
    set_current_lang_to_edit(lang);
}

void WinLang::on_remove_lang()
{
    const QString lang = m_combo->currentText();
    if (lang == DE || lang == EN || lang.isEmpty()) {
        zem::XBox::warn(this, xt("Not allowed"), xt("You cannot remove lang 'en' and 'de'!"));
        return;
    }
    if (zem::XBox::ask_yes_no(this, xt("Remove Language"), xprintF(xt("Do you really want to remove '$' ?"), lang)) == 0)
        return;
    for (zem::LangMessage& message : m_tree)
        if (!message.has(lang))
            log(QStringLiteral("WinLang::on_remove_lang - NOT FOUND"));
        else if (!message.remove(lang))
            log(xprintF(QStringLiteral("WinLang::on_remove_lang - problems removing <$>"), lang), zem::LOG_ERROR);
    {
        const QSignalBlocker blocker(m_combo);
        m_combo->removeItem(m_combo->findText(lang));
        m_combo->setCurrentText(DE);
    }
    set_current_lang_to_edit(DE);
    zem::XTools::set_lang(DE);
}

void WinLang::on_apply()
{
    log(QStringLiteral("WinLang::on_apply"));
    update_nodes(m_langEdit);
    const QString target = zem::XTools::get_absolute_config_file_path(QStringLiteral("lang.xml"));
    log(xprintF(QStringLiteral("WinLang::on_ok - save '$'"), target));
    zem::XLang::save(target, m_tree);
    zem::XLang::setMessages(m_tree);
    zem::XTools::set_lang(m_langEdit);
    m_applied = true;
}

void WinLang::on_ok()
{
    on_apply();
    close();
    zem::XTools::set_lang(m_langAtOpen);
    log(xprintF(QStringLiteral("WinLang::on_ok, XTools::lang:$"), zem::XTools::get_lang()));
}

void WinLang::on_cancel()
{
    log(QStringLiteral("WinLang::on_cancel"));
    close();
}

void WinLang::closeEvent(QCloseEvent* event)
{
    // A removal switched the interface to German for the editing; dropping the edits drops that too.
    if (!m_applied)
        zem::XTools::set_lang(m_langAtOpen);
    WindowBase::closeEvent(event);
}

} // namespace zemFinder
