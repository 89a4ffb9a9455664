// The configuration record: defaults, ranges, stored forms and round trips.
#include "TestDir.h"
#include "Logger.h"
#include "XEnv.h"
#include "XNode.h"
#include "gui/config/ConfigZemFinder.h"

#include <QtTest>

using zemFinder::WinFinderConfig;

class TestConfig : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { isolateHomes(); }

    void countThreadsRange_data()
    {
        QTest::addColumn<qulonglong>("stored");
        QTest::addColumn<uint>("loaded");
        QTest::newRow("0") << 0ULL << 2u;
        QTest::newRow("1") << 1ULL << 1u;
        QTest::newRow("64") << 64ULL << 64u;
        QTest::newRow("65") << 65ULL << 2u;
        QTest::newRow("2^32+1 does not wrap into range") << 4294967297ULL << 2u;
    }

    void countThreadsRange()
    {
        QFETCH(qulonglong, stored);
        QFETCH(uint, loaded);
        zem::XNode node("Config");
        node.setUInt("countThreads", stored);
        WinFinderConfig config;
        zem::Logger::startCapture();
        config.fromNode(&node);
        const QStringList log = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        QCOMPARE(config.countThreads, loaded);
        const bool warned = log.contains(QStringLiteral("WinFinderConfig::fromNode, countThreads:%1, allowed range 1...64, set to 2").arg(stored));
        QCOMPARE(warned, loaded == 2u);
    }

    void defaultThreadCountIsClampedToTheRange()
    {
        QCOMPARE(WinFinderConfig::default_count_threads(1), 1u);
        QCOMPARE(WinFinderConfig::default_count_threads(0), 1u);
        QCOMPARE(WinFinderConfig::default_count_threads(8), 8u);
        QCOMPARE(WinFinderConfig::default_count_threads(64), 64u);
        QCOMPARE(WinFinderConfig::default_count_threads(65), 64u);
        QCOMPARE(WinFinderConfig::default_count_threads(256), 64u);
        // A machine with many threads reads its own default without the range warning.
        WinFinderConfig config;
        config.countThreads = WinFinderConfig::default_count_threads(256);
        zem::XNode node(QStringLiteral("Config"));
        config.toNode(&node);
        zem::Logger::startCapture();
        WinFinderConfig loaded;
        loaded.fromNode(&node);
        const QStringList log = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        QCOMPARE(loaded.countThreads, 64u);
        QVERIFY(log.filter(QStringLiteral("allowed range")).isEmpty());
    }

    void freshNodeGivesReadDefaults()
    {
        zem::XNode node("Config");
        WinFinderConfig config;
        QVERIFY(config.flagUseStartFolder);
        config.flagTreeMouseOverInfo = false;
        config.fromNode(&node);
        QCOMPARE(config.flagUseStartFolder, false);
        QCOMPARE(config.flagTreeMouseOverInfo, true);
        QCOMPARE(config.HotkeyCyclePreviews, 0x06000000u);
        QCOMPARE(config.li_pos, 1);
        QVERIFY(!config.TextFiles.isEmpty());
        QVERIFY(config.TextFiles.contains("txt"));
        QVERIFY(node.getNode("TextFiles"));
    }

    void extensionListsWithCommaOrBlankGiveSameSet()
    {
        WinFinderConfig a, b;
        zem::XNode na("Config"), nb("Config");
        na.getCreateNode("TextFiles")->setString("ext", "txt,cpp,h");
        nb.getCreateNode("TextFiles")->setString("ext", "txt, cpp ,  h");
        a.fromNode(&na);
        b.fromNode(&nb);
        QCOMPARE(a.TextFiles, b.TextFiles);
        QCOMPARE(a.TextFiles, QSet<QString>({"txt", "cpp", "h"}));
        QCOMPARE(a.ext_to_string(true), QStringLiteral("cpp,h,txt"));
    }

    void extFromStringEmptyKeepsSet()
    {
        WinFinderConfig config;
        config.TextFiles = {"a"};
        zem::Logger::startCapture();
        QVERIFY(!config.ext_from_string(QStringLiteral("  , ")));
        QVERIFY(zem::Logger::capturedLines().contains("WinFinderConfig::ext_from_string, EMPTY"));
        zem::Logger::stopCapture();
        QCOMPARE(config.TextFiles, QSet<QString>({"a"}));
        QVERIFY(config.ext_from_string("b c"));
        QCOMPARE(config.TextFiles, QSet<QString>({"a", "b", "c"}));
    }

    void emptyFilterGivesSystemFoldersWhoseVariablesAreSet()
    {
        zem::setEnv("ProgramData", "/pd");
        zem::setEnv("SystemRoot", "/sr");
        qunsetenv("ProgramFiles");
        qunsetenv("ProgramFiles(x86)");
        WinFinderConfig config;
        zem::XNode node("Config");
        node.setBase64String("filter", "");
        config.fromNode(&node);
        QCOMPARE(config.filter, zemFinder::FileInfoSet({QFileInfo("/pd"), QFileInfo("/sr")}));
        qunsetenv("ProgramData");
        qunsetenv("SystemRoot");
        // Without any of them (Linux), the kernel's pseudo file systems are hidden.
        QCOMPARE(WinFinderConfig::default_filter_folders(),
                 zemFinder::FileInfoSet({QFileInfo("/proc"), QFileInfo("/sys")}));
    }

    void toNodeThenFromNodeReproducesEveryField()
    {
        WinFinderConfig a;
        a.flagUseFilter = false;
        a.flagTreeDirOnly = true;
        a.flagTreeDateSize = true;
        a.flagTreeMouseOverInfo = false;
        a.flagDarkTheme = true;
        a.flagStatusBar = true;
        a.flagConfirmQuit = true;
        a.flag_zf_read_only = false;
        a.li_pos = 2;
        a.TextFiles = {"abc", "x"};
        a.filter = {QFileInfo("/a;b/dir one"), QFileInfo("/ü/日本")};
        a.countThreads = 17;
        a.filterBits = 2 | 128;
        a.scope = 2;
        a.flagRegEx = false;
        a.fontSizeHexView = 9;
        a.fontSize = 21;
        a.flagRuler = false;
        a.flagAutoWrap = true;
        a.HotkeyCyclePreviews = 0x08000000;
        a.flagUseStartFolder = true;
        a.startFolder = QStringLiteral("/start \"q\" <&>\nline");
        a.flagUseRootFolder = true;
        a.root = QStringLiteral("/root;with;semicolons");
        a.flagPropAutoLoad = false;
        a.max_file_size_auto_calc_checksums = 77;

        zem::XNode node("Config");
        a.toNode(&node);
        // Through the XML form as well, as the kernel stores it.
        zem::XNode stored("Config");
        QVERIFY(stored.fromXml(node.toXml()));
        WinFinderConfig b;
        b.fromNode(&stored);

        QCOMPARE(b.flagUseFilter, a.flagUseFilter);
        QCOMPARE(b.flagTreeDirOnly, a.flagTreeDirOnly);
        QCOMPARE(b.flagTreeDateSize, a.flagTreeDateSize);
        QCOMPARE(b.flagTreeMouseOverInfo, a.flagTreeMouseOverInfo);
        QCOMPARE(b.flagDarkTheme, false);
        QCOMPARE(b.flagStatusBar, a.flagStatusBar);
        QCOMPARE(b.flagConfirmQuit, a.flagConfirmQuit);
        QCOMPARE(b.flag_zf_read_only, a.flag_zf_read_only);
        QCOMPARE(b.li_pos, a.li_pos);
        QCOMPARE(b.TextFiles, a.TextFiles);
        // A ";" inside a folder's path must not split it into two folders.
        QCOMPARE(b.filter, a.filter);
        QCOMPARE(b.countThreads, a.countThreads);
        QCOMPARE(b.filterBits, a.filterBits);
        QCOMPARE(b.scope, a.scope);
        QCOMPARE(b.flagRegEx, a.flagRegEx);
        QCOMPARE(b.fontSizeHexView, a.fontSizeHexView);
        QCOMPARE(b.fontSize, a.fontSize);
        QCOMPARE(b.flagRuler, a.flagRuler);
        QCOMPARE(b.flagAutoWrap, a.flagAutoWrap);
        QCOMPARE(b.HotkeyCyclePreviews, a.HotkeyCyclePreviews);
        QCOMPARE(b.flagUseStartFolder, a.flagUseStartFolder);
        QCOMPARE(b.startFolder, a.startFolder);
        QCOMPARE(b.flagUseRootFolder, a.flagUseRootFolder);
        QCOMPARE(b.root, a.root);
        QCOMPARE(b.flagPropAutoLoad, a.flagPropAutoLoad);
        QCOMPARE(b.max_file_size_auto_calc_checksums, a.max_file_size_auto_calc_checksums);
    }

    void storedFolderListWithoutDoubledSemicolonsStillReads()
    {
        zem::XNode node("Config");
        node.setBase64String("filter", "/one;/two/three");
        WinFinderConfig config;
        config.fromNode(&node);
        QCOMPARE(config.filter, zemFinder::FileInfoSet({QFileInfo("/one"), QFileInfo("/two/three")}));
    }

    void copyAndMove()
    {
        WinFinderConfig a;
        a.TextFiles = {"q"};
        a.filter = {QFileInfo("/f")};
        WinFinderConfig copy = a;
        copy.TextFiles.insert("r");
        QCOMPARE(a.TextFiles.size(), 1);
        WinFinderConfig moved = std::move(copy);
        QCOMPARE(moved.TextFiles.size(), 2);
        QCOMPARE(moved.filter.size(), size_t(1));
    }

    void dumpWritesEveryLineInOrder()
    {
        WinFinderConfig config;
        config.filter = {QFileInfo("/only")};
        zem::Logger::startCapture();
        config.dump(2);
        const QStringList lines = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        QCOMPARE(lines.first(), QStringLiteral("  WinFinderConfig"));
        QCOMPARE(lines.at(1), QStringLiteral("      countThreads:%1").arg(config.countThreads));
        QCOMPARE(lines.at(3), QStringLiteral("      filter[/only]"));
        QVERIFY(lines.last().startsWith(QStringLiteral("      XTools::lang:")));
        QCOMPARE(lines.size(), 22);
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "test_config.moc"
