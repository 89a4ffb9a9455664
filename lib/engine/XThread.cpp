#include "XThread.h"

#include "Logger.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRunnable>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <atomic>

namespace zem {

namespace {
// High enough that every controller, worker, scan and checksum job of several windows gets a thread.
constexpr int POOL_MAX_THREADS = 512;

QThreadPool& globalPool()
{
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool();
        p->setMaxThreadCount(POOL_MAX_THREADS);
        return p;
    }();
    return *pool;
}

// Jobs started and not yet ended. Besides counting, its release and acquire order make the hand-
// over of a job, and its end, visible to ThreadSanitizer: the pool's own locks live in Qt, which
// is not built with it.
std::atomic<int> g_pending{0};

class FunctionRunnable : public QRunnable {
public:
    explicit FunctionRunnable(std::function<void()> fn) : m_fn(std::move(fn))
    {
        setAutoDelete(true);
        g_pending.fetch_add(1, std::memory_order_release);
        m_handedOver.store(true, std::memory_order_release);
    }
    void run() override
    {
        m_handedOver.load(std::memory_order_acquire);
        {
            // The function and what it holds end here, before the job counts as ended.
            std::function<void()> fn = std::move(m_fn);
            fn();
        }
        g_pending.fetch_sub(1, std::memory_order_release);
    }

private:
    std::function<void()> m_fn;
    std::atomic<bool> m_handedOver{false};
};
} // namespace

AbstractThread::AbstractThread() : m_alive(std::make_shared<std::atomic<bool>>(true)) {}

AbstractThread::~AbstractThread()
{
    m_alive->store(false);
}

bool AbstractThread::wait_done(int timeoutMs) const
{
    QElapsedTimer timer;
    timer.start();
    while (isBusy()) {
        if (timeoutMs >= 0 && timer.elapsed() >= timeoutMs)
            return false;
        xSleep(1);
    }
    return true;
}

bool XThreadPool::start_global(XLightweightThread* thread, bool autoDelete)
{
    if (!thread) {
        nullPointerHandling("lib/engine/XThread", __LINE__, "thread == NULL");
        return false;
    }
    if (thread->isBusy()) {
        Logger::log(QStringLiteral("XThreadPool::start_global, job still busy"), LOG_WARN);
        return false;
    }
    thread->bits.set(AbstractThread::BIT_QUEUED | AbstractThread::BIT_RUNNING);
    thread->bits.clear(AbstractThread::BIT_DONE);
    std::shared_ptr<std::atomic<bool>> alive = thread->m_alive;
    globalPool().start(new FunctionRunnable([thread, autoDelete, alive] {
        thread->runCustom();
        thread->setRunning(false);
        thread->bits.set(AbstractThread::BIT_DONE);
        const bool tell = thread->finishedListener.isEnabled() && !thread->finishedListener.empty();
        if (tell && !autoDelete) {
            qt::run_in_Gui_Thread([thread, alive] {
                if (alive->load())
                    thread->finishedListener.fire();
            });
        }
        if (autoDelete) {
            if (tell)
                thread->finishedListener.fire();
            delete thread;
            return;
        }
        // Last touch of the object: after this the owner may delete it.
        thread->bits.clear(AbstractThread::BIT_QUEUED);
    }));
    return true;
}

void XThreadPool::start_global(std::function<void()> fn)
{
    globalPool().start(new FunctionRunnable(std::move(fn)));
}

bool XThreadPool::wait_for_all(int timeoutMs)
{
    const bool done = globalPool().waitForDone(timeoutMs);
    // Acquires what every ended job did (see g_pending).
    g_pending.load(std::memory_order_acquire);
    return done;
}

int XThreadPool::activeThreadCount()
{
    return globalPool().activeThreadCount();
}

namespace qt {

void run_in_Gui_Thread(std::function<void()> fn, int delayMs)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        Logger::log(QStringLiteral("qt::run_in_Gui_Thread, no application object: call dropped"), LOG_ERROR);
        return;
    }
    // Queued to the application object, which lives in the GUI thread; the timer is then created
    // there, since a pool thread has no event loop to run one.
    QMetaObject::invokeMethod(
        app,
        [fn = std::move(fn), delayMs]() mutable {
            if (delayMs > 0)
                QTimer::singleShot(delayMs, QCoreApplication::instance(), std::move(fn));
            else
                fn();
        },
        Qt::QueuedConnection);
}

bool is_Gui_Thread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

} // namespace qt

} // namespace zem
