#pragma once
// The application editor window: the record list with its buttons (up, down, new, copy, delete,
// reset, delete all), the field panel, Apply, Test/Execute and Enabled, OK and Cancel. Works on a
// copy of the store: Apply puts the list into the store in memory, OK also saves it, Cancel puts
// back and saves the store as it was when the editor opened. At most one editor exists. Owns its
// model, panel and snapshot; deleted when closed; GUI thread only.
#include "gui/WindowBase.h"

#include <memory>

class QCheckBox;
class QListView;
class QPushButton;

namespace zem {
class XButton;
class XNode;
class XTree;
} // namespace zem

namespace zemFinder {

class ListModelPrograms;
class PanelProgram;

class WinEditorApps : public WindowBase {
    Q_OBJECT
public:
    // Opens the editor on the store unless one is open; returns the open editor.
    static WinEditorApps* open_editor();
    static bool is_open();
    static WinEditorApps* instance();

    WinEditorApps();
    ~WinEditorApps() override;

    // Builds the window on its configuration node and a copy of the store.
    void setup(zem::XNode* node, std::unique_ptr<zem::XTree> tree);

    int selected_row() const;
    void select_row(int row);

    void on_move_up();
    void on_move_down();
    void on_new_app();
    void on_copy_app();
    void on_delete_app();
    void on_reset();
    void on_delete_all();
    void on_apply();
    void on_test();
    void on_ok();
    void on_cancel();

    ListModelPrograms* model() const { return m_model.get(); }
    PanelProgram* panel() const { return m_panel; }
    QListView* listView() const { return m_list; }
    QCheckBox* checkEnabled() const { return m_enabled; }
    QPushButton* buttonTest() const { return m_test; }

private:
    void on_selection_changed();
    void apply_enabled(bool on);
    void move(int step);

    std::unique_ptr<ListModelPrograms> m_model;
    std::unique_ptr<zem::XTree> m_snapshot;
    QListView* m_list = nullptr;
    PanelProgram* m_panel = nullptr;
    QCheckBox* m_enabled = nullptr;
    QPushButton* m_test = nullptr;
};

} // namespace zemFinder
