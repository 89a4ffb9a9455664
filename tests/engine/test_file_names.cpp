// File names that are not valid UTF-8: they keep their bytes through QString, are listed by the
// folder scanner and open again.
#include "XDirInfo.h"
#include "XFileNameCodec.h"
#include "find/XFilter.h"
#include "TestDir.h"

#include <QTextCodec>
#include <QtTest>
#include <fcntl.h>
#include <unistd.h>

using namespace zem;

namespace {
// Creates a file by raw name bytes inside folder.
bool createRaw(const QString& folder, const QByteArray& name, const QByteArray& content)
{
    const QByteArray path = QFile::encodeName(folder) + '/' + name;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, content.constData(), std::size_t(content.size())) == content.size();
    ::close(fd);
    return ok;
}
} // namespace

class TestFileNames : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { XFileNameCodec::install(); }

    void everyByteSequenceRoundTrips_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QByteArray("plain.txt");
        QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80");
        QTest::newRow("latin-1") << QByteArray("caf\xe9.txt");
        QTest::newRow("lone continuation") << QByteArray("a\x80" "b\xbf");
        QTest::newRow("cut sequence") << QByteArray("x\xe2\x82");
        QTest::newRow("overlong") << QByteArray("\xc0\xaf\xe0\x80\xaf");
        QTest::newRow("utf-8 surrogate") << QByteArray("\xed\xb2\x80");
        QTest::newRow("beyond unicode") << QByteArray("\xf4\x90\x80\x80\xff\xfe");
    }
    void everyByteSequenceRoundTrips()
    {
        QFETCH(QByteArray, bytes);
        const QString name = QFile::decodeName(bytes);
        QCOMPARE(QFile::encodeName(name), bytes);
        // Valid UTF-8 reads as itself.
        if (QTest::currentDataTag() == QByteArray("utf-8") || QTest::currentDataTag() == QByteArray("ascii"))
            QCOMPARE(name, QString::fromUtf8(bytes));
        else
            QVERIFY(!name.contains(QChar::ReplacementCharacter));
    }

    void streamedPiecesJoinCutSequences()
    {
        QTextDecoder decoder(QTextCodec::codecForLocale());
        const QByteArray euro("\xe2\x82\xac");
        QString text = decoder.toUnicode(euro.left(1));
        text += decoder.toUnicode(euro.mid(1));
        QCOMPARE(text, QString(QChar(0x20AC)));
        QTextEncoder encoder(QTextCodec::codecForLocale());
        const QString smile = QString::fromUtf8("\xf0\x9f\x98\x80");
        QByteArray bytes = encoder.fromUnicode(smile.left(1));
        bytes += encoder.fromUnicode(smile.mid(1));
        QCOMPARE(bytes, QByteArray("\xf0\x9f\x98\x80"));
    }

    void scannedNamesOpenAgain()
    {
        TestDir dir;
        const QByteArray latin("caf\xe9.txt");
        QVERIFY(createRaw(dir.path(), latin, "inside\n"));
        QVERIFY(QDir().mkdir(dir.path() + '/' + QFile::decodeName("d\xff")));
        QVERIFY(createRaw(dir.path() + '/' + QFile::decodeName("d\xff"), "n.txt", "deeper\n"));
        for (const bool inWalk : {false, true}) {
            XDirInfo info;
            info.setStatInWalk(inWalk);
            QVERIFY(info.scan_dir(dir.path()));
            info.setup_filtered_files(find::XFilter(), true);
            const std::vector<const QFileInfo*>& view = info.get_view_filtered_files();
            QCOMPARE(view.size(), std::size_t(2));
            QByteArrayList raw;
            for (const QFileInfo* file : view) {
                raw << QFile::encodeName(file->filePath());
                QFile f(file->filePath());
                QVERIFY2(f.open(QIODevice::ReadOnly), raw.last().constData());
                QVERIFY(!f.readAll().isEmpty());
            }
            std::sort(raw.begin(), raw.end());
            const QByteArray root = QFile::encodeName(dir.path());
            QCOMPARE(raw, QByteArrayList({root + "/caf\xe9.txt", root + "/d\xff/n.txt"}));
            QCOMPARE(info.countBytes(), quint64(7 + 7));
        }
    }
};

QTEST_GUILESS_MAIN(TestFileNames)
#include "test_file_names.moc"
