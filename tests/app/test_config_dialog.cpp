// The configuration dialog and what the main window does with its result: every field reaches
// the record on OK, Cancel leaves it alone, values that are not offered, the filter folders, the
// theme switch with its cache, and the restart question.
#include "KernelGUI.h"
#include "TestDir.h"
#include "XFontScale.h"
#include "XLang.h"
#include "XNode.h"
#include "XTools.h"
#include "gui/WinFinder.h"
#include "gui/WinFinder_FindArea.h"
#include "gui/config/ConfigZemFinder.h"
#include "gui/config/DiaWinFinderConfig.h"
#include "gui/lang/WinLang.h"
#include "widgets/XAction.h"
#include "widgets/XBox.h"
#include "widgets/XButton.h"
#include "widgets/XMenu.h"
#include "widgets/XTypedComboBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using zemFinder::DiaZemFinderConfig;
using zemFinder::WinFinder;
using zemFinder::WinFinderConfig;

namespace {
// Every field of the record as text; the sets sorted, since their order says nothing.
QByteArray recordXml(const WinFinderConfig& config)
{
    WinFinderConfig copy = config;
    copy.TextFiles.clear();
    copy.filter.clear();
    zem::XNode node(QStringLiteral("Config"));
    copy.toNode(&node);
    QStringList folders;
    for (const QFileInfo& folder : config.filter)
        folders << folder.absoluteFilePath();
    folders.sort();
    return node.toXml() + config.ext_to_string(true).toUtf8() + folders.join(';').toUtf8();
}

template <typename T>
T* child(DiaZemFinderConfig& dia, const char* name)
{
    T* widget = dia.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qWarning("no control %s", name);
    return widget;
}

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void pressOk(DiaZemFinderConfig& dia)
{
    child<QPushButton>(dia, "ok")->click();
}
} // namespace

class TestConfigDialog : public QObject {
    Q_OBJECT

private:
    zem::XNode m_node{QStringLiteral("Window")};
    TestDir m_dir;
    WinFinder* m_win = nullptr;
    QStringList m_questions;
    int m_answer = 0;
    int m_restarts = 0;

private Q_SLOTS:
    void initTestCase()
    {
        zem::XTools::lang_ini(true);
        WinFinderConfig::get().flagUseStartFolder = false;
        m_win = WinFinder::create_window(&m_node, m_dir.path());
        m_win->resize(900, 500);
        zem::XBox::testHook = [this](zem::XBox::Kind, const QString& title, const QString&) {
            m_questions << title;
            return m_answer;
        };
        WinFinder::restartHook = [this] { ++m_restarts; };
    }

    void init()
    {
        m_questions.clear();
        m_answer = 0;
        m_restarts = 0;
        DiaZemFinderConfig::execHook = nullptr;
        DiaZemFinderConfig::chooseDirHook = nullptr;
    }

    void cleanupTestCase()
    {
        DiaZemFinderConfig::execHook = nullptr;
        zem::XBox::testHook = nullptr;
        WinFinder::restartHook = nullptr;
        delete m_win;
    }

    // --- Cancel and OK ---

    void cancelLeavesRecordThemeAndLanguageUntouched()
    {
        const QByteArray before = recordXml(WinFinderConfig::get());
        const QString langBefore = zem::XTools::get_lang();
        DiaZemFinderConfig::execHook = [](DiaZemFinderConfig& dia) {
            child<QCheckBox>(dia, "darkTheme")->setChecked(true);
            child<QCheckBox>(dia, "statusBar")->toggle();
            child<QCheckBox>(dia, "useFilter")->toggle();
            child<QComboBox>(dia, "language")->setCurrentText("de");
            child<QPlainTextEdit>(dia, "extensions")->setPlainText("zzz");
            child<QPushButton>(dia, "cancel")->click();
            return dia.result();
        };
        m_win->on_config();
        QCOMPARE(recordXml(WinFinderConfig::get()), before);
        QVERIFY(!zem::KernelGUI::kernelGui()->isZemStyleDark());
        QCOMPARE(zem::XTools::get_lang(), langBefore);
        QVERIFY(m_questions.isEmpty());
    }

