#include "gui/lang/PanelLang.h"

#include "Logger.h"
#include "gui/lang/PanelMessage.h"

#include <QScrollArea>
#include <QScrollBar>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

PanelLang::PanelLang(QWidget* parent) : zem::XPanel(true, parent), m_scroll(add(new QScrollArea(this), 1))
{
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void PanelLang::set_lang_root(zem::LangMessages* tree, const QString& lang)
{
    // The old list goes at once: its editors point into the messages being replaced.
    delete m_scroll->takeWidget();
    m_panels.clear();
    m_links.clear();
    m_tree = tree;
    m_list = new zem::XPanel(true);
    m_list->set_args(4, 2);
    const int count = tree ? tree->size() : 0;
    Logger::log(xprintF(QStringLiteral("PanelLang::set_lang_root, lang:'$', ar msg:$"), lang, count), zem::LOG_PROGRESS);
    for (int i = 0; i < count; ++i) {
        zem::LangMessage& message = (*tree)[i];
        if (message.text(QStringLiteral("en")).trimmed().isEmpty())
            continue;
        auto* panel = m_list->add(new PanelMessage(m_list));
        panel->set_message(message, lang);
        m_panels << panel;
        m_links << i;
    }
    m_list->addStretch(1);
    m_scroll->setWidget(m_list);
}

void PanelLang::update_nodes(const QString& lang)
{
    if (!m_tree)
        return;
    for (int i = 0; i < m_panels.size(); ++i) {
        zem::LangMessage& message = (*m_tree)[m_links.at(i)];
        if (!message.has(lang))
            Logger::log(xprintF(QStringLiteral("WinLang::update_nodes, n == null, create <$>"), lang), zem::LOG_ERROR);
        message.set(lang, m_panels.at(i)->translation());
    }
}

} // namespace zemFinder
