#pragma once
// The inside of Stats: the page browser, the controls under it and the current run.
// Owned by its Stats; GUI thread only. A run's flag is shared with its pool thread.
#include <QColor>
#include <QFileInfo>
#include <QObject>
#include <QPointer>
#include <atomic>
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

class private_Stats {
public:
    explicit private_Stats(QWidget* owner);
    ~private_Stats();

    void ini();
    void open_file(const QFileInfo& fi);
    void on_go();
    bool is_running() const { return m_run && m_run->load(); }

    // The page colours: black on light gray, white on black in the dark style.
    static QColor s_text;
    static QColor s_background;

    zem::XPanel* panel = nullptr;
    QTextBrowser* browser = nullptr;
    QLineEdit* editShow = nullptr;
    QCheckBox* checkAll = nullptr;
    zem::XTypedComboBox* comboLen = nullptr;
    QPushButton* buttonGo = nullptr;
    QFileInfo file;

private:
    // Cancels the run in progress (its page will be dropped).
    void stop_run();
    void show_header();

    QWidget* m_owner;
    // The flag of the current run; each run has its own, so that a late page of an older run
    // can never pass for the current one.
    std::shared_ptr<std::atomic<bool>> m_run;
};

} // namespace zemFinder
