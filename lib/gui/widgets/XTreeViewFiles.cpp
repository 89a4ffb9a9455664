#include "XTreeViewFiles.h"

#include "Logger.h"
#include "XNode.h"
#include "XTreeFilterProxy.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

namespace zem {

namespace {
enum Column { COL_NAME = 0, COL_SIZE = 1, COL_TYPE = 2, COL_DATE = 3 };
const QString KEY_EXPANDED = QStringLiteral("expanded");
const QString KEY_HEADER = QStringLiteral("header");
const QString KEY_HEADER_STATE = QStringLiteral("headerState");

bool isFileSystemRoot(const QString& path)
{
    return path.isEmpty() || QDir(path).isRoot();
}
} // namespace

XTreeViewFiles::XTreeViewFiles(QWidget* parent)
    : QTreeView(parent), m_fs(new QFileSystemModel(this)), m_proxy(new XTreeFilterProxy(m_fs, this))
{
    m_fs->setReadOnly(true);
    applyModelFilter();
    m_fs->setRootPath(QDir::rootPath());
    setModel(m_proxy);
    setUniformRowHeights(true);   // lets the view skip measuring every row of a huge folder
    setAnimated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setColumnHidden(COL_TYPE, true);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(COL_NAME, QHeaderView::Stretch);
    showHeaderDetails(false);

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    selectionListener.fire(fileAt(current));
            });
    connect(this, &QTreeView::doubleClicked, this,
            [this](const QModelIndex& index) { doubleClickListener.fire(fileAt(index)); });
    // The model reads folders on its own thread and sorts them later still; rows arriving above
    // a selection push it out of view, so it is scrolled back until the user moves the view.
    connect(m_proxy, &QAbstractItemModel::rowsInserted, this, &XTreeViewFiles::schedule_scroll);
    connect(m_proxy, &QAbstractItemModel::layoutChanged, this, &XTreeViewFiles::schedule_scroll);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { m_pending.clear(); });
}

XTreeViewFiles::~XTreeViewFiles() = default;

QModelIndex XTreeViewFiles::indexOfPath(const QString& path) const
{
    if (path.isEmpty())
        return QModelIndex();
    const QModelIndex source = m_fs->index(QFileInfo(path).absoluteFilePath());
    return source.isValid() ? m_proxy->mapFromSource(source) : QModelIndex();
}

QFileInfo XTreeViewFiles::fileAt(const QModelIndex& index) const
{
    if (!index.isValid())
        return QFileInfo();
    return m_fs->fileInfo(m_proxy->mapToSource(index.sibling(index.row(), COL_NAME)));
}

bool XTreeViewFiles::selectFile(const QString& path, bool expand)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists()) {
        Logger::log(xprintF(QStringLiteral("XTreeViewFiles::selectFile, <<<$>>> does not exist"), path), LOG_WARN);
        return false;
    }
    const QModelIndex index = indexOfPath(file.absoluteFilePath());
    if (!index.isValid()) {
        Logger::log(xprintF(QStringLiteral("XTreeViewFiles::selectFile, <<<$>>> not in the tree"), path), LOG_WARN);
        return false;
    }
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        QTreeView::expand(parent);
    if (expand && file.isDir())
        QTreeView::expand(index);
    setCurrentIndex(index);
    scrollTo(index);
    m_pending = file.absoluteFilePath();
    return true;
}

void XTreeViewFiles::schedule_scroll()
{
    if (m_pending.isEmpty() || m_scrollScheduled)
        return;
    m_scrollScheduled = true;
    // After the view has laid out the new rows.
    QTimer::singleShot(0, this, [this] {
        m_scrollScheduled = false;
        const QModelIndex current = currentIndex();
        if (m_pending.isEmpty() || !current.isValid() || fileAt(current).absoluteFilePath() != m_pending)
            return;
        scrollTo(current);
    });
}

void XTreeViewFiles::stop_following()
{
    m_pending.clear();
}

QFileInfo XTreeViewFiles::selectedFile() const
{
    return fileAt(currentIndex());
}

void XTreeViewFiles::set_root_path(const QString& path)
{
    m_root = isFileSystemRoot(path) ? QString() : QFileInfo(path).absoluteFilePath();
    const QModelIndex index = indexOfPath(m_root);
    setRootIndex(m_root.isEmpty() ? QModelIndex() : index);
    rootChangedListener.fire(m_root);
}

