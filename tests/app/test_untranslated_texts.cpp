// With the interface in German and in Russian, walks the windows and dialogs and lists every
// visible text that is still English: a text the language table translates but the widget shows
// untranslated, or an English phrase the table does not know at all. Names, paths, numbers and
// units are not words to translate.
#include "KernelGUI.h"
#include "TestDir.h"
#include "XLang.h"
#include "XNode.h"
#include "XTools.h"
#include "dir/PreviewDir.h"
#include "dir/PreviewDirSimple.h"
#include "find/FileResult.h"
#include "find/XContentFilter.h"
#include "gui/PanelResults.h"
#include "gui/WinDetails.h"
#include "gui/WinFinder.h"
#include "gui/WinFinder_FindArea.h"
#include "gui/WinProperties.h"
#include "gui/apps/WinEditorApps.h"
#include "gui/config/ConfigZemFinder.h"
#include "gui/config/DiaWinFinderConfig.h"
#include "gui/dia/Bookmarks.h"
#include "gui/dia/DiaBookmark.h"
#include "gui/dia/DiaEditBookmarks.h"
#include "gui/dia/DiaFirstMessage.h"
#include "gui/dia/DiaHistory.h"
#include "gui/lang/DiaAddLang.h"
#include "gui/lang/WinLang.h"
#include "XFindStats.h"
#include "gui/panPreview/PanPreviewHex.h"
#include "gui/panPreview/PanStats.h"
#include "gui/panPreview/XTabWidget.h"
#include "gui/panPreview/asc/PanPreviewAsc.h"
#include "widgets/XBox.h"
#include "widgets/XBoxInput.h"
#include "widgets/XComboBox.h"
#include "widgets/XMenu.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTextBrowser>
#include <QtTest>

using zemFinder::WinFinder;

namespace {
// Texts that are the same in every language: the program's name, key names, codes, markers and
// the byte unit of sizes.
const QStringList SAME_EVERYWHERE{"CTRL", "SHIFT", "ALT", "regEx", "Bytes"};

// True for a text a translator has to look at: it holds a word of at least three Latin letters
// and is not a path, a number or a known name.
bool needsTranslation(const QString& text)
{
    const QString t = text.trimmed();
    // Capitals, digits and dashes only: a name such as an algorithm's.
    static const QRegularExpression name(QStringLiteral("^[A-Z0-9-]+$"));
    if (t.isEmpty() || SAME_EVERYWHERE.contains(t) || name.match(t).hasMatch() || t.startsWith(QLatin1Char('/')) || t.contains(QLatin1String("://")))
        return false;
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{3,}"));
    return word.match(t).hasMatch() && !t.contains(QRegularExpression(QStringLiteral("[^\\x00-\\x7F]")));
}

// The texts of one language in the table, blanks and line breaks folded.
const QSet<QString>& translations(const QString& lang)
{
    static QHash<QString, QSet<QString>> cache;
    if (!cache.contains(lang))
        for (const zem::LangMessage& message : zem::XLang::messages())
            cache[lang].insert(message.text(lang).simplified());
    return cache[lang];
}

bool piecesKnown(const QString& text, const QString& lang, QStringList* unknown);

void check(const QString& where, const QString& text, const QString& lang, QStringList* found)
{
    if (!needsTranslation(text))
        return;
    QString key = text.simplified();
    if (key.endsWith(QLatin1Char(':')))
        key.chop(1);
    // A text put together from translated parts and numbers counts as translated.
    if (!translations(lang).contains(key) && !piecesKnown(text, lang, nullptr))
        *found << QStringLiteral("%1: \"%2\"").arg(where, text);
}

// A page of running text (a summary, a report, a message): every piece between punctuation,
// numbers and line breaks must be part of some translation of the language.
bool piecesKnown(const QString& text, const QString& lang, QStringList* unknown)
{
    // '?' stands for a number not known yet ("Line 1 of ?" while lines are counted).
    static const QRegularExpression cut(QStringLiteral("[\\n\\t:;,()\\[\\]'\"=|<>~+?]|\\d+"));
    bool all = true;
    for (const QString& piece : text.split(cut, Qt::SkipEmptyParts)) {
        const QString p = piece.simplified();
        if (!needsTranslation(p))
            continue;
        bool known = false;
        for (const QString& translation : translations(lang))
            if (translation.contains(p)) {
                known = true;
                break;
            }
        if (!known) {
            all = false;
            if (unknown)
                *unknown << p;
        }
    }
    return all;
}

void checkPieces(const QString& where, const QString& text, const QString& lang, QStringList* found)
{
    QStringList unknown;
    piecesKnown(text, lang, &unknown);
    for (const QString& p : unknown)
        *found << QStringLiteral("%1: \"%2\" in \"%3\"").arg(where, p, text.left(80));
}

void walkMenu(const QString& where, QMenu* menu, const QString& lang, QStringList* found)
{
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        check(where + "/menu", action->text(), lang, found);
        check(where + "/menu tooltip", action->toolTip() == action->text() ? QString() : action->toolTip(), lang, found);
        if (action->menu())
            walkMenu(where, action->menu(), lang, found);
    }
}

