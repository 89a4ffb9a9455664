#include "WinEditorApps.h"

#include "KernelGUI.h"
#include "ListModelPrograms.h"
#include "Logger.h"
#include "PanelProgram.h"
#include "XAppManager.h"
#include "XAppRunner.h"
#include "XLang.h"
#include "XNode.h"
#include "XProcess.h"
#include "XTheme.h"
#include "XType_App.h"
#include "widgets/XBox.h"
#include "widgets/XButton.h"
#include "widgets/XPanel.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QListView>
#include <QPointer>
#include <QPushButton>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;

namespace {
const char* SOURCE = "src/gui/apps/WinEditorApps";
// The buttons under the panel are at least this high, so they are easy to hit.
constexpr int BUTTON_HEIGHT = 50;
QPointer<WinEditorApps> g_editor;
} // namespace

WinEditorApps::WinEditorApps()
{
    g_editor = this;
    setObjectName(QStringLiteral("Apps"));
    set_icon(QStringLiteral(":/zf/icons/app.svg"), 64);
    setTitleStd(xt("Edit Applications"));
}

WinEditorApps::~WinEditorApps()
{
    Logger::log(QStringLiteral("WinPrograms::~WinPrograms"), zem::LOG_DETAIL);
    if (g_editor == this)
        g_editor = nullptr;
    // The view must let go of the model before the model goes.
    if (m_list)
        m_list->setModel(nullptr);
}

bool WinEditorApps::is_open()
{
    return !g_editor.isNull();
}

WinEditorApps* WinEditorApps::instance()
{
    return g_editor.data();
}

WinEditorApps* WinEditorApps::open_editor()
{
    if (is_open()) {
        g_editor->raise();
        g_editor->activateWindow();
        return g_editor.data();
    }
    zem::KernelGUI* kernel = zem::KernelGUI::kernelGui();
    zem::XNode* nView = kernel ? kernel->getCreateNodeApplication()->getCreateNode(QStringLiteral("GUI"))
                                     ->getCreateNode(QStringLiteral("Apps"))
                               : nullptr;
    if (!nView)
        zem::nullPointerHandling(SOURCE, __LINE__, "nView == NULL");
    auto* win = new WinEditorApps;
    win->setup(nView, XAppManager::get_copy());
    if (!win->restoreGeometryFromNode())
        win->setBounds(50, 50, 800, 500);
    win->show();
    return win;
}

void WinEditorApps::setup(zem::XNode* node, std::unique_ptr<zem::XTree> tree)
{
    setNodeWin(node);
    setupTray();
    m_snapshot = tree->create_copy(&XType_App::for_editor());
    m_model = std::make_unique<ListModelPrograms>(*tree, &XType_App::for_editor());

    zem::XPanel* content = createContentPanel(true);
    zem::XPanel* main = content->createPanelHorizontal();
    content->boxLayout()->setStretchFactor(main, 1);

    m_list = main->add(new QListView(main), 1);
    m_list->setModel(m_model.get());
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);

    zem::XPanel* buttons = main->createPanelVertical();
    auto icon = [](const char* name) { return zem::XTheme::iconPath(QString::fromLatin1(name)); };
    *buttons->createButtonImageIcon(icon("ar_up.svg"), xt("Move Application up"), 24) = [this] { on_move_up(); };
    *buttons->createButtonImageIcon(icon("ar_down.svg"), xt("Move Application down"), 24) = [this] { on_move_down(); };
    *buttons->createButtonImageIcon(icon("new.svg"), xt("New Application"), 24) = [this] { on_new_app(); };
    *buttons->createButtonImageIcon(icon("copy.svg"), xt("Copy Application"), 24) = [this] { on_copy_app(); };
    *buttons->createButtonImageIcon(icon("delete.svg"), xt("Delete Application"), 24) = [this] { on_delete_app(); };
    *buttons->createButtonImageIcon(icon("r.svg"), xt("Reset Application List"), 24) = [this] { on_reset(); };
    buttons->addStretch();
    *buttons->createButtonImageIcon(icon("delete_all.svg"), xt("Delete all Applications"), 24) =
        [this] { on_delete_all(); };

    zem::XPanel* right = main->createPanelVertical();
    main->boxLayout()->setStretchFactor(right, 2);
    m_panel = right->add(new PanelProgram(right));
    right->addStretch();
    zem::XPanel* actions = right->createPanelHorizontal();
    auto* apply = actions->add(new QPushButton(QIcon(icon("app.svg")), xt("Apply"), actions));
    apply->setMinimumHeight(BUTTON_HEIGHT);
    connect(apply, &QPushButton::clicked, this, [this] { on_apply(); });
    m_test = actions->add(new QPushButton(xt("Test/Execute"), actions));
    m_test->setMinimumHeight(BUTTON_HEIGHT);
    connect(m_test, &QPushButton::clicked, this, [this] { on_test(); });
    actions->addStretch();
    m_enabled = actions->createCheckBox(xt("Enabled"), true);
    m_enabled->setMinimumHeight(BUTTON_HEIGHT);
    connect(m_enabled, &QCheckBox::toggled, this, [this](bool on) { apply_enabled(on); });

    zem::XPanel* bottom = content->createPanelHorizontal();
    bottom->addStretch();
    auto* ok = bottom->add(new QPushButton(QIcon(icon("apply-ok.svg")), xt("OK"), bottom));
    connect(ok, &QPushButton::clicked, this, [this] { on_ok(); });
    auto* cancel = bottom->add(new QPushButton(QIcon(icon("apply-cancel.svg")), xt("Cancel"), bottom));
    connect(cancel, &QPushButton::clicked, this, [this] { on_cancel(); });

    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { on_selection_changed(); });
    // The record the panel shows is the selected one, so Apply never silently does nothing.
    select_row(0);
}

