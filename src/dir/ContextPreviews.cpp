#include "ContextPreviews.h"

#include "AbstractPreviewDir.h"
#include "Logger.h"
#include "preview/Preview.h"
#include "preview/PreviewAscii.h"
#include "preview/PreviewHex.h"
#include "PressModifiers.h"
#include "XContainerPreviews.h"
#include "preview/XMimeType.h"
#include "gui/WinFinder.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XToolsGui.h"

#include <QDrag>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
const char* SOURCE = "src/dir/ContextPreviews";

void startFileDrag(QWidget* source, const QFileInfo& fi)
{
    auto* drag = new QDrag(source);
    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(fi.absoluteFilePath())});
    drag->setMimeData(mime);
    drag->setPixmap(zem::XToolsGui::get_file_icon_association(fi).pixmap(32, 32));
    drag->exec(Qt::CopyAction);
}
} // namespace

zem::Preview* ContextPreviews::s_currentPreview = nullptr;
// The modifiers of the click that made the selection, not the live keyboard state: Control held
// while hovering or with an arrow key selects too, and must not drag.
std::function<Qt::KeyboardModifiers()> ContextPreviews::modifiersProvider = [] { return PressModifiers::at_press(); };
std::function<void(QWidget*, const QFileInfo&)> ContextPreviews::dragStarter = startFileDrag;

ContextPreviews::ContextPreviews(const QString& name)
    : zem::NameAble(name),
      // "md" was listed twice once; a set keeps it once.
      m_textExtensions{"txt", "c",   "cc",   "cs",  "hxx",  "h",   "cpp", "hpp",    "css",        "qml",
                       "cmake", "md", "cfg", "ini", "bat",  "cmd", "sh",  "ses",    "mes",        "sln",
                       "java", "kt",  "py",  "pro", "properties", "stl", "bdf", "nas", "pc", "md",
                       "gradle", "js", "bas", "vb", "def"}
{
    PressModifiers::install();
}

ContextPreviews::~ContextPreviews() = default;

void ContextPreviews::ini(QWidget* widget, XContainerPreviews* container)
{
    if (!container) {
        zem::nullPointerHandling(SOURCE, __LINE__, "c == NULL");
        return;
    }
    if (!widget) {
        zem::nullPointerHandling(SOURCE, __LINE__, "widget == NULL");
        return;
    }
    m_widget = widget;
    m_container = container;
    container->copyToSearch.changed.add([widget](const QString& text) {
        Logger::log(xprintF(QStringLiteral("ContextPreviews::ini, context menu, SEL CHANGED :'$'"), text),
                    zem::LOG_PROGRESS);
        if (auto* win = qobject_cast<WinFinder*>(widget->window()))
            win->copyToSearchListener.fire(text);
    });
}

zem::Preview* ContextPreviews::currentPreview()
{
    if (!s_currentPreview)
        Logger::log(QStringLiteral("ContextPreviews::currentPreview - NULLPTR"), zem::LOG_PROGRESS);
    return s_currentPreview;
}

void ContextPreviews::forget(const zem::Preview* p)
{
    if (p && s_currentPreview == p)
        s_currentPreview = nullptr;
}

void ContextPreviews::prepare(zem::Preview* p)
{
    const WinFinderConfig& config = WinFinderConfig::get();
    // Pictures and folder pages keep the interface font: a code font there only spoils the labels.
    if (!p->is_image() && p->get_category() != AbstractPreviewDir::kCategoryDir)
        p->set_font(zem::XToolsGui::getMonoFont(int(config.fontSize)));
    if (auto* ascii = qobject_cast<zem::PreviewAscii*>(p)) {
        ascii->set_ruler(config.flagRuler);
        ascii->set_auto_wrap(config.flagAutoWrap);
        ascii->set_line_info_pos(config.li_pos);
    } else if (auto* hex = qobject_cast<zem::PreviewHex*>(p)) {
        // The hex dump has a size setting of its own.
        hex->set_font_size(int(config.fontSizeHexView));
    }
}

void ContextPreviews::select_file(const QFileInfo& fi)
{
    const Qt::KeyboardModifiers mods = modifiersProvider ? modifiersProvider() : Qt::NoModifier;
    if (mods & Qt::ControlModifier) {
        Logger::log(xprintF(QStringLiteral("ContextPreviews::select_file, fi '$'"), fi.absoluteFilePath()),
                    zem::LOG_PROGRESS);
        if (dragStarter && m_widget)
            dragStarter(m_widget, fi);
        PressModifiers::reset();
        return;
    }
    m_candidates.clear();
    m_file = fi;
    if (!m_container) {
        zem::nullPointerHandling(SOURCE, __LINE__, "container == NULL");
        return;
    }
    WinFinder::show_status(m_container, fi);
    Logger::log(xprintF(QStringLiteral("ContextPreviews::select_file '$'"), fi.absoluteFilePath()), zem::LOG_PROGRESS);

    zem::Preview* chosen = nullptr;
    if (fi.isDir()) {
        chosen = m_container->previewDirectory();
        if (!chosen)
            return;
    } else {
        chosen = choose_candidates(fi);
    }
    if (!chosen)
        return;
    m_container->cancelShown();
    prepare(chosen);
    if ((mods & Qt::ShiftModifier) && (chosen->is_hex() || chosen->is_xml()))
        if (zem::Preview* ascii = m_container->asciiPreview())
            chosen = ascii;
    chosen->open_file(fi); // a file it cannot load shows as such; cycling offers the others
    s_currentPreview = chosen;
    m_container->setCurrentWidget(chosen->widget_preview());
    chosen->post_first_time_visibilty_action();
}

