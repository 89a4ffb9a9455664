#pragma once
// The interface of every file preview. A preview is a widget that shows one file at a time;
// containers pick one by the extensions it declares and its answers to can_handle_file.
// The virtual operations are declared in the order that subclasses and containers rely on.
// Owned by whoever creates it (a container, a tab panel); GUI thread only.
#include "XEventListener.h"
#include "XMemFile.h"

#include <QColor>
#include <QFileInfo>
#include <QFont>
#include <QSet>
#include <QWidget>

namespace zem {

class XNode;

class Preview : public QWidget {
    Q_OBJECT
public:
    explicit Preview(QWidget* parent = nullptr);

    virtual void set_debug(bool on);
    // Restores settings from node (kept for to_node); null leaves the defaults.
    virtual void from_node(XNode* node);
    virtual void to_node();
    ~Preview() override;
    virtual QWidget* widget_preview();
    virtual void post_first_time_visibilty_action();
    virtual unsigned get_category() const;
    virtual void ini();
    virtual void set_font(const QFont& font);
    virtual QFont get_font() const;
    virtual void set_background_color(QColor color);
    virtual bool can_handle_file(const QFileInfo& fi);
    virtual bool open_file(const QFileInfo& fi);
    virtual QFileInfo file_info() const;
    virtual bool set_mem_file(const XMemFile& mem);
    virtual QString type() const;
    virtual QString name() const;
    virtual QString author() const;
    virtual QString toString() const;
    virtual void refresh();
    virtual void close();
    virtual void cancel_loading();

    // Lower-case extensions without dot that this preview serves.
    const QSet<QString>& get_file_extensions() const { return m_extensions; }
    bool is_hex() const { return m_kind == Kind::Hex; }
    bool is_xml() const { return m_kind == Kind::Xml; }
    bool is_image() const { return m_kind == Kind::Image; }
    // The extensions, sorted and joined with ",".
    QString file_extentions_as_string() const;

    // The user asks to see this preview's file in a window of its own.
    XEventListener<void(const Preview*)> requestStandAlone;

    // Categories (bit values) of the standard previews; directory previews use 32.
    static constexpr unsigned kCategoryText = 1;
    static constexpr unsigned kCategoryHex = 2;
    static constexpr unsigned kCategoryImage = 4;
    static constexpr unsigned kCategoryXml = 8;

protected:
    enum class Kind { Other, Text, Hex, Image, Xml };
    void set_kind(Kind kind) { m_kind = kind; }
    void set_file_extensions(const QStringList& extensions);
    void fire_request_stand_alone() { requestStandAlone.fire(this); }
    XNode* node() const { return m_node; }
    bool debug() const { return m_debug; }

    QFileInfo m_fileInfo;

private:
    Kind m_kind = Kind::Other;
    QSet<QString> m_extensions;
    XNode* m_node = nullptr;
    bool m_debug = false;
    bool m_iniDone = false;
};

} // namespace zem
