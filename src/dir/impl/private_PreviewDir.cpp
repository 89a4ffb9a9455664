#include "private_PreviewDir.h"

#include "Logger.h"
#include "XFormat.h"
#include "XLang.h"
#include "XNode.h"
#include "XTheme.h"
#include "XThread.h"
#include "XTools.h"
#include "XDirInfo.h"
#include "dir/LimitedPreviewContainer.h"
#include "gui/PanThumb.h"
#include "gui/PanelThumbs.h"
#include "preview/Preview.h"
#include "widgets/XPanel.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XSplitter.h"

#include <QCursor>
#include <QPointer>
#include <QDateTime>
#include <QFileIconProvider>
#include <QHash>
#include <QHeaderView>
#include <QTableWidget>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
const QString KEY_SPLITTER = QStringLiteral("splitter");
// Rows a little taller than the font so that the icons (16 px) have air.
constexpr int kRowHeight = 22;
constexpr int kWidthSize = 140;
constexpr int kWidthDate = 160;

QStringList headerLabels()
{
    return {zem::xt("Name"), zem::xt("Size"), zem::xt("Date")};
}

// Asking the desktop for every file's icon is slow in large folders; files of one suffix share one.
class IconCache {
public:
    QIcon icon(const QFileInfo& fi)
    {
        if (fi.isDir())
            return m_provider.icon(QFileIconProvider::Folder);
        const QString key = fi.suffix().toLower();
        auto it = m_icons.find(key);
        if (it == m_icons.end())
            it = m_icons.insert(key, m_provider.icon(fi));
        return it.value();
    }

private:
    QFileIconProvider m_provider;
    QHash<QString, QIcon> m_icons;
};

IconCache& iconCache()
{
    static IconCache cache;
    return cache;
}
} // namespace

PreviewDir::Impl::Impl(QWidget* owner) : m_owner(owner), m_guard(std::make_unique<QObject>()) {}

PreviewDir::Impl::~Impl()
{
    m_guard.reset();
    delete panel;
}

void PreviewDir::Impl::ini()
{
    if (panel) {
        Logger::log(QStringLiteral("PreviewDir::Impl::ini - already initialized"), zem::LOG_ERROR);
        return;
    }
    for (bool& flag : ascending)
        flag = true;
    panel = new zem::XPanel(true, m_owner);
    panel->set_args(0, 0);

    splitter = panel->add(new zem::XSplitter(Qt::Vertical, panel), 1);
    stack = new zem::XPanelStacked(splitter);
    table = stack->add(new QTableWidget(stack));
    table->setObjectName(QStringLiteral("previewDir"));
    splitter->addWidget(stack);
    setup_thumbs();

    container = new LimitedPreviewContainer(splitter);
    container->set_hidden_files(showHidden);
    splitter->addWidget(container);
    context.ini(table, container);
    container->addStandardPreviews();
    // A preview of the small container asks for a window of its own through this directory
    // preview, whose container passes it on to the main window.
    container->setStandAloneListener([this](const zem::Preview* p) {
        if (auto* owner = qobject_cast<zem::Preview*>(m_owner))
            owner->requestStandAlone.fire(p);
    });
    container->setContentsMargins(0, 0, 0, 0);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    QObject::connect(container, &QStackedWidget::currentChanged, m_guard.get(), [this](int index) {
        // A preview of the small container is about to be seen for the first time.
        zem::Preview* p = container->previewByWidget(container->widget(index));
        if (p && !m_announced.contains(p)) {
            m_announced.insert(p);
            willAppear.fire(p);
        }
    });

    table->setRowCount(0);
    table->setColumnCount(3);
    table->setHorizontalHeaderLabels(headerLabels());
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(kRowHeight);
    table->verticalHeader()->hide();
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setShowGrid(false);
    table->setWordWrap(false);
    table->setMouseTracking(true);
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    table->horizontalHeader()->setSortIndicatorShown(true);
    table->horizontalHeader()->setHighlightSections(false);

    QObject::connect(table, &QTableWidget::itemSelectionChanged, m_guard.get(), [this] { on_selection_changed(); });
    QObject::connect(table, &QTableWidget::cellDoubleClicked, m_guard.get(), [this](int row, int) {
        if (row >= 0 && row < entries.size())
            doubleClicked.fire(entries[row]);
    });
    QObject::connect(table, &QTableWidget::cellEntered, m_guard.get(), [this](int row, int) {
        if (row >= 0 && row < entries.size()) {
            current = entries[row];
            entered.fire(current);
        }
    });
    QObject::connect(table, &QWidget::customContextMenuRequested, m_guard.get(), [this](const QPoint& pos) {
        const int row = table->rowAt(pos.y());
        if (row >= 0 && row < entries.size())
            contextMenu.fire(entries[row]);
    });
    QObject::connect(table->horizontalHeader(), &QHeaderView::sectionClicked, panel,
                     [this](int column) { on_header_clicked(column); });

    const QColor hover = zem::XTheme::color(zem::XTheme::RowHover);
    table->setStyleSheet(xprintF(QStringLiteral("QTableView::item { padding: 0px 6px; } "
                                                "QTableView::item:hover {color:$; background-color:$; }"),
                                 zem::XTheme::textOn(hover).name(), hover.name()));
}

