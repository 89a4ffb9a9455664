// The language file and its editor: the saved file before the built-in one (a damaged one kept
// as ".bad"), the editor's start language, one editor at most, the rules for new codes, adding
// and removing languages, "WRONG PLACE HERE", the sorted atomic save, and Cancel.
#include "KernelGUI.h"
#include "TestDir.h"
#include "XLang.h"
#include "XNode.h"
#include "XTools.h"
#include "gui/lang/DiaAddLang.h"
#include "gui/lang/PanelLang.h"
#include "gui/lang/PanelMessage.h"
#include "gui/lang/WinLang.h"
#include "widgets/XBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using zem::LangMessage;
using zem::LangMessages;
using zem::XLang;
using zemFinder::DiaAddLang;
using zemFinder::PanelMessage;
using zemFinder::WinLang;

namespace {
const QByteArray SAMPLE = R"(<?xml version="1.0" encoding="UTF-8"?>
<GUI>
 <Message><en>Zebra</en><de>Zebra-de</de><ru>Зебра</ru></Message>
 <Message><de>ohne Englisch</de></Message>
 <Message><en>apple</en><de>Apfel</de></Message>
 <Message><en>  Banana</en><de>Banane</de><ru>Банан</ru></Message>
</GUI>
)";

QString userFile()
{
    return zem::XTools::user_lang_file_path();
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

PanelMessage* panelFor(WinLang* win, const QString& english)
{
    for (PanelMessage* panel : win->panel()->panels())
        if (panel->english() == english)
            return panel;
    return nullptr;
}
} // namespace

class TestLangEditor : public QObject {
    Q_OBJECT

private:
    QStringList m_boxes;
    int m_answer = 0;
    QString m_newCode;

    WinLang* openOnSample()
    {
        LangMessages sample;
        if (!XLang::parse(SAMPLE, &sample))
            return nullptr;
        XLang::setMessages(sample);
        return WinLang::open_editor();
    }

    void closeEditor(WinLang* win)
    {
        if (win)
            win->close();
        flushDeletes();
    }

private Q_SLOTS:
    void init()
    {
        m_boxes.clear();
        m_answer = 0;
        zem::XBox::testHook = [this](zem::XBox::Kind, const QString& title, const QString&) {
            m_boxes << title;
            return m_answer;
        };
        DiaAddLang::execHook = [this](DiaAddLang& dia) {
            dia.field()->setText(m_newCode);
            dia.on_ok();
            return dia.result();
        };
        QFile::remove(userFile());
        zem::XTools::set_lang("en");
    }

    // --- Loading ---

    void savedFileWinsAndGetsNewBuiltInMessages()
    {
        TestDir dir;
        const QString builtIn = dir.write("builtin.xml", SAMPLE);
        writeFile(userFile(), "<GUI><Message><en>apple</en><de>Apfel!</de></Message></GUI>");
        QVERIFY(XLang::loadUserThenBuiltIn(userFile(), builtIn));
        QCOMPARE(XLang::translate("apple", "de"), QStringLiteral("Apfel!"));
        QCOMPARE(XLang::translate("Zebra", "de"), QStringLiteral("Zebra-de"));
        // "ru" was not in the saved file: it is not brought back.
        QCOMPARE(XLang::translate("Zebra", "ru"), QStringLiteral("Zebra"));
        QCOMPARE(XLang::languages(), QStringList({"en", "de"}));
    }

