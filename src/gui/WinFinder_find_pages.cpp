// WinFinder: pages 1 to 4 of the find area (shown while a search runs and after it), and the
// life of the find area's search state.
#include "Logger.h"
#include "PanelResults.h"
#include "WinFinder.h"
#include "WinFinder_FindArea.h"
#include "XLang.h"
#include "XTheme.h"
#include "widgets/XButton.h"
#include "widgets/XComboBox.h"
#include "widgets/XElidedLabel.h"
#include "widgets/XPanel.h"
#include "widgets/XPanelStacked.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace zemFinder {

using zem::Logger;
using zem::xt;

WinFinder::FindArea::FindArea()
{
    timerProgress.setInterval(200);
    // Only needed when a finished event overtook its thread's last step: a few milliseconds.
    timerPending.setInterval(5);
    timerPending.setSingleShot(true);
    thScanDir.pFilterCurrent = &filterCurrent;
}

WinFinder::FindArea::~FindArea()
{
    timerProgress.stop();
    timerPending.stop();
    // Both are asked to end here; their own destructors then wait the few moments that takes
    // (the content search first: its workers read the scan's file list).
    zemFind.stop_search();
    thScanDir.stop();
}

uint32_t WinFinder::search_state() const
{
    return m_find->state;
}

PanelResults* WinFinder::panelResults() const
{
    return m_find->panelResults;
}

void WinFinder::setup_panel_find_pages()
{
    FindArea& f = *m_find;
    // Summaries and paths can be longer than any screen: they shorten instead of widening the window.
    auto label = [](zem::XPanel* page) { return page->add(new zem::XElidedLabel(page)); };
    auto button = [](zem::XPanel* page, const QString& text) {
        auto* b = page->add(new zem::XButton(page));
        b->setText(text);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        return b;
    };

    auto* scan = f.stacked->add(new zem::XPanel(false));
    scan->setMargins(0, 4, 0, 4);
    *button(scan, xt("Cancel")) = [this] { on_escape_key(); };
    f.labelScan = label(scan);
    scan->addStretch(1);

    auto* scanResult = f.stacked->add(new zem::XPanel(false));
    scanResult->setMargins(0, 4, 0, 4);
    *button(scanResult, xt("Back")) = [this] { on_escape_key(); };
    f.buttonScanResults = button(scanResult, xt("Results"));
    *f.buttonScanResults = [this] {
        Logger::log(QStringLiteral("WinFinder::setup_panel_scanDir_result, Results"), zem::LOG_PROGRESS);
        m_stacked->setCurrentWidget(m_find->panelResults);
    };
    f.labelScanInfo = label(scanResult);
    // Two counts, never long: shown whole; the filter text beside it gives way.
    f.labelScanInfo->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    scanResult->addStretch(1);
    f.labelScanFilter = label(scanResult);
    f.labelScanFilter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* content = f.stacked->add(new zem::XPanel(false));
    content->setMargins(0, 4, 0, 4);
    *button(content, xt("Cancel")) = [this] { on_escape_key(); };
    f.progress = content->add(new QProgressBar(content), 1);
    f.progress->setRange(0, 100);
    content->createLabel(xt("...find contents"));

    auto* contentResult = f.stacked->add(new zem::XPanel(false));
    contentResult->setMargins(0, 4, 0, 4);
    *button(contentResult, xt("Back")) = [this] { on_escape_key(); };
    f.buttonContentResults = button(contentResult, xt("Results"));
    *f.buttonContentResults = [this] {
        Logger::log(QStringLiteral("WinFinder::setup_panel_findContents_result, Content Find Results"),
                    zem::LOG_PROGRESS);
        m_stacked->setCurrentWidget(m_find->panelResults);
    };
    f.labelContentSummary = label(contentResult);
    contentResult->addStretch(1);
    f.buttonScope = contentResult->add(new QToolButton(contentResult));
    f.buttonScope->setEnabled(false);
    f.buttonScope->setToolTip(xt("Scope"));
    f.fieldPattern = contentResult->createLineEdit();
    f.fieldPattern->setReadOnly(true);
    f.fieldPattern->setMinimumWidth(200);
    f.fieldPattern->setToolTip(xt("Pattern"));
    auto* full = contentResult->createButtonImageIcon(zem::XTheme::iconPath(QStringLiteral("expand.svg")),
                                                      xt("Toggle Full Screen"));
    full->setCheckable(true);
    *full = [this] { toggle_full_screen(); };
    *contentResult->createButtonImageIcon(zem::XTheme::iconPath(QStringLiteral("hide.svg")),
                                          xt("Hide to Tray Menu")) = [this] { hide_to_tray(); };

    f.stacked->setCurrentIndex(FindArea::PAGE_FIND);

    // The results panel lives in the right-hand stack, beside the previews.
    f.panelResults = m_stacked->add(new PanelResults(m_stacked));
    f.panelResults->setObjectName(QStringLiteral("findResults"));
    f.panelResults->setup();
    add_preview_context(f.panelResults->context());
    // "Copy to search" of a text preview puts the selection into the content box.
    copyToSearchListener.add([this](const QString& text) {
        if (m_find->comboContent)
            m_find->comboContent->setEditText(text);
    });
    m_stacked->setCurrentWidget(m_previewArea);
    setup_find_run();
}

} // namespace zemFinder
