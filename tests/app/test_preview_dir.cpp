// The directory previews: the table's sort flags and header clicks, hidden entries, the summary
// counts, selecting a row (a subfolder shows its summary, never a second table), and the
// recursive "Deep Info" count with its cancel.
#include "KernelGUI.h"
#include "Logger.h"
#include "TestDir.h"
#include "dir/ContextPreviews.h"
#include "dir/LimitedPreviewContainer.h"
#include "dir/PreviewDir.h"
#include "dir/PreviewDirSimple.h"
#include "dir/impl/DirScannerThread.h"
#include "dir/impl/PDirInfo.h"
#include "dir/impl/private_PreviewDir.h"

#include <QHeaderView>
#include <QSemaphore>
#include <QTableWidget>
#include <QTextBrowser>
#include <QtTest>

using zemFinder::ContextPreviews;
using zemFinder::PDirInfo;
using zemFinder::PreviewDir;
using zemFinder::PreviewDirSimple;

namespace {
QStringList names(const QList<QFileInfo>& entries)
{
    QStringList list;
    for (const QFileInfo& fi : entries)
        list << fi.fileName();
    return list;
}
} // namespace

class TestPreviewDir : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;
    QString m_root;
    QString m_deep;

private Q_SLOTS:
    void initTestCase()
    {
        ContextPreviews::modifiersProvider = [] { return Qt::NoModifier; };
        m_root = m_dir.mkdir("root");
        m_dir.mkdir("root/Beta");
        m_dir.mkdir("root/alpha");
        m_dir.write("root/b.txt", QByteArray(300, 'b'));
        m_dir.write("root/A.cpp", QByteArray(10, 'a'));
        m_dir.write("root/c.bin", QByteArray(2000, '\0'));
        m_dir.write("root/.hidden", "h");

        m_deep = m_dir.mkdir("deep");
        m_dir.write("deep/one.txt", QByteArray(100, 'x'));
        m_dir.write("deep/two.cpp", QByteArray(50, 'y'));
        m_dir.write("deep/pic.png", QByteArray(7, 'z'));
        m_dir.write("deep/sub/three.TXT", QByteArray(25, 'w'));
        m_dir.write("deep/sub/inner/.four.txt", QByteArray(5, 'v'));
        m_dir.write("deep/sub/inner/blob", QByteArray(1000, 'u'));
    }

    void sortFlagsAndHeaderClicks()
    {
        PreviewDir pd;
        pd.ini();
        PreviewDir::Impl* impl = pd.impl();
        QCOMPARE(impl->sortFlags(), QDir::Name | QDir::DirsFirst | QDir::IgnoreCase);
        pd.open_file(QFileInfo(m_root));
        QCOMPARE(names(impl->entries), (QStringList{"alpha", "Beta", "A.cpp", "b.txt", "c.bin"}));
        QCOMPARE(impl->table->rowCount(), 5);
        QCOMPARE(impl->table->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);

        impl->on_header_clicked(0); // Name is the initial column: descending now
        QCOMPARE(impl->sortFlags(), QDir::Name | QDir::DirsFirst | QDir::IgnoreCase | QDir::Reversed);
        QCOMPARE(names(impl->entries).mid(2), (QStringList{"c.bin", "b.txt", "A.cpp"}));
        QCOMPARE(impl->table->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);

        impl->on_header_clicked(1); // Size keeps its own flag (still ascending)
        QCOMPARE(impl->sortFlags(), QDir::Size | QDir::DirsFirst | QDir::IgnoreCase);
        QCOMPARE(names(impl->entries).mid(2), (QStringList{"c.bin", "b.txt", "A.cpp"}));
        QCOMPARE(impl->table->horizontalHeader()->sortIndicatorSection(), 1);

        impl->on_header_clicked(1); // a second click flips it
        QCOMPARE(impl->sortFlags(), QDir::Size | QDir::DirsFirst | QDir::IgnoreCase | QDir::Reversed);
        QCOMPARE(names(impl->entries).mid(2), (QStringList{"A.cpp", "b.txt", "c.bin"}));

        impl->on_header_clicked(2);
        QCOMPARE(impl->sortFlags(), QDir::Time | QDir::DirsFirst | QDir::IgnoreCase);
        QCOMPARE(impl->sortColumn, 2);
    }

    void tableColumns()
    {
        PreviewDir pd;
        pd.ini();
        pd.open_file(QFileInfo(m_root));
        QTableWidget* table = pd.impl()->table;
        QCOMPARE(table->objectName(), QString("previewDir"));
        QCOMPARE(table->columnCount(), 3);
        QCOMPARE(table->horizontalHeaderItem(0)->text(), QString("Name"));
        QCOMPARE(table->horizontalHeaderItem(1)->text(), QString("Size"));
        QCOMPARE(table->horizontalHeaderItem(2)->text(), QString("Date"));
        const int row = int(pd.impl()->entries.indexOf(QFileInfo(m_dir.abs("root/c.bin"))));
        QVERIFY(row >= 0);
        QCOMPARE(table->item(row, 1)->text(), QString("1.95 KB"));
        QVERIFY(table->item(row, 1)->textAlignment() & Qt::AlignRight);
        QVERIFY(QRegularExpression("^\\d{4}/\\d\\d/\\d\\d - \\d\\d:\\d\\d$").match(table->item(row, 2)->text()).hasMatch());
        QCOMPARE(pd.file_info().absoluteFilePath(), QFileInfo(m_root).absoluteFilePath());
    }

    void hiddenEntriesOnlyWhenAsked()
    {
        PreviewDir pd;
        pd.ini();
        pd.open_file(QFileInfo(m_root));
        QVERIFY(!names(pd.impl()->entries).contains(".hidden"));
        pd.set_hidden_files(true);
        QVERIFY(pd.hidden_files());
        pd.refresh();
        QVERIFY(names(pd.impl()->entries).contains(".hidden"));
    }

    // The summary counts what the listing beside it shows, and names the hidden entries it leaves out.
    void summaryCountsWhatIsListed()
    {
        PreviewDirSimple simple;
        simple.ini();
        QVERIFY(!simple.hidden_files());
        QVERIFY(simple.open_file(QFileInfo(m_root)));
        QString text = simple.browser()->toPlainText();
        QVERIFY2(QRegularExpression("Subdirs\\s+2").match(text).hasMatch(), qPrintable(text));
        QVERIFY2(QRegularExpression("Files\\s+3").match(text).hasMatch(), qPrintable(text)); // b.txt, A.cpp, c.bin
        QVERIFY2(QRegularExpression("Hidden, not listed\\s+1").match(text).hasMatch(), qPrintable(text));
        QVERIFY(text.contains(QFileInfo(m_root).absoluteFilePath()));

        simple.set_hidden_files(true);
        QVERIFY(simple.open_file(QFileInfo(m_root)));
        text = simple.browser()->toPlainText();
        QVERIFY2(QRegularExpression("Files\\s+4").match(text).hasMatch(), qPrintable(text)); // and .hidden
        QVERIFY(!text.contains("Hidden"));
    }

    // The table and the summary beside it agree, whichever way the hidden-files switch stands.
    void summaryBesideTheTableMatchesIt()
    {
        m_dir.mkdir("root/.git");
        PreviewDir pd;
        pd.ini();
        for (bool hidden : {false, true, false}) {
            pd.set_hidden_files(hidden);
            pd.open_file(QFileInfo(m_root));
            auto* simple = qobject_cast<PreviewDirSimple*>(pd.impl()->container->currentWidget());
            QVERIFY(simple);
            int dirs = 0;
            int files = 0;
            for (const QFileInfo& fi : pd.impl()->entries)
                (fi.isDir() ? dirs : files)++;
            QCOMPARE(dirs, hidden ? 3 : 2);
            const QString text = simple->browser()->toPlainText();
            QVERIFY2(QRegularExpression(QStringLiteral("Subdirs\\s+%1\\b").arg(dirs)).match(text).hasMatch(), qPrintable(text));
            QVERIFY2(QRegularExpression(QStringLiteral("Files\\s+%1\\b").arg(files)).match(text).hasMatch(), qPrintable(text));
            QCOMPARE(text.contains("Hidden, not listed"), !hidden);
        }
        QDir(m_dir.abs("root/.git")).removeRecursively();
    }

    void selectingRowsUsesTheSmallContainer()
    {
        PreviewDir pd;
        pd.ini();
        pd.open_file(QFileInfo(m_root));
        QStringList selected;
        pd.selected.add([&selected](const QFileInfo& fi) { selected << fi.fileName(); });
        PreviewDir::Impl* impl = pd.impl();
        // Opening the folder shows its own summary beside the table.
        QVERIFY(qobject_cast<PreviewDirSimple*>(impl->container->currentWidget()));

        const int sub = int(names(impl->entries).indexOf("alpha"));
        impl->table->selectRow(sub);
        QCOMPARE(selected, QStringList{"alpha"});
        auto* simple = qobject_cast<PreviewDirSimple*>(impl->container->currentWidget());
        QVERIFY(simple);
        QCOMPARE(simple->file_info().fileName(), QString("alpha"));
        QVERIFY(!impl->container->findChild<PreviewDir*>());

        const int file = int(names(impl->entries).indexOf("b.txt"));
        impl->table->selectRow(file);
        zem::Preview* shown = impl->container->previewByWidget(impl->container->currentWidget());
        QVERIFY(shown);
        QCOMPARE(shown->type(), QString("PreviewAscii"));
        QCOMPARE(impl->context.name(), QString("CONTEXT-RIGHT-DIR"));
        QCOMPARE(pd.context(), &impl->context);
    }

    void scanCounts()
    {
        PDirInfo info;
        info.textExtensions = {"txt", "cpp"};
        info.scan_dir(m_deep);
        QVERIFY(!info.running);
        QCOMPARE(info.dirs.load(), 2);
        QCOMPARE(info.files.load(), 6);
        QCOMPARE(info.textFiles.load(), 4); // one.txt, two.cpp, three.TXT, .four.txt
        QCOMPARE(info.textBytes.load(), qint64(100 + 50 + 25 + 5));
        QVERIFY(info.bytes.load() >= qint64(100 + 50 + 7 + 25 + 5 + 1000));
    }

    void deepInfoShowsTotals()
    {
        PreviewDirSimple simple;
        simple.ini();
        simple.set_text_file_extensions({"txt", "cpp"});
        simple.open_file(QFileInfo(m_deep));
        zem::Logger::startCapture();
        simple.onDeepInfo();
        QTRY_VERIFY_WITH_TIMEOUT(!simple.isScanning() && simple.browser()->toPlainText().contains("Total"), 30000);
        const QStringList log = zem::Logger::capturedLines().filter("PDirInfo::~scan_dir");
        zem::Logger::stopCapture();
        // The time carries its unit once.
        QCOMPARE(log.size(), 1);
        QVERIFY2(QRegularExpression(" within \\d+\\.\\d{3} sec$").match(log.first()).hasMatch(), qPrintable(log.first()));
        const QString text = simple.browser()->toPlainText();
        QVERIFY2(QRegularExpression("Subdirectories\\s+2").match(text).hasMatch(), qPrintable(text));
        QVERIFY2(QRegularExpression("Text Files\\s+4").match(text).hasMatch(), qPrintable(text));
        QVERIFY2(QRegularExpression("Files\\s+6").match(text).hasMatch(), qPrintable(text));
        QVERIFY(text.contains("hidden entries included"));
    }

    void deepInfoTwiceCancels()
    {
        PreviewDirSimple simple;
        simple.ini();
        simple.set_text_file_extensions({"txt", "cpp"});
        simple.open_file(QFileInfo(m_deep));
        // Hold the scan at its third entry until the second request has cancelled it.
        QSemaphore reached;
        QSemaphore release;
        std::atomic<int> entries{0};
        PDirInfo::entryHook = [&](const PDirInfo&) {
            if (++entries == 3) {
                reached.release();
                release.acquire();
            }
        };
        zem::Logger::startCapture();
        simple.onDeepInfo();
        reached.acquire();
        QVERIFY(simple.isScanning());
        simple.onDeepInfo();
        release.release();
        QTRY_VERIFY_WITH_TIMEOUT(!simple.isScanning() && simple.browser()->toPlainText().contains("Total"), 30000);
        const QStringList log = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        PDirInfo::entryHook = nullptr;
        QCOMPARE(log.filter("PreviewDirSimple::onDeepInfo - Cancelled").size(), 1);
        // Partial totals: the walk stopped after two entries.
        const int counted = simple.scanner()->info.files + simple.scanner()->info.dirs;
        QCOMPARE(counted, 2);
        const QString text = simple.browser()->toPlainText();
        QVERIFY2(!QRegularExpression("Files\\s+6").match(text).hasMatch(), qPrintable(text));

        // A new request after the cancel counts everything again.
        simple.onDeepInfo();
        QTRY_VERIFY_WITH_TIMEOUT(!simple.isScanning() && simple.scanner()->info.files == 6, 30000);
    }

    void destroyedWhileScanning()
    {
        QSemaphore reached;
        QSemaphore release;
        std::atomic<bool> first{true};
        PDirInfo::entryHook = [&](const PDirInfo&) {
            if (first.exchange(false)) {
                reached.release();
                release.acquire();
            }
        };
        auto* simple = new PreviewDirSimple;
        simple->ini();
        simple->open_file(QFileInfo(m_deep));
        simple->onDeepInfo();
        reached.acquire();
        release.release();
        delete simple; // cancels and waits; nothing may touch the deleted preview afterwards
        QCoreApplication::processEvents();
        PDirInfo::entryHook = nullptr;
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestPreviewDir test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_preview_dir.moc"
