#pragma once
// GUI helpers that need widgets: fonts, file icons, the desktop's own services for opening files
// and folders, the open windows, modifier keys, and a short visual hint on a combo box.
#include <QFont>
#include <QIcon>
#include <QList>
#include <QString>
#include <cstdint>

class QComboBox;
class QFileInfo;

namespace zem {

class AbstractWindow;

class XToolsGui {
public:
    // A fixed-pitch font of pointSize points.
    static QFont getMonoFont(int pointSize);
    // The icon the desktop shows for this file (or a generic file or folder icon).
    static QIcon get_file_icon_association(const QFileInfo& file);
    // Opens the file with the program the desktop associates with it; false when that failed.
    static bool open_file_with_default_program(const QString& path);
    // Opens the desktop's file manager on the folder (for a file: on the folder that holds it).
    static bool showFolderInFileManager(const QString& path);
    // The kernel's windows that are AbstractWindows, in creation order.
    static QList<AbstractWindow*> getAbstractWindows();
    // True when exactly these modifiers (Qt::KeyboardModifiers bits) are held right now.
    static bool is_modifier(uint32_t modifiers);
    static bool is_modifier(uint32_t modifiers, uint32_t held);
    // Tints the combo box's edit field for a moment, to show that its text was taken.
    static void flash_combobox_editable(QComboBox* combo, int milliseconds = 300);
};

} // namespace zem
