#include "PreviewDir.h"

#include "LimitedPreviewContainer.h"
#include "Logger.h"
#include "impl/private_PreviewDir.h"
#include "widgets/XPanel.h"

#include <QVBoxLayout>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
const char* SOURCE = "src/dir/PreviewDir";
}

PreviewDir::PreviewDir(QWidget* parent) : AbstractPreviewDir(parent), m_impl(std::make_unique<Impl>(this)) {}

PreviewDir::~PreviewDir()
{
    if (debug())
        Logger::log(QStringLiteral("PreviewDir::~PreviewDir"), zem::LOG_DETAIL);
}

void PreviewDir::ini()
{
    if (m_impl->panel)
        return;
    AbstractPreviewDir::ini();
    m_impl->ini();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_impl->panel);
    m_impl->doubleClicked.add([this](const QFileInfo& fi) { doubleClicked.fire(fi); });
    m_impl->entered.add([this](const QFileInfo& fi) { entered.fire(fi); });
    m_impl->selected.add([this](const QFileInfo& fi) { selected.fire(fi); });
    m_impl->contextMenu.add([this](const QFileInfo& fi) { contextMenu.fire(fi); });
    m_impl->willAppear.add([this](zem::Preview* p) {
        Logger::log(QStringLiteral("PreviewDir::ini, WILL APPEAR"), zem::LOG_DETAIL);
        willAppear.fire(p);
    });
    m_impl->restore(node());
}

bool PreviewDir::open_file(const QFileInfo& fi)
{
    if (debug())
        Logger::log(xprintF(QStringLiteral("PreviewDir::open_file, <<<$>>>"), fi.absoluteFilePath()), zem::LOG_DETAIL);
    m_fileInfo = fi;
    m_impl->setFilepath(fi.absoluteFilePath());
    return true;
}

QFileInfo PreviewDir::file_info() const
{
    return m_impl->path.isEmpty() ? QFileInfo() : QFileInfo(m_impl->path);
}

void PreviewDir::refresh()
{
    Logger::log(QStringLiteral("PreviewDir::refresh"), zem::LOG_PROGRESS);
    open_file(file_info());
}

void PreviewDir::from_node(zem::XNode* n)
{
    AbstractPreviewDir::from_node(n);
    m_impl->restore(n);
}

void PreviewDir::to_node()
{
    AbstractPreviewDir::to_node();
    m_impl->store();
}

void PreviewDir::set_text_file_extensions(const TextFiles& extensions)
{
    if (m_impl->container)
        m_impl->container->set_text_file_extensions(extensions);
}

void PreviewDir::stop_jobs()
{
    m_impl->loader.reset();
    if (m_impl->container)
        m_impl->container->stop_jobs();
}

void PreviewDir::set_hidden_files(bool on)
{
    m_impl->showHidden = on;
    if (m_impl->container)
        m_impl->container->set_hidden_files(on);
}

bool PreviewDir::hidden_files() const
{
    return m_impl->showHidden;
}

ContextPreviews* PreviewDir::context()
{
    return &m_impl->context;
}

void PreviewDir::onDeepInfo()
{
    Logger::log(QStringLiteral("PreviewDir::onDeepInfo"), zem::LOG_PROGRESS);
    if (!m_impl->container) {
        zem::nullPointerHandling(SOURCE, __LINE__, "container_limited_preview == NULL");
        return;
    }
    AbstractPreviewDir* prevDir = m_impl->container->previewDirectory();
    if (!prevDir) {
        Logger::log(QStringLiteral("PreviewDir::onDeepInfo, prevDir == nullptr"), zem::LOG_ERROR);
        return;
    }
    prevDir->onDeepInfo();
}

void PreviewDir::on_active_win_view(int view)
{
    const char* name = view == VIEW_TABLE ? "TABLE" : view == VIEW_THUMB ? "THUMB" : "UNKNOWN_VIEW";
    Logger::log(xprintF(QStringLiteral("PreviewDir::on_active_win_view, dView:$"), name), zem::LOG_PROGRESS);
    m_impl->set_view(view);
}

int PreviewDir::active_view() const
{
    return m_impl->thumbs_shown() ? VIEW_THUMB : VIEW_TABLE;
}

int PreviewDir::thumb_size() const
{
    return m_impl->thumbSize;
}

void PreviewDir::set_thumb_size(int size)
{
    m_impl->thumbSize = size;
}

QFileInfo PreviewDir::entry_under_mouse() const
{
    return m_impl->entry_under_mouse();
}

} // namespace zemFinder
