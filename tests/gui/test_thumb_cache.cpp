// The thumbnail widget and the shared thumbnail cache: a valid cached thumbnail is shown without
// decoding the picture, a stale one is replaced, new thumbnails carry their keys and are private,
// an unwritable cache only logs, the cache's own files get no thumbnails; folders and files that
// are no pictures never wait for loading; the flow layout and the scroll panel's visible children.
#include "Logger.h"
#include "TestDir.h"
#include "widgets/XFlowLayout.h"
#include "widgets/XThumb.h"
#include "widgets/XThumbCache.h"
#include "widgets/XVScrollPanel.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <thread>

using zem::XThumb;
using zem::XThumbCache;

namespace {
constexpr int kWaitMs = 20000; // bound against a hang, not a timing expectation

QString writePicture(const TestDir& dir, const QString& name, const QSize& size, const QColor& colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.abs(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    image.save(path);
    return path;
}

// Runs the thumbnail's decoding on another thread, as the loader does, and waits for the result.
bool load(XThumb& thumb)
{
    QSignalSpy spy(&thumb, &XThumb::loaded);
    std::shared_ptr<zem::XThumbJob> job = thumb.job();
    if (!job || !job->claim())
        return false;
    std::thread worker([job] { job->work(); });
    worker.join();
    return spy.wait(kWaitMs);
}

QColor centre(const QImage& image)
{
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

bool logged(const QString& text)
{
    for (const QString& line : zem::Logger::capturedLines())
        if (line.contains(text))
            return true;
    return false;
}

qint64 mtimeOf(const QString& path)
{
    return QFileInfo(path).lastModified().toSecsSinceEpoch();
}
} // namespace

class TestThumbCache : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;

private Q_SLOTS:
    void initTestCase() { zem::Logger::setStderrEnabled(false); }

    void cacheNameFollowsTheFileUri()
    {
        const QString path = QStringLiteral("/tmp/a b/ü.png");
        QCOMPARE(XThumbCache::uriOf(path), QByteArray("file:///tmp/a%20b/%C3%BC.png"));
        const QByteArray md5 = QCryptographicHash::hash("file:///tmp/a%20b/%C3%BC.png", QCryptographicHash::Md5).toHex();
        QCOMPARE(XThumbCache::thumbPath(path, 128),
                 QString(qgetenv("XDG_CACHE_HOME")) + "/thumbnails/normal/" + md5 + ".png");
        QVERIFY(XThumbCache::thumbPath(path, 200).contains("/thumbnails/large/"));
        QCOMPARE(XThumbCache::flavourSize(64), 128);
        QCOMPARE(XThumbCache::flavourSize(256), 256);
    }

    void decodedPictureIsScaledAndCached()
    {
        const QString path = writePicture(m_dir, "big/red.png", QSize(1200, 600), Qt::red);
        XThumb thumb;
        thumb.set_file(QFileInfo(path), 128);
        QVERIFY(thumb.is_ini());
        QVERIFY(load(thumb));
        QVERIFY(!thumb.is_ini());
        QCOMPARE(thumb.picture_size(), QSize(1200, 600));
        QCOMPARE(thumb.image().size(), QSize(128, 64));

        const QString cached = XThumbCache::thumbPath(path, 128);
        const QImage stored(cached);
        QCOMPARE(stored.text("Thumb::URI"), QString::fromUtf8(XThumbCache::uriOf(path)));
        QCOMPARE(stored.text("Thumb::MTime"), QString::number(mtimeOf(path)));
        QCOMPARE(stored.text("Thumb::Size"), QString::number(QFileInfo(path).size()));
        QCOMPARE(stored.size(), QSize(128, 64));
        QCOMPARE(QFile::permissions(cached) & QFileDevice::Permissions(0x0077) /* group and others */,
                 QFileDevice::Permissions());
        QVERIFY(QFile::permissions(cached) & QFileDevice::ReadOwner);
        const QFileDevice::Permissions dirBits = QFile::permissions(QFileInfo(cached).absolutePath());
        QCOMPARE(dirBits & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::ExeOther),
                 QFileDevice::Permissions());
    }

    void validCachedThumbnailIsUsedWithoutDecoding()
    {
        const QString path = writePicture(m_dir, "cached/blue.png", QSize(300, 300), Qt::blue);
        // A green thumbnail for a blue picture: seeing green proves the picture was not decoded.
        QImage fake(100, 100, QImage::Format_RGB32);
        fake.fill(Qt::green);
        QVERIFY(XThumbCache::save(path, mtimeOf(path), QFileInfo(path).size(), QSize(300, 300), fake, 128));
        XThumb thumb;
        thumb.set_file(QFileInfo(path), 128);
        QVERIFY(load(thumb));
        QCOMPARE(centre(thumb.image()), QColor(Qt::green));
        QCOMPARE(thumb.picture_size(), QSize(300, 300));
    }

    void staleCachedThumbnailIsReplaced()
    {
        const QString path = writePicture(m_dir, "stale/yellow.png", QSize(300, 200), Qt::yellow);
        QImage fake(100, 100, QImage::Format_RGB32);
        fake.fill(Qt::green);
        QVERIFY(XThumbCache::save(path, mtimeOf(path) - 60, 1, QSize(300, 200), fake, 128));
        XThumb thumb;
        thumb.set_file(QFileInfo(path), 128);
        QVERIFY(load(thumb));
        QCOMPARE(centre(thumb.image()), QColor(Qt::yellow));
        const QImage stored(XThumbCache::thumbPath(path, 128));
        QCOMPARE(stored.text("Thumb::MTime"), QString::number(mtimeOf(path)));
        QCOMPARE(centre(stored), QColor(Qt::yellow));
    }