void PreviewDir::Impl::setup_thumbs()
{
    thumbs = stack->add(new PanelThumbs(stack));
    thumbs->visibleTiles.add([this](const QList<PanThumb*>& tiles) { on_visible_tiles(tiles); });
    // A tile answers the mouse as a row of the table does.
    thumbs->clicked.add([this](const QFileInfo& fi) {
        context.select_file(fi);
        selected.fire(fi);
    });
    thumbs->doubleClicked.add([this](const QFileInfo& fi) { doubleClicked.fire(fi); });
    thumbs->contextMenu.add([this](const QFileInfo& fi) { contextMenu.fire(fi); });
}

void PreviewDir::Impl::on_visible_tiles(const QList<PanThumb*>& tiles)
{
    for (PanThumb* tile : tiles)
        loader.add(tile);
    loader.start();
}

bool PreviewDir::Impl::thumbs_shown() const
{
    return stack && thumbs && stack->currentWidget() == thumbs;
}

void PreviewDir::Impl::set_view(int view)
{
    if (!stack)
        return;
    if (view == 0) {
        Logger::log(QStringLiteral("private_PreviewDir::on_active_win_view, da table"), zem::LOG_PROGRESS);
        loader.reset();
        stack->setCurrentWidget(table);
    } else if (view == 1) {
        Logger::log(QStringLiteral("private_PreviewDir::on_active_win_view, da thumb"), zem::LOG_PROGRESS);
        stack->setCurrentWidget(thumbs);
    }
    if (!path.isEmpty())
        setFilepath(path);
}

void PreviewDir::Impl::load_thumbs(const QString& dirPath)
{
    const QList<QFileInfo> list = zem::XDirInfo::get_flat_directory_info(dirPath, showHidden);
    thumbs->set_dirs_and_files(m_owner ? m_owner->window() : nullptr, list, thumbSize);
    thumbs->trigger_thumbs_appear_event();
    if (QFileInfo(dirPath).isDir())
        context.select_file(QFileInfo(dirPath));
}

void PreviewDir::Impl::on_selection_changed()
{
    const QModelIndexList rows = table->selectionModel()->selectedRows();
    if (rows.size() != 1)
        return;
    const int row = rows.first().row();
    if (row < 0 || row >= entries.size())
        return;
    context.select_file(entries[row]);
    selected.fire(entries[row]);
}

void PreviewDir::Impl::on_header_clicked(int column)
{
    if (column < 0 || column > COL_DATE)
        return;
    if (column == sortColumn)
        ascending[column] = !ascending[column];
    sortColumn = column;
    sortKind = column == COL_NAME ? QDir::Name : column == COL_SIZE ? QDir::Size : QDir::Time;
    setFilepath(path);
    table->viewport()->update();
}

