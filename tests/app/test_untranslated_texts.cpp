// With the interface in German and in Russian, walks the windows and dialogs and lists every
// visible text that is still English: a text the language table translates but the widget shows
// untranslated, or an English phrase the table does not know at all. Names, paths, numbers and
// units are not words to translate.
#include "KernelGUI.h"
#include "TestDir.h"
#include "XLang.h"
#include "XNode.h"
#include "XTools.h"
#include "find/FileResult.h"
#include "gui/WinFinder.h"
#include "gui/config/ConfigZemFinder.h"
#include "gui/config/DiaWinFinderConfig.h"
#include "gui/dia/DiaFirstMessage.h"
#include "gui/dia/DiaHistory.h"
#include "gui/lang/DiaAddLang.h"
#include "gui/lang/WinLang.h"
#include "widgets/XMenu.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QtTest>

using zemFinder::WinFinder;

namespace {
// Texts that are the same in every language: the program's name, key names, codes and markers.
const QStringList SAME_EVERYWHERE{"CTRL", "SHIFT", "ALT", "regEx"};

// True for a text a translator has to look at: it holds a word of at least three Latin letters
// and is not a path, a number or a known name.
bool needsTranslation(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || SAME_EVERYWHERE.contains(t) || t.startsWith(QLatin1Char('/')) || t.contains(QLatin1String("://")))
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

void check(const QString& where, const QString& text, const QString& lang, QStringList* found)
{
    if (!needsTranslation(text))
        return;
    QString key = text.simplified();
    if (key.endsWith(QLatin1Char(':')))
        key.chop(1);
    if (!translations(lang).contains(key))
        *found << QStringLiteral("%1: \"%2\"").arg(where, text);
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

QStringList walk(QWidget* top, const QString& lang)
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
        found << walk(&first, lang);
        zemFinder::DiaAddLang add;
        found << walk(&add, lang);
        if (zemFinder::WinLang* editor = zemFinder::WinLang::open_editor()) {
            found << walk(editor, lang);
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
        QStringList found = walk(win.get(), lang);
        std::unique_ptr<zem::XMenu> settings(win->create_settings_menu());
        walkMenu("settings", settings.get(), lang, &found);
        std::unique_ptr<zem::XMenu> filter(win->create_filter_menu());
        walkMenu("filter", filter.get(), lang, &found);
        found.removeDuplicates();
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
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
