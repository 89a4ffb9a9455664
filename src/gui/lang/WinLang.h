#pragma once
// The language editor: translations of every message into one language at a time, adding and
// removing languages. All edits live in the window's working tree, a sorted copy of the live
// language table; OK makes them live and saves "lang.xml" in the configuration folder, Cancel or
// closing drops them. At most one editor exists. Deleted when closed; GUI thread only.
#include "gui/WindowBase.h"
#include "XLang.h"

class QComboBox;

namespace zemFinder {

class PanelLang;

class WinLang : public WindowBase {
    Q_OBJECT
public:
    explicit WinLang(QWidget* parent = nullptr);
    ~WinLang() override;

    static bool is_open();
    // Opens the editor on the live table (bound to the application node's "GUI"/"WinLang");
    // null when one is open already.
    static WinLang* open_editor();

    void set_lang_root(const zem::LangMessages& tree);
    void set_current_lang_to_edit(const QString& lang);
    void update_nodes(const QString& lang);
    void on_add_lang();
    void on_remove_lang();
    void on_apply();
    void on_ok();
    void on_cancel();

    QString lang_edited() const { return m_langEdit; }
    const zem::LangMessages& working_tree() const { return m_tree; }
    PanelLang* panel() const { return m_panel; }
    QComboBox* combo() const { return m_combo; }
    // The sort key of a message: its English text, trimmed and lower-cased.
    static QString sort_key(const zem::LangMessage& message);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void on_combo_lang_changed(const QString& lang);

    zem::LangMessages m_tree;
    QString m_langEdit;
    QString m_langAtOpen;
    bool m_applied = false;
    PanelLang* m_panel = nullptr;
    QComboBox* m_combo = nullptr;
};

} // namespace zemFinder
