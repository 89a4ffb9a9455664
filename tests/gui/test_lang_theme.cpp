// The language table and the themes of the GUI runtime.
#include "TestDir.h"
#include "XLang.h"
#include "XTheme.h"
#include "XTools.h"

#include <QApplication>
#include <QtTest>

using namespace zem;

class TestLangTheme : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lookupFallsBackToEnglish()
    {
        const QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<GUI>
 <Message><en>Find</en><de>Suchen</de><ru>Найти</ru></Message>
 <Message><en>&amp;add</en><de>&amp;hinzufügen</de><ru></ru></Message>
 <Message><en>multi
   line</en><de>mehr
   zeilig</de></Message>
</GUI>)";
        QVERIFY(XLang::loadFromBytes(xml));
        QCOMPARE(XLang::messageCount(), 3);
        QCOMPARE(XLang::languages(), QStringList({"en", "de", "ru"}));
        XLang::setLanguage("de");
        QCOMPARE(xt("Find"), QStringLiteral("Suchen"));
        QCOMPARE(xt("&add"), QStringLiteral("&hinzufügen"));
        QCOMPARE(xt("multi\n   line"), QStringLiteral("mehr\n   zeilig"));
        QCOMPARE(xt("not in the table"), QStringLiteral("not in the table"));
        XLang::setLanguage("ru");
        QCOMPARE(xt("Find"), QStringLiteral("Найти"));
        QCOMPARE(xt("&add"), QStringLiteral("&add"));   // empty translation
        XLang::setLanguage("fr");
        QCOMPARE(xt("Find"), QStringLiteral("Find"));
        XLang::setLanguage("en");
    }

    void malformedFileKeepsTheTable()
    {
        QVERIFY(XLang::loadFromBytes("<GUI><Message><en>Keep</en><de>Behalten</de></Message></GUI>"));
        QVERIFY(!XLang::loadFromBytes("<GUI><Message><en>broken"));
        QVERIFY(!XLang::loadFromBytes("<Other/>"));
        QVERIFY(!XLang::load("/no/such/lang.xml"));
        QCOMPARE(XLang::translate("Keep", "de"), QStringLiteral("Behalten"));
    }

    void builtInFileLoadsAndUserCopyWins()
    {
        XTools::set_lang_path(":/zf/lang/lang.xml");
        QVERIFY(XTools::lang_ini(true));
        TestDir dir;
        QFile user(XTools::user_lang_file_path());
        QVERIFY(user.open(QIODevice::WriteOnly));
        user.write("<GUI><Message><en>Mine</en><de>Meins</de></Message></GUI>");
        user.close();
        QVERIFY(XTools::lang_ini(true));
        QCOMPARE(XLang::translate("Mine", "de"), QStringLiteral("Meins"));
        QFile::remove(XTools::user_lang_file_path());
    }

    void themeIconPath()
    {
        XTheme::apply(true);
        QVERIFY(XTheme::isDark());
        QCOMPARE(XTheme::iconPath("find2.svg"), QStringLiteral(":/zf/icons/dark/find2.svg"));
        QVERIFY(qApp->palette().color(QPalette::Window).lightness() < 100);
        XTheme::apply(false);
        QCOMPARE(XTheme::iconPath("find2.svg"), QStringLiteral(":/zf/icons/find2.svg"));
        QVERIFY(qApp->palette().color(QPalette::Window).lightness() > 150);
    }

    void cacheDirIsEmptiedButKept()
    {
        const QString cache = XTools::get_create_cache_dir();
        QVERIFY(cache.startsWith(QString::fromLocal8Bit(qgetenv("XDG_CACHE_HOME"))));
        QDir().mkpath(cache + "/thumbs/a");
        QFile f(cache + "/thumbs/a/x.png");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QVERIFY(XTools::empty_out_cache_dir());
        QVERIFY(QDir(cache).exists());
        QVERIFY(QDir(cache).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
        QVERIFY(XTools::get_absolute_config_file_path("x.xml").startsWith(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"))));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    TestLangTheme test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_lang_theme.moc"
