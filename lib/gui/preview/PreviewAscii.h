#pragma once
// The text preview: a virtualized XTextView over the file (any size, never loaded whole),
// with ruler, wrap, line information, mark layers and extra context-menu entries.
#include "Preview.h"
#include "viewText/XTextView.h"

namespace zem {

class PreviewAscii : public Preview {
    Q_OBJECT
public:
    explicit PreviewAscii(QWidget* parent = nullptr);
    ~PreviewAscii() override;

    void from_node(XNode* node) override;
    void to_node() override;
    unsigned get_category() const override { return kCategoryText; }
    void ini() override;
    void set_font(const QFont& font) override;
    QFont get_font() const override;
    void set_background_color(QColor color) override;
    bool can_handle_file(const QFileInfo& fi) override;
    bool open_file(const QFileInfo& fi) override;
    bool set_mem_file(const XMemFile& mem) override;
    QString type() const override { return QStringLiteral("PreviewAscii"); }
    QString name() const override { return QStringLiteral("Text"); }
    void close() override;

    // The extensions the text preview serves by default, joined with ",".
    static QString file_extentions_as_string();

    void set_ruler(bool on) { m_view->set_ruler(on); }
    void set_wrap(bool on) { m_view->set_wrap(on); }
    // Wrapping at the width of the view; the same switch as set_wrap.
    void set_auto_wrap(bool on) { m_view->set_wrap(on); }
    // 0 off, 1 top right, 2 bottom right.
    void set_line_info_pos(int pos) { m_view->set_line_info_pos(pos); }
    void add_extra_context_menu(viewText::XTextView::ContextMenuBuilder builder);
    viewText::XTextView* get_XTextView() const { return m_view; }
    // The layer that the view paints on top and that a click on a mark activates.
    void set_XRamLayer(viewText::XMarkLayer* layer) { m_view->setCurrentLayer(layer); }

    // The user activated a layer by clicking one of its marks (the layer's id).
    XEventListener<void(int)> layerActivated;

private:
    viewText::XTextView* m_view = nullptr;
};

} // namespace zem
