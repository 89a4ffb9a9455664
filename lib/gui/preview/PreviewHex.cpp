#include "PreviewHex.h"

#include "Logger.h"
#include "XNode.h"
#include "viewHex/XHexView.h"

#include <QVBoxLayout>

namespace zem {

PreviewHex::PreviewHex(QWidget* parent) : Preview(parent)
{
    set_kind(Kind::Hex);
    set_file_extensions({"bin", "dat", "exe", "dll", "so", "o", "obj", "a", "lib", "class", "pyc", "dex", "iso", "img"});
    m_view = new XHexView(this);
}

PreviewHex::~PreviewHex() = default;

void PreviewHex::ini()
{
    if (layout())
        return;
    Preview::ini();
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(m_view);
}

void PreviewHex::from_node(XNode* node)
{
    Preview::from_node(node);
    if (node)
        set_font_size(int(node->getUInt(QStringLiteral("fontSize"), unsigned(m_view->fontSize()))));
}

void PreviewHex::to_node()
{
    if (XNode* n = node())
        n->setUInt(QStringLiteral("fontSize"), unsigned(m_view->fontSize()));
}

void PreviewHex::set_font(const QFont& font)
{
    // The dump keeps its own fixed-pitch family; only the size is taken over.
    if (font.pointSize() > 0)
        set_font_size(font.pointSize());
}

QFont PreviewHex::get_font() const
{
    return m_view->font();
}

bool PreviewHex::can_handle_file(const QFileInfo& fi)
{
    return fi.isFile() && fi.isReadable();
}

bool PreviewHex::open_file(const QFileInfo& fi)
{
    m_fileInfo = fi;
    if (!fi.isFile()) {
        m_view->closeFile();
        return false;
    }
    return m_view->openFile(fi.absoluteFilePath());
}

bool PreviewHex::set_mem_file(const XMemFile& mem)
{
    m_fileInfo = QFileInfo(mem.name);
    m_view->openBytes(mem.bytes);
    return true;
}

void PreviewHex::close()
{
    Preview::close();
    m_view->closeFile();
}

void PreviewHex::set_font_size(int size)
{
    m_view->setFontSize(size);
}

int PreviewHex::font_size() const
{
    return m_view->fontSize();
}

void PreviewHex::set_svg_default_image(const QString& path)
{
    QString p = path;
    if (p.startsWith(QLatin1Char(':')) && !p.startsWith(QStringLiteral(":/")))
        p.insert(1, QLatin1Char('/'));
    m_view->setDefaultImage(p);
}

void PreviewHex::mouseDoubleClickEvent(QMouseEvent*)
{
    fire_request_stand_alone();
}

} // namespace zem