    void okStoresEveryControl()
    {
        DiaZemFinderConfig::execHook = [](DiaZemFinderConfig& dia) {
            child<zem::XTypedComboBox>(dia, "threads")->selectValue(12);
            child<zem::XTypedComboBox>(dia, "fontSizeHex")->selectValue(20);
            child<QCheckBox>(dia, "statusBar")->setChecked(true);
            child<QCheckBox>(dia, "propAutoLoad")->setChecked(true);
            child<zem::XTypedComboBox>(dia, "propMaxSize")->selectValue(50);
            child<QCheckBox>(dia, "keyCtrl")->setChecked(false);
            child<QCheckBox>(dia, "keyShift")->setChecked(true);
            child<QCheckBox>(dia, "keyAlt")->setChecked(true);
            child<QCheckBox>(dia, "readOnly")->setChecked(false);
            child<QCheckBox>(dia, "confirmQuit")->setChecked(true);
            child<QCheckBox>(dia, "treeDateSize")->setChecked(true);
            child<QCheckBox>(dia, "treeMouseOver")->setChecked(false);
            child<QCheckBox>(dia, "treeDirOnly")->setChecked(true);
            child<QCheckBox>(dia, "useFilter")->setChecked(false);
            child<QPlainTextEdit>(dia, "filterField")->setPlainText("/opt/a; /opt/b");
            child<QCheckBox>(dia, "startFolderUse")->setChecked(true);
            child<QLineEdit>(dia, "startFolder")->setText("  /home/start  ");
            child<QCheckBox>(dia, "rootFolderUse")->setChecked(true);
            child<QLineEdit>(dia, "rootFolder")->setText("/srv ");
            for (const char* name : {"favorite2", "favorite4", "favorite8", "favorite16", "favorite32", "favorite64",
                                     "favorite128"})
                child<QCheckBox>(dia, name)->setChecked(false);
            child<QCheckBox>(dia, "favorite2")->setChecked(true);
            child<QCheckBox>(dia, "favorite128")->setChecked(true);
            child<zem::XTypedComboBox>(dia, "scope")->selectValue(2);
            child<QCheckBox>(dia, "regEx")->setChecked(false);
            child<QPlainTextEdit>(dia, "extensions")->setPlainText("txt, md,log");
            child<zem::XTypedComboBox>(dia, "fontSize")->selectValue(40);
            child<QCheckBox>(dia, "ruler")->setChecked(false);
            child<QCheckBox>(dia, "autoWrap")->setChecked(true);
            child<QRadioButton>(dia, "linePos2")->setChecked(true);
            child<zem::XTypedComboBox>(dia, "scaling")->selectValue(120);
            pressOk(dia);
            return dia.result();
        };
        m_win->on_config();
        const WinFinderConfig& c = WinFinderConfig::get();
        QCOMPARE(c.countThreads, 12u);
        QCOMPARE(c.fontSizeHexView, 20u);
        QVERIFY(c.flagStatusBar);
        QVERIFY(c.flagPropAutoLoad);
        QCOMPARE(c.max_file_size_auto_calc_checksums, 50ull);
        QCOMPARE(c.HotkeyCyclePreviews, 0x2000000u | 0x8000000u);
        QVERIFY(!c.flag_zf_read_only);
        QVERIFY(c.flagConfirmQuit);
        QVERIFY(c.flagTreeDateSize);
        QVERIFY(!c.flagTreeMouseOverInfo);
        QVERIFY(c.flagTreeDirOnly);
        QVERIFY(!c.flagUseFilter);
        QCOMPARE(int(c.filter.size()), 2);
        QVERIFY(c.filter.count(QFileInfo("/opt/b")));
        QVERIFY(c.flagUseStartFolder);
        QCOMPARE(c.startFolder, QStringLiteral("/home/start"));
        QVERIFY(c.flagUseRootFolder);
        QCOMPARE(c.root, QStringLiteral("/srv"));
        QCOMPARE(c.filterBits, 2u | 128u);
        QCOMPARE(c.scope, 2u);
        QVERIFY(!c.flagRegEx);
        QCOMPARE(c.TextFiles, QSet<QString>({"txt", "md", "log"}));
        QCOMPARE(c.fontSize, 40u);
        QVERIFY(!c.flagRuler);
        QVERIFY(c.flagAutoWrap);
        QCOMPARE(c.li_pos, 2);
        QCOMPARE(zem::XFontScale::percent(), 120u);
        // The running window follows at once.
        QVERIFY(m_win->treeView());
        QVERIFY(m_win->findArea()->buttonRegEx->isHidden());
        // The record reached the kernel's "Config" node.
        zem::XNode* nConfig = zem::KernelGUI::kernelGui()->getCreateNodeApplication()->getNode("Config");
        QVERIFY(nConfig);
        QCOMPARE(nConfig->getUInt("countThreads", 0), 12ull);
        QCOMPARE(m_questions, QStringList({zem::xt("Restart")}));
        zem::XFontScale::set_percent(100);
    }

