// Measures the thumbnail wall on generated pictures:
//   1,000 pictures (JPEG and PNG, 0.5 to 12 megapixels): time until all tiles exist; time until
//   the first visible screen is decoded with an empty shared cache and again with it filled; the
//   longest GUI-thread stall while scrolling through all tiles as they decode; the time until
//   decoding has stopped after switching to another folder mid-load;
//   10,000 small pictures: resident memory with all tiles and the first screen decoded, and after
//   scrolling through all of them.
// Pictures are generated with QImage (kept between runs in the corpus folder); the shared cache
// lives in a throw-away XDG_CACHE_HOME.
// Usage: QT_QPA_PLATFORM=offscreen thumbs_bench [corpus folder]   (default /tmp/zem-thumbs-bench)
#include "XDirInfo.h"
#include "gui/PanThumb.h"
#include "gui/PanelThumbs.h"
#include "gui/ThumbLoader.h"
#include "widgets/XThumb.h"
#include "widgets/XVScrollPanel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <memory>

using zemFinder::PanelThumbs;
using zemFinder::PanThumb;
using zemFinder::ThumbLoader;

namespace {
constexpr int kPictures = 1000;
constexpr int kSmallPictures = 10000;
constexpr int kTile = 128;
constexpr int kWidth = 1200;
constexpr int kHeight = 800;

long rssKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

double ms(const QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e6;
}

// Megapixels from 0.5 to 12, spread so that every size occurs all over the folder.
QSize pictureSize(int i)
{
    static const double mp[] = {0.5, 12, 1, 8, 2, 6, 3, 4, 10, 0.8};
    const double pixels = mp[(i + i / 5) % 10] * 1e6;
    const int w = int(std::sqrt(pixels * 4 / 3));
    return QSize(w, w * 3 / 4);
}

// A gradient (JPEG) or flat bands (PNG, which compresses them well): real decoding work at
// a size a disk holds a thousand of.
QImage makePicture(const QSize& size, int i, bool png)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    if (png) {
        const int bands = 12;
        for (int b = 0; b < bands; ++b)
            p.fillRect(QRect(0, size.height() * b / bands, size.width(), size.height() / bands + 1),
                       QColor::fromHsv((i * 37 + b * 25) % 360, 160, 220));
    } else {
        QLinearGradient g(0, 0, size.width(), size.height());
        g.setColorAt(0, QColor::fromHsv(i * 37 % 360, 200, 250));
        g.setColorAt(1, QColor::fromHsv((i * 37 + 150) % 360, 220, 80));
        p.fillRect(image.rect(), g);
    }
    p.setPen(Qt::white);
    p.drawEllipse(image.rect().adjusted(size.width() / 4, size.height() / 4, -size.width() / 4, -size.height() / 4));
    return image;
}

bool makeCorpus(const QString& dir, int count, bool small)
{
    const QString done = dir + QStringLiteral("/.complete");
    if (QFile::exists(done))
        return true;
    QDir().mkpath(dir);
    std::printf("generating %d pictures in %s ...\n", count, qPrintable(dir));
    std::fflush(stdout);
    for (int i = 0; i < count; ++i) {
        const bool png = i % 5 == 4; // one in five
        const QSize size = small ? QSize(320, 240) : pictureSize(i);
        const QString name = QStringLiteral("%1/pic%2.%3").arg(dir).arg(i, 5, 10, QLatin1Char('0')).arg(png ? "png" : "jpg");
        if (!makePicture(size, i, png).save(name, nullptr, png ? -1 : 85))
            return false;
    }
    QFile f(done);
    return f.open(QIODevice::WriteOnly);
}

// A wall wired to its loader as the directory preview wires it, in a window of its own.
struct Wall {
    PanelThumbs panel;
    ThumbLoader loader;
    explicit Wall(int betweenEvents)
    {
        panel.scrollPanel()->setBetweenEvents(betweenEvents);
        panel.visibleTiles.add([this](const QList<PanThumb*>& tiles) {
            for (PanThumb* t : tiles)
                loader.add(t);
            loader.start();
        });
        panel.resize(kWidth, kHeight);
        panel.show();
        QApplication::processEvents();
    }
};

bool allLoaded(const QList<PanThumb*>& tiles)
{
    for (PanThumb* t : tiles)
        if (t->thumb()->is_ini())
            return false;
    return true;
}

void processUntil(const std::function<bool()>& done, int timeoutMs = 120000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < timeoutMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
}

// Fills the wall and lets it place and show the tiles; returns the milliseconds this took.
double fill(Wall& wall, const QList<QFileInfo>& list, int size, double* createMs = nullptr)
{
    QElapsedTimer t;
    t.start();
    wall.panel.set_dirs_and_files(nullptr, list, size);
    if (createMs)
        *createMs = ms(t);
    processUntil([&] { return !wall.panel.visible_tiles().isEmpty(); });
    return ms(t);
}

// From the visibility check to the last visible picture shown.
double firstScreen(Wall& wall, int* visible)
{
    QElapsedTimer t;
    t.start();
    wall.panel.on_scroll_contents();
    const QList<PanThumb*> shown = wall.panel.visible_tiles();
    processUntil([&] { return allLoaded(shown); });
    *visible = shown.size();
    return ms(t);
}

