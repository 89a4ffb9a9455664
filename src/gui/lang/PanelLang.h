#pragma once
// The scrolling list of messages in the language editor: one PanelMessage per message with an
// English text, each linked to its message in the editor's working tree (owned by the editor).
// GUI thread only.
#include "XLang.h"
#include "widgets/XPanel.h"

#include <QVector>

class QScrollArea;

namespace zemFinder {

class PanelMessage;

class PanelLang : public zem::XPanel {
    Q_OBJECT
public:
    explicit PanelLang(QWidget* parent = nullptr);

    // Shows the messages of tree for lang; the tree must outlive the panel's next set_lang_root.
    void set_lang_root(zem::LangMessages* tree, const QString& lang);
    // Writes every linked editor's text into the message's lang element.
    void update_nodes(const QString& lang);
    const QVector<PanelMessage*>& panels() const { return m_panels; }

private:
    QScrollArea* m_scroll;
    zem::XPanel* m_list = nullptr;
    zem::LangMessages* m_tree = nullptr;
    QVector<PanelMessage*> m_panels;
    QVector<int> m_links;   // message index of each panel
};

} // namespace zemFinder
