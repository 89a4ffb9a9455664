// WinFinder: the status bar, the last row of the content panel, with one centred label.
#include "KernelGUI.h"
#include "Logger.h"
#include "WinFinder.h"
#include "XThread.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XElidedLabel.h"
#include "widgets/XPanel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
// Long enough to be seen from the corner of the eye, short enough not to be in the way.
constexpr int kFlashMs = 1200;
// White on a deep red: about 5.6 : 1, readable on light and dark surroundings alike.
const QString kFlashStyleEdit = QStringLiteral("QLineEdit { background: #c62828; color: white; }");
const QString kFlashStyleCombo = QStringLiteral("QComboBox { background-color: #c62828; color: white; }");
} // namespace

void WinFinder::setup_status_bar()
{
    if (m_statusBar) {
        Logger::log(QStringLiteral("WinFinder_status_bar::setup_status_bar, already set !"), zem::LOG_PROGRESS);
        return;
    }
    zem::XPanel* content = createContentPanel(true);
    m_statusBar = content->add(new QStatusBar(content));
    m_statusBar->setSizeGripEnabled(false);
    // A deep path is shortened in its middle, so the window never grows to fit it.
    m_statusLabel = new zem::XElidedLabel(m_statusBar, Qt::ElideMiddle);
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

namespace zemFinder {

void WinFinder::show_fault(QObject* field, const QString& text)
{
    auto* combo = qobject_cast<QComboBox*>(field);
    QLineEdit* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(field);
    if (!edit)
        return;
    // A combo box paints its own background (its style sheet colours it): it flashes as a whole.
    QWidget* target = combo ? static_cast<QWidget*>(combo) : edit;
    if (!text.isEmpty()) {
        Logger::log(xprintF(QStringLiteral("WinFinder::show_fault, $"), text), zem::LOG_WARN);
        target->setToolTip(text);
        if (m_statusLabel)
            m_statusLabel->setText(text);
    }
    // The style before the first of several quick flashes is the one to return to.
    if (!target->property("zemFlashing").toBool()) {
        target->setProperty("zemStyleBefore", target->styleSheet());
        target->setProperty("zemFlashing", true);
    }
    const QString flash = combo ? kFlashStyleCombo : kFlashStyleEdit;
    target->setStyleSheet(flash);
    QPointer<QWidget> guard = target;
    QTimer::singleShot(kFlashMs, target, [guard, flash] {
        if (!guard)
            return;
        // A look set meanwhile (the regular-expression switch) stays.
        if (guard->styleSheet() == flash)
            guard->setStyleSheet(guard->property("zemStyleBefore").toString());
        guard->setProperty("zemFlashing", false);
    });
    edit->setFocus();
}

} // namespace zemFinder
