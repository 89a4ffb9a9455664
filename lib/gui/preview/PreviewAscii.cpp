#include "PreviewAscii.h"

#include "Logger.h"
#include "preview/TextExtensions.h"
#include "XMimeType.h"
#include "XNode.h"

#include <QVBoxLayout>

namespace zem {

PreviewAscii::PreviewAscii(QWidget* parent) : Preview(parent)
{
    set_kind(Kind::Text);
    set_file_extensions(default_text_file_extensions());
    // The view exists from the start so that callers may reach it before ini().
    m_view = new viewText::XTextView(this);
    m_view->layerActivated.add([this](int id) { layerActivated.fire(id); });
    m_view->requestStandAlone.add([this] { fire_request_stand_alone(); });
    // The view's menu offers the request only while someone listens to this preview's.
    m_view->set_request_available([this] { return !requestStandAlone.empty(); });
}

PreviewAscii::~PreviewAscii() = default;

QString PreviewAscii::file_extentions_as_string()
{
    return default_text_file_extensions_as_string();
}

void PreviewAscii::ini()
{
    if (layout())
        return;
    Preview::ini();
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(m_view);
}

void PreviewAscii::from_node(XNode* node)
{
    Preview::from_node(node);
    if (!node)
        return;
    m_view->set_ruler(node->isBool(QStringLiteral("ruler"), m_view->ruler()));
    m_view->set_wrap(node->isBool(QStringLiteral("wrap"), m_view->wrap()));
}

void PreviewAscii::to_node()
{
    if (XNode* n = node()) {
        n->setBool(QStringLiteral("ruler"), m_view->ruler());
        n->setBool(QStringLiteral("wrap"), m_view->wrap());
    }
}

void PreviewAscii::set_font(const QFont& font)
{
    m_view->setFont(font);
}

QFont PreviewAscii::get_font() const
{
    return m_view->font();
}

void PreviewAscii::set_background_color(QColor color)
{
    QPalette pal = m_view->palette();
    pal.setColor(QPalette::Base, color);
    m_view->setPalette(pal);
}

bool PreviewAscii::can_handle_file(const QFileInfo& fi)
{
    return fi.isFile() && (get_file_extensions().contains(fi.suffix().toLower()) || is_text_file(fi));
}

bool PreviewAscii::open_file(const QFileInfo& fi)
{
    m_fileInfo = fi;
    if (!fi.isFile()) {
        m_view->closeFile();
        return false;
    }
    const bool ok = m_view->openFile(fi.absoluteFilePath());
    xlog(LOG_PROGRESS, "PreviewAscii::open_file, <<<$>>> $", fi.absoluteFilePath(), ok);
    return ok;
}

bool PreviewAscii::set_mem_file(const XMemFile& mem)
{
    m_fileInfo = QFileInfo(mem.name);
    m_view->openBytes(mem.bytes);
    return true;
}

void PreviewAscii::close()
{
    Preview::close();
    m_view->closeFile();
}

void PreviewAscii::add_extra_context_menu(viewText::XTextView::ContextMenuBuilder builder)
{
    m_view->add_extra_context_menu(std::move(builder));
}

} // namespace zem
