#pragma once
// The application editor's field panel: one record as labelled rows (name, title, path, arguments,
// icon, terminal and output switches, working folder, environment, tool tip). Shows a record and
// reads one back; edits stay here until the editor applies them. GUI thread only.
#include "widgets/XPanel.h"
#include "XApp.h"

class QCheckBox;
class QLineEdit;

namespace zem {
class XButton;
}

namespace zemFinder {

class PanelProgram : public zem::XPanel {
    Q_OBJECT
public:
    explicit PanelProgram(QWidget* parent = nullptr);

    // Every field as stored: a reference such as "$(HOME)" stays one, so applying the panel
    // never replaces it by its value of the moment.
    void show_app(const XApp& app);
    // The fields as a new record; sets the file variables from the Path field first, so that a
    // test run sees the program's own path in G_PATH.
    XApp read_app() const;
    // Takes iconPath when it names an image the icon button can show; false leaves all unchanged.
    bool set_icon(const QString& iconPath);

    QLineEdit* editName() const { return m_name; }
    QLineEdit* editTitle() const { return m_title; }
    QLineEdit* editPath() const { return m_path; }
    QLineEdit* editArguments() const { return m_arguments; }
    QLineEdit* editIcon() const { return m_icon; }
    QLineEdit* editWorkingDir() const { return m_workingDir; }
    QLineEdit* editEnvironment() const { return m_environment; }
    QLineEdit* editToolTip() const { return m_toolTip; }
    QCheckBox* checkTerminal() const { return m_terminal; }
    QCheckBox* checkKeepOpen() const { return m_keepOpen; }
    QCheckBox* checkShowOutput() const { return m_showOutput; }
    zem::XButton* buttonIcon() const { return m_buttonIcon; }

private:
    zem::XPanel* row(const QString& label);
    QLineEdit* line_row(const QString& label);
    void show_icon(const QString& iconPath);
    void on_path_button();
    void on_icon_button();
    void on_dir_button();

    QLineEdit* m_name = nullptr;
    QLineEdit* m_title = nullptr;
    QLineEdit* m_path = nullptr;
    QLineEdit* m_arguments = nullptr;
    QLineEdit* m_icon = nullptr;
    QLineEdit* m_workingDir = nullptr;
    QLineEdit* m_environment = nullptr;
    QLineEdit* m_toolTip = nullptr;
    QCheckBox* m_terminal = nullptr;
    QCheckBox* m_keepOpen = nullptr;
    QCheckBox* m_showOutput = nullptr;
    zem::XButton* m_buttonIcon = nullptr;
};

} // namespace zemFinder
