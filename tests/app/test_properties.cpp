// The properties window: automatic calculation by size, the remembered choice of algorithms,
// "Copy all" while idle and while calculating, the lowest progress, and closing during a run.
#include "KernelGUI.h"
#include "Logger.h"
#include "TestDir.h"
#include "gui/ThreadCalc.h"
#include "XNode.h"
#include "gui/WinProperties.h"
#include "gui/WinTray.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XClipboard.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QtTest>

using zemFinder::ThreadCalc;
using zemFinder::WinFinderConfig;
using zemFinder::WinProperties;

class TestProperties : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;
    zem::XNode m_node{QStringLiteral("Properties")};

    // Owned by the caller (no delete on close), so tests can look after closing.
    std::unique_ptr<WinProperties> open(const QString& path)
    {
        auto win = std::make_unique<WinProperties>();
        win->setup(&m_node, false);
        win->set_file(QFileInfo(path));
        return win;
    }

    static bool waitIdle(WinProperties& win)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000) {   // hang guard only
            QTest::qWait(20);
            bool busy = win.is_calculating();
            for (int i = 0; i < WinProperties::JOBS; ++i)
                busy = busy || win.job(i).isBusy();
            if (!busy) {
                QCoreApplication::processEvents();
                return true;
            }
        }
        return false;
    }

