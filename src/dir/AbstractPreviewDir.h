#pragma once
// The base of the directory previews: a Preview for folders, with the events a listing raises
// (double click, mouse entered a row, one entry selected, context menu) and the will-appear event
// for the previews nested inside it. GUI thread only.
#include "preview/Preview.h"
#include "XEventListener.h"

#include <QFileInfo>
#include <QSet>
#include <QString>

namespace zemFinder {

class ContextPreviews;

class AbstractPreviewDir : public zem::Preview {
    Q_OBJECT
public:
    using TextFiles = QSet<QString>;

    explicit AbstractPreviewDir(QWidget* parent = nullptr);
    ~AbstractPreviewDir() override;

    // Directory previews answer with this category (the file previews use the lower bits).
    static constexpr unsigned kCategoryDir = 32;
    unsigned get_category() const override { return kCategoryDir; }
    bool can_handle_file(const QFileInfo& fi) override { return fi.isDir(); }

    // Lower-case extensions of the files counted as text.
    virtual void set_text_file_extensions(const TextFiles& extensions);
    virtual void set_hidden_files(bool on);
    virtual bool hidden_files() const;
    // The context of the preview's own listing; null when it has none.
    virtual ContextPreviews* context();
    virtual void onDeepInfo();
    // Asks background work of the preview (and of previews inside it) to end; never waits.
    virtual void stop_jobs();

    // Views of a listing that has more than one: 0 the table, 1 the thumbnails.
    enum View { VIEW_TABLE = 0, VIEW_THUMB = 1 };
    virtual bool can_show_thumbs() const { return false; }
    // Switches the listing's view and shows the current folder in it.
    virtual void on_active_win_view(int view);
    virtual int active_view() const { return VIEW_TABLE; }
    // Width of a thumbnail tile in pixels.
    virtual int thumb_size() const { return 0; }
    virtual void set_thumb_size(int size);

    zem::XEventListener<void(zem::Preview*)> willAppear;
    zem::XEventListener<void(const QFileInfo&)> doubleClicked;
    zem::XEventListener<void(const QFileInfo&)> entered;
    zem::XEventListener<void(const QFileInfo&)> selected;
    zem::XEventListener<void(const QFileInfo&)> contextMenu;
};

} // namespace zemFinder
