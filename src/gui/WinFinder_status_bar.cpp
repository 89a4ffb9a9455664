// WinFinder: the status bar, the last row of the content panel, with one centred label.
#include "KernelGUI.h"
#include "Logger.h"
#include "WinFinder.h"
#include "XThread.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XPanel.h"

#include <QLabel>
#include <QPointer>
#include <QStatusBar>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

void WinFinder::setup_status_bar()
{
    if (m_statusBar) {
        Logger::log(QStringLiteral("WinFinder_status_bar::setup_status_bar, already set !"), zem::LOG_PROGRESS);
        return;
    }
    zem::XPanel* content = createContentPanel(true);
    m_statusBar = content->add(new QStatusBar(content));
    m_statusBar->setSizeGripEnabled(false);
    m_statusLabel = new QLabel(m_statusBar);
    m_statusLabel->setAlignment(Qt::AlignCenter);
    m_statusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_statusBar->addWidget(m_statusLabel, 1);
    m_statusBar->setVisible(WinFinderConfig::get().flagStatusBar);
}

QString WinFinder::status_text(const QFileInfo& file)
{
    if (file.isDir())
        return xprintF(QStringLiteral("[$]"), file.absoluteFilePath());
    return xprintF(QStringLiteral("$  ( $ )"), file.absoluteFilePath(), zem::formatBytes(quint64(file.size())));
}

void WinFinder::show_status(QWidget* widget, const QFileInfo& file)
{
    WinFinder* win = nullptr;
    for (QWidget* w = widget; w && !win; w = w->parentWidget())
        win = qobject_cast<WinFinder*>(w);
    if (!win || !win->m_statusLabel)
        return;
    QPointer<QLabel> label = win->m_statusLabel;
    const QString text = status_text(file);
    // Also called while background work reports; the label is only touched on the GUI thread.
    zem::qt::run_in_Gui_Thread([label, text] {
        if (label)
            label->setText(text);
    });
}

void WinFinder::apply_status_bar_flag()
{
    zem::KernelGUI* kernel = zem::KernelGUI::kernelGui();
    if (!kernel)
        return;
    for (QWidget* window : kernel->windows())
        if (auto* win = qobject_cast<WinFinder*>(window); win && win->m_statusBar)
            win->m_statusBar->setVisible(WinFinderConfig::get().flagStatusBar);
}

} // namespace zemFinder
