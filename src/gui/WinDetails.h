#pragma once
// The details window: one file in five tabs (Text with search layers, XML, Image, HEX, Stats)
// over a bar of buttons (search layer menu, pattern selection, file manager, font size, new main
// window, full screen, hide). Tabs open the file lazily, on first visit; a tab whose preview
// cannot open it is disabled. Any number may be open; each deletes itself when closed and keeps
// its geometry, state and the text tab's settings in its node ("GUI"/"View" of the application
// node). GUI thread only.
#include "WindowBase.h"

#include <QFileInfo>

namespace zem {
class XButton;
class XNode;
class XPanel;
class XPanelStacked;
namespace find {
class XContentFilter;
}
} // namespace zem

namespace zemFinder {

struct FileResult;
class PanPreview;
class PanPreviewAsc;
class PanPreviewHex;
class PanPreviewImg;
class PanPreviewXml;
class PanStats;
class XTabWidget;

class WinDetails : public WindowBase {
    Q_OBJECT
public:
    explicit WinDetails(QWidget* parent = nullptr);
    ~WinDetails() override;

    // The stand-alone view of a file: a new window on the application node's "GUI"/"View", with
    // the result's hits in the text tab's first search layer and the filter in its first row when
    // the result has marks. Null (and nothing opens) for anything but a regular file.
    // Centred on origin's window when given, else on the screen.
    static WinDetails* open_for(const QFileInfo& file, QWidget* origin = nullptr);
    static WinDetails* open_for(const FileResult& result, const zem::find::XContentFilter& filter,
                                QWidget* origin = nullptr);

    void ini(zem::XNode* node, bool deleteOnClose);
    void set_file(const QFileInfo& fi, bool stats);
    void set_file_result(const FileResult& result, const zem::find::XContentFilter& filter);
    void on_zoom(bool in);
    void on_tab_changed(zem::XPanel* panel);
    void on_fileManager();

    QFileInfo currentFile() const override { return m_file; }
    QString shortName() const override;
    QString toString() const override;
    static QString type_name() { return QStringLiteral("Details"); }

    XTabWidget* tabs() const { return m_tabs; }
    PanPreviewAsc* tab_text() const { return m_asc; }
    PanPreviewXml* tab_xml() const { return m_xml; }
    PanPreviewImg* tab_image() const { return m_img; }
    PanPreviewHex* tab_hex() const { return m_hex; }
    PanStats* tab_stats() const { return m_stats; }
    PanPreview* current_tab() const;
    zem::XButton* button_pattern() const { return m_buttonPattern; }
    zem::XButton* button_full_screen() const { return m_buttonFull; }
    zem::XPanelStacked* bar_stack() const { return m_barStack; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void on_close();
    void setup_bar(zem::XPanel* bar);
    void setup_hot_keys();
    zem::XButton* bar_button(zem::XPanel* bar, const char* icon, const QString& tooltip);

    XTabWidget* m_tabs = nullptr;
    PanPreviewHex* m_hex = nullptr;
    PanPreviewAsc* m_asc = nullptr;
    PanPreviewImg* m_img = nullptr;
    PanPreviewXml* m_xml = nullptr;
    PanStats* m_stats = nullptr;
    QFileInfo m_file;
    zem::XPanelStacked* m_barStack = nullptr;
    zem::XPanel* m_barText = nullptr;
    zem::XButton* m_buttonPattern = nullptr;
    zem::XButton* m_buttonFull = nullptr;
};

} // namespace zemFinder
