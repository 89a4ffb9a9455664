#pragma once
// One tile of the thumbnail wall: the picture (or icon) above the name, under a glass label that
// takes the mouse. After the picture arrived the name becomes "W x H" over the name. Created and
// used on the GUI thread; the picture is decoded by the ThumbLoader's workers through the
// thumbnail widget's shared job.
#include "widgets/XPanelStackedGlas.h"

#include <QFileInfo>
#include <cstdint>

namespace zem {
class XElidedLabel;
class XGlassLabel;
class XPanel;
class XThumb;
} // namespace zem

namespace zemFinder {

class PanThumb : public zem::XPanelStackedGlas {
    Q_OBJECT
public:
    // Height of the name area below the picture: two lines of the tiles' small font.
    static constexpr int kNameHeight = 50;

    explicit PanThumb(QWidget* parent = nullptr);

    // Shows fi at size x size pixels (the tile is size wide); the picture loads later.
    void set_file(const QFileInfo& fi, int size);
    // Loads the picture on the calling thread; see zem::XThumb::work.
    void work();
    bool is_directory() const;
    // The caption after loading: nothing changes for a folder, a picture shows its real size.
    void refresh_label();

    zem::XThumb* thumb() const { return m_thumb; }
    zem::XElidedLabel* nameLabel() const { return m_name; }
    zem::XPanel* inner() const { return m_inner; }
    const QFileInfo& file() const { return m_file; }
    uint32_t size() const { return m_size; }

private:
    zem::XPanel* m_inner;
    zem::XThumb* m_thumb;
    zem::XElidedLabel* m_name;
    QFileInfo m_file;
    uint32_t m_size = 256;
};

} // namespace zemFinder
