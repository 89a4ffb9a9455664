#include "PanelThumbs.h"

#include "Logger.h"
#include "PanThumb.h"
#include "XThread.h"
#include "widgets/XFlowLayout.h"
#include "widgets/XGlassLabel.h"
#include "widgets/XThumb.h"
#include "widgets/XVScrollPanel.h"

#include <QScrollBar>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
// Scrolling raises the visibility check at most this often: decoding what flies past during a
// fast scroll would only delay what the user stops at.
constexpr int kBetweenEvents = 500;
// The first check waits for the layout to have placed the new tiles.
constexpr int kTriggerDelay = 100;
constexpr int kTileSpacing = 8;
// Tiles farther than this many view heights from the view give their pictures back.
constexpr int kKeptViews = 2;
// The captions' font: small, so that two lines fit below the picture.
constexpr int kCaptionPointSize = 9;
} // namespace

PanelThumbs::PanelThumbs(QWidget* parent) : zem::XPanel(true, parent)
{
    setName(QStringLiteral("panelThumbs"));
    set_args(0, 0);
    m_scroll = add(new zem::XVScrollPanel(this), 1);
    m_scroll->setBetweenEvents(kBetweenEvents);
    QWidget* children = m_scroll->childrenPanel();
    // One font for all captions, inherited: no font or style sheet per tile.
    QFont caption = children->font();
    caption.setPointSize(kCaptionPointSize);
    children->setFont(caption);
    m_flow = new zem::XFlowLayout(children, kTileSpacing);
    m_flow->setContentsMargins(kTileSpacing, kTileSpacing, kTileSpacing, kTileSpacing);
    m_scroll->contentsChanged.add([this] { on_scroll_contents(); });
}

void PanelThumbs::set_dirs_and_files(QWidget* mainWindow, const QList<QFileInfo>& files, int size)
{
    QWidget* children = m_scroll->childrenPanel();
    children->setUpdatesEnabled(false);
    m_flow->clear();
    Logger::log(xprintF(QStringLiteral("PanelThumbs::set_dirs_and_files, ar:$, width/thumb:$"), files.size(), size),
                zem::LOG_PROGRESS);
    m_mainWindow = mainWindow;
    m_selected = nullptr;
    for (const QFileInfo& fi : files) {
        auto* tile = new PanThumb(children);
        m_flow->addWidget(tile);
        tile->set_file(fi, size);
        connect_tile(tile);
    }
    m_scroll->verticalScrollBar()->setValue(0);
    children->setUpdatesEnabled(true);
}

void PanelThumbs::connect_tile(PanThumb* tile)
{
    connect(tile->thumb(), &zem::XThumb::loaded, tile, [tile] { tile->refresh_label(); });
    zem::XGlassLabel* glass = tile->glass();
    glass->onClick = [this, tile] {
        select_tile(tile);
        clicked.fire(tile->file());
    };
    glass->onDoubleClick = [this, tile] { doubleClicked.fire(tile->file()); };
    glass->onContextMenu = [this, tile] {
        if (!m_mainWindow) {
            Logger::log(QStringLiteral("NO WINFINDER"), zem::LOG_PROGRESS);
            return;
        }
        Logger::log(QStringLiteral("PanelThumbs::set_dirs_and_files - context, ......"), zem::LOG_PROGRESS);
        select_tile(tile);
        contextMenu.fire(tile->file());
    };
}

void PanelThumbs::select_tile(PanThumb* tile)
{
    if (m_selected)
        m_selected->glass()->setHighlighted(false);
    m_selected = tile;
    if (tile)
        tile->glass()->setHighlighted(true);
}

void PanelThumbs::trigger_thumbs_appear_event()
{
    Logger::log(QStringLiteral("PanelThumbs::trigger_thumbs_appear_event"), zem::LOG_PROGRESS);
    QPointer<zem::XVScrollPanel> scroll = m_scroll;
    zem::qt::run_in_Gui_Thread(
        [scroll] {
            if (scroll)
                scroll->raise_event();
        },
        kTriggerDelay);
}

void PanelThumbs::on_scroll_contents()
{
    release_far_pictures();
    const QList<PanThumb*> visible = visible_tiles();
    Logger::log(xprintF(QStringLiteral("scroll contents, ar:$"), visible.size()), zem::LOG_PROGRESS);
    visibleTiles.fire(visible);
}

void PanelThumbs::release_far_pictures()
{
    const int viewHeight = m_scroll->viewport()->height();
    const int top = -m_scroll->childrenPanel()->pos().y();
    const int keptTop = top - kKeptViews * viewHeight;
    const int keptBottom = top + (kKeptViews + 1) * viewHeight;
    for (int i = 0; i < m_flow->count(); ++i) {
        QWidget* w = m_flow->itemAt(i)->widget();
        if (auto* tile = qobject_cast<PanThumb*>(w); tile && (w->geometry().bottom() < keptTop || w->y() > keptBottom))
            tile->thumb()->release_picture();
    }
}

QList<PanThumb*> PanelThumbs::tiles() const
{
    QList<PanThumb*> list;
    for (int i = 0; i < m_flow->count(); ++i)
        if (auto* tile = qobject_cast<PanThumb*>(m_flow->itemAt(i)->widget()))
            list.append(tile);
    return list;
}

QList<PanThumb*> PanelThumbs::visible_tiles() const
{
    QList<PanThumb*> list;
    for (QWidget* w : m_scroll->visible_components())
        if (auto* tile = qobject_cast<PanThumb*>(w))
            list.append(tile);
    return list;
}

} // namespace zemFinder
