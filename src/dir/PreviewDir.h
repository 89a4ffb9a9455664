#pragma once
// The directory preview of the main container: the folder as a sortable table (Name, Size, Date)
// above a small preview container that shows the entry selected in the table. The table and its
// state live in PreviewDir::Impl (impl/private_PreviewDir). GUI thread only.
#include "AbstractPreviewDir.h"

#include <memory>

namespace zemFinder {

class PreviewDir : public AbstractPreviewDir {
    Q_OBJECT
public:
    class Impl;

    explicit PreviewDir(QWidget* parent = nullptr);
    ~PreviewDir() override;

    void from_node(zem::XNode* node) override;
    void to_node() override;
    void ini() override;
    bool open_file(const QFileInfo& fi) override;
    QFileInfo file_info() const override;
    QString type() const override { return QStringLiteral("PreviewDir"); }
    QString name() const override { return QStringLiteral("dirViewer"); }
    QString toString() const override { return name() + QStringLiteral(": can handle directories "); }
    void refresh() override;

    void set_text_file_extensions(const TextFiles& extensions) override;
    void stop_jobs() override;
    void set_hidden_files(bool on) override;
    bool hidden_files() const override;
    ContextPreviews* context() override;
    void onDeepInfo() override;

    bool can_show_thumbs() const override { return true; }
    // 0 = "TABLE", 1 = "THUMB"; other values only log.
    void on_active_win_view(int view) override;
    int active_view() const override;
    int thumb_size() const override;
    void set_thumb_size(int size) override;

    Impl* impl() const { return m_impl.get(); }
    // The entry under the mouse while it is over the table; empty otherwise.
    QFileInfo entry_under_mouse() const;

private:
    std::unique_ptr<Impl> m_impl;
};

} // namespace zemFinder
