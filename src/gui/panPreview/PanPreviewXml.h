#pragma once
// The XML tab of the details window: the XML preview, zoomed by its font. GUI thread only.
#include "PanPreview.h"
#include "preview/PreviewXml.h"

namespace zemFinder {

class PanPreviewXml : public PanPreview {
    Q_OBJECT
public:
    explicit PanPreviewXml(QWidget* parent = nullptr) : PanPreview(parent) {}

    zem::Preview* preview() override { return &m_preview; }
    zem::PreviewXml& preview_xml() { return m_preview; }
    void ini() override { ini_with(m_preview); }
    void on_zoom(bool in) override;
    QString type_as_string() const override { return QStringLiteral("PanPreviewXml"); }

private:
    zem::PreviewXml m_preview;
};

} // namespace zemFinder
