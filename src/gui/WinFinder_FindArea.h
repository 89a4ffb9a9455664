#pragma once
// The find area of a main window and the state of its search: the five pages of the stacked
// panel below the tree, the widgets the filter is read from, and what one search needs (current
// filter, scan thread, content search, progress timer). Owned by the window; GUI thread only,
// except the scan thread's own members.
#include "WinFinder.h"
#include "WinFinder_ThreadScanDir.h"
#include "find/ZemFind.h"
#include "find/XFilter.h"

#include <QElapsedTimer>
#include <QTimer>

class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QToolButton;

namespace zem {
class XButton;
class XComboBox;
class XTypedComboBox;
} // namespace zem

namespace zemFinder {

class PanelResults;

struct WinFinder::FindArea {
    // Page numbers of the stacked find area.
    enum Page { PAGE_FIND = 0, PAGE_SCAN = 1, PAGE_SCAN_RESULT = 2, PAGE_CONTENT = 3, PAGE_CONTENT_RESULT = 4 };
    // Search states: idle, folder scan (and file-search results), content search, content results.
    enum State : uint32_t { IDLE = 0, SCANNING = 1, CONTENT = 3, CONTENT_DONE = 4 };

    FindArea();
    ~FindArea();

    zem::XPanelStacked* stacked = nullptr;

    // Page 0.
    zem::XPanel* rowContent = nullptr;
    zem::XComboBox* comboContent = nullptr;
    zem::XButton* buttonRegEx = nullptr;
    zem::XTypedComboBox* comboScope = nullptr;
    zem::XButton* buttonFilter = nullptr;
    zem::XComboBox* comboPattern = nullptr;
    zem::XComboBox* comboNotPattern = nullptr;
    zem::XPanel* panelTime = nullptr;
    zem::XTypedComboBox* comboTime = nullptr;
    QDateEdit* date1 = nullptr;
    QDateEdit* date2 = nullptr;
    zem::XPanel* panelSize = nullptr;
    zem::XTypedComboBox* comboSize = nullptr;
    QLineEdit* size1 = nullptr;
    QLineEdit* size2 = nullptr;
    zem::XButton* buttonFullScreen = nullptr;
    zem::XButton* buttonConfig = nullptr;

    // Page 1.
    QLabel* labelScan = nullptr;
    // Page 2.
    zem::XButton* buttonScanResults = nullptr;
    QLabel* labelScanInfo = nullptr;
    QLabel* labelScanFilter = nullptr;
    // Page 3.
    QProgressBar* progress = nullptr;
    // Page 4.
    zem::XButton* buttonContentResults = nullptr;
    QLabel* labelContentSummary = nullptr;
    QToolButton* buttonScope = nullptr;
    QLineEdit* fieldPattern = nullptr;

    PanelResults* panelResults = nullptr;

    // The search.
    uint32_t state = IDLE;
    // What is wrong with the field that stopped the last filter_from_GUI (empty: nothing said).
    QString faultText;
    QElapsedTimer timeStart;
    QElapsedTimer timeFilter;
    zem::find::XFilter filterCurrent;
    // 200 ms: often enough for the counters to look alive, rare enough to cost nothing.
    QTimer timerProgress;
    // Numbers the scans; the end of a scan of another number is dropped.
    quint32 scanGeneration = 0;
    // A Find pressed while the last search was still ending: started once it has ended.
    bool findPending = false;
    // The content search ended before the walk's end was handled (it streams while the walk
    // runs): on_find_dir_scanned shows the results then.
    bool contentDoneEarly = false;
    QString pendingFolder;
    zem::find::XFilter pendingFilter;
    // Looks again for the end of the stopped search when its finished event came before its
    // thread had quite let go.
    QTimer timerPending;
    ThreadScanDir thScanDir;
    ZemFind zemFind;
};

} // namespace zemFinder