bool XTreeViewFiles::is_root_path() const
{
    return isFileSystemRoot(m_root);
}

void XTreeViewFiles::set_filter(const QSet<QString>& folders)
{
    QSet<QString> absolute;
    for (const QString& folder : folders)
        absolute.insert(QFileInfo(folder).absoluteFilePath());
    m_proxy->setHiddenFolders(absolute);
}

void XTreeViewFiles::remove_filter()
{
    m_proxy->setHiddenFolders({});
}

void XTreeViewFiles::setDirOnly(bool on)
{
    m_dirOnly = on;
    applyModelFilter();
}

void XTreeViewFiles::showHeaderDetails(bool on)
{
    m_details = on;
    setHeaderHidden(!on);
    setColumnHidden(COL_SIZE, !on);
    setColumnHidden(COL_DATE, !on);
}

void XTreeViewFiles::set_hidden_files(bool on)
{
    m_hidden = on;
}

void XTreeViewFiles::rebuild_model()
{
    applyModelFilter();
}

void XTreeViewFiles::applyModelFilter()
{
    QDir::Filters filters = QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives;
    if (!m_dirOnly)
        filters |= QDir::Files;
    if (m_hidden)
        filters |= QDir::Hidden;
    if (m_fs->filter() != filters)
        m_fs->setFilter(filters);
}

void XTreeViewFiles::collectExpanded(const QModelIndex& parent, QStringList& out) const
{
    const int rows = m_proxy->rowCount(parent);
    for (int row = 0; row < rows; ++row) {
        const QModelIndex index = m_proxy->index(row, COL_NAME, parent);
        if (!isExpanded(index))
            continue;
        out << fileAt(index).absoluteFilePath();
        collectExpanded(index, out);
    }
}

QStringList XTreeViewFiles::expandedPaths() const
{
    QStringList out;
    collectExpanded(rootIndex(), out);
    return out;
}

void XTreeViewFiles::saveStates(XNode* node) const
{
    if (!node)
        return;
    node->setStringArray(KEY_EXPANDED, expandedPaths());
    node->setBool(KEY_HEADER, m_details);
    node->setString(KEY_HEADER_STATE, QString::fromLatin1(header()->saveState().toBase64()));
}

void XTreeViewFiles::restoreStates(XNode* node)
{
    if (!node)
        return;
    if (node->has(KEY_HEADER_STATE)) {
        header()->restoreState(QByteArray::fromBase64(node->getString(KEY_HEADER_STATE).toLatin1()));
        // The header state carries column visibility; the details switch decides that.
        setColumnHidden(COL_TYPE, true);
        showHeaderDetails(m_details);
    }
    // Parents come before their children in the list, so each folder is visible when it opens.
    for (const QString& path : node->getStringArray(KEY_EXPANDED)) {
        if (!QFileInfo::exists(path))
            continue;
        const QModelIndex index = indexOfPath(path);
        if (index.isValid())
            QTreeView::expand(index);
    }
}

void XTreeViewFiles::expandRoot()
{
    if (rootIndex().isValid())
        return;   // a folder as root: its content is the top level already
    const QModelIndex top = m_proxy->index(0, COL_NAME);
    if (top.isValid())
        QTreeView::expand(top);
}

void XTreeViewFiles::collapse_all_but_root()
{
    collapseAll();
    expandRoot();
}

QFileInfo XTreeViewFiles::current_hoover() const
{
    const QPoint pos = viewport()->mapFromGlobal(QCursor::pos());
    if (!viewport()->rect().contains(pos))
        return QFileInfo();
    return fileAt(indexAt(pos));
}

bool XTreeViewFiles::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel)
        stop_following();
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QFileInfo file = fileAt(indexAt(help->pos()));
        const QString text = (toolTipProvider && !file.filePath().isEmpty()) ? toolTipProvider(file) : QString();
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport());
        return true;
    }
    return QTreeView::viewportEvent(event);
}

void XTreeViewFiles::contextMenuEvent(QContextMenuEvent* event)
{
    contextMenuListener.fire(event->globalPos(), fileAt(indexAt(event->pos())));
    event->accept();
}

} // namespace zem
