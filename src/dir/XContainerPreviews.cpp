#include "XContainerPreviews.h"

#include "AbstractPreviewDir.h"
#include "ContextPreviews.h"
#include "Logger.h"
#include "preview/PreviewAscii.h"
#include "PreviewDir.h"
#include "preview/PreviewHex.h"
#include "preview/PreviewImage.h"
#include "preview/PreviewXml.h"
#include "XLang.h"
#include "XNode.h"
#include "XTheme.h"
#include "XTools.h"

#include <QAction>
#include <QMenu>
#include <QStringList>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
const char* SOURCE = "src/dir/XContainerPreviews";

// Qt's image plug-ins and file dialogs print these for harmless cases (a preview asked about an
// empty name, a PNG with an odd chunk); they would drown the log.
const QStringList& quietTexts()
{
    static const QStringList texts{QStringLiteral("No file name specified"),
                                   QStringLiteral("Empty filename passed to function"),
                                   QStringLiteral("libpng warning")};
    return texts;
}

QtMessageHandler g_previousHandler = nullptr;
bool g_filterInstalled = false;

void filteringMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& msg)
{
    for (const QString& text : quietTexts())
        if (msg.contains(text))
            return;
    if (g_previousHandler)
        g_previousHandler(type, context, msg);
    else
        qt_message_output(type, context, msg);
}
} // namespace

XContainerPreviews::XContainerPreviews(QWidget* parent) : zem::XPanelStacked(parent)
{
    setObjectName(QStringLiteral("ContainerPreviews"));
}

XContainerPreviews::~XContainerPreviews()
{
    // The previews die with the stack; the process-wide current preview must not outlive them.
    for (zem::Preview* p : allPreviews())
        ContextPreviews::forget(p);
    ContextPreviews::forget(m_previewDir);
}

void XContainerPreviews::addStandardPreviews()
{
    if (m_default) {
        Logger::log(QStringLiteral("XContainerPreviews::addStandardPreviews, already called"), zem::LOG_ERROR);
        return;
    }
    if (!g_filterInstalled) {
        g_filterInstalled = true;
        g_previousHandler = qInstallMessageHandler(filteringMessageHandler);
    }
    auto* hex = new zem::PreviewHex(this);
    m_default = hex;
    addPreview(hex, true, true);
    addPreview(new zem::PreviewXml(this), true, true);
    auto* ascii = new zem::PreviewAscii(this);
    addPreview(ascii, true, true);
    addPreview(new zem::PreviewImage(this), true, true);
    addCopyToSearchMenu(ascii);
}

void XContainerPreviews::addCopyToSearchMenu(zem::PreviewAscii* ascii)
{
    ascii->add_extra_context_menu([this](QMenu* menu, const QString& selection) {
        const bool usable = !selection.isEmpty() && selection.size() <= kMaxCopyToSearch;
        if (!usable)
            Logger::log(QStringLiteral("PanPreviewAsc::ini - no selection"), zem::LOG_DETAIL);
        menu->addSeparator();
        QAction* action = menu->addAction(zem::xt("Copy to search"));
        action->setCheckable(false);
        action->setData(kActionCopyToSearch);
        action->setEnabled(usable);
        QObject::connect(action, &QAction::triggered, this, [this, selection] {
            Logger::log(xprintF(QStringLiteral("XContainerPreviews::addStandardPreviews, copy to search:'$'"), selection),
                        zem::LOG_PROGRESS);
            copyToSearch = selection;
        });
    });
}

void XContainerPreviews::stop_jobs()
{
    if (currentWidget())
        cancelShown();
    if (m_previewDir)
        m_previewDir->stop_jobs();
}

void XContainerPreviews::setStandAloneListener(std::function<void(const zem::Preview*)> fn)
{
    m_standAlone = fn;
    for (zem::Preview* p : allPreviews())
        p->requestStandAlone.add(fn);
    if (m_previewDir)
        m_previewDir->requestStandAlone.add(fn);
}

AbstractPreviewDir* XContainerPreviews::createPreviewDirectory()
{
    return new PreviewDir(this);
}