// deep also reads column titles and text pages.
QStringList walk(QWidget* top, const QString& lang, bool deep = false)
{
    QStringList found;
    const QString where = top->metaObject()->className();
    check(where + " title", top->windowTitle(), lang, &found);
    QList<QWidget*> widgets = top->findChildren<QWidget*>();
    widgets.prepend(top);
    for (QWidget* w : widgets) {
        check(where + " tooltip", w->toolTip(), lang, &found);
        if (auto* label = qobject_cast<QLabel*>(w))
            check(where + " label", label->text(), lang, &found);
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            check(where + " button", button->text(), lang, &found);
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                check(where + " tab", tabs->tabText(i), lang, &found);
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && !combo->isEditable())
            for (int i = 0; i < combo->count(); ++i)
                check(where + " choice", combo->itemText(i), lang, &found);
        if (!deep)
            continue;
        if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model())
            for (int i = 0; i < view->model()->columnCount(); ++i)
                check(where + " column", view->model()->headerData(i, Qt::Horizontal).toString(), lang, &found);
        if (auto* browser = qobject_cast<QTextBrowser*>(w))
            checkPieces(where + " page", browser->toPlainText(), lang, &found);
    }
    return found;
}
} // namespace

class TestUntranslatedTexts : public QObject {
    Q_OBJECT

private:
    zem::XNode m_node{QStringLiteral("Window")};
    TestDir m_dir;

    // The dialogs and windows of the configuration, the history, the languages and the first run.
    QStringList walkDialogs(const QString& lang)
    {
        QStringList found;
        zemFinder::DiaZemFinderConfig config(zemFinder::WinFinderConfig::get());
        found << walk(&config, lang);
        zemFinder::DiaHistory history({"*.txt"});
        found << walk(&history, lang);
        zemFinder::DiaFirstMessage first;
        // The hint page starts in English until a language is chosen; the chosen one's page is
        // its own text, not the English one (its words are not in the language table).
        found << walk(&first, lang);
        auto* page = first.findChild<QTextBrowser*>();
        auto* radio = first.findChild<QAbstractButton*>(lang == "de" ? "German" : "Russian");
        if (page && radio) {
            const QString english = page->toPlainText();
            radio->click();
            if (page->toPlainText() == english || !page->toPlainText().contains("Zem Finder"))
                found << "first-run page of " + lang + " not shown";
        } else {
            found << "no hint page or language button";
        }
        zemFinder::DiaAddLang add;
        found << walk(&add, lang);
        if (zemFinder::WinLang* editor = zemFinder::WinLang::open_editor()) {
            found << walk(editor, lang, true);
            editor->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        return found;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(zem::XTools::lang_ini(true));
        zemFinder::WinFinderConfig::get().flagUseStartFolder = false;
    }

    void cleanupTestCase() { zem::XTools::set_lang("en"); }

    void theWalkSeesEnglishLeftOver()
    {
        // The walk itself: an untranslated label is reported, a translated one is not.
        zem::XTools::set_lang("de");
        QWidget top;
        auto* bad = new QLabel(QStringLiteral("Some English words here"), &top);
        auto* good = new QLabel(zem::xt("Cancel"), &top);
        Q_UNUSED(good);
        QCOMPARE(walk(&top, "de").size(), 1);
        bad->setText(QStringLiteral("/usr/share/12 kb"));
        QVERIFY(walk(&top, "de").isEmpty());
    }

    void dialogsSpeakTheLanguage_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::newRow("de") << "de";
        QTest::newRow("ru") << "ru";
    }

    void dialogsSpeakTheLanguage()
    {
        QFETCH(QString, lang);
        zem::XTools::set_lang(lang);
        const QStringList found = walkDialogs(lang);
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }

    // The main window and its menus belong to several parts of the program; what is left in
    // English there is listed for the translators and fails the test.
    void mainWindowSpeaksTheLanguage_data() { dialogsSpeakTheLanguage_data(); }

    void mainWindowSpeaksTheLanguage()
    {
        QFETCH(QString, lang);
        zem::XTools::set_lang(lang);
        std::unique_ptr<WinFinder> win(WinFinder::create_window(&m_node, m_dir.path()));
        // Deep: the tree's column titles come from the file-system model, which speaks Qt's English.
        QStringList found = walk(win.get(), lang, true);
        std::unique_ptr<zem::XMenu> settings(win->create_settings_menu());
        walkMenu("settings", settings.get(), lang, &found);
        std::unique_ptr<zem::XMenu> filter(win->create_filter_menu());
        walkMenu("filter", filter.get(), lang, &found);
        found.removeDuplicates();
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }

