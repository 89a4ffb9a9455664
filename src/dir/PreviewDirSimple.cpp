#include "PreviewDirSimple.h"

#include "Logger.h"
#include "XLang.h"
#include "impl/DirScannerThread.h"
#include "widgets/XPanel.h"

#include <QBoxLayout>
#include <QDateTime>
#include <QDir>
#include <QFrame>
#include <QTextBrowser>
#include <QTextDocument>

namespace zemFinder {

using zem::Logger;

PreviewDirSimple::PreviewDirSimple(QWidget* parent)
    : AbstractPreviewDir(parent), m_scanner(std::make_unique<DirScannerThread>())
{
}

PreviewDirSimple::~PreviewDirSimple()
{
    // The scan reads the scanner's record: stop it and wait before the record goes away.
    m_scanner->finishedListener.setEnabled(false);
    m_scanner->info.running = false;
    m_scanner->wait_done(-1);
}

void PreviewDirSimple::ini()
{
    if (m_panel)
        return;
    AbstractPreviewDir::ini();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_panel = new zem::XPanel(true, this);
    m_panel->set_args(0, 0);
    layout->addWidget(m_panel);
    m_browser = m_panel->add(new QTextBrowser(m_panel), 1);
    m_browser->setFrameShape(QFrame::Panel);
    m_browser->setFrameShadow(QFrame::Sunken);
    m_browser->setOpenLinks(false);
    // Headings at their browser defaults are poster-sized in a side panel.
    m_browser->document()->setDefaultStyleSheet(
        QStringLiteral("h2 { font-size: large; } h3 { font-size: medium; font-weight: normal; }"));
    m_scanner->finishedListener.setEnabled(false);
    m_scanner->finishedListener.set([this] {
        // The listener is firing under its own lock here: it must not be changed from inside.
        Logger::log(QStringLiteral("PreviewDirSimple::ini, done"), zem::LOG_PROGRESS);
        m_browser->setHtml(m_scanner->html());
    });
    m_scanner->finishedListener.setEnabled(true);
}

QString PreviewDirSimple::summaryPage(const QFileInfo& dir, int subdirs, int files, int hiddenLeftOut)
{
    QString page = DirScannerThread::pageStart();
    page += zem::xprintF(QStringLiteral("<h2>$ \"$\"</h2>"), zem::xt("Directory"), dir.absoluteFilePath().toHtmlEscaped());
    const QDateTime modified = dir.lastModified();
    page += QStringLiteral("<h3>");
    QList<QPair<QString, QString>> pairs{{zem::xt("Date"), modified.toString(QStringLiteral("yyyy/MM/dd"))},
                                         {zem::xt("Time"), modified.toString(QStringLiteral("hh:mm"))},
                                         {zem::xt("Subdirs"), zem::format1000(subdirs)},
                                         {zem::xt("Files"), zem::format1000(files)}};
    if (hiddenLeftOut > 0)
        pairs.append({zem::xt("Hidden, not listed"), zem::format1000(hiddenLeftOut)});
    page += DirScannerThread::pairTable(pairs);
    page += QStringLiteral("</h3></body>\n</html>\n");
    return page;
}

bool PreviewDirSimple::open_file(const QFileInfo& fi)
{
    m_fileInfo = fi;
    // The counts are those of the listing beside: hidden entries only while they are shown
    // there; otherwise the page says how many it leaves out.
    const QFileInfoList entries =
        QDir(fi.absoluteFilePath())
            .entryInfoList(QDir::Files | QDir::AllDirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::DirsFirst);
    int subdirs = 0;
    int files = 0;
    int hiddenLeftOut = 0;
    for (const QFileInfo& entry : entries) {
        if (entry.isHidden() && !m_showHidden)
            ++hiddenLeftOut;
        else
            (entry.isDir() ? subdirs : files)++;
    }
    if (m_browser)
        m_browser->setHtml(summaryPage(fi, subdirs, files, hiddenLeftOut));
    // A running scan keeps its own folder; the next one starts from this.
    if (!isScanning())
        m_scanner->path = fi.absoluteFilePath();
    return true;
}

QFileInfo PreviewDirSimple::file_info() const
{
    return m_scanner->path.isEmpty() ? m_fileInfo : QFileInfo(m_scanner->path);
}

void PreviewDirSimple::set_text_file_extensions(const TextFiles& extensions)
{
    if (!isScanning())
        m_scanner->info.textExtensions = extensions;
}

void PreviewDirSimple::stop_jobs()
{
    m_scanner->info.running = false;
}

bool PreviewDirSimple::isScanning() const
{
    return m_scanner->isBusy();
}

void PreviewDirSimple::onDeepInfo()
{
    Logger::log(QStringLiteral("PreviewDirSimple::onDeepInfo"), zem::LOG_PROGRESS);
    if (isScanning()) {
        Logger::log(QStringLiteral("PreviewDirSimple::onDeepInfo - Cancelled"), zem::LOG_PROGRESS);
        m_scanner->info.running = false;
        return;
    }
    if (m_scanner->path.isEmpty())
        m_scanner->path = m_fileInfo.absoluteFilePath();
    m_scanner->finishedListener.setEnabled(true);
    // Set here, not on the pool thread, so that a cancel right after the start is not lost.
    m_scanner->info.running = true;
    if (!zem::XThreadPool::start_global(m_scanner.get(), false)) {
        m_scanner->info.running = false;
        return;
    }
    if (m_browser)
        m_browser->append(zem::xt("Counting ..."));
}

} // namespace zemFinder
