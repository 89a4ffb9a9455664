#include "DiaSelectFile.h"

#include "Logger.h"
#include "XFileDialogHelper.h"
#include "XNode.h"
#include "XTools.h"
#include "dir/AbstractPreviewDir.h"
#include "dir/XContainerPreviews.h"
#include "preview/Preview.h"
#include "widgets/XPanel.h"
#include "widgets/XSplitter.h"

#include <QFileInfo>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
const char* SOURCE = "src/dialogs/DiaSelectFile";
const QString KEY_PATH = QStringLiteral("path");
const QString KEY_SPLITTER = QStringLiteral("splitter");
constexpr int kMinWidth = 800;
constexpr int kMinHeight = 500;
constexpr int kDialogShare = 520;
constexpr int kPreviewShare = 430;

QString& remembered()
{
    static QString path;
    return path;
}
} // namespace

DiaSelectFile::DiaSelectFile(QWidget* parent) : zem::XDialog(parent) {}

DiaSelectFile::~DiaSelectFile()
{
    // The file dialog has no parent of its own (a QFileDialog widget is a window until placed);
    // the splitter took it over, so it goes with the dialog.
}

QString DiaSelectFile::rememberedPath()
{
    return remembered();
}

QString DiaSelectFile::getSelectedFile(zem::XNode* node, const QString& nameFilter)
{
    return run_dialog(node, nameFilter.isEmpty() ? QStringList() : QStringList{nameFilter});
}

QString DiaSelectFile::getSelectedFile(zem::XNode* node, const QStringList& nameFilters)
{
    return run_dialog(node, nameFilters);
}

QString DiaSelectFile::run_dialog(zem::XNode* node, const QStringList& nameFilters)
{
    {
        DiaSelectFile dia;
        dia.setup(node);
        if (!nameFilters.isEmpty())
            dia.fileDialog()->setNameFilters(nameFilters);
        dia.run();
    }
    const QString path = remembered();
    if (zem::XTools::isDebug()) {
        if (path.isEmpty())
            Logger::log(QStringLiteral("XFileDialogMultiPreview::getSelectedFile, Dialog cancelled ..."),
                        zem::LOG_PROGRESS);
        else
            Logger::log(xprintF(QStringLiteral("XFileDialogMultiPreview::getSelectedFile, selected file '$'"), path),
                        zem::LOG_PROGRESS);
    }
    return path;
}

void DiaSelectFile::setup(zem::XNode* node)
{
    setNodeWin(node);
    const QString startDir = node ? node->getString(KEY_PATH) : QString();
    if (m_container) {
        Logger::log(QStringLiteral("XFileDialogMultiPreview::setup, already setup!"), zem::LOG_ERROR);
        return;
    }
    setMinimumSize(kMinWidth, kMinHeight);
    zem::XPanel* content = createContentPanel(true);
    content->set_args(0, 0);

    m_fileDialog = new XFileDialogHelper;
    m_fileDialog->setWindowFlags(Qt::Widget);
    m_fileDialog->setDirectory(startDir);
    m_fileDialog->setViewMode(QFileDialog::Detail);

    m_splitter = content->add(new zem::XSplitter(Qt::Horizontal, content), 1);
    m_splitter->addWidget(m_fileDialog);
    m_container = new XContainerPreviews(m_splitter);
    m_splitter->addWidget(m_container);

    m_fileDialog->currentChangedListener.add([this](const QString& path) { on_current_changed(path); });
    m_fileDialog->finishedListener.add([this](int result) { on_finished(result); });
    setBounds(50, 50, 950, 600);
    // Without a stored state the preview gets a useful share; the dialog's own widgets ask for most.
    if (!node || !m_splitter->nodeToState(node, KEY_SPLITTER))
        m_splitter->setSizes({kDialogShare, kPreviewShare});
    m_container->addStandardPreviews();
}

void DiaSelectFile::addPreview(zem::Preview* preview)
{
    if (!m_container) {
        zem::nullPointerHandling(SOURCE, __LINE__, "panPreview == NULL");
        return;
    }
    if (!preview) {
        zem::nullPointerHandling(SOURCE, __LINE__, "preview == NULL");
        return;
    }
    m_container->addPreview(preview, true, true);
}

void DiaSelectFile::on_current_changed(const QString& path)
{
    if (path.isEmpty() || !m_container)
        return;
    const QFileInfo fi(path);
    zem::Preview* preview = nullptr;
    if (fi.isDir()) {
        preview = m_container->previewDirectory();
        if (!preview)
            return;
    }
    remembered() = path;
    setWindowTitle(path);
    if (!preview) {
        preview = m_container->previewByExtension(fi.suffix().toLower());
        if (!preview)
            preview = m_container->defaultPreview();
    }
    if (!preview)
        return;
    preview->open_file(fi);
    m_container->setCurrentWidget(preview->widget_preview());
}

void DiaSelectFile::on_finished(int result)
{
    if (result == QDialog::Rejected) {
        remembered().clear();
        reject();
    } else if (result == QDialog::Accepted) {
        if (zem::XNode* node = getNodeWin()) {
            m_splitter->stateToNode(node, KEY_SPLITTER);
            node->setString(KEY_PATH, QFileInfo(remembered()).absolutePath());
        }
        accept();
    }
}

} // namespace zemFinder