    // The history boxes' menu is Qt's standard text-field menu plus "Edit History": Qt's part
    // comes from the translations Qt ships, so every entry must differ from its English form.
    void standardTextFieldMenuFollowsTheLanguage_data() { dialogsSpeakTheLanguage_data(); }

    void standardTextFieldMenuFollowsTheLanguage()
    {
        QFETCH(QString, lang);
        std::unique_ptr<WinFinder> win(WinFinder::create_window(&m_node, m_dir.path()));
        const auto texts = [&] {
            std::unique_ptr<QMenu> menu(win->create_history_context_menu(win->findArea()->comboPattern));
            QStringList out;
            for (QAction* a : menu->actions())
                if (!a->isSeparator())
                    out << a->text();
            return out;
        };
        zem::XTools::set_lang("en");
        const QStringList english = texts();
        zem::XTools::set_lang(lang);
        const QStringList translated = texts();
        QCOMPARE(translated.size(), english.size());
        QVERIFY(english.size() >= 5);
        for (int i = 0; i < english.size(); ++i)
            QVERIFY2(translated[i] != english[i], qPrintable(english[i]));
    }

    // The context menus with every entry they can show: a file and a folder, rename and delete on.
    void contextMenusSpeakTheLanguage_data() { dialogsSpeakTheLanguage_data(); }

    void contextMenusSpeakTheLanguage()
    {
        QFETCH(QString, lang);
        zem::XTools::set_lang(lang);
        zemFinder::WinFinderConfig::get().flag_zf_read_only = false;
        std::unique_ptr<WinFinder> win(WinFinder::create_window(&m_node, m_dir.path()));
        const QFileInfo file(m_dir.write("menu.txt", "x"));
        const QFileInfo folder(m_dir.mkdir("menu"));
        QStringList found;
        for (const QFileInfo& fi : {file, folder}) {
            std::unique_ptr<zem::XMenu> tree(win->create_menu_tree(fi));
            walkMenu("tree", tree.get(), lang, &found);
            std::unique_ptr<zem::XMenu> right(win->create_menu_right_side(fi, nullptr, win->contextMain()));
            walkMenu("right side", right.get(), lang, &found);
            std::unique_ptr<zem::XMenu> results(win->create_menu_results(zemFinder::FileResult({}, fi)));
            walkMenu("results", results.get(), lang, &found);
        }
        zemFinder::WinFinderConfig::get().flag_zf_read_only = true;
        found.removeDuplicates();
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }

    // The details window: every tab visited, the text tab's switch menu.
    void detailsWindowSpeaksTheLanguage_data() { dialogsSpeakTheLanguage_data(); }

    void detailsWindowSpeaksTheLanguage()
    {
        QFETCH(QString, lang);
        zem::XTools::set_lang(lang);
        const QString file = m_dir.write(QStringLiteral("\u00fc.txt"), QByteArray("\xc3\xbc\xc3\xa4\n"));
        zemFinder::WinDetails win;
        win.ini(&m_node, false);
        win.set_file(QFileInfo(file), true);
        win.resize(900, 600);
        QStringList found;
        for (zem::XPanel* tab : {static_cast<zem::XPanel*>(win.tab_hex()), static_cast<zem::XPanel*>(win.tab_stats()),
                                 static_cast<zem::XPanel*>(win.tab_text())}) {
            win.tabs()->set_current_panel(tab);
            QTest::qWait(50);
            found << walk(&win, lang, true);
        }
        std::unique_ptr<zem::XMenu> layers(win.tab_text()->create_sub_menu_filter());
        walkMenu("details/layers", layers.get(), lang, &found);
        found.removeDuplicates();
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }

    // The properties window, the application editor and the applications menu.
    void propertiesAndApplicationsSpeakTheLanguage_data() { dialogsSpeakTheLanguage_data(); }

