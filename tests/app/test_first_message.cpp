// The first-run message: its pages and language choice, and what start-up does with each answer
// (closed, OK for this run only, OK + save for good).
#include "KernelGUI.h"
#include "TestDir.h"
#include "XEnv.h"
#include "XLang.h"
#include "XNode.h"
#include "XTools.h"
#include "gui/dia/DiaFirstMessage.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTextBrowser>
#include <QtTest>

using zemFinder::DiaFirstMessage;

class TestFirstMessage : public QObject {
    Q_OBJECT

private:
    int m_runs = 0;

    // Start-up answering with choice (a radio button's name) and button ("ok", "okSave" or
    // empty for the window's close button).
    void start(zem::XNode* root, const char* choice, const char* button)
    {
        DiaFirstMessage::execHook = [this, choice, button](DiaFirstMessage& dia) {
            ++m_runs;
            if (choice)
                dia.findChild<QRadioButton*>(QString::fromLatin1(choice))->click();
            if (button)
                dia.findChild<QPushButton*>(QString::fromLatin1(button))->click();
            else
                dia.reject();
            return dia.result();
        };
        DiaFirstMessage::show_at_start(root);
    }

private Q_SLOTS:
    void init()
    {
        m_runs = 0;
        zem::XTools::set_lang("en");
    }

    void pagesExistForEveryChoiceWithTheVersion()
    {
        zem::setEnv("ZEMFINDER_VERSION", "9.87.65");
        for (auto lang : {DiaFirstMessage::ENGLISH, DiaFirstMessage::GERMAN, DiaFirstMessage::RUSSIAN})
            QVERIFY2(QFile::exists(DiaFirstMessage::page_of(lang)), qPrintable(DiaFirstMessage::page_of(lang)));
        DiaFirstMessage dia;
        QCOMPARE(dia.choice(), DiaFirstMessage::ENGLISH);
        QVERIFY(dia.findChild<QRadioButton*>("English")->isChecked());
        QVERIFY(dia.browser()->toPlainText().contains("Welcome to Zem Finder 9.87.65"));
        dia.findChild<QRadioButton*>("Russian")->click();
        QCOMPARE(dia.choice(), DiaFirstMessage::RUSSIAN);
        QVERIFY(dia.browser()->toPlainText().contains("Добро пожаловать"));
        dia.select(7);   // no such button: nothing changes
        QCOMPARE(dia.choice(), DiaFirstMessage::RUSSIAN);
        QVERIFY(dia.browser()->minimumWidth() >= 960);
    }

    void closeButtonKeepsTheFlagAndTheLanguage()
    {
        zem::XNode root;
        start(&root, "German", nullptr);
        QCOMPARE(m_runs, 1);
        QCOMPARE(zem::XTools::get_lang(), QStringLiteral("en"));
        QVERIFY(root.isBool("flagSeeIniMessage", true));
        QVERIFY(!root.has("lang"));
        start(&root, nullptr, "ok");
        QCOMPARE(m_runs, 2);   // shown again next start
    }

    void okIsForThisRunOnly()
    {
        zem::XNode root;
        start(&root, "Russian", "ok");
        QCOMPARE(zem::XTools::get_lang(), QStringLiteral("ru"));
        QVERIFY(!root.has("lang"));
        QVERIFY(root.isBool("flagSeeIniMessage", true));
        // The next start shows it again, in English.
        zem::XTools::set_lang(root.getString("lang", "en"));
        DiaFirstMessage::Result result;
        DiaFirstMessage::execHook = [](DiaFirstMessage& dia) {
            dia.findChild<QPushButton*>("ok")->click();
            return dia.result();
        };
        result = DiaFirstMessage::run(nullptr);
        QCOMPARE(result.code, int(DiaFirstMessage::OK));
        QCOMPARE(result.lang, QStringLiteral("en"));
    }

    void okSaveStoresTheLanguageAndEndsTheFirstRun()
    {
        zem::XNode root;
        start(&root, "German", "okSave");
        QCOMPARE(zem::XTools::get_lang(), QStringLiteral("de"));
        QCOMPARE(root.getString("lang"), QStringLiteral("de"));
        QVERIFY(!root.isBool("flagSeeIniMessage", true));
        start(&root, "Russian", "okSave");
        QCOMPARE(m_runs, 1);   // skipped
        QCOMPARE(zem::XTools::get_lang(), QStringLiteral("de"));
    }

    void closedRunReturnsNoLanguage()
    {
        DiaFirstMessage::execHook = [](DiaFirstMessage& dia) {
            dia.select(DiaFirstMessage::GERMAN);
            dia.reject();
            return dia.result();
        };
        const DiaFirstMessage::Result result = DiaFirstMessage::run(nullptr);
        QCOMPARE(result.code, int(DiaFirstMessage::CANCEL));
        QVERIFY(result.lang.isEmpty());
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestFirstMessage test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_first_message.moc"
