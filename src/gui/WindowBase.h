#pragma once
// The base of the program's top-level windows: an entry in the process-wide tray menu that shows
// and hides the window, and the about and help pages. Deleted when closed; GUI thread only.
#include "widgets/XMainWindow.h"

#include <QFileInfo>
#include <QPointer>

#include <QAction>

namespace zemFinder {

class WindowBase : public zem::XMainWindow {
    Q_OBJECT
public:
    explicit WindowBase(QWidget* parent = nullptr);
    ~WindowBase() override;

    // The file the window shows; empty here.
    virtual QFileInfo currentFile() const;
    // Short name in tray entry texts.
    virtual QString shortName() const;
    virtual QString toString() const;

    // Adds the window's entry to the tray menu (creating the tray on first use); once.
    void setupTray();
    QAction* trayAction() const { return m_actionShow; }
    // Sets the entry's text, on the GUI thread.
    void set_tray_text(const QString& text);

    // Hides the window to the tray; without a tray it is minimised instead, since a hidden window
    // could not be brought back.
    void hide_to_tray();
    // Shows the window whether hidden or minimised, above the others, with the keyboard focus.
    void bring_to_front();

    // ":/zf/html/index.<language>.html", falling back to English.
    static QString help_page();
    void aboutProgram() override;
    void helpProgram() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void update_tray_entry(bool shown);

    QPointer<QAction> m_actionShow;   // owned by the tray menu
};

} // namespace zemFinder
