#include "WinProperties.h"

#include "KernelGUI.h"
#include "Logger.h"
#include "ThreadCalc.h"
#include "XLang.h"
#include "XNode.h"
#include "XTheme.h"
#include "XTools.h"
#include "config/ConfigZemFinder.h"
#include "widgets/XButton.h"
#include "widgets/XClipboard.h"
#include "widgets/XPanel.h"
#include "widgets/XToolsGui.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;

namespace {
// The jobs' progress is polled, not signalled: ten looks a second keep the bar smooth.
constexpr int PROGRESS_POLL_MS = 100;
constexpr int LABEL_WIDTH = 100;
constexpr int CHECKSUM_FIELD_WIDTH = 900;
const QString TIME_FORMAT = QStringLiteral("yyyy/MM/dd - hh:mm");
const QString NODE_CHECKSUMS = QStringLiteral("CHECKSUMS");

void log(const QString& text)
{
    Logger::log(text, zem::LOG_PROGRESS);
}

// Deletes a cancelled job once its pool thread let go of it (checked on the GUI thread).
void delete_when_done(ThreadCalc* job)
{
    if (job->isBusy()) {
        zem::qt::run_in_Gui_Thread([job] { delete_when_done(job); }, PROGRESS_POLL_MS);
        return;
    }
    delete job;
}

// Developer command: the window of one file; the run ends when the window closes.
int win_properties_command(zem::KernelGUI& kernel)
{
    const QString path = kernel.commandLine().getString(QStringLiteral("file"), QString());
    WinProperties* win = WinProperties::show_for(QFileInfo(path));
    if (!win) {
        Logger::log(xprintF(QStringLiteral("winProperties, not a file <<<$>>>"), path), zem::LOG_ERROR);
        return 1;
    }
    QObject::connect(win, &QObject::destroyed, qApp, [] { QCoreApplication::exit(0); });
    return kernel.run();
}

const zem::TestGuiContextAdder g_command(win_properties_command, "winProperties", "properties window of a file",
                                         {QStringLiteral("find")}, {QStringLiteral("file")});
} // namespace

WinProperties::WinProperties(QWidget* parent) : WindowBase(parent)
{
    setObjectName(QStringLiteral("Properties"));
    for (auto& job : m_jobs)
        job = std::make_unique<ThreadCalc>();
}

WinProperties::~WinProperties()
{
    cancel_jobs();
    // The window must not go while a job still reads: give the jobs a moment, then let a job that
    // has not ended yet (a stalled read) outlive the window and be deleted when it ends.
    QElapsedTimer waited;
    waited.start();
    for (auto& job : m_jobs) {
        job->finishedListener.setEnabled(false);
        job->finishedListener.clear();
        const int left = int(qMax<qint64>(0, CANCEL_WAIT_MS - waited.elapsed()));
        if (job->isBusy() && !job->wait_done(left))
            delete_when_done(job.release());
    }
    Logger::log(QStringLiteral("WinProperties::~WinProperties"), zem::LOG_DETAIL);
}

QString WinProperties::shortName() const
{
    return m_file.fileName();
}

QString WinProperties::toString() const
{
    return objectName().isEmpty() ? QStringLiteral("WinProperties")
                                  : xprintF(QStringLiteral("WinProperties@$"), objectName());
}

WinProperties* WinProperties::show_for(const QFileInfo& file)
{
    log(xprintF(QStringLiteral("WinFinder::on_open_stand_alone_preview, ** <<<$>>>"), file.absoluteFilePath()));
    if (!file.isFile())
        return nullptr;
    zem::KernelGUI* kernel = zem::KernelGUI::kernelGui();
    if (!kernel) {
        zem::nullPointerHandling("src/gui/WinProperties", __LINE__, "kernel == NULL");
        return nullptr;
    }
    zem::XNode* node = kernel->getCreateNodeApplication()
                           ->getCreateNode(QStringLiteral("GUI"))
                           ->getCreateNode(QStringLiteral("Properties"));
    auto* win = new WinProperties;
    win->setup(node, true);
    win->setWindowTitle(file.fileName());
    win->set_file(file);
    zem::XTools::centerOnScreen(win, 900, 500);
    win->show();
    return win;
}

