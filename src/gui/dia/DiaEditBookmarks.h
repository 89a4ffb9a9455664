#pragma once
// The bookmarks editor: reorders, renames and deletes bookmarks on its own copy of the list;
// only OK writes the list back into the store and saves it. Modal, GUI thread only.
#include <QDialog>
#include <functional>

class QListView;

namespace zemFinder {

class ListModelBookmarks;

class DiaEditBookmarks : public QDialog {
    Q_OBJECT
public:
    explicit DiaEditBookmarks(QWidget* parent = nullptr);

    ListModelBookmarks* model() const { return m_model; }
    QListView* listView() const { return m_list; }
    int selected_row() const;
    void select_row(int row);

    void on_up();
    void on_down();
    void on_edit_bookmark();
    void delete_row();
    void delete_all();
    void on_accept();

    // Opens the editor titled "Edit Bookmarks" at 50, 50, 800 x 600; true on OK.
    static bool edit_all(QWidget* parent);
    // When set, called with the set-up dialog instead of running it; returns "accepted".
    static std::function<bool(DiaEditBookmarks& dialog)> testHook;

private:
    ListModelBookmarks* m_model = nullptr;
    QListView* m_list = nullptr;
};

} // namespace zemFinder