    void damagedSavedFileIsKeptAsBadAndBuiltInUsed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("half written") << SAMPLE.left(SAMPLE.size() / 2);
        QTest::newRow("not a language file") << QByteArray("<Other/>");
        QTest::newRow("no message with English") << QByteArray("<GUI></GUI>");
        QTest::newRow("binary") << QByteArray("\x00\x01\x02", 3);
    }

    void damagedSavedFileIsKeptAsBadAndBuiltInUsed()
    {
        QFETCH(QByteArray, bytes);
        TestDir dir;
        const QString builtIn = dir.write("builtin.xml", SAMPLE);
        writeFile(userFile(), bytes);
        QVERIFY(XLang::loadUserThenBuiltIn(userFile(), builtIn));
        QCOMPARE(XLang::translate("apple", "de"), QStringLiteral("Apfel"));
        QVERIFY(!QFile::exists(userFile()));
        QCOMPARE(readAll(userFile() + ".bad"), bytes);
        QFile::remove(userFile() + ".bad");
    }

    void emptyTranslationFallsBackAndMessageWithoutEnglishIsKept()
    {
        QVERIFY(XLang::loadFromBytes(
            "<GUI><Message><en>Keep</en><de></de></Message><Message><de>nur</de></Message></GUI>"));
        QCOMPARE(XLang::translate("Keep", "de"), QStringLiteral("Keep"));
        QCOMPARE(XLang::messages().size(), 2);
        QVERIFY(XLang::toXml(XLang::messages()).contains("<de>nur</de>"));
    }

    // --- Opening ---

    void startLanguageFollowsTheInterface()
    {
        WinLang* win = openOnSample();
        QVERIFY(win);
        QCOMPARE(win->lang_edited(), QStringLiteral("de"));
        QCOMPARE(win->combo()->currentText(), QStringLiteral("de"));
        QCOMPARE(win->combo()->findText("en"), -1);
        closeEditor(win);
        zem::XTools::set_lang("ru");
        win = openOnSample();
        QCOMPARE(win->lang_edited(), QStringLiteral("ru"));
        QCOMPARE(win->combo()->currentText(), QStringLiteral("ru"));
        closeEditor(win);
    }

    void oneEditorAtMost()
    {
        WinLang* win = openOnSample();
        QVERIFY(win);
        QVERIFY(WinLang::is_open());
        QVERIFY(!WinLang::open_editor());
        closeEditor(win);
        QVERIFY(!WinLang::is_open());
        win = WinLang::open_editor();
        QVERIFY(win);
        closeEditor(win);
    }

    void sortedByLowerCasedEnglishAndWithoutEnglishHidden()
    {
        WinLang* win = openOnSample();
        QStringList english;
        for (PanelMessage* panel : win->panel()->panels())
            english << panel->english();
        QCOMPARE(english, QStringList({"apple", "  Banana", "Zebra"}));
        QCOMPARE(win->working_tree().size(), 4);
        closeEditor(win);
    }

    // --- New codes ---

    void codeRules_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("blanks around") << "  fr " << true;
        QTest::newRow("three letters") << "fra" << true;
        QTest::newRow("non-ASCII lower case") << "ñé" << true;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("hyphen") << "f-r" << false;
        QTest::newRow("upper case") << "Fr" << false;
        QTest::newRow("inner blank") << "f r" << false;
        QTest::newRow("digit") << "f1" << false;
        QTest::newRow("non-ASCII upper case") << "Ñ" << false;
    }

    void codeRules()
    {
        QFETCH(QString, input);
        QFETCH(bool, accepted);
        DiaAddLang dia;
        dia.field()->setText(input);
        dia.findChild<QPushButton*>("ok")->click();
        QCOMPARE(dia.result() == QDialog::Accepted, accepted);
        if (accepted) {
            m_newCode = input;
            QCOMPARE(DiaAddLang::ask(nullptr), input.trimmed());
        }
    }

    void addedLanguageGetsEmptyElementsWrittenWithBothTags()
    {
        WinLang* win = openOnSample();
        panelFor(win, "apple")->set_translation("Apfel neu");
        m_newCode = " fr ";
        win->on_add_lang();
        QCOMPARE(win->lang_edited(), QStringLiteral("fr"));
        QCOMPARE(win->combo()->currentText(), QStringLiteral("fr"));
        for (const LangMessage& message : win->working_tree()) {
            QVERIFY(message.has("fr"));
            QVERIFY(message.text("fr").isEmpty());
        }
        QVERIFY(panelFor(win, "apple")->translation().isEmpty());
        panelFor(win, "Zebra")->set_translation("Zèbre");
        panelFor(win, "apple")->set_translation("Pomme");
        win->on_ok();
        flushDeletes();
        const QByteArray saved = readAll(userFile());
        QVERIFY(saved.contains("<fr></fr>"));
        QVERIFY(saved.contains("<de>Apfel neu</de>"));   // typed before the language changed
        QCOMPARE(XLang::translate("Zebra", "fr"), QStringLiteral("Zèbre"));
        QCOMPARE(XLang::translate("apple", "fr"), QStringLiteral("Pomme"));
        QCOMPARE(zem::XTools::get_lang(), QStringLiteral("en"));
    }

    void existingCodeWarns()
    {
        WinLang* win = openOnSample();
        m_newCode = "ru";
        win->on_add_lang();
        QCOMPARE(m_boxes, QStringList({"Already exists"}));
        QCOMPARE(win->lang_edited(), QStringLiteral("de"));
        closeEditor(win);
    }

    // --- Removing ---

    void germanCannotBeRemoved()
    {
        WinLang* win = openOnSample();
        win->combo()->setCurrentText("de");
        win->on_remove_lang();
        QCOMPARE(m_boxes, QStringList({"Not allowed"}));
        QVERIFY(XLang::languagesOf(win->working_tree()).contains("de"));
        closeEditor(win);
    }

    void removingAsksThenSwitchesToGermanAndCancelRestoresTheInterface()
    {
        WinLang* win = openOnSample();
        win->combo()->setCurrentText("ru");
        QCOMPARE(win->lang_edited(), QStringLiteral("ru"));
        win->on_remove_lang();   // answered no
        QCOMPARE(m_boxes, QStringList({"Remove Language"}));
        QVERIFY(XLang::languagesOf(win->working_tree()).contains("ru"));
        m_answer = 1;
        win->on_remove_lang();
        QVERIFY(!XLang::languagesOf(win->working_tree()).contains("ru"));
        QCOMPARE(win->combo()->findText("ru"), -1);
        QCOMPARE(win->lang_edited(), QStringLiteral("de"));
        QCOMPARE(zem::XTools::get_lang(), QStringLiteral("de"));
        win->on_cancel();
        flushDeletes();
        QCOMPARE(zem::XTools::get_lang(), QStringLiteral("en"));
        QCOMPARE(XLang::translate("Zebra", "ru"), QStringLiteral("Зебра"));
        QVERIFY(!QFile::exists(userFile()));
    }

    // --- Saving ---

    void missingElementShowsWrongPlaceAndApplyingStoresIt()
    {
        zem::XTools::set_lang("ru");
        WinLang* win = openOnSample();
        QCOMPARE(panelFor(win, "apple")->translation(), QStringLiteral("WRONG PLACE HERE"));
        QCOMPARE(panelFor(win, "Zebra")->translation(), QStringLiteral("Зебра"));
        win->on_ok();
        flushDeletes();
        QCOMPARE(XLang::translate("apple", "ru"), QStringLiteral("WRONG PLACE HERE"));
        QCOMPARE(zem::XTools::get_lang(), QStringLiteral("ru"));
    }

    void okSavesSortedAndKeepsMessagesWithoutEnglish()
    {
        WinLang* win = openOnSample();
        win->on_ok();
        flushDeletes();
        LangMessages saved;
        QVERIFY(XLang::parse(readAll(userFile()), &saved));
        QStringList order;
        for (const LangMessage& message : saved)
            order << message.text("en");
        QCOMPARE(order, QStringList({"", "apple", "  Banana", "Zebra"}));
        QCOMPARE(saved.first().text("de"), QStringLiteral("ohne Englisch"));
        QVERIFY(readAll(userFile()).startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
        // The next start reads it back.
        QVERIFY(zem::XTools::lang_ini(true));
        QCOMPARE(XLang::translate("  Banana", "ru"), QStringLiteral("Банан"));
    }

    void cancelWritesNothingAndKeepsTheLiveTable()
    {
        WinLang* win = openOnSample();
        panelFor(win, "apple")->set_translation("verworfen");
        m_newCode = "it";
        win->on_add_lang();
        win->on_cancel();
        flushDeletes();
        QVERIFY(!QFile::exists(userFile()));
        QCOMPARE(XLang::translate("apple", "de"), QStringLiteral("Apfel"));
        QVERIFY(!XLang::languages().contains("it"));
        QVERIFY(!WinLang::is_open());
    }

    void focusGrowsBothFields()
    {
        WinLang* win = openOnSample();
        PanelMessage* panel = panelFor(win, "apple");
        panel->activate(true);
        for (QWidget* field : panel->findChildren<QPlainTextEdit*>())
            QCOMPARE(field->height(), PanelMessage::HEIGHT_ACTIVE);
        panel->activate(false);
        for (QWidget* field : panel->findChildren<QPlainTextEdit*>())
            QCOMPARE(field->height(), PanelMessage::HEIGHT_SMALL);
        closeEditor(win);
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestLangEditor test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_lang_editor.moc"
