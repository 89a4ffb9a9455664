#include "private_Stats.h"

#include "Logger.h"
#include "StatsReport.h"
#include "XLang.h"
#include "XTheme.h"
#include "XThread.h"
#include "widgets/XPanel.h"
#include "widgets/XTypedComboBox.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;

QColor private_Stats::s_text = QColor(Qt::black);
QColor private_Stats::s_background = QColor(222, 222, 222);

namespace {
constexpr int kWordLenMax = 20;
constexpr int kWordLenDefault = 3;
} // namespace

private_Stats::private_Stats(QWidget* owner) : m_owner(owner) {}

private_Stats::~private_Stats()
{
    // A closing window must not keep a pool thread counting for nobody.
    stop_run();
}

void private_Stats::ini()
{
    if (panel)
        return;
    auto* box = new QVBoxLayout(m_owner);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    panel = new zem::XPanel(true, m_owner);
    panel->set_args(0, 0);
    box->addWidget(panel);
    browser = panel->add(new QTextBrowser(panel), 1);

    zem::XPanel* row = panel->createPanelHorizontal();
    row->setMargins(4, 4, 4, 4);
    row->createLabel(xt("Show"));
    editShow = row->createLineEdit(QStringLiteral("50"));
    editShow->setMaximumWidth(60);
    checkAll = row->createCheckBox(xt("All"), false);
    QObject::connect(checkAll, &QCheckBox::toggled, editShow, [this](bool on) { editShow->setEnabled(!on); });
    row->addSpacing(10);
    row->createLabel(xt("Word Len"));
    comboLen = row->add(new zem::XTypedComboBox(row));
    for (int n = 1; n <= kWordLenMax; ++n)
        comboLen->addTypedItem(QString::number(n), uint32_t(n));
    comboLen->selectValue(kWordLenDefault);
    row->addStretch(1);
    buttonGo = row->add(new QPushButton(xt("Create word len statistics"), row));
    QObject::connect(buttonGo, &QPushButton::clicked, browser, [this] { on_go(); });
}

void private_Stats::stop_run()
{
    if (m_run)
        m_run->store(false);
    m_run.reset();
}

void private_Stats::show_header()
{
    if (browser)
        browser->setHtml(stats::page_head(s_background, s_text) + stats::file_header(file) + stats::page_end());
}

void private_Stats::open_file(const QFileInfo& fi)
{
    // The page of a run over the previous file would come under this file's header.
    if (is_running()) {
        stop_run();
        if (buttonGo)
            buttonGo->setText(xt("Create word len statistics"));
    }
    file = fi;
    Logger::log(xprintF(QStringLiteral("private_Stats::open_file, fi:$"), fi.absoluteFilePath()), zem::LOG_PROGRESS);
    if (zem::XTheme::isDark()) {
        s_text = QColor(Qt::white);
        s_background = QColor(Qt::black);
    }
    show_header();
}

void private_Stats::on_go()
{
    if (!browser)
        return;
    if (is_running()) {
        stop_run();
        buttonGo->setText(xt("Go"));
        browser->setHtml(stats::stopped_page(s_background, s_text, file));
        return;
    }
    const QString countText = checkAll->isChecked() ? QStringLiteral("0") : editShow->text();
    const int index = comboLen->currentIndex();
    quint32 len = 0;
    if (index < 0 || index >= comboLen->count())
        Logger::log(xprintF(QStringLiteral("XTypedComboBox_inline::selected, index:$ - type problem"), index),
                    zem::LOG_ERROR);
    else
        len = comboLen->itemData(index).toUInt();
    bool ok = false;
    const uint countShow = countText.trimmed().toUInt(&ok, 10);
    if (!ok) {
        Logger::log(xprintF(QStringLiteral("private_Stats::ini, <<<$>>> is not a valid number"), countShow),
                    zem::LOG_WARN);
        return;
    }
    buttonGo->setText(xt("Cancel..."));
    auto run = std::make_shared<std::atomic<bool>>(true);
    m_run = run;
    Logger::log(xprintF(QStringLiteral("private_Stats::on_go, countShow:$, len:$, excludeDelims:$"), countShow, len, true),
                zem::LOG_PROGRESS);
    const QFileInfo fi = file;
    const QColor background = s_background;
    const QColor text = s_text;
    QPointer<QTextBrowser> guard = browser;
    zem::XThreadPool::start_global([this, run, fi, countShow, len, background, text, guard] {
        QString page = stats::statistics(*run, fi, countShow, len, background, text);
        zem::qt::run_in_Gui_Thread([this, run, guard, page = std::move(page)] {
            // A cancelled run, or one whose Stats is gone, is dropped.
            if (!guard || !run->load() || m_run != run)
                return;
            guard->setHtml(page);
            buttonGo->setText(xt("Create word len statistics"));
            m_run.reset();
        });
    });
}

} // namespace zemFinder
