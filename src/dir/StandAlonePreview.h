#pragma once
// A window of its own for one file, with the standard previews and the same choice and cycling as
// beside the tree (the cycle key works inside it); a content result opens in the text preview
// with its hits marked. Deletes itself when closed. Stands in for the details window until that
// exists. GUI thread only.
#include <QFileInfo>
#include <QWidget>
#include <memory>

namespace zem::find {
class XRamLayer;
}

namespace zemFinder {

class ContextPreviews;
class XContainerPreviews;

class StandAlonePreview : public QWidget {
    Q_OBJECT
public:
    // The mark layer of the text preview that shows a result's hits.
    static constexpr int LAYER_MARKS = 1000;

    // Opens a window on file, with the marks of a content result when given, centred on the window
    // of origin when there is one; returns it (owned by itself).
    static StandAlonePreview* open(const QFileInfo& file, const zem::find::XRamLayer* marks = nullptr,
                                   QWidget* origin = nullptr);
    ~StandAlonePreview() override;

    XContainerPreviews* container() const { return m_container; }
    ContextPreviews* context() const { return m_context.get(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    StandAlonePreview();
    void show_marks(const QFileInfo& file, const zem::find::XRamLayer& marks);

    XContainerPreviews* m_container = nullptr;
    std::unique_ptr<ContextPreviews> m_context;
};

} // namespace zemFinder