bool WinProperties::setup(zem::XNode* node, bool deleteOnClose)
{
    if (!node) {
        zem::nullPointerHandling("src/gui/WinProperties", __LINE__, "nView == NULL");
        return false;
    }
    if (m_setUp) {
        Logger::log(QStringLiteral("WinProperties::setup, called twice"), zem::LOG_ERROR);
        return false;
    }
    m_setUp = true;
    setAttribute(Qt::WA_DeleteOnClose, deleteOnClose);
    addHotKeyMethod(Qt::Key_Escape, [this] { close(); });
    setNodeWin(node);
    set_icon(QStringLiteral(":/zf/icons/find3.svg"), 64);
    closeListener.add([this] { on_close(); });
    zem::XPanel* content = createContentPanel(true);

    zem::XPanel* rowFile = content->createPanelHorizontal();
    QLabel* label = rowFile->createLabel(xt("File"));
    label->setMinimumWidth(LABEL_WIDTH);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_path = rowFile->add(new QLineEdit, 1);
    m_size = rowFile->createLineEdit();
    m_time = rowFile->createLineEdit();
    for (QLineEdit* field : {m_path, m_size, m_time})
        field->setReadOnly(true);

    zem::XNode* nChecksums = node->getCreateNode(NODE_CHECKSUMS);
    for (int i = 0; i < JOBS; ++i) {
        m_jobs[size_t(i)]->checksum.set_algo(zem::CheckSum::MD5 + i);
        create_crc_panel(content, i, nChecksums);
    }

    zem::XPanel* rowButtons = content->createPanelHorizontal();
    m_buttonCalc = rowButtons->add(new zem::XButton);
    m_buttonCalc->setText(xt("Calculate checksum"));
    m_buttonCalc->setIcon(QIcon(QStringLiteral(":/zf/icons/calc.svg")));
    m_buttonCalc->setIconSize(QSize(16, 16));
    m_buttonCalc->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    *m_buttonCalc = [this] {
        log(QStringLiteral("WinProperties::setup - calc all"));
        on_calc_all();
    };
    zem::XButton* copyAll = rowButtons->add(new zem::XButton);
    copyAll->setText(xt("Copy all"));
    copyAll->setIcon(QIcon(zem::XTheme::iconPath(QStringLiteral("copy.svg"))));
    copyAll->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    copyAll->setToolTip(xt("Copy all to Clipboard"));
    *copyAll = [this] { on_copy_all(); };
    m_spacer = rowButtons->add(new QWidget, 1);
    m_progress = rowButtons->add(new QProgressBar, 1);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->hide();
    zem::XButton* manager = rowButtons->add(new zem::XButton);
    manager->setText(xt("File Manager"));
    manager->setToolButtonStyle(Qt::ToolButtonTextOnly);
    *manager = [this] {
        log(xprintF(QStringLiteral("WinProperties::setup - explorer <$>"), m_file.absoluteFilePath()));
        zem::XToolsGui::showFolderInFileManager(m_file.absoluteFilePath());
    };
    content->addStretch();

    m_timer.setInterval(PROGRESS_POLL_MS);
    connect(&m_timer, &QTimer::timeout, this, [this] { on_timer_check_progress(); });
    return true;
}

void WinProperties::create_crc_panel(zem::XPanel* content, int i, zem::XNode* nChecksums)
{
    ThreadCalc* job = m_jobs[size_t(i)].get();
    const QString name = job->checksum.algo_as_string();
    zem::XPanel* row = content->createPanelHorizontal();
    QLabel* label = row->createLabel(name);
    label->setMinimumWidth(LABEL_WIDTH);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->installEventFilter(this);
    m_labels[size_t(i)] = label;

    // MD5 alone by default: the quickest, and enough to compare two copies.
    const bool checked = nChecksums->isBool(name, i == 0);
    QCheckBox* check = row->createCheckBox(QString(), checked);
    job->selected.store(checked);
    m_checks[size_t(i)] = check;

    QLineEdit* field = row->add(new QLineEdit, 1);
    field->setReadOnly(true);
    field->setMinimumWidth(CHECKSUM_FIELD_WIDTH);
    m_fields[size_t(i)] = field;

    *row->createButtonImageIcon(zem::XTheme::iconPath(QStringLiteral("copy.svg")), xt("Copy to Clipboard"), 16) =
        [field] { zem::XClipboard::setText(field->text()); };

    connect(check, &QCheckBox::toggled, this, [job, field, nChecksums, name](bool on) {
        job->selected.store(on);
        if (!on)
            field->clear();
        nChecksums->setBool(name, on);
    });
    job->finishedListener.set([this, i] { on_job_finished(i); });
    job->finishedListener.setEnabled(true);
}

void WinProperties::on_job_finished(int i)
{
    ThreadCalc& calc = job(i);
    // A job started again meanwhile owns its checksum: its own end will fill the field.
    if (calc.isBusy())
        return;
    log(QStringLiteral("WinProperties::create_crc_panel - FINISHED"));
    QLineEdit* field = checksumField(i);
    if (calc.checksum.isValid() && calc.selected.load())
        field->setText(calc.checksum.toString(false));
    else
        field->clear();
}

