#pragma once
// The HEX tab of the details window: the hex preview, zoomed by font size within 6 to 64.
// GUI thread only.
#include "PanPreview.h"
#include "preview/PreviewHex.h"

namespace zemFinder {

class PanPreviewHex : public PanPreview {
    Q_OBJECT
public:
    static constexpr int kFontMin = 6;
    static constexpr int kFontMax = 64;

    explicit PanPreviewHex(QWidget* parent = nullptr) : PanPreview(parent) {}

    zem::Preview* preview() override { return &m_preview; }
    zem::PreviewHex& preview_hex() { return m_preview; }
    void ini() override { ini_with(m_preview); }
    bool is_hex_panel() const override { return true; }
    void on_zoom(bool in) override;
    QString type_as_string() const override { return QStringLiteral("PanPreviewHex"); }

private:
    zem::PreviewHex m_preview;
};

} // namespace zemFinder
