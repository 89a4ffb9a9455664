// Sorting the results table: 200,000 rows by every column, both ways (target: 500 ms each).
// Usage: model_sort_bench [rows]   (makes its files in a temporary folder, removed afterwards)
#include "gui/FileResultModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? atoi(argv[1]) : 200000;
    QTemporaryDir dir;
    // Real files, so that sizes and dates come from the file system as in a real search.
    std::vector<zemFinder::FileResult> results;
    results.reserve(size_t(rows));
    for (int i = 0; i < rows; ++i) {
        const QString folder = dir.path() + QStringLiteral("/d%1").arg(i % 97);
        if (i < 97)
            QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/File_%1.txt").arg((i * 7919) % rows);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(i % 300, 'x'));
        f.close();
        zem::find::XRamLayer layer;
        for (int h = 0; h < i % 13; ++h)
            layer.append(h, 1);
        // The scan thread has already asked each file's size, as the window's search does.
        QFileInfo info(path);
        info.size();
        results.emplace_back(std::move(layer), info);
    }
    zemFinder::FileResultModel model;
    model.setResults(std::move(results));
    model.setRowCount(rows);
    const char* names[] = {"Name", "Size", "Date", "Hits", "Path"};
    for (int column = 0; column < 5; ++column) {
        for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            QElapsedTimer t;
            t.start();
            model.sort(column, order);
            model.refreshAll();
            std::printf("sort %-4s %-4s %7d rows: %5lld ms\n", names[column], order == Qt::AscendingOrder ? "asc" : "desc",
                        rows, t.elapsed());
        }
    }
    return 0;
}
