#include "PanelProgram.h"

#include "Logger.h"
#include "XFileEnv.h"
#include "XLang.h"
#include "XTheme.h"
#include "widgets/XButton.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>

namespace zemFinder {

using zem::xt;

namespace {
constexpr int LABEL_WIDTH = 100;
constexpr int BROWSE_WIDTH = 40;
constexpr int ICON_SIZE = 16;
} // namespace

PanelProgram::PanelProgram(QWidget* parent) : zem::XPanel(true, parent)
{
    set_args(4, 4);
    m_name = line_row(xt("Name"));
    m_title = line_row(xt("Title"));

    zem::XPanel* path = row(xt("Path"));
    m_path = path->createLineEdit();
    auto* pathButton = path->add(new zem::XButton(path));
    pathButton->setText(QStringLiteral("."));
    pathButton->setMaximumWidth(BROWSE_WIDTH);
    pathButton->setToolTip(xt("Select Path"));
    *pathButton = [this] { on_path_button(); };

    m_arguments = line_row(xt("Arguments"));
    m_arguments->setToolTip(xt("$(G_PATH) is the chosen file; also $(G_NAME), $(G_DIR), $(G_BASE_NAME), $(G_SUFFIX)"));

    zem::XPanel* icon = row(xt("Icon"));
    m_buttonIcon = icon->createButtonImageIcon(zem::XTheme::iconPath(QStringLiteral("image.svg")), xt("Select Icon"),
                                               ICON_SIZE);
    *m_buttonIcon = [this] { on_icon_button(); };
    m_icon = icon->createLineEdit();

    zem::XPanel* shell = row(xt("Shell"));
    m_terminal = shell->createCheckBox(xt("Terminal"), false);
    m_keepOpen = shell->createCheckBox(xt("Keep Terminal Window open"), false);
    shell->addStretch();

    zem::XPanel* output = row(xt("Output"));
    m_showOutput = output->createCheckBox(xt("Show Process Output"), false);
    output->addStretch();

    zem::XPanel* dir = row(xt("Working Dir"));
    m_workingDir = dir->createLineEdit();
    auto* dirButton = dir->add(new zem::XButton(dir));
    dirButton->setText(QStringLiteral("."));
    dirButton->setMaximumWidth(BROWSE_WIDTH);
    dirButton->setToolTip(xt("Select a Directory"));
    *dirButton = [this] { on_dir_button(); };

    m_environment = line_row(xt("Environment"));
    m_environment->setToolTip(xt("Pairs like --NAME value --OTHER value"));
    m_toolTip = line_row(xt("ToolTip"));
}

zem::XPanel* PanelProgram::row(const QString& label)
{
    zem::XPanel* panel = createPanelHorizontal();
    panel->set_args(0, 4);
    QLabel* text = panel->createLabel(label);
    text->setMinimumWidth(LABEL_WIDTH);
    text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return panel;
}

QLineEdit* PanelProgram::line_row(const QString& label)
{
    return row(label)->createLineEdit();
}

void PanelProgram::show_app(const XApp& app)
{
    m_name->setText(app.name(false));
    m_title->setText(app.title(false));
    m_path->setText(app.path(false));
    m_arguments->setText(app.arguments(false));
    m_icon->setText(app.icon_path(false));
    m_workingDir->setText(app.working_dir(false));
    m_environment->setText(app.environment(false));
    m_toolTip->setText(app.tool_tip(false));
    m_terminal->setChecked(app.is_flag_terminal());
    m_keepOpen->setChecked(app.is_flag_keep_term_open());
    m_showOutput->setChecked(app.is_flag_show_output());
    show_icon(app.icon_path(true));
}

XApp PanelProgram::read_app() const
{
    zem::fileInfo_to_env(QFileInfo(m_path->text()));
    XApp app;
    app.set_name(m_name->text());
    app.set_title(m_title->text());
    app.set_path(m_path->text());
    app.set_arguments(m_arguments->text());
    app.set_icon_path(m_icon->text());
    app.set_working_dir(m_workingDir->text());
    app.set_environment(m_environment->text());
    app.set_tool_tip(m_toolTip->text());
    app.set_flag_terminal(m_terminal->isChecked());
    app.set_flag_keep_term_open(m_keepOpen->isChecked());
    app.set_flag_show_output(m_showOutput->isChecked());
    return app;
}

bool PanelProgram::set_icon(const QString& iconPath)
{
    QImageReader reader(iconPath);
    if (iconPath.isEmpty() || !reader.canRead())
        return false;
    const QIcon icon(iconPath);
    if (icon.pixmap(ICON_SIZE, ICON_SIZE).isNull())
        return false;
    show_icon(iconPath);
    m_icon->setText(iconPath);
    return true;
}

void PanelProgram::show_icon(const QString& iconPath)
{
    // Without an icon of its own the button shows a neutral image, so that it can be found.
    const QIcon icon(iconPath);
    m_buttonIcon->setIcon(!iconPath.isEmpty() && !icon.pixmap(ICON_SIZE, ICON_SIZE).isNull()
                              ? icon
                              : QIcon(zem::XTheme::iconPath(QStringLiteral("image.svg"))));
}

void PanelProgram::on_path_button()
{
    const QString file = QFileDialog::getOpenFileName(this, xt("Select Path"), QFileInfo(m_path->text()).absolutePath());
    if (!file.isEmpty())
        m_path->setText(file);
}

void PanelProgram::on_icon_button()
{
    // Start beside the current icon, else where the desktop keeps application icons.
    QString start = QFileInfo(m_icon->text()).absolutePath();
    if (m_icon->text().isEmpty() || !QDir(start).exists())
        start = QDir(QStringLiteral("/usr/share/pixmaps")).exists() ? QStringLiteral("/usr/share/pixmaps") : QDir::homePath();
    const QString file = QFileDialog::getOpenFileName(this, xt("Select Icon"), start);
    if (!file.isEmpty())
        set_icon(file);
}

void PanelProgram::on_dir_button()
{
    const QString dir = QFileDialog::getExistingDirectory(this, xt("Select a Directory"), QDir::currentPath(),
                                                          QFileDialog::ShowDirsOnly);
    zem::Logger::log(zem::xprintF(QStringLiteral("dir name '$'"), dir), zem::LOG_DETAIL);
    if (!dir.isEmpty())
        m_workingDir->setText(dir);
}

} // namespace zemFinder
