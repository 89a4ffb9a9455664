#include "gui/dia/DiaHistory.h"

#include "Logger.h"
#include "XLang.h"
#include "XTheme.h"
#include "gui/dia/ListModelHistory.h"
#include "widgets/XBox.h"
#include "widgets/XBoxInput.h"
#include "widgets/XButton.h"
#include "widgets/XPanel.h"

#include <QHBoxLayout>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

namespace zemFinder {

using zem::xt;

std::function<int(DiaHistory&)> DiaHistory::execHook;

namespace {
constexpr int LIST_MIN_WIDTH = 480;
const char* SOURCE = "src/gui/dia/DiaHistory";
} // namespace

DiaHistory::DiaHistory(const QStringList& history, QWidget* parent)
    : QDialog(parent), m_model(new ListModelHistory(history, this))
{
    setup();
}

void DiaHistory::setup()
{
    zem::Logger::log(QStringLiteral("DiaHistory::setup"), zem::LOG_PROGRESS);
    setWindowTitle(xt("History Editor"));
    auto* layout = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    layout->addLayout(body, 1);
    m_list = new QListView(this);
    m_list->setMinimumWidth(LIST_MIN_WIDTH);
    m_list->setModel(m_model);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    body->addWidget(m_list, 1);

    auto* column = new zem::XPanel(true, this);
    body->addWidget(column);
    auto icon = [](const char* name) { return zem::XTheme::iconPath(QString::fromLatin1(name)); };
    const std::tuple<const char*, const char*, const char*, void (DiaHistory::*)()> buttons[] = {
        {"ar_up.svg", "Move History Item up", "up", &DiaHistory::move_up},
        {"ar_down.svg", "Move History Item down", "down", &DiaHistory::move_down},
        {"edit.svg", "Edit History Item", "edit", &DiaHistory::edit_item},
        {"delete.svg", "Delete History Item", "delete", &DiaHistory::delete_item},
        {"delete_all.svg", "Delete all History Items", "deleteAll", &DiaHistory::delete_all}};
    for (const auto& [file, tooltip, name, action] : buttons) {
        if (action == &DiaHistory::delete_all)
            column->addStretch(1);
        zem::XButton* button = column->createButtonImageIcon(icon(file), xt(tooltip), 24);
        button->setObjectName(QString::fromLatin1(name));
        *button = [this, action = action] { (this->*action)(); };
    }

    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    row->addStretch(1);
    auto* ok = new QPushButton(QIcon(icon("apply-ok.svg")), xt("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    auto* cancel = new QPushButton(QIcon(icon("apply-cancel.svg")), xt("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    row->addWidget(ok);
    row->addWidget(cancel);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QStringList DiaHistory::edit(QWidget* parent, const QStringList& history, bool* ok)
{
    DiaHistory dia(history, parent);
    const int result = execHook ? execHook(dia) : dia.exec();
    const bool accepted = result == QDialog::Accepted;
    if (ok)
        *ok = accepted;
    return accepted ? dia.history() : QStringList();
}

QStringList DiaHistory::history() const
{
    return m_model->history();
}

int DiaHistory::selected_row() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void DiaHistory::select_row(int row)
{
    if (!m_list->selectionModel()) {
        zem::nullPointerHandling(SOURCE, __LINE__, "selModel == NULL");
        return;
    }
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex index = m_model->index(row);
    m_list->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    m_list->setCurrentIndex(index);
}

bool DiaHistory::move(int offset)
{
    const int row = selected_row();
    if (row < 0 || m_model->rowCount() < 2 || !m_model->swap(row, row + offset))
        return false;
    select_row(row + offset);
    return true;
}

void DiaHistory::move_up()
{
    move(-1);
}

void DiaHistory::move_down()
{
    move(1);
}

void DiaHistory::edit_item()
{
    const int row = selected_row();
    if (row < 0)
        return;
    const QString current = m_model->hist_at(row);
    const QString text = zem::XBoxInput::get_text(this, xt("Edit History"), current, QString());
    if (text.isEmpty() || text == current)
        return;
    m_model->set_hist_at(row, text);
    select_row(row);
}

void DiaHistory::delete_item()
{
    const int row = selected_row();
    if (row < 0)
        return;
    const int count = m_model->rowCount();
    m_model->remove(row);
    select_row(row == count - 1 ? count - 2 : row);
}

void DiaHistory::delete_all()
{
    if (zem::XBox::ask_yes_no(this, xt("Delete History"), xt("Do you really want to delete\nall History Elements ?")) != 0)
        m_model->clear();
}

} // namespace zemFinder
