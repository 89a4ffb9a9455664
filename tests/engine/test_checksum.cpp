// CheckSum: known digests of the three algorithms, the text form, progress, a cancel, and the
// failures (unknown algorithm, missing file) that must leave no result.
#include "CheckSum.h"
#include "TestDir.h"
#include "XSha256.h"

#include <QCryptographicHash>
#include <QtTest>
#include <thread>

using zem::CheckSum;

class TestCheckSum : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;

    static QString calc(int algo, const QString& path, bool* ok = nullptr)
    {
        CheckSum sum;
        sum.set_algo(algo);
        sum.set_file(path);
        std::atomic<bool> run{true};
        std::atomic<int> progress{0};
        const bool done = sum.calc(run, progress);
        if (ok)
            *ok = done;
        return sum.toString(false);
    }

private Q_SLOTS:
    void knownDigests_data()
    {
        QTest::addColumn<int>("algo");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("digest");
        QTest::newRow("md5 abc") << 1 << QByteArray("abc") << "900150983cd24fb0d6963f7d28e17f72";
        QTest::newRow("sha1 abc") << 2 << QByteArray("abc") << "a9993e364706816aba3e25717850c26c9cd0d89d";
        QTest::newRow("sha256 abc") << 3 << QByteArray("abc")
                                    << "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
        QTest::newRow("md5 empty") << 1 << QByteArray() << "d41d8cd98f00b204e9800998ecf8427e";
    }
    void knownDigests()
    {
        QFETCH(int, algo);
        QFETCH(QByteArray, content);
        QFETCH(QString, digest);
        bool ok = false;
        QCOMPARE(calc(algo, m_dir.write("f.bin", content), &ok), digest);
        QVERIFY(ok);
    }

    void namesOfTheCodes()
    {
        QCOMPARE(CheckSum::algo_as_string(1), QStringLiteral("MD5"));
        QCOMPARE(CheckSum::algo_as_string(2), QStringLiteral("SHA-1"));
        QCOMPARE(CheckSum::algo_as_string(3), QStringLiteral("SHA-256"));
        QVERIFY(CheckSum::algo_as_string(4).isEmpty());
    }

    void severalChunksMatchTheWholeHash()
    {
        QByteArray data(int(CheckSum::CHUNK * 2 + 12345), 'x');
        for (int i = 0; i < data.size(); i += 7)
            data[i] = char(i);
        const QString path = m_dir.write("big.bin", data);
        CheckSum sum;
        sum.set_algo(CheckSum::SHA256);
        sum.set_file(path);
        std::atomic<bool> run{true};
        std::atomic<int> progress{0};
        QVERIFY(sum.calc(run, progress));
        QCOMPARE(progress.load(), 100);
        QCOMPARE(sum.result(), QCryptographicHash::hash(data, QCryptographicHash::Sha256));
        QCOMPARE(sum.toString(true), QString::fromLatin1(sum.result().toHex().toUpper()));
    }

    void failuresLeaveNoResult()
    {
        bool ok = true;
        QVERIFY(calc(0, m_dir.write("a", "a"), &ok).isEmpty());
        QVERIFY(!ok);
        QVERIFY(calc(1, m_dir.abs("missing"), &ok).isEmpty());
        QVERIFY(!ok);
        QVERIFY(calc(1, m_dir.mkdir("folder"), &ok).isEmpty());
        QVERIFY(!ok);
    }

    void cancelStopsWithoutResult()
    {
        const QString path = m_dir.write("c.bin", QByteArray(int(CheckSum::CHUNK * 4), 'c'));
        CheckSum sum;
        sum.set_algo(CheckSum::MD5);
        sum.set_file(path);
        std::atomic<bool> run{false};   // cancelled before the first chunk
        std::atomic<int> progress{0};
        QVERIFY(!sum.calc(run, progress));
        QVERIFY(!sum.isValid());
        QVERIFY(sum.toString(false).isEmpty());
    }

    void cancelFromAnotherThreadEndsTheRun()
    {
        // Big enough that the cancel lands in the middle; the hang guard is the join.
        const QString path = m_dir.write("d.bin", QByteArray(int(CheckSum::CHUNK * 64), 'd'));
        CheckSum sum;
        sum.set_algo(CheckSum::SHA256);
        sum.set_file(path);
        std::atomic<bool> run{true};
        std::atomic<int> progress{0};
        bool result = true;
        std::thread worker([&] { result = sum.calc(run, progress); });
        while (progress.load() == 0 && result)
            std::this_thread::yield();
        run.store(false);
        worker.join();
        QVERIFY(!result || progress.load() == 100);   // either cancelled or it was quicker
        QCOMPARE(sum.isValid(), result);
    }

    void resetForgetsTheResult()
    {
        CheckSum sum;
        sum.set_algo(CheckSum::MD5);
        sum.set_file(m_dir.write("r", "r"));
        std::atomic<bool> run{true};
        std::atomic<int> progress{0};
        QVERIFY(sum.calc(run, progress));
        QVERIFY(sum.isValid());
        sum.reset();
        QVERIFY(!sum.isValid());
        QVERIFY(sum.result().isEmpty());
    }

    void acceleratedSha256AgreesWithQt()
    {
        if (!zem::XSha256::accelerated())
            QSKIP("this processor has no SHA instructions");
        // Every length around the padding edges (55/56/63/64 bytes) and the block size, fed
        // whole and in uneven pieces, so that the partial-block path is crossed too.
        QByteArray data(3 * 64 + 17, Qt::Uninitialized);
        for (int i = 0; i < data.size(); ++i)
            data[i] = char((i * 131 + 7) % 251);
        for (int length = 0; length <= data.size(); ++length) {
            const QByteArray part = data.left(length);
            const QByteArray expected = QCryptographicHash::hash(part, QCryptographicHash::Sha256);
            zem::XSha256 whole;
            whole.addData(part.constData(), part.size());
            QCOMPARE(whole.result(), expected);
            zem::XSha256 pieces;
            for (int at = 0, step = 1; at < length; at += step, step = step % 70 + 13)
                pieces.addData(part.constData() + at, qMin(step, length - at));
            QCOMPARE(pieces.result(), expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestCheckSum)
#include "test_checksum.moc"
