#include "StandAlonePreview.h"

#include "ContextPreviews.h"
#include "Logger.h"
#include "XTools.h"
#include "XContainerPreviews.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XToolsGui.h"

#include <QKeyEvent>
#include <QVBoxLayout>

namespace zemFinder {

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
}

StandAlonePreview::~StandAlonePreview()
{
    zem::Logger::log(QStringLiteral("StandAlonePreview::~StandAlonePreview"), zem::LOG_DETAIL);
}

StandAlonePreview* StandAlonePreview::open(const QFileInfo& file, QWidget* origin)
{
    zem::Logger::log(zem::xprintF(QStringLiteral("StandAlonePreview::open, <<<$>>>"), file.absoluteFilePath()),
                     zem::LOG_PROGRESS);
    auto* win = new StandAlonePreview;
    win->setWindowTitle(QStringLiteral("ZF ") + file.absoluteFilePath());
    win->m_context->select_file(file);
    win->resize(900, 600);
    zem::XTools::centerOnWindow(win, origin);
    win->show();
    return win;
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
