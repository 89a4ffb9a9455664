#pragma once
// The inside of PreviewDir: the folder table, the small container beside it with its context
// "CONTEXT-RIGHT-DIR", the sort state and the splitter. Owned by its PreviewDir; GUI thread only.
#include "dir/ContextPreviews.h"
#include "dir/PreviewDir.h"
#include "gui/ThumbLoader.h"
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
class PanelThumbs;
class PanThumb;

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
    // 0 the table, 1 the thumbnails (other values change nothing); refills the shown view.
    void set_view(int view);
    bool thumbs_shown() const;
    // Lists path into the thumbnail wall and starts loading the visible pictures.
    void load_thumbs(const QString& dirPath);

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
    PanelThumbs* thumbs = nullptr;
    ThumbLoader loader;
    int thumbSize = 128;
    // The wall is filled this long after a folder was opened, so that running through folders
    // in the tree lists and decodes only the one the user stays at. Tests set it to 0.
    int thumbDelayMs = 500;

    zem::XEventListener<void(const QFileInfo&)> doubleClicked;
    zem::XEventListener<void(const QFileInfo&)> entered;
    zem::XEventListener<void(const QFileInfo&)> selected;
    zem::XEventListener<void(const QFileInfo&)> contextMenu;

private:
    void fill_row(int row, const QFileInfo& entry);
    void on_selection_changed();
    void apply_sort_indicator();
    void setup_thumbs();
    void on_visible_tiles(const QList<PanThumb*>& tiles);

    QWidget* m_owner;
    // Context of the Qt connections: deleted first, so that no signal reaches a half-destroyed Impl.
    std::unique_ptr<QObject> m_guard;
    // Previews of the small container already announced through willAppear.
    QSet<zem::Preview*> m_announced;
    // Counts folders opened in thumbnail view; a delayed fill of an older one is dropped.
    quint64 m_thumbGeneration = 0;
};

} // namespace zemFinder
