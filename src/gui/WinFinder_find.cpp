// WinFinder: from the find panel's values to a filter, and the search run: the folder scan on
// a pool thread, then either the file list straight into the results or the content search.
#include "Logger.h"
#include "PanelResults.h"
#include "WinFinder.h"
#include "WinFinder_FindArea.h"
#include "XLang.h"
#include "XThread.h"
#include "dir/XContainerPreviews.h"
#include "find/XBytesNumber.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XButton.h"
#include "widgets/XComboBox.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XToolsGui.h"
#include "widgets/XTreeViewFiles.h"
#include "widgets/XTypedComboBox.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;

namespace {

qint64 dayStartMs(const QDate& date)
{
    return QDateTime(date, QTime(0, 0)).toMSecsSinceEpoch();
}

QString seconds(qint64 nanoseconds)
{
    return QString::number(double(nanoseconds) / 1e9, 'f', 3);
}

// Reads one size field; false (and the field marked faulty) when it holds no valid size.
bool readSize(QLineEdit* field, quint64& bytes, zem::find::XFilter& filter)
{
    bool ok = false;
    bytes = zem::get_bytes_number(field->text().trimmed(), &ok);
    if (!ok) {
        Logger::log(xprintF(QStringLiteral("WinFinder::filter_from_GUI, size not a number '$'"), field->text()),
                    zem::LOG_WARN);
        if (!filter.faultyField())
            filter.setFaultyField(field);
    }
    return ok;
}

} // namespace

zem::find::XFilter WinFinder::filter_from_GUI()
{
    FindArea& f = *m_find;
    const uint32_t flags = filter_flags();
    zem::find::XFilter filter;
    filter.setFlags(flags);
    f.faultText.clear();
    zem::XFileFilter& ff = filter.fileFilter();

    if (flags & FLAG_PATTERN) {
        const QString text = f.comboPattern->currentText().trimmed();
        if (!text.isEmpty())
            ff.setPattern(text, false);
    }
    if (flags & FLAG_NOT_PATTERN) {
        const QString text = f.comboNotPattern->currentText().trimmed();
        if (!text.isEmpty())
            ff.setPattern(text, true);
    }
    if (flags & FLAG_TIME) {
        const uint32_t area = f.comboTime->selectedValue();
        if (area == zem::XFileFilter::YEAR) {
            const int year = f.date1->date().year();
            ff.setTime(zem::XFileFilter::BETWEEN, dayStartMs(QDate(year, 1, 1)),
                       dayStartMs(QDate(year + 1, 1, 1)) - 1000);
        } else if (area == zem::XFileFilter::BETWEEN) {
            ff.setTime(area, dayStartMs(f.date1->date()), dayStartMs(f.date2->date()));
        } else if (area != zem::XFileFilter::NONE) {
            ff.setTime(area, dayStartMs(f.date1->date()));
        }
    }
    if (flags & FLAG_SIZE) {
        const uint32_t area = f.comboSize->selectedValue();
        if (area != zem::XFileFilter::NONE && area != zem::XFileFilter::YEAR) {
            quint64 bound1 = 0;
            quint64 bound2 = 0;
            if (f.size1->text().trimmed().isEmpty()) {
                Logger::log(QStringLiteral("WinFinder::filter_from_GUI, size 1 - empty"), zem::LOG_WARN);
            } else if (readSize(f.size1, bound1, filter)) {
                if (area != zem::XFileFilter::BETWEEN)
                    ff.setSize(area, bound1);
                else if (f.size2->text().trimmed().isEmpty())
                    Logger::log(QStringLiteral("WinFinder::filter_from_GUI, size 2 - empty"), zem::LOG_WARN);
                else if (readSize(f.size2, bound2, filter))
                    ff.setSize(area, bound1, bound2);
            }
        }
    }
    if (flags & FLAG_CONTENT) {
        // Without the toggle (flagRegEx off) every expression is a simple one.
        const bool regEx = WinFinderConfig::get().flagRegEx && f.buttonRegEx->isChecked();
        // Blanks are part of a regular expression: only a simple expression is trimmed.
        const QString text = regEx ? f.comboContent->currentText() : f.comboContent->currentText().trimmed();
        if (text.isEmpty()) {
            Logger::log(QStringLiteral("WinFinder::filter_from_GUI, search for text but text ist empty"),
                        zem::LOG_WARN);
        } else {
            zem::find::XContentFilter content(f.comboScope->selectedValue(zem::find::XContentFilter::SCOPE_PARAGRAPH));
            if (content.createSymbols(text, regEx)) {
                filter.setContentFilter(content);
            } else {
                if (!filter.faultyField()) {
                    filter.setFaultyField(f.comboContent);
                    f.faultText = xprintF(xt("Bad regular expression: $"), content.errorText());
                }
                Logger::log(xprintF(QStringLiteral("WinFinder::filter_from_GUI, problems with expression '$'"), text),
                            zem::LOG_WARN);
            }
        }
    }
    if (flags & FLAG_TEXT_FILES)
        ff.setTextExtensions(WinFinderConfig::get().TextFiles);
    return filter;
}

