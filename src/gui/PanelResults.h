#pragma once
// The panel a main window shows in place of its previews after a search: the results table on
// the left; on the right either the summary page of a file search or the previews of the
// selected row (content results open in the text preview with their hits in layer 1000, green,
// the first hit in view; binary files in the hex preview; file-search rows through the preview
// context "CONTEXT-RESULT", which picks the preview as the main window's does).
// Owns its widgets, the table model and the context. GUI thread only.
#include "FileResultModel.h"
#include "XEventListener.h"
#include "XFindStats.h"
#include "widgets/XPanel.h"

#include <QFileInfo>
#include <functional>
#include <memory>
#include <vector>

class QElapsedTimer;
class QModelIndex;
class QTableView;
class QTextBrowser;

namespace zem {
class Preview;
class PreviewAscii;
class PreviewHex;
class XPanelStacked;
class XSplitter;
} // namespace zem

namespace zemFinder {

class ContextPreviews;
class XContainerPreviews;

class PanelResults : public zem::XPanel {
    Q_OBJECT
public:
    // Pages of the right-hand side.
    enum Page { PAGE_SUMMARY = 0, PAGE_PREVIEW = 1 };
    // The mark layer of the text preview that shows a result's hits.
    static constexpr int LAYER_RESULT = 1000;

    explicit PanelResults(QWidget* parent = nullptr);
    ~PanelResults() override;

    void setup();
    void setFileResults(std::vector<FileResult>&& results);
    // sortedByPath: the list is already in the table's path order, which saves sorting it again.
    void setFileResultsSimple(std::vector<QFileInfo>&& files, bool sortedByPath = false);
    // The summary page of a file search: time since start, folder, name pattern and counts.
    void showSummary(const QElapsedTimer& start, const zem::XFindStats& stats, const QString& path,
                     const QString& pattern);
    void showPage(int page);
    int currentPage() const;
    // Selects the row in the table, which shows it in the previews.
    void selectRow(int row);

    void on_jump_to_result(int row);
    void on_jump_to_result_simple(int row);

    bool isContentMode() const { return m_contentMode; }
    QTableView* table() const { return m_table; }
    FileResultModel* model() const { return m_model; }
    QTextBrowser* summaryBrowser() const { return m_summary; }
    XContainerPreviews* container() const { return m_container; }
    ContextPreviews* context() const { return m_context.get(); }
    zem::PreviewAscii* textPreview() const;
    zem::PreviewHex* hexPreview() const;
    // The preview shown for the last jump, or null.
    zem::Preview* shownPreview() const { return m_shown; }

    zem::XEventListener<void(const QFileInfo&)> fileContextListener;
    zem::XEventListener<void(const FileResult&)> resultContextListener;
    zem::XEventListener<void(const QFileInfo&)> fileDoubleClickListener;
    zem::XEventListener<void(const FileResult&)> resultDoubleClickListener;

    // Where the modifiers and the drag come from; tests replace them.
    static std::function<Qt::KeyboardModifiers()> modifiersProvider;
    static std::function<void(QWidget*, const QFileInfo&)> dragStarter;

    // Also the handlers of the table's header click, context request and double click.
    void on_header_clicked(int column);
    void on_context_at_row(int row);
    void on_double_click(const QModelIndex& index);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Sizes the columns so that all of them fit the table's width; the path takes the rest.
    void fit_columns();
    void start_at_top_left();
    // Makes the row of path current and selected again after a sort, without a new jump.
    void keep_selected(const QString& path);
    void apply_table_look(int sortColumn, Qt::SortOrder order);
    void size_splitter_once();
    void show_preview(zem::Preview* preview);

    bool m_contentMode = true;
    bool m_splitterSized = false;
    bool m_keepingSelection = false;
    zem::XSplitter* m_splitter = nullptr;
    QTableView* m_table = nullptr;
    zem::XPanelStacked* m_right = nullptr;
    XContainerPreviews* m_container = nullptr;
    std::unique_ptr<ContextPreviews> m_context;
    zem::Preview* m_shown = nullptr;
    zem::XPanel* m_summaryPage = nullptr;
    QTextBrowser* m_summary = nullptr;
    FileResultModel* m_model = nullptr;
    // Sort state of the header, per column: true while "DOWN" (ascending next).
    std::vector<bool> m_sortDown;
};

} // namespace zemFinder