QDir::SortFlags PreviewDir::Impl::sortFlags() const
{
    QDir::SortFlags flags = QDir::SortFlags(sortKind) | QDir::DirsFirst | QDir::IgnoreCase;
    if (!ascending[sortColumn])
        flags |= QDir::Reversed;
    return flags;
}

QDir::Filters PreviewDir::Impl::listFilters() const
{
    QDir::Filters filters = QDir::Files | QDir::AllDirs | QDir::NoDotAndDotDot;
    if (showHidden)
        filters |= QDir::Hidden;
    return filters;
}

void PreviewDir::Impl::setFilepath(const QString& dirPath)
{
    Logger::log(xprintF(QStringLiteral("PreviewDir::Impl::setFilepath, '$'"), dirPath), zem::LOG_PROGRESS);
    path = dirPath;
    if (!table)
        return;
    if (thumbs_shown()) {
        // The old folder's pictures are of no interest any more, whether decoding or waiting.
        loader.reset();
        const quint64 generation = ++m_thumbGeneration;
        QPointer<QObject> guard = m_guard.get();
        zem::qt::run_in_Gui_Thread(
            [this, guard, generation, dirPath] {
                if (guard && generation == m_thumbGeneration)
                    load_thumbs(dirPath);
            },
            thumbDelayMs);
        return;
    }
    {
        const QSignalBlocker blocker(table);
        table->clearSelection();
        entries = QDir(dirPath).entryInfoList(listFilters(), sortFlags());
        table->setRowCount(entries.size());
        table->setColumnCount(3);
        table->setHorizontalHeaderLabels(headerLabels());
        QHeaderView* header = table->horizontalHeader();
        header->setSectionResizeMode(COL_NAME, QHeaderView::Stretch);
        header->setSectionResizeMode(COL_SIZE, QHeaderView::Fixed);
        header->setSectionResizeMode(COL_DATE, QHeaderView::Fixed);
        header->resizeSection(COL_SIZE, kWidthSize);
        header->resizeSection(COL_DATE, kWidthDate);
        for (int row = 0; row < entries.size(); ++row)
            fill_row(row, entries[row]);
        table->scrollToTop();
    }
    if (QFileInfo(dirPath).isDir())
        context.select_file(QFileInfo(dirPath));
    apply_sort_indicator();
}

void PreviewDir::Impl::fill_row(int row, const QFileInfo& entry)
{
    auto item = [this, row](int column) {
        QTableWidgetItem* it = table->item(row, column);
        if (!it) {
            it = new QTableWidgetItem;
            table->setItem(row, column, it);
        }
        return it;
    };
    QTableWidgetItem* name = item(COL_NAME);
    name->setText(entry.fileName());
    name->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    name->setIcon(iconCache().icon(entry));
    name->setToolTip(entry.absoluteFilePath());
    QTableWidgetItem* size = item(COL_SIZE);
    size->setText(zem::XFormat::fileSize(entry));
    size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QTableWidgetItem* date = item(COL_DATE);
    date->setText(zem::XFormat::fileDate(entry));
    date->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void PreviewDir::Impl::apply_sort_indicator()
{
    // QDir sorts sizes largest first and times newest first; the arrow shows what the user sees.
    const bool up = sortColumn == COL_NAME ? ascending[sortColumn] : !ascending[sortColumn];
    table->horizontalHeader()->setSortIndicator(sortColumn, up ? Qt::AscendingOrder : Qt::DescendingOrder);
}

QFileInfo PreviewDir::Impl::entry_under_mouse() const
{
    if (!table || !table->isVisible())
        return QFileInfo();
    const QPoint pos = table->viewport()->mapFromGlobal(QCursor::pos());
    if (!table->viewport()->rect().contains(pos))
        return QFileInfo();
    return current;
}

void PreviewDir::Impl::restore(zem::XNode* n)
{
    node = n;
    if (splitter && !splitter->nodeToState(n, KEY_SPLITTER))
        splitter->setSizes({300, 200});
}

void PreviewDir::Impl::store()
{
    if (splitter && node)
        splitter->stateToNode(node, KEY_SPLITTER);
}

} // namespace zemFinder
