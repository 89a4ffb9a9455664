#pragma once
// A modal file chooser: a non-native file dialog beside a preview container with the standard
// previews, which shows whatever entry the user points at. The entry pointed at last (by any such
// dialog) is the answer; cancel clears it. Splitter and last folder are kept in the node given to
// setup. Log prefix "XFileDialogMultiPreview::". GUI thread only; created per call.
#include "widgets/XDialog.h"

#include <QString>
#include <QStringList>

namespace zem {
class Preview;
class XNode;
class XSplitter;
} // namespace zem

namespace zemFinder {

class XContainerPreviews;
class XFileDialogHelper;

class DiaSelectFile : public zem::XDialog {
    Q_OBJECT
public:
    explicit DiaSelectFile(QWidget* parent = nullptr);
    ~DiaSelectFile() override;

    // Runs a dialog modally on node; the chosen path, or empty when cancelled.
    static QString getSelectedFile(zem::XNode* node, const QString& nameFilter);
    static QString getSelectedFile(zem::XNode* node, const QStringList& nameFilters);
    // The entry most recently pointed at in any such dialog (empty after a cancel).
    static QString rememberedPath();

    void setup(zem::XNode* node);
    // Registers one more preview in the container (the dialog then owns it).
    void addPreview(zem::Preview* preview);

    XFileDialogHelper* fileDialog() const { return m_fileDialog; }
    zem::XSplitter* splitter() const { return m_splitter; }
    XContainerPreviews* container() const { return m_container; }

    void on_current_changed(const QString& path);
    void on_finished(int result);

private:
    static QString run_dialog(zem::XNode* node, const QStringList& nameFilters);

    XFileDialogHelper* m_fileDialog = nullptr;
    zem::XSplitter* m_splitter = nullptr;
    XContainerPreviews* m_container = nullptr;
};

} // namespace zemFinder
