#pragma once
// The configuration dialog: a copy of the configuration record edited on four pages (General,
// Tree, Filter, Text View). Check boxes write their own value into the copy at once; the other
// controls are read by set_cfg_from_gui when OK is pressed. The caller decides whether the copy
// becomes the configuration; Cancel leaves every record untouched. Modal, GUI thread only.
#include "gui/config/ConfigZemFinder.h"

#include <QDialog>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace zem {
class XPanel;
class XTypedComboBox;
} // namespace zem

namespace zemFinder {

class DiaZemFinderConfig : public QDialog {
    Q_OBJECT
public:
    explicit DiaZemFinderConfig(const WinFinderConfig& config, QWidget* parent = nullptr);

    // The edited copy; complete after OK.
    const WinFinderConfig& config() const { return m_cfg; }
    // The Scaling choice in percent.
    uint32_t scaling() const;
    QString language() const;

    void set_cfg_from_gui();
    // Adds a folder to the hidden set; false, and the field unchanged, when it is already there.
    bool add_filter_folder(const QString& path);
    void clear_filter();

    // Runs the dialog modally and answers QDialog::Accepted or Rejected.
    int run();

    // Tests answer here instead of a modal loop or a directory chooser.
    static std::function<int(DiaZemFinderConfig&)> execHook;
    static std::function<QString(const QString& title, const QString& dir)> chooseDirHook;

private:
    void setup_page_general(zem::XPanel* page);
    void setup_page_tree(zem::XPanel* page);
    void setup_page_filter(zem::XPanel* page);
    void setup_page_text(zem::XPanel* page);
    zem::XPanel* add_row(zem::XPanel* page, const QString& label, QWidget* control, const QString& description,
                         QCheckBox* toggled = nullptr);
    QCheckBox* add_flag(zem::XPanel* panel, const QString& text, bool* field, const QString& name);
    zem::XTypedComboBox* add_choice(zem::XPanel* parent, const QList<uint32_t>& values, uint32_t preset,
                                    const QString& name);
    FileInfoSet folders_from_field() const;
    void show_filter_folders();
    QString choose_dir(const QString& title, const QString& dir);

    WinFinderConfig m_cfg;
    zem::XTypedComboBox* m_threads = nullptr;
    zem::XTypedComboBox* m_scaling = nullptr;
    zem::XTypedComboBox* m_fontSizeHex = nullptr;
    zem::XTypedComboBox* m_propMax = nullptr;
    QCheckBox* m_keyCtrl = nullptr;
    QCheckBox* m_keyShift = nullptr;
    QCheckBox* m_keyAlt = nullptr;
    QComboBox* m_language = nullptr;
    QPlainTextEdit* m_filterField = nullptr;
    QLineEdit* m_startFolder = nullptr;
    QLineEdit* m_rootFolder = nullptr;
    QList<QPair<uint32_t, QCheckBox*>> m_favorites;
    zem::XTypedComboBox* m_scope = nullptr;
    QPlainTextEdit* m_extensions = nullptr;
    zem::XTypedComboBox* m_fontSize = nullptr;
    QButtonGroup* m_linePos = nullptr;
    QList<QLabel*> m_rowLabels;
};

} // namespace zemFinder
