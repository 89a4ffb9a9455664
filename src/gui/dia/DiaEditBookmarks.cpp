#include "DiaEditBookmarks.h"

#include "Bookmarks.h"
#include "DiaBookmark.h"
#include "ListModelBookmarks.h"
#include "Logger.h"
#include "XLang.h"
#include "XTheme.h"
#include "widgets/XBox.h"
#include "widgets/XButton.h"
#include "widgets/XPanel.h"

#include <QBoxLayout>
#include <QListView>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;

std::function<bool(DiaEditBookmarks&)> DiaEditBookmarks::testHook;

namespace {
constexpr int LIST_MIN_WIDTH = 480;

void log(const QString& text)
{
    Logger::log(text, zem::LOG_PROGRESS);
}

zem::XButton* textButton(zem::XPanel* panel, const QString& icon, const QString& text)
{
    zem::XButton* button = panel->add(new zem::XButton);
    button->setText(text);
    button->setIcon(QIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return button;
}
} // namespace

DiaEditBookmarks::DiaEditBookmarks(QWidget* parent) : QDialog(parent)
{
    auto* content = new zem::XPanel(true, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);

    zem::XPanel* row = content->createPanelHorizontal();
    m_model = new ListModelBookmarks(Bookmarks::from_tree(), this);
    m_list = row->add(new QListView, 1);
    m_list->setModel(m_model);
    m_list->setMinimumWidth(LIST_MIN_WIDTH);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);

    zem::XPanel* buttons = row->createPanelVertical();
    auto icon = [](const char* name) { return zem::XTheme::iconPath(QString::fromLatin1(name)); };
    *buttons->createButtonImageIcon(icon("ar_up.svg"), xt("Move Bookmark up")) = [this] { on_up(); };
    *buttons->createButtonImageIcon(icon("ar_down.svg"), xt("Move Bookmark down")) = [this] { on_down(); };
    *buttons->createButtonImageIcon(icon("edit.svg"), xt("Edit Bookmark")) = [this] { on_edit_bookmark(); };
    *buttons->createButtonImageIcon(icon("delete.svg"), xt("Delete Bookmark")) = [this] { delete_row(); };
    buttons->addStretch();
    *buttons->createButtonImageIcon(icon("delete_all.svg"), xt("Delete all Bookmark")) = [this] { delete_all(); };

    zem::XPanel* bottom = content->createPanelHorizontal();
    bottom->addStretch();
    *textButton(bottom, QStringLiteral(":/zf/icons/apply-ok.svg"), xt("OK")) = [this] { on_accept(); };
    *textButton(bottom, QStringLiteral(":/zf/icons/apply-cancel.svg"), xt("Cancel")) = [this] { reject(); };
}

int DiaEditBookmarks::selected_row() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void DiaEditBookmarks::select_row(int row)
{
    if (row < 0 || row >= m_model->rowCount()) {
        m_list->selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    m_list->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    m_list->setCurrentIndex(index);
}

void DiaEditBookmarks::on_up()
{
    const int row = selected_row();
    if (m_model->rowCount() < 2 || row < 1)
        return;
    log(xprintF(QStringLiteral("DiaEditBookmarks::setup, up, row:$"), row));
    m_model->swap(row, row - 1);
    select_row(row - 1);
}

void DiaEditBookmarks::on_down()
{
    const int row = selected_row();
    if (m_model->rowCount() < 2 || row < 0 || row + 1 >= m_model->rowCount())
        return;
    m_model->swap(row, row + 1);
    select_row(row + 1);
}

void DiaEditBookmarks::on_edit_bookmark()
{
    const int row = selected_row();
    if (row < 0)
        return;
    Bookmark edited;
    if (!DiaBookmark::edit(this, m_model->bmark_at(row), &edited))
        return;
    log(QStringLiteral("WinFinder::DiaEditBookmarks::on_edit_bookmark"));
    log(xprintF(QStringLiteral("bm:$"), edited.toString()));
    if (edited.title.trimmed().isEmpty())
        return;
    log(xprintF(QStringLiteral("DiaEditBookmarks::on_edit_bookmark, got bm <$>"), edited.toString()));
    m_model->set_bmark_at(row, edited);
    select_row(row);
}

void DiaEditBookmarks::delete_row()
{
    const int row = selected_row();
    if (row < 0)
        return;
    log(xprintF(QStringLiteral("DiaEditBookmarks::delete_row, row:$"), row));
    if (!m_model->delete_row(row))
        return;
    // The same row index, or the new last row when the last one went.
    select_row(row < m_model->rowCount() ? row : m_model->rowCount() - 1);
    log(xprintF(QStringLiteral("DiaEditBookmarks::setup, delete row:$"), row));
}

void DiaEditBookmarks::delete_all()
{
    if (zem::XBox::ask_yes_no(this, xt("Delete Bookmarks"), xt("Do you really want to delete\nall Bookmarks ?")) == 0)
        return;
    log(QStringLiteral("delete all bookmarks"));
    log(QStringLiteral("DiaEditBookmarks::delete_all"));
    m_model->delete_all();
}

void DiaEditBookmarks::on_accept()
{
    log(QStringLiteral("DiaEditBookmarks::on_accept"));
    Bookmarks::to_tree(m_model->list());
    Bookmarks::save();
    accept();
}

bool DiaEditBookmarks::edit_all(QWidget* parent)
{
    DiaEditBookmarks dia(parent);
    dia.setWindowTitle(xt("Edit Bookmarks"));
    dia.setGeometry(50, 50, 800, 600);
    return testHook ? testHook(dia) : dia.exec() == QDialog::Accepted;
}

} // namespace zemFinder
