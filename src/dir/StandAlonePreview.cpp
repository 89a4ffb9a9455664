#include "StandAlonePreview.h"

#include "ContextPreviews.h"
#include "Logger.h"
#include "XTools.h"
#include "XContainerPreviews.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XToolsGui.h"

#include "XThread.h"
#include "find/XRamLayer.h"
#include "preview/PreviewAscii.h"
#include "preview/viewText/XMarkLayer.h"
#include "preview/viewText/XRamLayerGroup.h"
#include "preview/viewText/XTextView.h"

#include <QColor>
#include <QKeyEvent>
#include <QPointer>
#include <QVBoxLayout>

namespace zemFinder {

namespace {
// The text view needs the opened file laid out before it can scroll to a mark.
constexpr int kScrollDelayMs = 200;
} // namespace

StandAlonePreview::StandAlonePreview() : m_context(std::make_unique<ContextPreviews>(QStringLiteral("CONTEXT-STAND-ALONE")))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/zf/icons/find2.svg")));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_container = new XContainerPreviews(this);
    layout->addWidget(m_container);
    m_container->addStandardPreviews();
    m_context->ini(m_container, m_container);
    // This is the separate window already: its text view offers no "Open in a separate window".
    if (zem::PreviewAscii* ascii = m_container->asciiPreview())
        ascii->get_XTextView()->requestStandAlone.clear();
}

StandAlonePreview::~StandAlonePreview()
{
    zem::Logger::log(QStringLiteral("StandAlonePreview::~StandAlonePreview"), zem::LOG_DETAIL);
}

StandAlonePreview* StandAlonePreview::open(const QFileInfo& file, const zem::find::XRamLayer* marks, QWidget* origin)
{
    zem::Logger::log(zem::xprintF(QStringLiteral("StandAlonePreview::open, <<<$>>>"), file.absoluteFilePath()),
                     zem::LOG_PROGRESS);
    auto* win = new StandAlonePreview;
    win->setWindowTitle(QStringLiteral("ZF ") + file.absoluteFilePath());
    win->m_context->select_file(file);
    if (marks && !marks->empty() && !marks->isBinary())
        win->show_marks(file, *marks);
    win->resize(900, 600);
    zem::XTools::centerOnWindow(win, origin);
    win->show();
    return win;
}

void StandAlonePreview::show_marks(const QFileInfo& file, const zem::find::XRamLayer& marks)
{
    zem::PreviewAscii* ascii = m_container->asciiPreview();
    if (!ascii)
        return;
    if (m_container->currentWidget() != ascii->widget_preview()) {
        ascii->open_file(file);
        m_container->setCurrentWidget(ascii->widget_preview());
        m_context->follow(file, ascii);
    }
    zem::viewText::XTextView* view = ascii->get_XTextView();
    zem::viewText::XRamLayerGroup& group = view->layerGroup();
    zem::viewText::XMarkLayer* layer =
        group.contains_layer(LAYER_MARKS) ? group.layer_by_ID(LAYER_MARKS) : group.add_layer(LAYER_MARKS);
    if (!layer) {
        zem::nullPointerHandling("src/dir/StandAlonePreview", __LINE__, "layer == NULL");
        return;
    }
    ascii->set_XRamLayer(layer);
    layer->clear();
    layer->add_ram_layer(marks);
    layer->set_color_background(QColor(Qt::green).rgba());
    layer->set_active_mark_first();
    if (const zem::find::XRam* mark = layer->active_mark()) {
        const zem::find::XRam first = *mark;
        QPointer<zem::viewText::XTextView> guard = view;
        // After the view has laid out the opened file.
        zem::qt::run_in_Gui_Thread(
            [guard, first] {
                if (guard)
                    guard->scrollToRam(first);
            },
            kScrollDelayMs);
    }
    view->viewport()->update();
}

void StandAlonePreview::keyPressEvent(QKeyEvent* event)
{
    // No main window holds this one, so the cycle key is heard here.
    if (zem::XToolsGui::is_modifier(WinFinderConfig::get().HotkeyCyclePreviews, uint32_t(event->modifiers()))) {
        m_context->cycle_previews();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace zemFinder
