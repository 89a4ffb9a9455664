// Measures the text and hex previews on large files:
//   200 MB text: first screen, resident memory beyond the mapping, jump to the last line;
//   3 GB text: opens and shows its first and last screens; 1 GB binary in hex: first screen.
// Files are generated under /tmp (or $ZEM_BENCH_DIR) and removed afterwards.
// Usage: QT_QPA_PLATFORM=offscreen preview_bench [--keep]
#include "preview/viewHex/XHexView.h"
#include "preview/viewText/XTextView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <cstdio>

using zem::XHexView;
using zem::viewText::XTextView;

namespace {

// Anonymous resident memory (heap, stacks) in KiB: what the view adds beyond file pages.
long rssAnonKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("RssAnon:"))
            return line.mid(8).trimmed().split(' ').first().toLong();
    return -1;
}

// Log-like lines with some Cyrillic and CJK text, written in 8 MB chunks up to bytes.
bool writeText(const QString& path, qint64 bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray chunk;
    qint64 written = 0;
    qint64 n = 0;
    while (written < bytes) {
        chunk.clear();
        while (chunk.size() < (8 << 20)) {
            chunk += "2024-05-01 12:00:" + QByteArray::number(n % 60) + " INFO worker-" + QByteArray::number(n % 17) +
                     " request " + QByteArray::number(n) +
                     (n % 5 == 0 ? " \xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 \xe4\xb8\xad\xe6\x96\x87" : " done") + "\n";
            ++n;
        }
        const qint64 take = std::min<qint64>(chunk.size(), bytes - written);
        if (f.write(chunk.constData(), take) != take)
            return false;
        written += take;
    }
    return true;
}

double ms(const QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e6;
}

void textBench(const QString& path, const char* label)
{
    XTextView v;
    v.resize(1000, 700);
    v.show();
    const long before = rssAnonKiB();
    QElapsedTimer t;
    t.start();
    v.openFile(path);
    v.viewport()->grab();
    const double first = ms(t);
    const long afterOpen = rssAnonKiB();
    t.restart();
    v.scrollToEnd();
    v.viewport()->grab();
    const double jump = ms(t);
    t.restart();
    v.source().waitForIndex();
    const double index = ms(t);
    const long afterIndex = rssAnonKiB();
    t.restart();
    v.scrollToStart();
    v.scrollToEnd();
    v.viewport()->grab();
    const double jump2 = ms(t);
    std::printf("%s: %.0f MB, mapped:%s, first screen %.1f ms, jump to last line %.1f ms (%.1f ms once indexed), "
                "line count %lld after %.0f ms more, anon RSS +%.1f MB after open, +%.1f MB after index\n",
                label, v.source().size() / 1048576.0, v.source().isMapped() ? "yes" : "no", first, jump, jump2,
                static_cast<long long>(v.source().lineCount()), index, (afterOpen - before) / 1024.0,
                (afterIndex - before) / 1024.0);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const bool keep = app.arguments().contains(QStringLiteral("--keep"));
    const QString dir = qEnvironmentVariable("ZEM_BENCH_DIR", QStringLiteral("/tmp/zem_preview_bench"));
    QDir().mkpath(dir);
    const QString text200 = dir + QStringLiteral("/text200.log");
    const QString text3g = dir + QStringLiteral("/text3g.log");
    const QString bin1g = dir + QStringLiteral("/binary1g.bin");

    if (!QFile::exists(text200) && !writeText(text200, qint64(200) << 20))
        return 1;
    textBench(text200, "200 MB text");
    // Twice: the second run has the file in the page cache either way.
    textBench(text200, "200 MB text (again)");

    if (!QFile::exists(text3g) && !writeText(text3g, qint64(3) << 30))
        return 1;
    textBench(text3g, "3 GB text");

    {
        QFile f(bin1g);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            QByteArray head(1 << 20, '\0');
            for (int i = 0; i < head.size(); ++i)
                head[i] = char((i * 131) ^ (i >> 7));
            f.write(head);
            f.resize(qint64(1) << 30);  // the rest is a hole: reading it costs no disk
        }
        XHexView h;
        h.resize(900, 700);
        h.show();
        QElapsedTimer t;
        t.start();
        h.openFile(bin1g);
        h.viewport()->grab();
        const double first = ms(t);
        t.restart();
        for (int i = 0; i < 200; ++i) {
            h.scrollToOffset(qint64(i) * (qint64(5) << 20));
            h.viewport()->grab();
        }
        std::printf("1 GB binary in hex: first screen %.1f ms, 200 jumps with repaint %.1f ms each\n", first, ms(t) / 200);
    }
    if (!keep) {
        QFile::remove(text200);
        QFile::remove(text3g);
        QFile::remove(bin1g);
        QDir().rmdir(dir);
    }
    return 0;
}
