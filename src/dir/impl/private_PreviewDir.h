#pragma once
// The inside of PreviewDir: the folder table, the small container beside it with its context
// "CONTEXT-RIGHT-DIR", the sort state and the splitter. Owned by its PreviewDir; GUI thread only.
#include "dir/ContextPreviews.h"
#include "dir/PreviewDir.h"
#include "XEventListener.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QSet>
#include <QString>
#include <memory>

class QTableWidget;

namespace zem {
class Preview;
class XNode;
class XPanel;
class XPanelStacked;
class XSplitter;
} // namespace zem

namespace zemFinder {

class LimitedPreviewContainer;

class PreviewDir::Impl {
public:
    enum Column { COL_NAME = 0, COL_SIZE = 1, COL_DATE = 2 };

    explicit Impl(QWidget* owner);
    ~Impl();

    void ini();
    // Lists path into the table (sorted, hidden entries as set) and shows its summary beside it.
    void setFilepath(const QString& path);
    // What a click on the header of column does: same column flips its direction.
    void on_header_clicked(int column);
    // The flags the listing is sorted with (kind | DirsFirst | IgnoreCase, Reversed if descending).
    QDir::SortFlags sortFlags() const;
    QDir::Filters listFilters() const;
    QFileInfo entry_under_mouse() const;

    void restore(zem::XNode* node);
    void store();

    zem::XPanel* panel = nullptr;
    QString path;
    zem::XNode* node = nullptr;
    QList<QFileInfo> entries;
    zem::XSplitter* splitter = nullptr;
    LimitedPreviewContainer* container = nullptr;
    QDir::SortFlag sortKind = QDir::Name;
    int sortColumn = COL_NAME;
    bool ascending[4] = {true, true, true, true};
    bool showHidden = false;
    QFileInfo current;
    ContextPreviews context{QStringLiteral("CONTEXT-RIGHT-DIR")};
    zem::XEventListener<void(zem::Preview*)> willAppear;
    zem::XPanelStacked* stack = nullptr;
    QTableWidget* table = nullptr;

    zem::XEventListener<void(const QFileInfo&)> doubleClicked;
    zem::XEventListener<void(const QFileInfo&)> entered;
    zem::XEventListener<void(const QFileInfo&)> selected;
    zem::XEventListener<void(const QFileInfo&)> contextMenu;

private:
    void fill_row(int row, const QFileInfo& entry);
    void on_selection_changed();
    void apply_sort_indicator();

    QWidget* m_owner;
    // Context of the Qt connections: deleted first, so that no signal reaches a half-destroyed Impl.
    std::unique_ptr<QObject> m_guard;
    // Previews of the small container already announced through willAppear.
    QSet<zem::Preview*> m_announced;
};

} // namespace zemFinder
