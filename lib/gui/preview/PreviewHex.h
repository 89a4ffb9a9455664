#pragma once
// The hex preview: any file, of any size, as offset / hex / text columns (XHexView).
// The fallback preview of the containers; shows a default image while it has nothing to show.
#include "Preview.h"

namespace zem {

class XHexView;

class PreviewHex : public Preview {
    Q_OBJECT
public:
    explicit PreviewHex(QWidget* parent = nullptr);
    ~PreviewHex() override;

    void from_node(XNode* node) override;
    void to_node() override;
    unsigned get_category() const override { return kCategoryHex; }
    void ini() override;
    void set_font(const QFont& font) override;
    QFont get_font() const override;
    bool can_handle_file(const QFileInfo& fi) override;
    bool open_file(const QFileInfo& fi) override;
    bool set_mem_file(const XMemFile& mem) override;
    QString type() const override { return QStringLiteral("PreviewHex"); }
    QString name() const override { return QStringLiteral("HEX"); }
    void close() override;

    // Point size of the dump, kept within 6..64.
    void set_font_size(int size);
    int font_size() const;
    // ":zf/..." is taken as ":/zf/...".
    void set_svg_default_image(const QString& path);
    XHexView* hex_view() const { return m_view; }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    XHexView* m_view = nullptr;
};

} // namespace zem
