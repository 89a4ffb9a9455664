#include "XToolsGui.h"

#include "AbstractWindow.h"
#include "KernelGUI.h"
#include "Logger.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QUrl>

namespace zem {

QFont XToolsGui::getMonoFont(int pointSize)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    if (pointSize > 0)
        font.setPointSize(pointSize);
    return font;
}

QIcon XToolsGui::get_file_icon_association(const QFileInfo& file)
{
    static QFileIconProvider provider;
    if (!file.exists())
        return provider.icon(QFileIconProvider::File);
    return provider.icon(file);
}

bool XToolsGui::open_file_with_default_program(const QString& path)
{
    const QFileInfo file(path);
    if (!file.exists()) {
        Logger::log(xprintF(QStringLiteral("XToolsGui::open_file_with_default_program, <<<$>>> does not exist"), path),
                    LOG_WARN);
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}

bool XToolsGui::showFolderInFileManager(const QString& path)
{
    const QFileInfo file(path);
    if (!file.exists()) {
        Logger::log(xprintF(QStringLiteral("XToolsGui::showFolderInFileManager, <<<$>>> does not exist"), path),
                    LOG_WARN);
        return false;
    }
    const QString folder = file.isDir() ? file.absoluteFilePath() : file.absolutePath();
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

QList<AbstractWindow*> XToolsGui::getAbstractWindows()
{
    QList<AbstractWindow*> out;
    if (KernelGUI* kernel = KernelGUI::kernelGui())
        for (QWidget* window : kernel->windows())
            if (auto* abstract = dynamic_cast<AbstractWindow*>(window))
                out << abstract;
    return out;
}

bool XToolsGui::is_modifier(uint32_t modifiers)
{
    return is_modifier(modifiers, uint32_t(QGuiApplication::queryKeyboardModifiers()));
}

bool XToolsGui::is_modifier(uint32_t modifiers, uint32_t held)
{
    const uint32_t mask = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    return modifiers != 0 && (held & mask) == (modifiers & mask);
}

void XToolsGui::flash_combobox_editable(QComboBox* combo, int milliseconds)
{
    if (!combo || !combo->lineEdit())
        return;
    QPointer<QLineEdit> edit = combo->lineEdit();
    const QString before = edit->styleSheet();
    edit->setStyleSheet(QStringLiteral("QLineEdit { background: #fff3a0; color: black; }"));
    QTimer::singleShot(milliseconds, edit, [edit, before] {
        if (edit)
            edit->setStyleSheet(before);
    });
}

} // namespace zem
