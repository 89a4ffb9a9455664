#pragma once
// The dialog for one bookmark: its name can be edited, its path is shown read-only.
// Modal, GUI thread only. Tests set testHook, which then answers instead of the modal run.
#include "Bookmarks.h"

#include <QDialog>
#include <functional>

class QLineEdit;

namespace zemFinder {

class DiaBookmark : public QDialog {
    Q_OBJECT
public:
    explicit DiaBookmark(QWidget* parent = nullptr);

    void setup(const Bookmark& bookmark);
    // The (title, path) pair; the title as OK took it, trimmed.
    Bookmark result_bookmark() const { return m_bookmark; }
    QLineEdit* nameField() const { return m_name; }
    QLineEdit* pathField() const { return m_path; }

    void on_ok();

    // Shows the dialog titled "Bookmark" preset with bookmark; true and *edited on OK.
    static bool edit(QWidget* parent, const Bookmark& bookmark, Bookmark* edited);
    // When set, called with the set-up dialog instead of running it; returns "accepted".
    static std::function<bool(DiaBookmark& dialog)> testHook;

private:
    Bookmark m_bookmark;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_path = nullptr;
};

} // namespace zemFinder
