#pragma once
// A window of its own for one file, with the standard previews and the same choice and cycling as
// beside the tree (the cycle key works inside it). Deletes itself when closed. Stands in for the
// details window with search layers until that exists. GUI thread only.
#include <QFileInfo>
#include <QWidget>
#include <memory>

namespace zemFinder {

class ContextPreviews;
class XContainerPreviews;

class StandAlonePreview : public QWidget {
    Q_OBJECT
public:
    // Opens a window on file, centred on the window of origin when there is one; returns it
    // (owned by itself).
    static StandAlonePreview* open(const QFileInfo& file, QWidget* origin = nullptr);
    ~StandAlonePreview() override;

    XContainerPreviews* container() const { return m_container; }
    ContextPreviews* context() const { return m_context.get(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    StandAlonePreview();

    XContainerPreviews* m_container = nullptr;
    std::unique_ptr<ContextPreviews> m_context;
};

} // namespace zemFinder