void WinFinder::on_find()
{
    FindArea& f = *m_find;
    f.timeStart.start();
    for (const char* line : {"*******************************", "*** WinFinder::on_find", "*******************************"})
        Logger::log(QString::fromLatin1(line), zem::LOG_PROGRESS);

    // A fresh look: the tree's entry may hold what the disk said before the folder went away.
    QFileInfo folder = m_treeView ? m_treeView->selectedFile() : QFileInfo();
    if (!folder.filePath().isEmpty())
        folder.refresh();
    if (folder.filePath().isEmpty() || !folder.exists()) {
        folder = QFileInfo(WinFinderConfig::get().root);
        Logger::log(xprintF(QStringLiteral("WinFinder::on_find - folder set to <$>"), folder.filePath()),
                    zem::LOG_PROGRESS, 4);
    }
    if (folder.filePath().isEmpty() || !folder.exists()) {
        Logger::log(xprintF(QStringLiteral("WinFinder::on_find - <$> 404"), folder.filePath()), zem::LOG_PROGRESS, 4);
        return;
    }
    if (!folder.isDir()) {
        Logger::log(xprintF(QStringLiteral("WinFinder::on_find - <$> not dir, go one level up"),
                            folder.absoluteFilePath()),
                    zem::LOG_PROGRESS, 4);
        folder = QFileInfo(folder.absolutePath());
    }
    Logger::log(xprintF(QStringLiteral("WinFinder::on_find - <$>"), folder.absoluteFilePath()), zem::LOG_PROGRESS);

    zem::find::XFilter filter = filter_from_GUI();
    if (filter.faultyField()) {
        Logger::log(QStringLiteral("WinFinder::on_find, !filter"), zem::LOG_WARN);
        show_fault(filter.faultyField(), f.faultText);
        return;
    }

    f.comboPattern->add_to_history(f.comboPattern->currentText().trimmed(), 16);
    f.comboNotPattern->add_to_history(f.comboNotPattern->currentText().trimmed(), 16);
    const QString content = f.comboContent->currentText().trimmed();
    if (!content.isEmpty())
        f.comboContent->add_to_history(content, 16, filter.has_content_filter() && filter.contentFilter().isRegEx());

    // The running search is asked to stop and this request waits for its end; the GUI thread
    // never waits for it (the scan and the workers still read the list the next scan replaces).
    if (is_search_busy()) {
        Logger::log(QStringLiteral("WinFinder::on_find, search still running: stopped, find follows"), zem::LOG_PROGRESS);
        f.thScanDir.stop();
        f.zemFind.stop_search();
        f.findPending = true;
        f.pendingFolder = folder.absoluteFilePath();
        f.pendingFilter = filter;
        f.state = FindArea::SCANNING;
        f.labelScan->clear();
        f.stacked->setCurrentIndex(FindArea::PAGE_SCAN);
        f.timerPending.start();
        return;
    }
    start_find(folder.absoluteFilePath(), filter);
}

void WinFinder::start_find(const QString& folder, const zem::find::XFilter& filter)
{
    FindArea& f = *m_find;
    f.findPending = false;
    f.filterCurrent = filter;
    f.timeFilter.start();
    Logger::log(xprintF(QStringLiteral("WinFinder::on_find, <<<$>>>"), folder), zem::LOG_PROGRESS);
    Logger::log(xprintF(QStringLiteral("filterCurrent:$"), f.filterCurrent.toString(true)), zem::LOG_PROGRESS, 4);

    f.state = FindArea::SCANNING;
    f.labelScan->clear();
    f.stacked->setCurrentIndex(FindArea::PAGE_SCAN);
    f.timerProgress.start();

    f.thScanDir.pFilterCurrent = &f.filterCurrent;
    f.thScanDir.generation = ++f.scanGeneration;
    f.contentDoneEarly = false;
    SearchRoad::Settings road;
    road.folder = folder;
    road.filter = &f.filterCurrent;
    road.hidden = m_treeView && m_treeView->is_hidden_files();
    road.threads = WinFinderConfig::get().countThreads;
    // The results table of a file search shows every file's details: read on the scan thread.
    road.fileDetails = true;
    f.thScanDir.start(road, f.zemFind);
}

