#include "gui/dia/ListModelHistory.h"

#include "Logger.h"

#include <QApplication>
#include <QPalette>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

ListModelHistory::ListModelHistory(const QStringList& history, QObject* parent)
    : QAbstractListModel(parent), m_history(history)
{
}

int ListModelHistory::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_history.size();
}

QVariant ListModelHistory::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !in_range(index.row()))
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_history.at(index.row());
    if (role == Qt::BackgroundRole) {
        const QPalette palette = QApplication::palette();
        return index.row() % 2 == 0 ? palette.alternateBase() : palette.base();
    }
    return QVariant();
}

QString ListModelHistory::hist_at(int row) const
{
    if (!in_range(row)) {
        Logger::log(xprintF(QStringLiteral("ListModelHistory::hist_at, row:$, range problems 0...$"), row,
                            m_history.size()),
                    zem::LOG_WARN);
        return QString();
    }
    return m_history.at(row);
}

void ListModelHistory::set_hist_at(int row, const QString& text)
{
    if (!in_range(row)) {
        Logger::log(xprintF(QStringLiteral("ListModelHistory::set_hist_at, row:$, range problems 0...$"), row,
                            m_history.size()),
                    zem::LOG_WARN);
        return;
    }
    beginResetModel();
    m_history[row] = text;
    endResetModel();
}

bool ListModelHistory::swap(int row1, int row2)
{
    if (!in_range(row1) || !in_range(row2) || row1 == row2)
        return false;
    beginResetModel();
    m_history.swapItemsAt(row1, row2);
    endResetModel();
    return true;
}

void ListModelHistory::remove(int row)
{
    if (!in_range(row))
        return;
    beginResetModel();
    m_history.removeAt(row);
    endResetModel();
}

void ListModelHistory::clear()
{
    beginResetModel();
    m_history.clear();
    endResetModel();
}

} // namespace zemFinder
