#pragma once
// The Image tab of the details window: the image preview, zoomed around the view's centre.
// GUI thread only.
#include "PanPreview.h"
#include "preview/PreviewImage.h"

namespace zemFinder {

class PanPreviewImg : public PanPreview {
    Q_OBJECT
public:
    explicit PanPreviewImg(QWidget* parent = nullptr) : PanPreview(parent) {}

    zem::Preview* preview() override { return &m_preview; }
    zem::PreviewImage& preview_image() { return m_preview; }
    void ini() override { ini_with(m_preview); }
    void on_zoom(bool in) override;
    QString type_as_string() const override { return QStringLiteral("PanPreviewImg"); }

private:
    zem::PreviewImage m_preview;
};

} // namespace zemFinder
