// Pool jobs, the way back to the GUI thread, event slots and properties.
#include "XAtomic.h"
#include "XEventListener.h"
#include "XProp.h"
#include "XThread.h"

#include <QtTest>
#include <atomic>

using namespace zem;

namespace {
class FlagJob : public XLightweightThread {
public:
    void runCustom() override
    {
        ranOn = QThread::currentThread();
        while (waitForStop && isRunning())
            xSleep(1);
    }
    QThread* ranOn = nullptr;
    bool waitForStop = false;
};

// Waits on other jobs of the same pool, as the content-search controller does.
class WaitingJob : public XLightweightThread {
public:
    explicit WaitingJob(int children) : m_children(children) {}
    void runCustom() override
    {
        std::atomic<int> left{m_children};
        for (int i = 0; i < m_children; ++i)
            XThreadPool::start_global([&left] {
                xSleep(2);
                --left;
            });
        while (left > 0)
            xSleep(1);
        done = true;
    }
    std::atomic<bool> done{false};

private:
    int m_children;
};
} // namespace

class TestThreadsEvents : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void runInGuiThreadFromPoolThread_data()
    {
        QTest::addColumn<int>("delayMs");
        QTest::newRow("no delay") << 0;
        QTest::newRow("delay") << 100;
    }

    void runInGuiThreadFromPoolThread()
    {
        QFETCH(int, delayMs);
        std::atomic<QThread*> ranOn{nullptr};
        QElapsedTimer sinceStart;
        std::atomic<qint64> elapsed{-1};
        sinceStart.start();
        XThreadPool::start_global([&] {
            qt::run_in_Gui_Thread(
                [&] {
                    elapsed = sinceStart.elapsed();
                    ranOn = QThread::currentThread();
                },
                delayMs);
        });
        QTRY_VERIFY_WITH_TIMEOUT(ranOn.load() != nullptr, 5000);
        QCOMPARE(ranOn.load(), QCoreApplication::instance()->thread());
        QVERIFY(elapsed >= delayMs);
    }

    void runInGuiThreadIsQueuedEvenFromGuiThread()
    {
        bool ran = false;
        qt::run_in_Gui_Thread([&] { ran = true; });
        QVERIFY(!ran);
        QTRY_VERIFY(ran);
    }

    void finishedListenerFiresOnGuiThreadAfterRun()
    {
        FlagJob job;
        QThread* firedOn = nullptr;
        job.finishedListener.add([&] { firedOn = QThread::currentThread(); });
        QVERIFY(XThreadPool::start_global(&job, false));
        QTRY_VERIFY(firedOn != nullptr);
        QCOMPARE(firedOn, QCoreApplication::instance()->thread());
        QVERIFY(job.ranOn != QCoreApplication::instance()->thread());
        QVERIFY(job.wait_done(5000));
        QVERIFY(!job.isRunning());
    }

    void runningBitStopsAJobAndABusyJobIsNotStartedTwice()
    {
        FlagJob job;
        job.waitForStop = true;
        QVERIFY(XThreadPool::start_global(&job, false));
        QVERIFY(job.isRunning());
        QVERIFY(!XThreadPool::start_global(&job, false));
        job.setRunning(false);
        QVERIFY(job.wait_done(5000));
        QVERIFY(XThreadPool::start_global(&job, false));
        job.setRunning(false);
        QVERIFY(job.wait_done(5000));
    }

    void disabledListenerDoesNotFire()
    {
        FlagJob job;
        int fired = 0;
        job.finishedListener.add([&] { ++fired; });
        job.finishedListener.setEnabled(false);
        QVERIFY(XThreadPool::start_global(&job, false));
        QVERIFY(job.wait_done(5000));
        QTest::qWait(50);
        QCOMPARE(fired, 0);
    }

    void jobsWaitingOnJobsOfTheSamePoolDoNotDeadlock()
    {
        // Far more waiting jobs and children than cores.
        std::vector<std::unique_ptr<WaitingJob>> jobs;
        for (int i = 0; i < 4; ++i) {
            jobs.push_back(std::make_unique<WaitingJob>(64));
            QVERIFY(XThreadPool::start_global(jobs.back().get(), false));
        }
        for (auto& job : jobs)
            QVERIFY(job->wait_done(60000));
        for (auto& job : jobs)
            QVERIFY(job->done);
        QVERIFY(XThreadPool::wait_for_all(60000));
    }

    void eventListenerOrderSetAddEnable()
    {
        XEventListener<void(int)> listener;
        QList<int> calls;
        listener.add([&](int v) { calls << v * 1; });
        const int second = listener.add([&](int v) { calls << v * 10; });
        listener.fire(2);
        QCOMPARE(calls, QList<int>({2, 20}));
        listener.remove(second);
        listener.setEnabled(false);
        listener.fire(3);
        QCOMPARE(calls, QList<int>({2, 20}));
        listener.setEnabled(true);
        listener.set([&](int v) { calls << -v; });
        listener.fire(4);
        QCOMPARE(calls, QList<int>({2, 20, -4}));
        QCOMPARE(listener.size(), 1);
    }

    void propFiresOnlyOnChange()
    {
        XProp<QString> prop(QStringLiteral("a"));
        QStringList seen;
        prop.changed.add([&](const QString& v) { seen << v; });
        prop = QStringLiteral("a");
        QVERIFY(seen.isEmpty());
        prop = QStringLiteral("b");
        prop = QStringLiteral("b");
        QVERIFY(!prop.set(QStringLiteral("b")));
        QVERIFY(prop.set(QStringLiteral("c")));
        QCOMPARE(seen, QStringList({"b", "c"}));
        QCOMPARE(prop.get(), QStringLiteral("c"));
    }

    void atomicBits()
    {
        AtomicBits bits(32);
        QVERIFY(bits.is(32));
        bits.set(2);
        bits.set(128);
        QVERIFY(bits.is(2 | 128));
        QVERIFY(bits.any(4 | 2));
        bits.clear(2);
        QVERIFY(!bits.is(2));
        bits.toggle(64);
        QCOMPARE(bits.get(), 32u | 128u | 64u);
        QVERIFY(count_hardware_threads(8) >= 1);
    }
};

QTEST_GUILESS_MAIN(TestThreadsEvents)
#include "test_threads_events.moc"
