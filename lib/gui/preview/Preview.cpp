#include "Preview.h"

#include "Logger.h"

#include <algorithm>

namespace zem {

Preview::Preview(QWidget* parent) : QWidget(parent) {}

Preview::~Preview()
{
    xlog(LOG_DETAIL, "Preview::~Preview, $", type());
}

void Preview::set_debug(bool on)
{
    m_debug = on;
}

void Preview::from_node(XNode* node)
{
    m_node = node;
}

void Preview::to_node() {}

QWidget* Preview::widget_preview()
{
    return this;
}

void Preview::post_first_time_visibilty_action() {}

unsigned Preview::get_category() const
{
    return 0;
}

void Preview::ini()
{
    m_iniDone = true;
}

void Preview::set_font(const QFont& font)
{
    setFont(font);
}

QFont Preview::get_font() const
{
    return font();
}

void Preview::set_background_color(QColor color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Base, color);
    pal.setColor(QPalette::Window, color);
    setPalette(pal);
}

bool Preview::can_handle_file(const QFileInfo& fi)
{
    return fi.isFile() && m_extensions.contains(fi.suffix().toLower());
}

bool Preview::open_file(const QFileInfo& fi)
{
    m_fileInfo = fi;
    return false;
}

QFileInfo Preview::file_info() const
{
    return m_fileInfo;
}

bool Preview::set_mem_file(const XMemFile&)
{
    return false;
}

QString Preview::type() const
{
    return QStringLiteral("Preview");
}

QString Preview::name() const
{
    return type();
}

QString Preview::author() const
{
    return QStringLiteral("Zem Finder");
}

QString Preview::toString() const
{
    return xprintF("$ <<<$>>>", type(), m_fileInfo.absoluteFilePath());
}

void Preview::refresh()
{
    if (m_fileInfo.isFile())
        open_file(QFileInfo(m_fileInfo.absoluteFilePath()));
}

void Preview::close()
{
    m_fileInfo = QFileInfo();
}

void Preview::cancel_loading() {}

QString Preview::file_extentions_as_string() const
{
    QStringList list = m_extensions.values();
    std::sort(list.begin(), list.end());
    return list.join(QLatin1Char(','));
}

void Preview::set_file_extensions(const QStringList& extensions)
{
    m_extensions.clear();
    for (const QString& e : extensions)
        if (!e.trimmed().isEmpty())
            m_extensions.insert(e.trimmed().toLower());
}

} // namespace zem
