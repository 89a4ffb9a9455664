#pragma once
// The history editor: reorders, edits and deletes the entries of one history list (the items of
// a find-panel combo box) on a private copy; the caller gets the edited list only after OK.
// Modal, GUI thread only; reads and writes no store.
#include <QDialog>
#include <QStringList>
#include <functional>

class QListView;

namespace zemFinder {

class ListModelHistory;

class DiaHistory : public QDialog {
    Q_OBJECT
public:
    DiaHistory(const QStringList& history, QWidget* parent = nullptr);

    // Runs the editor on history; on OK *ok is set and the edited list returned, otherwise *ok
    // is cleared and the list is empty.
    static QStringList edit(QWidget* parent, const QStringList& history, bool* ok);
    // Tests answer here instead of a modal loop (QDialog::Accepted or Rejected).
    static std::function<int(DiaHistory&)> execHook;

    QStringList history() const;
    int selected_row() const;
    void select_row(int row);

    void move_up();
    void move_down();
    void edit_item();
    void delete_item();
    void delete_all();

private:
    void setup();
    bool move(int offset);

    ListModelHistory* m_model;
    QListView* m_list = nullptr;
};

} // namespace zemFinder