    void okWithoutChangesStillAsksAndNoMeansNoRestart()
    {
        const QByteArray before = recordXml(WinFinderConfig::get());
        DiaZemFinderConfig::execHook = [](DiaZemFinderConfig& dia) {
            pressOk(dia);
            return dia.result();
        };
        m_win->on_config();
        QCOMPARE(m_questions.size(), 1);
        QCOMPARE(recordXml(WinFinderConfig::get()), before);
        QTest::qWait(1300);
        QCOMPARE(m_restarts, 0);
    }

    void yesRestartsOnceAfterTheDialog()
    {
        m_answer = 1;
        DiaZemFinderConfig::execHook = [](DiaZemFinderConfig& dia) {
            pressOk(dia);
            return dia.result();
        };
        m_win->on_config();
        QCOMPARE(m_restarts, 0);   // not while the dialog's caller still runs
        QTRY_COMPARE_WITH_TIMEOUT(m_restarts, 1, 10000);
    }

    // --- Values that are not offered ---

    void sixtyFourThreadsAreNotOfferedAndOneIsStored()
    {
        WinFinderConfig config;
        config.countThreads = 64;
        DiaZemFinderConfig dia(config);
        QCOMPARE(child<zem::XTypedComboBox>(dia, "threads")->selectedValue(), 1u);
        dia.set_cfg_from_gui();
        QCOMPARE(dia.config().countThreads, 1u);
    }

    void missingLinePositionStoresZero()
    {
        WinFinderConfig config;
        config.li_pos = 7;
        DiaZemFinderConfig dia(config);
        dia.set_cfg_from_gui();
        QCOMPARE(dia.config().li_pos, 0);
    }

    void emptiedExtensionFieldKeepsTheExtensions()
    {
        WinFinderConfig config;
        config.TextFiles = {"txt", "cpp"};
        DiaZemFinderConfig dia(config);
        child<QPlainTextEdit>(dia, "extensions")->setPlainText("  ");
        dia.set_cfg_from_gui();
        QCOMPARE(dia.config().TextFiles, QSet<QString>({"txt", "cpp"}));
    }

    void propertySizeChoiceFollowsItsCheckBox()
    {
        WinFinderConfig config;
        config.flagPropAutoLoad = false;
        DiaZemFinderConfig dia(config);
        auto* size = child<zem::XTypedComboBox>(dia, "propMaxSize");
        QVERIFY(!size->isEnabled());
        child<QCheckBox>(dia, "propAutoLoad")->setChecked(true);
        QVERIFY(size->isEnabled());
    }

    // --- Filter folders ---

    void duplicateFolderLeavesTheField()
    {
        WinFinderConfig config;
        config.filter = {QFileInfo("/opt/x")};
        DiaZemFinderConfig dia(config);
        auto* field = child<QPlainTextEdit>(dia, "filterField");
        QCOMPARE(field->toPlainText(), QStringLiteral("/opt/x"));
        QVERIFY(dia.add_filter_folder("/opt/y"));
        QCOMPARE(field->toPlainText(), QStringLiteral("/opt/x;/opt/y"));
        field->setPlainText("/opt/x;/opt/y ");   // a hand edit the rewrite must not reformat
        QVERIFY(!dia.add_filter_folder("/opt/x"));
        QCOMPARE(field->toPlainText(), QStringLiteral("/opt/x;/opt/y "));
    }