void WinFinder::start_pending_find()
{
    FindArea& f = *m_find;
    if (!f.findPending)
        return;
    // The finished event may run before its thread took its last step: look again shortly.
    if (is_search_busy()) {
        f.timerPending.start();
        return;
    }
    start_find(f.pendingFolder, f.pendingFilter);
}

bool WinFinder::is_search_busy() const
{
    return m_find->thScanDir.isBusy() || m_find->zemFind.isBusy();
}

bool WinFinder::is_find_pending() const
{
    return m_find->findPending;
}

void WinFinder::stop_jobs()
{
    FindArea& f = *m_find;
    f.findPending = false;
    f.timerPending.stop();
    f.timerProgress.stop();
    f.thScanDir.stop();
    f.zemFind.stop_search();
    if (m_containerPreviews)
        m_containerPreviews->stop_jobs();
    if (f.panelResults && f.panelResults->container())
        f.panelResults->container()->stop_jobs();
}

void WinFinder::on_find_progress()
{
    FindArea& f = *m_find;
    if (f.state == FindArea::SCANNING) {
        const zem::XDirInfo& info = f.thScanDir.dirInfo;
        // A streaming walk asks no sizes; the bytes are those the workers have searched so far.
        const quint64 bytes = f.thScanDir.isStreaming() ? f.zemFind.bytes_read() : info.countBytes();
        f.labelScan->setText(xprintF(QStringLiteral("Dirs:$, Files:$, Bytes:$"), zem::format1000(info.countDirs()),
                                     zem::format1000(info.countFiles()), zem::formatBytes(bytes)));
    } else if (f.state == FindArea::CONTENT) {
        if (f.zemFind.bytes_to_read() != 0)
            f.progress->setValue(f.zemFind.progress_percent());
    }
}

void WinFinder::on_find_dir_scanned(quint32 generation)
{
    FindArea& f = *m_find;
    ThreadScanDir& th = f.thScanDir;
    // The end of a scan that an earlier Find started and a later one replaced.
    if (generation != f.scanGeneration) {
        Logger::log(QStringLiteral("WinFinder_find::on_find_dir_scanned - end of an earlier scan dropped"),
                    zem::LOG_DETAIL);
        return;
    }
    if (th.dirInfo.isStopped() || f.state != FindArea::SCANNING || f.findPending) {
        Logger::log(QStringLiteral("WinFinder_find::on_find_dir_scanned - CANCEL"), zem::LOG_PROGRESS);
        start_pending_find();
        return;
    }
    Logger::log(xprintF(QStringLiteral("WinFinder::on_find_dir_scanned within $ sec"), seconds(f.timeFilter.nsecsElapsed())),
                zem::LOG_PROGRESS);

    if (!f.filterCurrent.has_content_filter()) {
        f.timerProgress.stop();
        zem::XFindStats stats = th.stats;
        const std::vector<const QFileInfo*>& view = th.dirInfo.get_view_filtered_files();
        QStringList ends;
        for (std::size_t i = 0; i < view.size(); ++i)
            if (i < 5 || i + 5 >= view.size())
                ends << view[i]->fileName();
        Logger::log(xprintF(QStringLiteral("view:$ [$]"), view.size(), ends.join(QStringLiteral(", "))),
                    zem::LOG_PROGRESS, 4);
        // The scan thread made the list, already in the table's order.
        std::vector<QFileInfo> files = std::move(th.filesByPath);
        th.filesByPath.clear();
        stats.countFilesMatch = files.size();

        f.panelResults->showSummary(f.timeFilter, stats, th.dirInfo.path(), f.filterCurrent.fileFilter().pattern());
        f.panelResults->showPage(0);
        f.panelResults->setFileResultsSimple(std::move(files), true);
        f.labelScanInfo->setText(xprintF(QStringLiteral("files: total:$, files match:$"),
                                         zem::format1000(stats.countFiles.get()), zem::format1000(stats.countFilesMatch)));
        f.labelScanFilter->setText(f.filterCurrent.toString(false));
        f.stacked->setCurrentIndex(FindArea::PAGE_SCAN_RESULT);
        // Keeps the focus off the table, which would make its first row current and replace
        // the summary by that file's preview.
        f.buttonScanResults->setFocus();
        m_stacked->setCurrentWidget(f.panelResults);
        manage_combo_History(f.comboPattern, f.filterCurrent.fileFilter().pattern());
        manage_combo_History(f.comboNotPattern, f.filterCurrent.fileFilter().notPattern());
        return;
    }

    Logger::log(xprintF(QStringLiteral("WinFinder::on_find_dir_scanned, has content filter $"),
                        f.filterCurrent.contentFilter().toString(false)),
                zem::LOG_PROGRESS);
    // The workers run since the start, on the files as the walk found them: from here on the
    // progress bar shows how far they are.
    f.state = FindArea::CONTENT;
    f.progress->setValue(0);
    f.stacked->setCurrentIndex(FindArea::PAGE_CONTENT);
    Logger::log(xprintF(QStringLiteral("WinFinder::on_find_dir_scanned, thScanDir.dirInfo.ar_filtered_files:$"),
                        th.stats.countFilesMatch),
                zem::LOG_PROGRESS);
    if (f.contentDoneEarly)
        on_find_done();
}

