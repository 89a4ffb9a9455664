#include "AbstractPreviewDir.h"

namespace zemFinder {

AbstractPreviewDir::AbstractPreviewDir(QWidget* parent) : zem::Preview(parent) {}

AbstractPreviewDir::~AbstractPreviewDir() = default;

void AbstractPreviewDir::set_text_file_extensions(const TextFiles&) {}
void AbstractPreviewDir::stop_jobs() {}

void AbstractPreviewDir::set_hidden_files(bool) {}

bool AbstractPreviewDir::hidden_files() const
{
    return false;
}

ContextPreviews* AbstractPreviewDir::context()
{
    return nullptr;
}

void AbstractPreviewDir::onDeepInfo() {}

void AbstractPreviewDir::on_active_win_view(int) {}

void AbstractPreviewDir::set_thumb_size(int) {}

} // namespace zemFinder