    void addKeepsHandEditsAndRootCountsAsNone()
    {
        WinFinderConfig config;
        config.filter.clear();
        DiaZemFinderConfig dia(config);
        auto* field = child<QPlainTextEdit>(dia, "filterField");
        field->setPlainText("/typed");
        QString answer = "/";
        DiaZemFinderConfig::chooseDirHook = [&answer](const QString&, const QString&) { return answer; };
        child<QPushButton>(dia, "addFilter")->click();
        QCOMPARE(field->toPlainText(), QStringLiteral("/typed"));
        answer = "/chosen";
        child<QPushButton>(dia, "addFilter")->click();
        QCOMPARE(field->toPlainText(), QStringLiteral("/chosen;/typed"));
        child<QPushButton>(dia, "clearFilter")->click();
        QVERIFY(field->toPlainText().isEmpty());
        dia.set_cfg_from_gui();
        QVERIFY(dia.config().filter.empty());
    }

    // --- Theme ---

    void themeSwitchEmptiesTheCacheAndUnchangedThemeDoesNot()
    {
        const QString cache = zem::XTools::get_create_cache_dir();
        touch(cache + "/thumb.png");
        DiaZemFinderConfig::execHook = [](DiaZemFinderConfig& dia) {
            child<QCheckBox>(dia, "darkTheme")->setChecked(true);
            pressOk(dia);
            return dia.result();
        };
        m_win->on_config();
        QVERIFY(zem::KernelGUI::kernelGui()->isZemStyleDark());
        QVERIFY(!QFileInfo::exists(cache + "/thumb.png"));
        QVERIFY(QDir(cache).exists());

        touch(cache + "/thumb.png");
        bool presetDark = false;
        DiaZemFinderConfig::execHook = [&presetDark](DiaZemFinderConfig& dia) {
            presetDark = child<QCheckBox>(dia, "darkTheme")->isChecked();
            pressOk(dia);
            return dia.result();
        };
        m_win->on_config();
        QVERIFY(presetDark);
        QVERIFY(QFileInfo::exists(cache + "/thumb.png"));

        DiaZemFinderConfig::execHook = [](DiaZemFinderConfig& dia) {
            child<QCheckBox>(dia, "darkTheme")->setChecked(false);
            pressOk(dia);
            return dia.result();
        };
        m_win->on_config();
        QVERIFY(!zem::KernelGUI::kernelGui()->isZemStyleDark());
        QVERIFY(!QFileInfo::exists(cache + "/thumb.png"));
    }

    // --- Language ---

    void languageChoiceAppliesAndIsStored()
    {
        DiaZemFinderConfig::execHook = [](DiaZemFinderConfig& dia) {
            child<QComboBox>(dia, "language")->setCurrentText("ru");
            pressOk(dia);
            return dia.result();
        };
        m_win->on_config();
        QCOMPARE(zem::XTools::get_lang(), QStringLiteral("ru"));
        QCOMPARE(zem::ZemEngine::get_lang(), QStringLiteral("ru"));
        zem::XTools::set_lang("en");
        zem::ZemEngine::set_lang("en");
    }

    // --- Ways in ---

    void toolButtonAndSettingsMenuOpenTheDialog()
    {
        int runs = 0;
        DiaZemFinderConfig::execHook = [&runs](DiaZemFinderConfig&) {
            ++runs;
            return int(QDialog::Rejected);
        };
        m_win->findArea()->buttonConfig->click();
        QCOMPARE(runs, 1);
        std::unique_ptr<zem::XMenu> menu(m_win->create_settings_menu());
        QAction* entry = nullptr;
        for (QAction* action : menu->actions())
            if (action->text() == zem::xt("Configuration Dialog"))
                entry = action;
        QVERIFY(entry);
        entry->trigger();
        QCOMPARE(runs, 2);
    }

    void languageEditorEntryOpensOneEditor()
    {
        std::unique_ptr<zem::XMenu> menu(m_win->create_settings_menu());
        QAction* entry = nullptr;
        for (QAction* action : menu->actions())
            if (action->text() == zem::xt("Language Editor"))
                entry = action;
        QVERIFY(entry);
        QVERIFY(!zemFinder::WinLang::is_open());
        entry->trigger();
        QVERIFY(zemFinder::WinLang::is_open());
        const int windows = zem::KernelGUI::kernelGui()->windows().size();
        entry->trigger();
        QCOMPARE(zem::KernelGUI::kernelGui()->windows().size(), windows);
        for (QWidget* window : zem::KernelGUI::kernelGui()->windows())
            if (qobject_cast<zemFinder::WinLang*>(window))
                window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!zemFinder::WinLang::is_open());
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestConfigDialog test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_config_dialog.moc"
