#pragma once
// A small HTML help window over QTextBrowser. It is a separate top-level window, owned by the
// window it was opened from (or by nobody: then it deletes itself when closed).
#include <QWidget>

class QTextBrowser;

namespace zem {

class XBrowserWindow : public QWidget {
    Q_OBJECT
public:
    // buttons: 0 a Close button only (about page), 1 also Back, Forward and Home (help pages).
    XBrowserWindow(const QString& page, const QString& title, int buttons, QWidget* owner);

    // Opens page (a file or ":/..." resource path) in a new help window and shows it.
    // Returns the window (non-owning); null when the page does not exist.
    static XBrowserWindow* showHelp(const QString& page, const QString& title, int buttons = 1,
                                    QWidget* owner = nullptr);

    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};

} // namespace zem