zem::Preview* ContextPreviews::choose_candidates(const QFileInfo& fi)
{
    const QString ext = fi.fileName().contains(QLatin1Char('.')) ? fi.suffix().toLower() : QString();
    zem::Preview* chosen = m_container->previewByExtension(ext);
    if (!chosen) {
        chosen = m_container->defaultPreview();
        if (auto* hex = qobject_cast<zem::PreviewHex*>(chosen))
            hex->set_font_size(int(WinFinderConfig::get().fontSizeHexView));
        if (zem::is_text_file(fi)) {
            Logger::log(QStringLiteral("ContextPreviews::select_file - IS TEXT FILE !"), zem::LOG_DETAIL);
            if (zem::Preview* ascii = m_container->asciiPreview())
                chosen = ascii;
        }
    }
    const bool qtImage = zem::XMimeType::fromFile(fi).isQtImage();
    const bool plainText = m_textExtensions.count(ext) > 0;
    for (zem::Preview* p : m_container->allPreviews()) {
        bool take = false;
        if (ext.isEmpty())
            take = qobject_cast<zem::PreviewHex*>(p) || qobject_cast<zem::PreviewAscii*>(p);
        else if (!qtImage)
            take = !p->is_image() && !(p->is_xml() && plainText);
        else
            take = p->is_image() || p == m_container->defaultPreview();
        if (take)
            m_candidates.push_back(p);
    }
    if (chosen)
        Logger::log(xprintF(QStringLiteral("ContextPreviews::select_file, preview '$'"), chosen->name()),
                    zem::LOG_DETAIL);
    for (size_t i = 0; i < m_candidates.size(); ++i)
        if (m_candidates[i] == chosen)
            m_index = int(i);
    return chosen;
}

void ContextPreviews::follow(const QFileInfo& fi, zem::Preview* shown)
{
    m_candidates.clear();
    m_file = fi;
    if (!m_container)
        return;
    choose_candidates(fi);
    for (size_t i = 0; i < m_candidates.size(); ++i)
        if (m_candidates[i] == shown)
            m_index = int(i);
}

bool ContextPreviews::try_open(zem::Preview* p)
{
    m_container->cancelShown();
    prepare(p);
    if (!p->open_file(m_file))
        return false;
    m_container->setCurrentWidget(p->widget_preview());
    return true;
}

void ContextPreviews::cycle_previews()
{
    if (m_file.isDir()) {
        Logger::log(xprintF(QStringLiteral("ContextPreviews@$::cycle_previews, [$]"), name(), m_file.absoluteFilePath()),
                    zem::LOG_PROGRESS);
        return;
    }
    // Each candidate is tried at most once, so a file that none can open does not loop for ever.
    const size_t count = m_candidates.size();
    for (size_t tried = 0; tried < count; ++tried) {
        if (!QFileInfo::exists(m_file.absoluteFilePath())) {
            Logger::log(xprintF(QStringLiteral("ContextPreviews@$::cycle_previews, <<<$>>> 404"), name(),
                                m_file.absoluteFilePath()),
                        zem::LOG_PROGRESS);
            return;
        }
        if (m_index == -1 || !m_container)
            return;
        m_index = (m_index + 1 >= int(count)) ? 0 : m_index + 1;
        zem::Preview* p = m_candidates[size_t(m_index)];
        Logger::log(xprintF(QStringLiteral("ContextPreviews@$::cycle_previews, <<<$>>>"), name(), m_file.absoluteFilePath()),
                    zem::LOG_PROGRESS);
        Logger::log(xprintF(QStringLiteral("ContextPreviews@$::cycle_previews, preview '$'"), name(), p->type()),
                    zem::LOG_PROGRESS);
        if (try_open(p))
            return;
        Logger::log(QStringLiteral("ContextPreviews::cycle_previews - PROBLEMS LOADING file"), zem::LOG_WARN);
    }
}

void ContextPreviews::set_preview(const QString& type)
{
    Logger::log(xprintF(QStringLiteral("ContextPreviews::set_preview, name '$'"), type), zem::LOG_PROGRESS);
    if (m_file.isDir()) {
        Logger::log(xprintF(QStringLiteral("ContextPreviews@$::set_preview, [$]"), name(), m_file.absoluteFilePath()),
                    zem::LOG_PROGRESS);
        return;
    }
    if (!QFileInfo::exists(m_file.absoluteFilePath())) {
        Logger::log(xprintF(QStringLiteral("ContextPreviews@$::set_preview, <<<$>>> 404"), name(), m_file.absoluteFilePath()),
                    zem::LOG_PROGRESS);
        return;
    }
    zem::Preview* found = nullptr;
    for (zem::Preview* p : m_candidates)
        if (p->type() == type) {
            found = p;
            break;
        }
    if (!found || !m_container)
        return;
    Logger::log(xprintF(QStringLiteral("ContextPreviews@$::set_preview, <<<$>>>"), name(), m_file.absoluteFilePath()),
                zem::LOG_PROGRESS);
    Logger::log(xprintF(QStringLiteral("ContextPreviews@$::set_preview, preview '$'"), name(), found->type()),
                zem::LOG_PROGRESS);
    if (try_open(found))
        return;
    Logger::log(QStringLiteral("ContextPreviews::set_preview - PROBLEMS LOADING file"), zem::LOG_WARN);
    cycle_previews();
}

} // namespace zemFinder