AbstractPreviewDir* XContainerPreviews::previewDirectory()
{
    if (!m_previewDir) {
        m_previewDir = createPreviewDirectory();
        m_previewDir->set_debug(zem::XTools::isDebug());
        m_previewDir->ini();
        if (m_standAlone)
            m_previewDir->requestStandAlone.add(m_standAlone);
        if (QWidget* w = m_previewDir->widget_preview(); w && indexOf(w) < 0)
            addWidget(w);
        directoryPreviewCreated.fire(m_previewDir);
    }
    return m_previewDir;
}

void XContainerPreviews::from_node(zem::XNode* node)
{
    m_node = node;
    if (!node)
        return;
    for (zem::Preview* p : allPreviews())
        p->from_node(node->getCreateNode(p->type()));
    AbstractPreviewDir* prevDir = previewDirectory();
    if (!prevDir) {
        zem::nullPointerHandling(SOURCE, __LINE__, "prevDir == NULL");
        return;
    }
    prevDir->from_node(node->getCreateNode(prevDir->type()));
}

void XContainerPreviews::to_node()
{
    for (zem::Preview* p : allPreviews())
        p->to_node();
    if (!previewDirectory()) {
        zem::nullPointerHandling(SOURCE, __LINE__, "previewDirectory() == NULL");
        return;
    }
    previewDirectory()->to_node();
}

QString XContainerPreviews::defaultImagePath()
{
    const QString lang = zem::XTools::get_lang().isEmpty() ? QStringLiteral("en") : zem::XTools::get_lang();
    const QString pattern = zem::XTheme::isDark() ? QStringLiteral(":zf/image/dark/zf-$.svg")
                                                  : QStringLiteral(":zf/image/zf-$.svg");
    return QString(pattern).replace(QLatin1Char('$'), lang);
}

void XContainerPreviews::addPreview(zem::Preview* preview, bool ini, bool addWidget)
{
    if (!preview) {
        zem::nullPointerHandling(SOURCE, __LINE__, "preview == NULL");
        return;
    }
    preview->set_debug(zem::XTools::isDebug());
    for (const QString& ext : preview->get_file_extensions())
        m_byExtension.emplace(ext.toLower(), preview); // multimap: after equal keys
    if (ini) {
        preview->ini();
        if (auto* hex = qobject_cast<zem::PreviewHex*>(preview))
            hex->set_svg_default_image(defaultImagePath());
    }
    if (m_standAlone)
        preview->requestStandAlone.add(m_standAlone);
    if (addWidget) {
        if (QWidget* w = preview->widget_preview(); w && indexOf(w) < 0)
            this->addWidget(w);
    } else if (!preview->parent()) {
        preview->setParent(this);
        preview->hide();
    }
}

zem::Preview* XContainerPreviews::previewByExtension(const QString& ext) const
{
    if (ext.isEmpty())
        return nullptr;
    // lower_bound: the first of several previews registered for the same extension.
    const QString key = ext.toLower();
    const auto it = m_byExtension.lower_bound(key);
    return (it != m_byExtension.end() && it->first == key) ? it->second : nullptr;
}

zem::Preview* XContainerPreviews::previewByWidget(QWidget* widget) const
{
    if (!widget) {
        Logger::log(QStringLiteral("XContainerFilePreviews::previewByWidget, widget == nullptr"), zem::LOG_ERROR);
        return nullptr;
    }
    for (zem::Preview* p : allPreviews())
        if (p->widget_preview() == widget)
            return p;
    if (m_previewDir && m_previewDir->widget_preview() == widget)
        return m_previewDir;
    return nullptr;
}

std::set<zem::Preview*> XContainerPreviews::allPreviews() const
{
    std::set<zem::Preview*> all;
    for (const auto& entry : m_byExtension)
        all.insert(entry.second);
    return all;
}

zem::PreviewAscii* XContainerPreviews::asciiPreview() const
{
    for (zem::Preview* p : allPreviews())
        if (auto* ascii = qobject_cast<zem::PreviewAscii*>(p))
            return ascii;
    return nullptr;
}

zem::Preview* XContainerPreviews::previewByType(const QString& type) const
{
    for (zem::Preview* p : allPreviews())
        if (p->type() == type)
            return p;
    return nullptr;
}

void XContainerPreviews::cancelShown()
{
    QWidget* shown = currentWidget();
    zem::Preview* p = shown ? previewByWidget(shown) : nullptr;
    if (!shown) {
        previewByWidget(nullptr); // logs
        return;
    }
    if (p)
        p->cancel_loading();
}

} // namespace zemFinder
