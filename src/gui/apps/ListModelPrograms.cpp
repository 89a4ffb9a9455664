#include "ListModelPrograms.h"

#include "KernelGUI.h"
#include "Logger.h"
#include "XAppManager.h"
#include "XStrings.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>
#include <QPalette>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
// Random names of new records are this long.
constexpr int NEW_NAME_LENGTH = 9;
// Copies are numbered with at least this many digits.
constexpr int COPY_NUMBER_DIGITS = 3;
} // namespace

ListModelPrograms::ListModelPrograms(const zem::XTree& tree, const zem::XTypeSupporter* supporter, QObject* parent)
    : QAbstractListModel(parent), m_supporter(supporter)
{
    reload(tree);
}

ListModelPrograms::~ListModelPrograms() = default;

void ListModelPrograms::reset(const std::function<void()>& change)
{
    beginResetModel();
    change();
    endResetModel();
}

int ListModelPrograms::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_apps.size());
}

QVariant ListModelPrograms::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !is_valid(index.row()))
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_apps[size_t(index.row())].name(false);
    if (role == Qt::BackgroundRole) {
        zem::KernelGUI* kernel = zem::KernelGUI::kernelGui();
        if (kernel && kernel->isZemStyleDark())
            return QVariant();
        const QPalette palette = QApplication::palette();
        return index.row() % 2 == 0 ? palette.alternateBase() : palette.base();
    }
    return QVariant();
}

XApp ListModelPrograms::app_at(int row) const
{
    if (!is_valid(row)) {
        Logger::log(xprintF(QStringLiteral("ListModelPrograms::app_at, row:$, range problems 0...$"), row,
                            int(m_apps.size())),
                    zem::LOG_WARN);
        return XApp();
    }
    return m_apps[size_t(row)];
}

void ListModelPrograms::set_app_at(int row, const XApp& app)
{
    if (!is_valid(row)) {
        Logger::log(xprintF(QStringLiteral("ListModelPrograms::set_app_at, row:$, range problems 0...$"), row,
                            int(m_apps.size())),
                    zem::LOG_WARN);
        return;
    }
    reset([&] { m_apps[size_t(row)] = app; });
}

void ListModelPrograms::newApp(int row)
{
    Logger::log(xprintF(QStringLiteral("ListModelPrograms::newApp, row:$"), row), zem::LOG_PROGRESS);
    const int at = is_valid(row) ? row : 0;
    XApp app;
    app.set_name(zem::random_name(NEW_NAME_LENGTH));
    app.set_title(QString());
    app.set_path(QString());
    app.set_arguments(QString());
    app.set_icon_path(QString());
    app.set_environment(QString());
    app.set_working_dir(QString());
    app.set_tool_tip(QString());
    app.set_flag_terminal(false);
    app.set_flag_keep_term_open(false);
    app.set_flag_show_output(false);
    app.dump(4);
    reset([&] { m_apps.insert(m_apps.begin() + at, std::move(app)); });
}

bool ListModelPrograms::has_name(const QString& name) const
{
    return std::any_of(m_apps.begin(), m_apps.end(), [&name](const XApp& app) { return app.is_name(name); });
}

void ListModelPrograms::copyApp(int row)
{
    if (!is_valid(row))
        return;
    XApp copy = m_apps[size_t(row)];
    Logger::log(xprintF(QStringLiteral("ListModelPrograms::copyApp, program:$"), copy.name()), zem::LOG_PROGRESS);
    QString name = copy.name();
    do
        name = zem::get_string_number(name, COPY_NUMBER_DIGITS);
    while (has_name(name));
    copy.set_name(name);
    reset([&] { m_apps.insert(m_apps.begin() + row, std::move(copy)); });
}

void ListModelPrograms::delete_row(int row)
{
    Logger::log(xprintF(QStringLiteral("ListModelPrograms::delete_row, row:$"), row), zem::LOG_PROGRESS);
    if (!is_valid(row)) {
        Logger::log(QStringLiteral("ListModelPrograms::delete_row, bounds ?"), zem::LOG_WARN);
        return;
    }
    reset([&] { m_apps.erase(m_apps.begin() + row); });
}

void ListModelPrograms::delete_all()
{
    Logger::log(QStringLiteral("ListModelPrograms::delete_all"), zem::LOG_PROGRESS);
    reset([&] { m_apps.clear(); });
}

void ListModelPrograms::swap(int row1, int row2)
{
    if (!is_valid(row1) || !is_valid(row2) || row1 == row2)
        return;
    Logger::log(QStringLiteral("ListModelPrograms::swap"), zem::LOG_PROGRESS);
    reset([&] { std::swap(m_apps[size_t(row1)], m_apps[size_t(row2)]); });
}

void ListModelPrograms::reload(const zem::XTree& tree)
{
    reset([&] {
        m_apps.clear();
        for (const XApp* app : XAppManager::apps_of(tree))
            m_apps.push_back(*app);
    });
}

std::unique_ptr<zem::XTree> ListModelPrograms::to_tree() const
{
    auto tree = std::make_unique<zem::XTree>();
    zem::XTree::TreeArray& array = tree->treeArray(XAppManager::KEY);
    for (const XApp& app : m_apps)
        array.push_back(std::make_unique<XApp>(app));
    return tree;
}

} // namespace zemFinder
