#pragma once
// The directory tree: a QTreeView over a QFileSystemModel, which reads folders on its own thread,
// so a slow or huge folder never blocks the GUI thread. The view owns its models.
// Events are fired on the GUI thread.
#include "XEventListener.h"

#include <QFileInfo>
#include <QSet>
#include <QTreeView>
#include <functional>

class QFileSystemModel;

namespace zem {

class XNode;
class XTreeFilterProxy;

class XTreeViewFiles : public QTreeView {
    Q_OBJECT
public:
    explicit XTreeViewFiles(QWidget* parent = nullptr);
    ~XTreeViewFiles() override;

    QFileSystemModel* fileModel() const { return m_fs; }

    // Makes path the current entry (its parents are expanded so that it is visible); with expand a
    // folder is opened too. False when the path does not exist or is not in the tree.
    bool selectFile(const QString& path, bool expand);
    // The current entry; an empty QFileInfo when there is none.
    QFileInfo selectedFile() const;
    QFileInfo fileAt(const QModelIndex& index) const;
    // The view index of path; invalid when the tree does not show it.
    QModelIndex indexOfPath(const QString& path) const;

    // The folder the tree starts at; empty (or a file-system root) shows the whole file system.
    void set_root_path(const QString& path);
    QString root_path() const { return m_root; }
    bool is_root_path() const;

    void set_filter(const QSet<QString>& folders);
    void remove_filter();
    void setDirOnly(bool on);
    bool isDirOnly() const { return m_dirOnly; }
    // Size and date columns with a header, or the name alone.
    void showHeaderDetails(bool on);
    bool isHeaderDetails() const { return m_details; }
    void set_hidden_files(bool on);
    bool is_hidden_files() const { return m_hidden; }
    // Re-reads the model's filter (hidden files, folders only).
    void rebuild_model();

    // Expanded folders, header details and column layout.
    void saveStates(XNode* node) const;
    void restoreStates(XNode* node);
    QStringList expandedPaths() const;
    void expandRoot();
    // Collapses every branch and opens the root again.
    void collapse_all_but_root();
    // The entry under the mouse; empty when the mouse is not over an entry.
    QFileInfo current_hoover() const;

    XEventListener<void(const QFileInfo&)> selectionListener;
    XEventListener<void(const QFileInfo&)> doubleClickListener;
    XEventListener<void(const QPoint&, const QFileInfo&)> contextMenuListener;
    XEventListener<void(const QString&)> rootChangedListener;
    // Text of the tooltip for an entry; empty text shows none.
    std::function<QString(const QFileInfo&)> toolTipProvider;

protected:
    bool viewportEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void schedule_scroll();
    // The user moved the view: the selection is no longer kept in view.
    void stop_following();
    void applyModelFilter();
    void collectExpanded(const QModelIndex& parent, QStringList& out) const;

    QFileSystemModel* m_fs;
    XTreeFilterProxy* m_proxy;
    QString m_root;
    QString m_pending;   // selected path kept in view while its folders are read
    bool m_scrollScheduled = false;
    bool m_dirOnly = false;
    bool m_details = false;
    bool m_hidden = false;
};

} // namespace zem
