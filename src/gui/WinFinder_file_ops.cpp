// WinFinder: rename and delete of a file or folder, with their questions and warnings; afterwards
// the containing folder is shown.
#include "FileOps.h"
#include "Logger.h"
#include "WinFinder.h"
#include "XLang.h"
#include "widgets/XBox.h"
#include "widgets/XBoxInput.h"

#include <QDir>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;

void WinFinder::on_rename()
{
    Logger::log(QStringLiteral("WinFinder::on_rename"), zem::LOG_PROGRESS);
    if (!m_currentFile.filePath().isEmpty() && (m_currentFile.exists() || m_currentFile.isSymLink()))
        rename_file(m_currentFile);
}

bool WinFinder::rename_file(const QFileInfo& file)
{
    const QFileInfo folder(file.absolutePath());
    const QString answer = zem::XBoxInput::get_text(this, xt("Rename"), file.fileName(), QString());
    if (answer.isEmpty() || answer == file.fileName()) {
        on_treeView_selectFile(folder);
        return false;
    }
    bool exists = false;
    if (!FileOps::rename_in_folder(file, answer, &exists)) {
        QString reason;
        if (!FileOps::is_valid_name(answer))
            reason = xt("A name must not be empty, \".\" or \"..\", nor hold a path separator.");
        else if (exists)
            reason = xt("An entry of this name exists already.");
        zem::XBox::warn(this, xt("Error"),
                        reason.isEmpty() ? xt("Cannot rename file") : xt("Cannot rename file") + QLatin1Char('\n') + reason);
        return false;
    }
    on_treeView_selectFile(folder);
    return true;
}

bool WinFinder::delete_file(const QFileInfo& file)
{
    const QFileInfo folder(file.absolutePath());
    const QString path = file.absoluteFilePath();
    // A link is deleted as itself, whatever it points to.
    const bool isDir = file.isDir() && !file.isSymLink();
    QString question = xprintF(isDir ? xt("Do you really want to delete directory\n$")
                                     : xt("Do you really want to delete file\n$"),
                               QDir::toNativeSeparators(path));
    if (!FileOps::trash_available(file))
        question += QStringLiteral("\n\n") + xt("There is no trash on this drive: the entry is removed for good.");
    if (zem::XBox::ask_yes_no(this, xt("Delete file"), question) != 1)
        return false;
    if (!FileOps::remove(file)) {
        zem::XBox::warn(this, xt("Error"),
                        xprintF(isDir ? xt("Cannot remove directory\n$") : xt("Cannot remove file\n$"), path));
        return false;
    }
    on_treeView_selectFile(folder);
    return true;
}

} // namespace zemFinder
