#pragma once
// A stack that owns one preview of each standard kind (hex, XML, text, image) plus, on demand, a
// directory preview, and shows one of them at a time. It knows which preview serves which file
// extension; which one is shown is decided by a ContextPreviews. The previews' widgets are
// children of the stack. GUI thread only.
#include "XEventListener.h"
#include "XProp.h"
#include "widgets/XPanelStacked.h"

#include <QString>
#include <functional>
#include <map>
#include <set>

namespace zem {
class Preview;
class PreviewAscii;
class XNode;
} // namespace zem

namespace zemFinder {

class AbstractPreviewDir;

class XContainerPreviews : public zem::XPanelStacked {
    Q_OBJECT
public:
    // The text preview offers "Copy to search" for selections of 1 to this many characters.
    static constexpr int kMaxCopyToSearch = 88;
    // Action data of the "Copy to search" entry.
    static constexpr int kActionCopyToSearch = 200;

    explicit XContainerPreviews(QWidget* parent = nullptr);
    ~XContainerPreviews() override;

    // Creates and registers hex, XML, text and image previews, in this order (the order decides
    // which one wins an extension that several declare). A second call only logs.
    virtual void addStandardPreviews();
    // fn is told when a preview asks to show its file in a window of its own.
    virtual void setStandAloneListener(std::function<void(const zem::Preview*)> fn);
    // The directory preview, created and added to the stack on first call.
    virtual AbstractPreviewDir* previewDirectory();
    // Settings of every preview from (and to) the child of node named after the preview's type.
    virtual void from_node(zem::XNode* node);
    virtual void to_node();

    // Registers preview for its extensions (after earlier ones with the same extension).
    void addPreview(zem::Preview* preview, bool ini, bool addWidget);
    // The first preview registered for ext (any case); null for an empty or unknown extension.
    zem::Preview* previewByExtension(const QString& ext) const;
    // The hex preview; null before addStandardPreviews.
    zem::Preview* defaultPreview() const { return m_default; }
    zem::Preview* previewByWidget(QWidget* widget) const;
    // The distinct registered previews, ordered by address.
    std::set<zem::Preview*> allPreviews() const;
    zem::PreviewAscii* asciiPreview() const;
    // The registered preview whose type() is type; null when none is.
    zem::Preview* previewByType(const QString& type) const;
    // Stops whatever the shown preview is still loading.
    void cancelShown();
    // Asks the work of the previews to end (loading, the directory preview's counting); never waits.
    void stop_jobs();
    // The directory preview if it exists, without creating it.
    AbstractPreviewDir* existingPreviewDirectory() const { return m_previewDir; }

    // Told once, when previewDirectory() created the directory preview.
    zem::XEventListener<void(AbstractPreviewDir*)> directoryPreviewCreated;

    // Filled by the text preview's "Copy to search"; fires only when the text changes.
    zem::XProp<QString> copyToSearch;

protected:
    // Creates the directory preview that previewDirectory() adds; overridden by smaller containers.
    virtual AbstractPreviewDir* createPreviewDirectory();
    // The path of the default image of the hex preview for the interface language.
    static QString defaultImagePath();

    AbstractPreviewDir* m_previewDir = nullptr;

private:
    void addCopyToSearchMenu(zem::PreviewAscii* ascii);

    zem::Preview* m_default = nullptr;
    std::multimap<QString, zem::Preview*> m_byExtension;
    std::function<void(const zem::Preview*)> m_standAlone;
    zem::XNode* m_node = nullptr;
};

} // namespace zemFinder