    void propertiesAndApplicationsSpeakTheLanguage()
    {
        QFETCH(QString, lang);
        zem::XTools::set_lang(lang);
        const QString file = m_dir.write(QStringLiteral("\u00e4.txt"), QByteArray("x"));
        QStringList found;
        if (QPointer<zemFinder::WinProperties> props = zemFinder::WinProperties::show_for(QFileInfo(file))) {
            found << walk(props, lang, true);
            props->close();
        } else {
            QFAIL("no properties window");
        }
        if (zemFinder::WinEditorApps* editor = zemFinder::WinEditorApps::open_editor()) {
            found << walk(editor, lang, true);
            editor->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::unique_ptr<WinFinder> win(WinFinder::create_window(&m_node, file));
        win->show();
        QVERIFY(QTest::qWaitForWindowExposed(win.get()));
        QTRY_COMPARE(win->currentFile().absoluteFilePath(), QFileInfo(file).absoluteFilePath());
        std::unique_ptr<zem::XMenu> apps(win->create_apps_menu());
        walkMenu("apps", apps.get(), lang, &found);
        found.removeDuplicates();
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }

    // The bookmark dialogs and menu, and the questions and warnings of the main window.
    void bookmarksAndMessagesSpeakTheLanguage_data() { dialogsSpeakTheLanguage_data(); }

    void bookmarksAndMessagesSpeakTheLanguage()
    {
        QFETCH(QString, lang);
        zem::XTools::set_lang(lang);
        QStringList found;
        zem::XBox::testHook = [&](zem::XBox::Kind, const QString& title, const QString& text) {
            check("message title", title, lang, &found);
            checkPieces("message", text, lang, &found);
            return 0;
        };
        QString answer;
        zem::XBoxInput::testHook = [&](const QString& title, const QString&, const QString& hint) {
            check("question title", title, lang, &found);
            check("question hint", hint, lang, &found);
            return answer;
        };
        const QString file = m_dir.write(QStringLiteral("\u00f6.txt"), QByteArray("x"));
        m_dir.write(QStringLiteral("\u00f6\u00f6.txt"), QByteArray("x"));
        std::unique_ptr<WinFinder> win(WinFinder::create_window(&m_node, file));
        win->on_bookmarks();   // an empty store says so
        for (const QString& name : {QStringLiteral("a/b"), QStringLiteral("\u00f6\u00f6.txt")}) {
            answer = name;
            win->rename_file(QFileInfo(file));
        }
        win->delete_file(QFileInfo(file));
        win->delete_file(QFileInfo(m_dir.path()));

        zemFinder::Bookmarks::add_bookmark(QStringLiteral("\u00fc"), m_dir.path());
        std::unique_ptr<zem::XMenu> bookmarks(win->create_bookmarks_menu());
        QVERIFY(bookmarks);
        walkMenu("bookmarks", bookmarks.get(), lang, &found);
        zemFinder::DiaBookmark bookmark;
        bookmark.setup({QStringLiteral("\u00fc"), m_dir.path()});
        found << walk(&bookmark, lang, true);
        zemFinder::DiaEditBookmarks edit;
        found << walk(&edit, lang, true);
        zemFinder::Bookmarks::remove_bookmark(m_dir.path());
        zem::XBox::testHook = nullptr;
        zem::XBoxInput::testHook = nullptr;
        found.removeDuplicates();
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }

    // The results panel with results and its summary, the directory preview's table and summary.
    void resultsAndFoldersSpeakTheLanguage_data() { dialogsSpeakTheLanguage_data(); }

    void resultsAndFoldersSpeakTheLanguage()
    {
        QFETCH(QString, lang);
        zem::XTools::set_lang(lang);
        const QString file = m_dir.write(QStringLiteral("\u00e4\u00e4/\u00fc.txt"), QByteArray("include\n"));
        m_dir.write(QStringLiteral("\u00e4\u00e4/\u00f6/\u00fc.bin"), QByteArray("\0\1", 2));
        m_dir.write(QStringLiteral("\u00e4\u00e4/.\u00fc"), QByteArray("x"));
        zemFinder::PanelResults panel;
        panel.setup();
        panel.resize(1000, 600);
        zem::find::XRamLayer layer;
        layer.append(0, 7);
        std::vector<zemFinder::FileResult> results;
        results.emplace_back(std::move(layer), QFileInfo(file));
        panel.setFileResults(std::move(results));
        panel.selectRow(0);
        QStringList found = walk(&panel, lang, true);
        QElapsedTimer start;
        start.start();
        zem::XFindStats stats;
        stats.countFiles = 12345;
        stats.countFilesMatch = 3;
        panel.showSummary(start, stats, m_dir.path(), QStringLiteral("*.txt"));
        panel.showPage(zemFinder::PanelResults::PAGE_SUMMARY);
        found << walk(&panel, lang, true);
        panel.showSummary(start, stats, m_dir.path(), QString());
        found << walk(&panel, lang, true);

        zemFinder::PreviewDir folder;
        folder.ini();
        folder.open_file(QFileInfo(QFileInfo(file).absolutePath()));
        found << walk(&folder, lang, true);
        zemFinder::PreviewDirSimple simple;
        simple.ini();
        simple.open_file(QFileInfo(QFileInfo(file).absolutePath()));
        found << walk(&simple, lang, true);
        found.removeDuplicates();
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestUntranslatedTexts test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_untranslated_texts.moc"
