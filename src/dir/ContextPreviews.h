#pragma once
// Ties one source widget (a tree, a table) to one preview container: decides which preview shows
// a selected file, keeps the previews that may show it (the candidates) and lets the user cycle
// through them or jump to one by type. Not owning container or widget. GUI thread only.
#include "XTree.h"

#include <QFileInfo>
#include <QSet>
#include <QString>
#include <Qt>
#include <functional>
#include <set>
#include <vector>

class QWidget;

namespace zem {
class Preview;
}

namespace zemFinder {

class XContainerPreviews;

class ContextPreviews : public zem::NameAble {
public:
    explicit ContextPreviews(const QString& name = QString());
    ~ContextPreviews() override;
    ContextPreviews(const ContextPreviews&) = delete;
    ContextPreviews& operator=(const ContextPreviews&) = delete;

    // Both must be given; must run before select_file.
    void ini(QWidget* widget, XContainerPreviews* container);
    // Chooses a preview for fi and shows it; with Control held starts dragging fi instead.
    void select_file(const QFileInfo& fi);
    // The owner showed fi in shown itself (a content result with its marks): takes fi and its
    // candidates as select_file would, with shown as the current one, so that cycling goes on
    // from what the user sees. Opens nothing.
    void follow(const QFileInfo& fi, zem::Preview* shown);
    // Shows the next candidate that can open the file (each one tried at most once).
    void cycle_previews();
    // Shows the candidate whose type() is type; on failure cycles on.
    void set_preview(const QString& type);
    bool is_widget(const QWidget* widget) const { return widget && widget == m_widget; }

    // The preview most recently chosen by select_file in any context; null (logged) if none.
    static zem::Preview* currentPreview();
    // The same without the log line, for callers that only ask.
    static zem::Preview* currentPreviewOrNull() { return s_currentPreview; }
    // Forgets p as the current preview (called when a preview is destroyed).
    static void forget(const zem::Preview* p);

    QFileInfo file() const { return m_file; }
    const std::vector<zem::Preview*>& candidates() const { return m_candidates; }
    int index() const { return m_index; }
    XContainerPreviews* container() const { return m_container; }
    QWidget* widget() const { return m_widget; }
    // The extensions that are plain text, so never shown as XML.
    const std::set<QString>& textExtensions() const { return m_textExtensions; }

    // Where the modifiers and the drag come from; tests replace them.
    static std::function<Qt::KeyboardModifiers()> modifiersProvider;
    static std::function<void(QWidget*, const QFileInfo&)> dragStarter;

private:
    // Fills the candidates for the file fi (not a folder) and returns the preview that shows it.
    zem::Preview* choose_candidates(const QFileInfo& fi);
    // Font, ruler, wrap and line information from the configuration.
    static void prepare(zem::Preview* p);
    bool try_open(zem::Preview* p);

    QFileInfo m_file;
    std::set<QString> m_textExtensions;
    std::vector<zem::Preview*> m_candidates;
    int m_index = -1;
    XContainerPreviews* m_container = nullptr;
    QWidget* m_widget = nullptr;

    static zem::Preview* s_currentPreview;
};

} // namespace zemFinder