    void unwritableCacheOnlyLogs()
    {
        const QString path = writePicture(m_dir, "ro/cyan.png", QSize(200, 200), Qt::cyan);
        // A file where the "large" folder belongs: unwritable for every user, root included.
        const QString large = XThumbCache::root() + "/large";
        QDir(large).removeRecursively();
        QVERIFY(QDir().mkpath(XThumbCache::root()));
        QFile blocker(large);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        zem::Logger::startCapture();
        XThumb thumb;
        thumb.set_file(QFileInfo(path), 200);
        QVERIFY(load(thumb));
        const bool complained = logged("XThumbCache::save, cannot write:");
        zem::Logger::stopCapture();
        QFile::remove(large);
        QVERIFY(complained);
        QVERIFY(thumb.is_picture());
        QCOMPARE(centre(thumb.image()), QColor(Qt::cyan));
        QCOMPARE(thumb.picture_size(), QSize(200, 200));
        QVERIFY(!QFileInfo::exists(XThumbCache::thumbPath(path, 200)));
    }

    void noThumbnailsOfTheCacheItself()
    {
        const QString inside = XThumbCache::root() + "/normal/some.png";
        QImage image(64, 64, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QVERIFY(image.save(inside));
        XThumb thumb;
        thumb.set_file(QFileInfo(inside), 128);
        QVERIFY(load(thumb));
        QVERIFY(thumb.is_picture());
        QVERIFY(!QFileInfo::exists(XThumbCache::thumbPath(inside, 128)));
    }

    void foldersAndOtherFilesDoNotWait()
    {
        XThumb folder;
        folder.set_file(QFileInfo(m_dir.mkdir("sub")), 128);
        QVERIFY(folder.is_directory());
        QVERIFY(!folder.is_ini());
        XThumb text;
        text.set_file(QFileInfo(m_dir.write("notes.txt", "hello")), 128);
        QVERIFY(!text.is_directory());
        QVERIFY(!text.is_ini());
        QVERIFY(!text.is_picture());
    }

    void damagedPictureEndsAsFile()
    {
        XThumb thumb;
        thumb.set_file(QFileInfo(m_dir.write("broken.jpg", "not a picture at all")), 128);
        QVERIFY(thumb.is_ini());
        QVERIFY(load(thumb));
        QVERIFY(!thumb.is_ini());
        QVERIFY(!thumb.is_picture());
    }

    void deletedThumbDropsItsResult()
    {
        const QString path = writePicture(m_dir, "gone/white.png", QSize(100, 100), Qt::white);
        auto* thumb = new XThumb;
        thumb->set_file(QFileInfo(path), 128);
        std::shared_ptr<zem::XThumbJob> job = thumb->job();
        QVERIFY(job->claim());
        delete thumb;
        QVERIFY(job->cancelled);
        std::thread worker([job] { job->work(); });
        worker.join();
        QCOMPARE(int(job->state), int(zem::XThumbJob::DONE));
        QCoreApplication::processEvents(); // a result would reach a deleted widget here
    }

    void flowLayoutWrapsRows()
    {
        QWidget panel;
        auto* flow = new zem::XFlowLayout(&panel, 10);
        flow->setContentsMargins(0, 0, 0, 0);
        QList<QWidget*> items;
        for (int i = 0; i < 5; ++i) {
            auto* w = new QWidget(&panel);
            w->setFixedSize(100, 50);
            flow->addWidget(w);
            items << w;
        }
        QCOMPARE(flow->heightForWidth(330), 50 + 10 + 50);
        flow->setGeometry(QRect(0, 0, 330, 200));
        QCOMPARE(items[2]->geometry(), QRect(220, 0, 100, 50));
        QCOMPARE(items[3]->geometry(), QRect(0, 60, 100, 50));
        QCOMPARE(flow->heightForWidth(99), 5 * 50 + 4 * 10);
    }

    void scrollPanelTellsVisibleChildren()
    {
        zem::XVScrollPanel scroll;
        scroll.setBetweenEvents(0);
        auto* flow = new zem::XFlowLayout(scroll.childrenPanel(), 0);
        flow->setContentsMargins(0, 0, 0, 0);
        QList<QWidget*> items;
        for (int i = 0; i < 20; ++i) {
            auto* w = new QWidget(scroll.childrenPanel());
            w->setFixedSize(100, 100);
            flow->addWidget(w);
            items << w;
        }
        scroll.resize(100 + scroll.verticalScrollBar()->sizeHint().width(), 250);
        scroll.show();
        QVERIFY(QTest::qWaitForWindowExposed(&scroll));
        int events = 0;
        scroll.contentsChanged.add([&events] { ++events; });
        QTRY_COMPARE_WITH_TIMEOUT(scroll.visible_components().size(), 3, kWaitMs);
        QCOMPARE(scroll.visible_components().first(), items[0]);
        scroll.verticalScrollBar()->setValue(1000);
        QTRY_VERIFY_WITH_TIMEOUT(events > 0, kWaitMs);
        const QList<QWidget*> shown = scroll.visible_components();
        QVERIFY(!shown.contains(items[0]));
        QVERIFY(shown.contains(items[10]));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    TestThumbCache test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_thumb_cache.moc"
