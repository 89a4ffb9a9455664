#pragma once
// The thumbnail wall of the directory preview: a vertically scrolling flow of PanThumb tiles, one
// per entry. Tiles are cheap to create (no stat, no style sheet); pictures are loaded only for
// tiles that become visible: after scrolling (at most every 500 ms) or when asked to by
// trigger_thumbs_appear_event, visibleTiles fires with the visible tiles and the owner queues
// them in its ThumbLoader. GUI thread only.
#include "XEventListener.h"
#include "widgets/XPanel.h"

#include <QFileInfo>
#include <QList>
#include <QPointer>

namespace zem {
class XFlowLayout;
class XVScrollPanel;
} // namespace zem

namespace zemFinder {

class PanThumb;

class PanelThumbs : public zem::XPanel {
    Q_OBJECT
public:
    explicit PanelThumbs(QWidget* parent = nullptr);

    // Replaces the tiles by one per file (in list order), each size pixels wide. mainWindow is the
    // window whose context menu a right click opens; without one the click is only logged.
    void set_dirs_and_files(QWidget* mainWindow, const QList<QFileInfo>& files, int size);
    // Asks (100 ms later, through the GUI queue) for the check of newly visible tiles.
    void trigger_thumbs_appear_event();
    // The check itself: tiles far out of view give their pictures back, then visibleTiles
    // fires with the tiles in view.
    void on_scroll_contents();

    QList<PanThumb*> tiles() const;
    QList<PanThumb*> visible_tiles() const;
    zem::XVScrollPanel* scrollPanel() const { return m_scroll; }
    PanThumb* selectedTile() const { return m_selected; }

    zem::XEventListener<void(const QList<PanThumb*>&)> visibleTiles;
    zem::XEventListener<void(const QFileInfo&)> clicked;
    zem::XEventListener<void(const QFileInfo&)> doubleClicked;
    zem::XEventListener<void(const QFileInfo&)> contextMenu;

private:
    void connect_tile(PanThumb* tile);
    void select_tile(PanThumb* tile);
    void release_far_pictures();

    zem::XVScrollPanel* m_scroll;
    zem::XFlowLayout* m_flow;
    QPointer<QWidget> m_mainWindow;
    QPointer<PanThumb> m_selected;
};

} // namespace zemFinder