int WinEditorApps::selected_row() const
{
    const QModelIndex current = m_list ? m_list->currentIndex() : QModelIndex();
    return current.isValid() ? current.row() : -1;
}

void WinEditorApps::select_row(int row)
{
    if (!m_model->is_valid(row))
        return;
    m_list->setCurrentIndex(m_model->index(row));
    on_selection_changed();
}

void WinEditorApps::on_selection_changed()
{
    const int row = selected_row();
    if (row < 0)
        return;
    const XApp app = m_model->app_at(row);
    m_panel->show_app(app);
    m_enabled->setChecked(app.is_flag_enabled());
    apply_enabled(app.is_flag_enabled());
}

void WinEditorApps::apply_enabled(bool on)
{
    m_panel->setEnabled(on);
    m_test->setEnabled(on);
}

void WinEditorApps::move(int step)
{
    const int row = selected_row();
    if (m_model->rowCount() < 2 || row < 0 || !m_model->is_valid(row + step))
        return;
    m_model->swap(row, row + step);
    select_row(row + step);
}

void WinEditorApps::on_move_up()
{
    Logger::log(QStringLiteral("WinEditorApps::on_move_up"), zem::LOG_PROGRESS);
    move(-1);
}

void WinEditorApps::on_move_down()
{
    Logger::log(QStringLiteral("WinEditorApps::on_move_down"), zem::LOG_PROGRESS);
    move(1);
}

void WinEditorApps::on_new_app()
{
    Logger::log(QStringLiteral("button NEW pressed"), zem::LOG_PROGRESS);
    Logger::log(QStringLiteral("WinEditorApps::on_new_app"), zem::LOG_PROGRESS);
    const int row = qMax(0, selected_row());
    m_model->newApp(row);
    select_row(m_model->is_valid(row) ? row : 0);
}

void WinEditorApps::on_copy_app()
{
    const int row = selected_row();
    if (m_model->rowCount() < 1 || row < 0)
        return;
    m_model->copyApp(row);
    select_row(row);
}

void WinEditorApps::on_delete_app()
{
    const int row = selected_row();
    if (row < 0)
        return;
    const QString name = m_model->app_at(row).name();
    if (zem::XBox::ask_yes_no(this, xt("Remove Applications"),
                              xprintF(xt("Do you really want to remove Application '$' ?"), name))
        != 1)
        return;
    const int next = row == m_model->rowCount() - 1 ? m_model->rowCount() - 2 : row;
    m_model->delete_row(row);
    select_row(next);
    if (m_model->rowCount() == 0)
        m_panel->show_app(XApp());
    Logger::log(xprintF(QStringLiteral("WinEditorApps::setup, delete row:$"), row), zem::LOG_PROGRESS);
}

void WinEditorApps::on_reset()
{
    Logger::log(QStringLiteral("WinEditorApps::setup, reset app list"), zem::LOG_PROGRESS);
    if (zem::XBox::ask_yes_no(this, xt("Reset Applications"), xt("Do you really want to reset Application List ?")) != 1)
        return;
    m_model->reload(*m_snapshot);
    select_row(0);
}

void WinEditorApps::on_delete_all()
{
    if (zem::XBox::ask_yes_no(this, xt("Remove Applications"), xt("Do you really want to remove all Applications?"))
        != 1)
        return;
    m_model->delete_all();
    m_panel->show_app(XApp());
}

void WinEditorApps::on_apply()
{
    const int row = selected_row();
    if (row < 0)
        return;
    XApp app = m_panel->read_app();
    app.set_flag_enabled(m_enabled->isChecked());
    m_model->set_app_at(row, app);
    select_row(row);
    XAppManager::set_tree(*m_model->to_tree());
}

void WinEditorApps::on_test()
{
    const XApp app = m_panel->read_app();
    app.dump(4);
    zem::XProcess::atomicFlagDebug = true;
    XAppRunner::start_program(app);
}

void WinEditorApps::on_ok()
{
    Logger::log(QStringLiteral("WinEditorApps::on_ok"), zem::LOG_PROGRESS);
    const auto tree = m_model->to_tree();
    Logger::log(XType_App::for_editor().arrayAsString(*tree->getTreeArray(XAppManager::KEY)), zem::LOG_PROGRESS);
    XAppManager::set_tree(*tree);
    XAppManager::save();
    close();
}

void WinEditorApps::on_cancel()
{
    Logger::log(QStringLiteral("WinEditorApps::on_Cancel"), zem::LOG_PROGRESS);
    XAppManager::set_tree(*m_snapshot);
    XAppManager::save();
    close();
}

} // namespace zemFinder