private Q_SLOTS:
    void init()
    {
        m_node.clear();
        WinFinderConfig::get().flagPropAutoLoad = true;
        WinFinderConfig::get().max_file_size_auto_calc_checksums = 3;
    }

    void cleanupTestCase() { zemFinder::WinTray::destroy(); }

    void smallFileIsCalculatedAtOnceWithTheFirstAlgorithmOnly()
    {
        const QString path = m_dir.write("small.bin", QByteArray(2500000, 's'));
        auto win = open(path);
        QVERIFY(win->is_calculating());
        QVERIFY(waitIdle(*win));
        QCOMPARE(win->checksumField(0)->text(),
                 QString::fromLatin1(QCryptographicHash::hash(QByteArray(2500000, 's'), QCryptographicHash::Md5).toHex()));
        QVERIFY(win->checksumField(1)->text().isEmpty());
        QVERIFY(win->checksumField(2)->text().isEmpty());
        QVERIFY(win->progressBar()->isHidden());
    }

    void fileAboveTheLimitWaitsForTheButton()
    {
        auto win = open(m_dir.write("big.bin", QByteArray(4000000, 'b')));
        QVERIFY(!win->is_calculating());
        QVERIFY(win->checksumField(0)->text().isEmpty());
        win->on_calc_all();
        QVERIFY(waitIdle(*win));
        QCOMPARE(win->checksumField(0)->text().size(), 32);
    }

    void noAutoCalculationWhenSwitchedOff()
    {
        WinFinderConfig::get().flagPropAutoLoad = false;
        auto win = open(m_dir.write("tiny.txt", "abc"));
        QVERIFY(!win->is_calculating());
        win->on_calc_all();
        QVERIFY(waitIdle(*win));
        QCOMPARE(win->checksumField(0)->text(), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
    }

    void nothingSelectedMeansTheButtonDoesNothing()
    {
        WinFinderConfig::get().flagPropAutoLoad = false;
        auto win = open(m_dir.write("tiny.txt", "abc"));
        win->checkBox(0)->setChecked(false);
        win->on_calc_all();
        QVERIFY(!win->is_calculating());
    }

    void uncheckingClearsTheFieldAndIsRemembered()
    {
        const QString path = m_dir.write("tiny.txt", "abc");
        {
            auto win = open(path);
            QVERIFY(waitIdle(*win));
            QVERIFY(!win->checksumField(0)->text().isEmpty());
            win->checkBox(0)->setChecked(false);
            QVERIFY(win->checksumField(0)->text().isEmpty());
            win->checkBox(2)->setChecked(true);
        }
        auto next = open(path);
        QVERIFY(!next->checkBox(0)->isChecked());
        QVERIFY(!next->checkBox(1)->isChecked());
        QVERIFY(next->checkBox(2)->isChecked());
        QVERIFY(waitIdle(*next));
        QVERIFY(next->checksumField(0)->text().isEmpty());
        QCOMPARE(next->checksumField(2)->text(),
                 QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    }

    void copyAllListsTheSelectedChecksumsAligned()
    {
        const QString path = m_dir.write("tiny.txt", "abc");
        m_node.getCreateNode(QStringLiteral("CHECKSUMS"))->setBool(QStringLiteral("SHA-256"), true);
        auto win = open(path);
        QVERIFY(waitIdle(*win));
        win->on_copy_all();
        const QFileInfo fi(path);
        const QString expected = fi.absoluteFilePath() + "\n" + zem::formatBytes(3) + " - 3 bytes\n"
                                 + fi.lastModified().toString("yyyy/MM/dd - hh:mm") + "\n"
                                 + "    MD5: 900150983cd24fb0d6963f7d28e17f72\n"
                                 + "SHA-256: ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\n";
        QCOMPARE(win->copy_all_text(), expected);
        QCOMPARE(zem::XClipboard::text(), expected);
    }

    void copyAllDuringACalculationGivesOnlyTheFileLines()
    {
        WinFinderConfig::get().flagPropAutoLoad = false;
        auto win = open(m_dir.write("tiny.txt", "abc"));
        win->job(0).bits.set(ThreadCalc::BIT_RUNNING);   // as if a job were running
        win->on_calc_all();
        QVERIFY(win->is_calculating());
        QCOMPARE(win->copy_all_text().count(QLatin1Char('\n')), 3);
        QVERIFY(waitIdle(*win));
        QCOMPARE(win->copy_all_text().count(QLatin1Char('\n')), 4);
    }

    void copyAllOfAMissingFileIsEmpty()
    {
        WinFinderConfig::get().flagPropAutoLoad = false;
        auto win = open(m_dir.abs("gone"));
        QVERIFY(win->copy_all_text().isEmpty());
        QVERIFY(!WinProperties::show_for(QFileInfo(m_dir.path())));   // never for a folder
    }

    void barShowsTheLowestRunningPercentage()
    {
        WinFinderConfig::get().flagPropAutoLoad = false;
        auto win = open(m_dir.write("tiny.txt", "abc"));
        win->job(0).bits.set(ThreadCalc::BIT_RUNNING);
        win->job(0).progress = 70;
        win->job(2).bits.set(ThreadCalc::BIT_RUNNING);
        win->job(2).progress = 40;
        win->job(1).progress = 10;   // not running: not counted
        win->on_timer_check_progress();
        QCOMPARE(win->progressBar()->value(), 40);
        win->job(0).bits.clear(ThreadCalc::BIT_RUNNING);
        win->job(2).bits.clear(ThreadCalc::BIT_RUNNING);
        win->on_timer_check_progress();
        QCOMPARE(win->progressBar()->value(), 0);
        QVERIFY(!win->is_calculating());
    }

    void buttonCancelsARunningCalculation()
    {
        WinFinderConfig::get().max_file_size_auto_calc_checksums = 1000;
        QFile f(m_dir.abs("large.bin"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(qint64(400) * 1000 * 1000));   // sparse: quick to make, slow to hash
        f.close();
        for (const QString& name : {QStringLiteral("SHA-1"), QStringLiteral("SHA-256")})
            m_node.getCreateNode(QStringLiteral("CHECKSUMS"))->setBool(name, true);
        auto win = open(f.fileName());
        QVERIFY(win->is_calculating());
        QTest::qWait(50);
        win->on_calc_all();   // the same button cancels
        QVERIFY(!win->is_calculating());
        QVERIFY(win->progressBar()->isHidden());
        QVERIFY(waitIdle(*win));
        for (int i = 0; i < WinProperties::JOBS; ++i)
            QVERIFY(win->checksumField(i)->text().isEmpty());
    }

    void closingDuringARunCancelsAndDoesNotWait()
    {
        WinFinderConfig::get().max_file_size_auto_calc_checksums = 1000;
        QFile f(m_dir.abs("large2.bin"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(qint64(400) * 1000 * 1000));
        f.close();
        for (const QString& name : {QStringLiteral("SHA-1"), QStringLiteral("SHA-256")})
            m_node.getCreateNode(QStringLiteral("CHECKSUMS"))->setBool(name, true);
        auto* win = new WinProperties;
        win->setup(&m_node, true);
        win->set_file(QFileInfo(f.fileName()));
        win->show();
        QVERIFY(win->is_calculating());
        QTest::qWait(50);
        QPointer<WinProperties> guard(win);
        QElapsedTimer t;
        t.start();
        win->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(guard.isNull());
        QVERIFY2(t.elapsed() < 5000, "hang guard");
        QVERIFY(zem::XThreadPool::wait_for_all(10000));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestProperties test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_properties.moc"
