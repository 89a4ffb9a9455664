#include "LimitedPreviewContainer.h"

#include "PreviewDirSimple.h"

namespace zemFinder {

LimitedPreviewContainer::LimitedPreviewContainer(QWidget* parent) : XContainerPreviews(parent) {}

LimitedPreviewContainer::~LimitedPreviewContainer() = default;

AbstractPreviewDir* LimitedPreviewContainer::createPreviewDirectory()
{
    return new PreviewDirSimple(this);
}

AbstractPreviewDir* LimitedPreviewContainer::previewDirectory()
{
    const bool created = !m_previewDir;
    AbstractPreviewDir* dir = XContainerPreviews::previewDirectory();
    if (created && dir) {
        dir->set_text_file_extensions(m_textExtensions);
        dir->set_hidden_files(m_showHidden);
    }
    return dir;
}

void LimitedPreviewContainer::set_text_file_extensions(const AbstractPreviewDir::TextFiles& extensions)
{
    m_textExtensions = extensions;
    if (m_previewDir)
        m_previewDir->set_text_file_extensions(extensions);
}

void LimitedPreviewContainer::set_hidden_files(bool on)
{
    m_showHidden = on;
    if (m_previewDir)
        m_previewDir->set_hidden_files(on);
}

} // namespace zemFinder