bool WinProperties::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < JOBS; ++i) {
            if (watched == m_labels[size_t(i)]) {
                m_checks[size_t(i)]->toggle();
                return true;
            }
        }
    }
    return WindowBase::eventFilter(watched, event);
}

void WinProperties::set_file(const QFileInfo& file)
{
    m_file = file;
    m_path->setText(file.absoluteFilePath());
    m_size->setText(zem::formatBytes(quint64(file.size())));
    m_time->setText(file.lastModified().toString(TIME_FORMAT));
    for (auto& job : m_jobs)
        job->checksum.set_file(file.absoluteFilePath());

    const WinFinderConfig& cfg = WinFinderConfig::get();
    const quint64 limit = cfg.max_file_size_auto_calc_checksums * 1000000ull;
    const bool autoCalc = cfg.flagPropAutoLoad && quint64(file.size()) <= limit;
    log(xprintF(QStringLiteral("WinProperties::set_file, max_file_size_auto_calc_checksums:$"),
                cfg.max_file_size_auto_calc_checksums));
    log(xprintF(QStringLiteral("WinProperties::set_file, flagAutoCalc:$"), autoCalc));
    if (autoCalc)
        on_calc_all();
}

void WinProperties::on_calc_all()
{
    bool any = false;
    for (auto& job : m_jobs)
        any = any || job->selected.load();
    if (!any)
        return;
    if (m_timer.isActive()) {
        cancel_jobs();
        return;
    }
    m_timer.start();
    log(QStringLiteral("WinProperties::on_calc_all"));
    show_running(true);
    for (int i = 0; i < JOBS; ++i) {
        ThreadCalc& calc = job(i);
        if (!calc.selected.load())
            continue;
        // A job just cancelled may still be leaving its last chunk.
        if (calc.isBusy() && !calc.wait_done(CANCEL_WAIT_MS))
            continue;
        checksumField(i)->clear();
        calc.checksum.reset();
        calc.run.store(true);
        calc.progress.store(0);
        zem::XThreadPool::start_global(&calc, false);
    }
}

void WinProperties::cancel_jobs()
{
    for (auto& job : m_jobs) {
        // Every job, not only the running ones: one may be queued but not started yet.
        job->run.store(false);
        job->progress.store(0);
    }
    m_timer.stop();
    if (m_progress)
        m_progress->setValue(0);
    show_running(false);
}

void WinProperties::show_running(bool running)
{
    if (!m_progress)
        return;
    m_progress->setVisible(running);
    m_spacer->setVisible(!running);
    m_buttonCalc->setToolTip(running ? xt("Cancel checksum calculation") : QString());
}

void WinProperties::on_timer_check_progress()
{
    log(QStringLiteral("WinProperties::on_timer_check_progress"));
    int lowest = 100;
    bool running = false;
    for (auto& job : m_jobs) {
        if (!job->isRunning())
            continue;
        running = true;
        const int percent = job->progress.load();
        log(xprintF(QStringLiteral("WinProperties::on_timer_check_progress, percent:$"), percent));
        lowest = qMin(lowest, percent);
    }
    if (running) {
        m_progress->setValue(lowest);
        return;
    }
    m_progress->setValue(0);
    m_timer.stop();
    show_running(false);
}

QString WinProperties::copy_all_text() const
{
    if (!m_file.exists() || !m_file.isFile())
        return QString();
    const qint64 size = m_file.size();
    QString text = m_file.absoluteFilePath() + QLatin1Char('\n');
    text += zem::formatBytes(quint64(size)) + QStringLiteral(" - ") + zem::format1000(size) + QStringLiteral(" bytes\n");
    text += m_file.lastModified().toString(TIME_FORMAT) + QLatin1Char('\n');
    // A checksum object belongs to its job while the job runs.
    bool busy = is_calculating();
    for (auto& job : m_jobs)
        busy = busy || job->isBusy();
    if (busy)
        return text;
    int width = 0;
    for (auto& job : m_jobs)
        if (job->selected.load())
            width = qMax(width, job->checksum.algo_as_string().size());
    for (auto& job : m_jobs) {
        if (!job->selected.load())
            continue;
        const QString name = job->checksum.algo_as_string();
        text += QString(width - name.size(), QLatin1Char(' ')) + name + QStringLiteral(": ")
                + job->checksum.toString(false) + QLatin1Char('\n');
    }
    return text;
}

void WinProperties::on_copy_all()
{
    log(QStringLiteral("WinProperties::on_copy_all"));
    const QString text = copy_all_text();
    if (!text.isEmpty())
        zem::XClipboard::setText(text);
}

void WinProperties::on_close()
{
    log(QStringLiteral("WinProperties::on_close"));
    if (m_timer.isActive())
        cancel_jobs();
}

} // namespace zemFinder
