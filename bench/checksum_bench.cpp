// Checksum throughput and cancel latency of the engine's CheckSum.
//
//   checksum_bench <file> [cancel-after-ms]
//
// Prints, per algorithm, the seconds and MB/s of one pass over the file; then the three
// algorithms at once on three threads (what the properties window does); with cancel-after-ms,
// the time from clearing the run flag until calc returned, per algorithm.
#include "CheckSum.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>

using zem::CheckSum;

namespace {
double seconds(QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

// CPU seconds of the calling thread: steadier than wall time on a busy machine.
double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

bool one(const QString& path, int algo, double* secs, double* cpu = nullptr)
{
    CheckSum sum;
    sum.set_algo(algo);
    sum.set_file(path);
    std::atomic<bool> run{true};
    std::atomic<int> progress{0};
    QElapsedTimer t;
    const double cpuBefore = threadCpuSeconds();
    t.start();
    const bool ok = sum.calc(run, progress);
    *secs = seconds(t);
    if (cpu)
        *cpu = threadCpuSeconds() - cpuBefore;
    std::printf("%-8s %s\n", qPrintable(CheckSum::algo_as_string(algo)), qPrintable(sum.toString(false)));
    return ok;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: checksum_bench <file> [cancel-after-ms]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const double mb = double(QFileInfo(path).size()) / 1e6;
    if (argc >= 3) {
        const int after = std::atoi(argv[2]);
        for (int algo = CheckSum::MD5; algo <= CheckSum::SHA256; ++algo) {
            CheckSum sum;
            sum.set_algo(algo);
            sum.set_file(path);
            std::atomic<bool> run{true};
            std::atomic<int> progress{0};
            QElapsedTimer stopped;
            std::thread worker([&] { sum.calc(run, progress); });
            std::this_thread::sleep_for(std::chrono::milliseconds(after));
            stopped.start();
            run.store(false);
            worker.join();
            std::printf("cancel %-8s at %3d%%: returned after %.2f ms\n", qPrintable(CheckSum::algo_as_string(algo)),
                        progress.load(), double(stopped.nsecsElapsed()) / 1e6);
        }
        return 0;
    }
    for (int algo = CheckSum::MD5; algo <= CheckSum::SHA256; ++algo) {
        double secs = 0, cpu = 0;
        if (!one(path, algo, &secs, &cpu))
            return 1;
        std::printf("ours   %-8s %.3f s  %.0f MB/s  cpu %.3f s\n", qPrintable(CheckSum::algo_as_string(algo)), secs,
                    mb / secs, cpu);
    }
    QElapsedTimer all;
    all.start();
    std::vector<std::thread> threads;
    for (int algo = CheckSum::MD5; algo <= CheckSum::SHA256; ++algo)
        threads.emplace_back([&path, algo] {
            double secs = 0;
            one(path, algo, &secs);
        });
    for (auto& th : threads)
        th.join();
    std::printf("ours   all three at once %.3f s\n", seconds(all));
    return 0;
}