// Scrolls through the whole wall (40 px every 16 ms) while it decodes, and measures the longest
// gap between two ticks of a 2 ms probe timer: the longest time the GUI thread did not answer.
double scrollStall(Wall& wall, double* seconds)
{
    QScrollBar* bar = wall.panel.scrollPanel()->verticalScrollBar();
    bar->setValue(0);
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    double worst = 0;
    QTimer probe;
    probe.setInterval(2);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, (now - last) / 1e6);
        last = now;
    });
    QEventLoop loop;
    QTimer scroller;
    scroller.setInterval(16);
    QObject::connect(&scroller, &QTimer::timeout, [&] {
        if (bar->value() >= bar->maximum()) {
            scroller.stop();
            // The last screen decodes too before the loop ends.
            QTimer::singleShot(600, &loop, [&] {
                processUntil([&] { return allLoaded(wall.panel.visible_tiles()) && !wall.loader.is_running(); });
                loop.quit();
            });
            return;
        }
        bar->setValue(bar->value() + 40);
    });
    probe.start();
    scroller.start();
    loop.exec();
    probe.stop();
    *seconds = clock.elapsed() / 1000.0;
    return worst - probe.interval();
}

// Leaves a folder while its pictures decode: time from the switch until no job runs any more.
double stopAfterSwitch(Wall& wall, const QList<QFileInfo>& from, const QList<QFileInfo>& to, int* activeAtSwitch)
{
    fill(wall, from, 200); // the "large" flavour: not in the cache yet, so it really decodes
    wall.panel.on_scroll_contents();
    processUntil([&] { return wall.loader.active_jobs() >= ThumbLoader::kMaxActive; }, 10000);
    *activeAtSwitch = wall.loader.active_jobs();
    QElapsedTimer t;
    t.start();
    // What the directory preview does when another folder is opened: reset at once, the new
    // tiles only after its listing delay (500 ms), by which time the old decoding has ended.
    wall.loader.reset();
    while (wall.loader.active_jobs() > 0 && t.elapsed() < 10000)
        QThread::usleep(100);
    const double stopped = ms(t);
    wall.panel.set_dirs_and_files(nullptr, to, 200);
    return stopped;
}

void report(const char* what, double value, const char* unit, double target)
{
    std::printf("%-58s %9.1f %-3s (target <= %.0f) %s\n", what, value, unit, target, value <= target ? "ok" : "MISSED");
}
} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    QApplication app(argc, argv);
    const QString corpus = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : qEnvironmentVariable("ZEM_BENCH_DIR", QStringLiteral("/tmp/zem-thumbs-bench"));
    const QString big = corpus + QStringLiteral("/pictures-1000");
    const QString small = corpus + QStringLiteral("/small-10000");
    if (!makeCorpus(big, kPictures, false) || !makeCorpus(small, kSmallPictures, true)) {
        std::fprintf(stderr, "cannot write the pictures under %s\n", qPrintable(corpus));
        return 1;
    }
    const QList<QFileInfo> bigList = zem::XDirInfo::get_flat_directory_info(big);
    const QList<QFileInfo> smallList = zem::XDirInfo::get_flat_directory_info(small);
    std::printf("thumbnail wall %dx%d, tiles %d px, loader: %d threads, %d jobs\n", kWidth, kHeight, kTile,
                ThumbLoader::kMaxThreads, ThumbLoader::kMaxActive);

    {
        Wall wall(500);
        double create = 0;
        const double shown = fill(wall, bigList, kTile, &create);
        report("1,000 tiles created (set_dirs_and_files)", create, "ms", 200);
        std::printf("%-58s %9.1f ms\n", "  ... and placed and shown", shown);
        int visible = 0;
        report("first screen decoded, empty cache", firstScreen(wall, &visible), "ms", 1000);
        std::printf("  (%d tiles visible)\n", visible);
    }
    {
        Wall wall(500);
        fill(wall, bigList, kTile);
        int visible = 0;
        report("first screen decoded, shared cache filled", firstScreen(wall, &visible), "ms", 150);
        double seconds = 0;
        report("longest GUI stall scrolling through 1,000 tiles", scrollStall(wall, &seconds), "ms", 50);
        std::printf("  (scrolled and decoded all in %.1f s)\n", seconds);
    }
    {
        Wall wall(500);
        int active = 0;
        const double stop = stopAfterSwitch(wall, bigList, smallList.mid(0, 100), &active);
        report("decoding stopped after switching folders", stop, "ms", 100);
        std::printf("  (%d jobs were decoding at the switch)\n", active);
    }
    {
        const long before = rssKiB();
        Wall wall(500);
        double create = 0;
        fill(wall, smallList, kTile, &create);
        std::printf("%-58s %9.1f ms\n", "10,000 tiles created", create);
        int visible = 0;
        firstScreen(wall, &visible);
        report("RSS, 10,000 tiles, first screen decoded", rssKiB() / 1024.0, "MB", 250);
        std::printf("  (%.1f MB before the wall)\n", before / 1024.0);
        double seconds = 0;
        scrollStall(wall, &seconds);
        std::printf("%-58s %9.1f MB\n", "RSS, 10,000 tiles, all decoded after scrolling", rssKiB() / 1024.0);
    }
    return 0;
}