void WinFinder::on_find_done()
{
    FindArea& f = *m_find;
    // The workers may end before the walk's end reached this thread: shown once it has.
    if (f.state == FindArea::SCANNING && !f.findPending && !f.thScanDir.dirInfo.isStopped()) {
        f.contentDoneEarly = true;
        return;
    }
    // A search stopped by Escape or by the next Find ends here too; it shows nothing.
    if (f.state != FindArea::CONTENT || f.findPending) {
        start_pending_find();
        return;
    }
    f.timerProgress.stop();
    const QString stars(53, QLatin1Char('*'));
    Logger::log(stars, zem::LOG_PROGRESS);
    Logger::log(QStringLiteral("*** DONE ") + QString(44, QLatin1Char('*')), zem::LOG_PROGRESS);
    Logger::log(stars, zem::LOG_PROGRESS);

    const zem::find::XContentFilter& content = f.zemFind.contentFilter();
    f.buttonScope->setText(content.scope_as_string());
    f.fieldPattern->setText(content.text());
    f.state = FindArea::CONTENT_DONE;
    if (f.zemFind.has_results()) {
        f.buttonContentResults->setEnabled(true);
        f.labelContentSummary->setText(
            xprintF(xt("files-total:$ => $, files-match:$, match-total:$ - $ sec"),
                    zem::format1000(qint64(f.zemFind.count_files())), zem::formatBytes(f.zemFind.bytes_to_read()),
                    zem::format1000(qint64(f.zemFind.count_files_with_hits())),
                    zem::format1000(qint64(f.zemFind.count_hits())), seconds(f.timeStart.nsecsElapsed())));
        f.panelResults->setFileResults(f.zemFind.take_results());
        m_stacked->setCurrentWidget(f.panelResults);
        f.stacked->setCurrentIndex(FindArea::PAGE_CONTENT_RESULT);
        f.panelResults->selectRow(0);
    } else {
        Logger::log(QStringLiteral("WinFinder_find::on_find_done - nothing found"), zem::LOG_PROGRESS);
        f.stacked->setCurrentIndex(FindArea::PAGE_CONTENT_RESULT);
        f.labelContentSummary->setText(xt("Nothing found"));
        f.buttonContentResults->setEnabled(false);
    }
}

void WinFinder::on_escape_key()
{
    FindArea& f = *m_find;
    Logger::log(QStringLiteral("WinFinder_find::on_escape_key"), zem::LOG_PROGRESS);
    const QFileInfo selected = m_treeView ? m_treeView->selectedFile() : QFileInfo();
    f.findPending = false;
    f.timerPending.stop();
    f.thScanDir.stop();
    f.zemFind.stop_search();
    f.state = FindArea::IDLE;
    f.timerProgress.stop();
    f.stacked->setCurrentIndex(FindArea::PAGE_FIND);
    m_stacked->setCurrentWidget(m_previewArea);
    if (!selected.filePath().isEmpty() && selected.exists())
        on_treeView_selectFile(selected);
}

void WinFinder::setup_find_run()
{
    FindArea& f = *m_find;
    QObject::connect(&f.timerProgress, &QTimer::timeout, this, [this] { on_find_progress(); });
    QObject::connect(&f.timerPending, &QTimer::timeout, this, [this] { start_pending_find(); });
    f.thScanDir.scannedListener.set([this](quint32 generation) {
        Logger::log(QStringLiteral("WinFinder::setup_thread_scan_dir, scan done!"), zem::LOG_PROGRESS);
        on_find_dir_scanned(generation);
    });
    f.zemFind.finishedListener.set([this] { on_find_done(); });
}

} // namespace zemFinder
