#pragma once
// The preview of the statistics tab: a page with the file's path, time stamp and size, and on
// request a frequency table of its characters or words, counted on a pool thread and
// cancellable. The page arrives through the GUI thread's queue; a run that was cancelled, or that
// belongs to a file no longer shown, is never shown. GUI thread only (but for the counting).
#include "preview/Preview.h"

#include <memory>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTextBrowser;

namespace zem {
class XPanel;
class XTypedComboBox;
} // namespace zem

namespace zemFinder {

class private_Stats;

class Stats : public zem::Preview {
    Q_OBJECT
public:
    static constexpr unsigned kCategory = 0x10000;

    explicit Stats(QWidget* parent = nullptr);
    ~Stats() override;

    QWidget* widget_preview() override;
    unsigned get_category() const override { return kCategory; }
    void ini() override;
    // Always true: an unreadable file shows its problem on the page.
    bool open_file(const QFileInfo& fi) override;
    QString type() const override { return QStringLiteral("Stats"); }
    QString name() const override { return QStringLiteral("Stats"); }
    QString toString() const override { return QString(); }

    // Starts a run, or cancels the one that runs.
    void on_go();
    bool is_running() const;

    QTextBrowser* browser() const;
    QLineEdit* edit_show() const;
    QCheckBox* check_all() const;
    zem::XTypedComboBox* combo_word_len() const;
    QPushButton* button_go() const;

private:
    std::unique_ptr<private_Stats> d;
};

} // namespace zemFinder
