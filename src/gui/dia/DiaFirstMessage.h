#pragma once
// The first-run message: a page of first-use hints and the choice of the interface language,
// shown at start-up before the main window until the user saves a choice. Modal, GUI thread only.
#include <QDialog>
#include <functional>

class QButtonGroup;
class QTextBrowser;

namespace zem {
class XNode;
}

namespace zemFinder {

class DiaFirstMessage : public QDialog {
    Q_OBJECT
public:
    enum DaLang { ENGLISH = 0, GERMAN = 1, RUSSIAN = 2 };
    // 0: closed without a button, 1: "OK", 2: "OK + save".
    enum Code { CANCEL = 0, OK = 1, OK_SAVE = 2 };
    struct Result {
        int code = CANCEL;
        QString lang;   // "en", "de" or "ru"; empty when cancelled
    };

    explicit DiaFirstMessage(QWidget* parent = nullptr);

    static Result run(QWidget* parent);
    // Start-up: runs the dialog while the root record's "flagSeeIniMessage" (default true) is set,
    // applies the language for OK, and for "OK + save" stores it and ends the first-run state.
    static void show_at_start(zem::XNode* root);
    // Tests answer here instead of a modal loop (the dialog's result code, 0 when closed).
    static std::function<int(DiaFirstMessage&)> execHook;

    static QString page_of(DaLang lang);
    // The hint page of a language code ("en" for one without a page), the version filled in.
    static QString page_html(const QString& code);
    static QString code_of(DaLang lang);
    void select(int lang);
    DaLang choice() const { return m_choice; }
    int result_code() const { return m_code; }
    QTextBrowser* browser() const { return m_browser; }

private:
    void finish(int code);

    DaLang m_choice = ENGLISH;
    int m_code = CANCEL;
    QTextBrowser* m_browser = nullptr;
    QButtonGroup* m_group = nullptr;
};

} // namespace zemFinder
