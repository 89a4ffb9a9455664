#pragma once
// The directory preview of the small container beside a folder listing: an HTML summary of the
// folder (date, time, subfolders, files, counted as the listing shows them: hidden entries only
// while hidden files are shown, else named on a line of their own) and, on request ("Deep Info"),
// recursive totals of everything, hidden entries included, counted on the engine's pool. A second request while counting cancels; the partial totals are shown.
// GUI thread only, except the scanner's run.
#include "AbstractPreviewDir.h"

#include <memory>

class QTextBrowser;

namespace zem {
class XPanel;
}

namespace zemFinder {

class DirScannerThread;

class PreviewDirSimple : public AbstractPreviewDir {
    Q_OBJECT
public:
    explicit PreviewDirSimple(QWidget* parent = nullptr);
    ~PreviewDirSimple() override;

    void ini() override;
    bool open_file(const QFileInfo& fi) override;
    QFileInfo file_info() const override;
    QString type() const override { return QStringLiteral("PreviewDirSimple"); }
    QString name() const override { return QStringLiteral("simpleDirViewer"); }
    QString toString() const override { return name() + QStringLiteral(": can handle directories "); }
    void set_text_file_extensions(const TextFiles& extensions) override;
    void set_hidden_files(bool on) override { m_showHidden = on; }
    bool hidden_files() const override { return m_showHidden; }
    void onDeepInfo() override;
    // Cancels a running count; its partial totals still arrive.
    void stop_jobs() override;

    QTextBrowser* browser() const { return m_browser; }
    // The counters of the last (or running) recursive scan.
    const DirScannerThread* scanner() const { return m_scanner.get(); }
    bool isScanning() const;

    // The summary page of one folder (not recursive); hiddenLeftOut > 0 adds a line saying how
    // many hidden entries the counts leave out.
    static QString summaryPage(const QFileInfo& dir, int subdirs, int files, int hiddenLeftOut = 0);

private:
    zem::XPanel* m_panel = nullptr;
    QTextBrowser* m_browser = nullptr;
    std::unique_ptr<DirScannerThread> m_scanner;
    bool m_showHidden = false;
};

} // namespace zemFinder
