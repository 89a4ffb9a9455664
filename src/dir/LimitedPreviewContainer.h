#pragma once
// The small preview container beside a folder listing. Its directory preview is the simple HTML
// summary, so folders nest only one level deep. GUI thread only.
#include "AbstractPreviewDir.h"
#include "XContainerPreviews.h"

namespace zemFinder {

class LimitedPreviewContainer : public XContainerPreviews {
    Q_OBJECT
public:
    explicit LimitedPreviewContainer(QWidget* parent = nullptr);
    ~LimitedPreviewContainer() override;

    // A PreviewDirSimple that counts text files by the extensions given here.
    AbstractPreviewDir* previewDirectory() override;
    void set_text_file_extensions(const AbstractPreviewDir::TextFiles& extensions);
    const AbstractPreviewDir::TextFiles& text_file_extensions() const { return m_textExtensions; }
    // Whether the listing beside shows hidden entries; the summary counts the same way.
    void set_hidden_files(bool on);

protected:
    AbstractPreviewDir* createPreviewDirectory() override;

private:
    AbstractPreviewDir::TextFiles m_textExtensions;
    bool m_showHidden = false;
};

} // namespace zemFinder
