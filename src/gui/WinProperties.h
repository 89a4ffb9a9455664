#pragma once
// The properties window of one file: path, size and time, and up to three checksums (MD5,
// SHA-1, SHA-256) calculated by ThreadCalc jobs on the engine's global pool, with a progress
// bar, a remembered choice of algorithms, copy buttons and the file manager. The window owns
// its jobs; closing it cancels them first. Deletes itself on close; GUI thread only.
#include "WindowBase.h"

#include <QFileInfo>
#include <QTimer>
#include <array>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace zem {
class XButton;
class XNode;
}

namespace zemFinder {

class ThreadCalc;

class WinProperties : public WindowBase {
    Q_OBJECT
public:
    static constexpr int JOBS = 3;

    explicit WinProperties(QWidget* parent = nullptr);
    ~WinProperties() override;

    // Opens the window of a regular file on the application node's "GUI"/"Properties", 900 x 500,
    // centred and shown; null (nothing opened) for a folder or a missing file.
    static WinProperties* show_for(const QFileInfo& file);

    // Builds the window; node keeps the window's state and the choice of algorithms. Once.
    bool setup(zem::XNode* node, bool deleteOnClose);
    // Shows the file; small files get their checksums at once when the configuration wants it.
    void set_file(const QFileInfo& file);
    // Starts the selected calculations, or cancels them while they run.
    void on_calc_all();
    void on_timer_check_progress();
    void on_copy_all();
    // The text on_copy_all puts on the clipboard (empty for anything but an existing file).
    QString copy_all_text() const;

    bool is_calculating() const { return m_timer.isActive(); }
    ThreadCalc& job(int i) const { return *m_jobs.at(size_t(i)); }
    QLineEdit* checksumField(int i) const { return m_fields.at(size_t(i)); }
    QCheckBox* checkBox(int i) const { return m_checks.at(size_t(i)); }
    QProgressBar* progressBar() const { return m_progress; }
    zem::XButton* calcButton() const { return m_buttonCalc; }
    QLineEdit* pathField() const { return m_path; }
    QLineEdit* sizeField() const { return m_size; }
    QLineEdit* timeField() const { return m_time; }

    QString shortName() const override;
    QString toString() const override;
    QFileInfo currentFile() const override { return m_file; }

    // Longest wait of the GUI thread for cancelled jobs; a job that is still busy then (a hung
    // read) is handed over and deleted once it ends.
    static constexpr int CANCEL_WAIT_MS = 100;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void create_crc_panel(zem::XPanel* content, int i, zem::XNode* nChecksums);
    void on_job_finished(int i);
    void cancel_jobs();
    void show_running(bool running);
    void on_close();

    std::array<std::unique_ptr<ThreadCalc>, JOBS> m_jobs;
    std::array<QLineEdit*, JOBS> m_fields{};
    std::array<QCheckBox*, JOBS> m_checks{};
    std::array<QLabel*, JOBS> m_labels{};
    QLineEdit* m_path = nullptr;
    QLineEdit* m_size = nullptr;
    QLineEdit* m_time = nullptr;
    zem::XButton* m_buttonCalc = nullptr;
    QWidget* m_spacer = nullptr;
    QProgressBar* m_progress = nullptr;
    QTimer m_timer;
    QFileInfo m_file;
    bool m_setUp = false;
};

} // namespace zemFinder
