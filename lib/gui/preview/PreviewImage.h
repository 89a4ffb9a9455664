#pragma once
// The image preview: every format QImageReader reads, fitted to the view, zoomable.
#include "Preview.h"

namespace zem {

class XImageViewer;

class PreviewImage : public Preview {
    Q_OBJECT
public:
    // Images with more pixels than this are read scaled down, so that a huge scan does not
    // take gigabytes (256 megapixels is 1 GB as 32-bit pixels).
    static constexpr qint64 kMaxPixels = qint64(256) << 20;

    explicit PreviewImage(QWidget* parent = nullptr);
    ~PreviewImage() override;

    unsigned get_category() const override { return kCategoryImage; }
    void ini() override;
    bool can_handle_file(const QFileInfo& fi) override;
    bool open_file(const QFileInfo& fi) override;
    bool set_mem_file(const XMemFile& mem) override;
    QString type() const override { return QStringLiteral("PreviewImage"); }
    QString name() const override { return QStringLiteral("Image"); }
    void close() override;

    XImageViewer* img_view() const { return m_view; }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool read(class QImageReader& reader, const QString& label);

    XImageViewer* m_view = nullptr;
};

} // namespace zem
