// The file filter: wildcard patterns, size parsing, day rules of the time areas, extensions.
#include "find/XBytesNumber.h"
#include "find/XFileFilter.h"
#include "find/XFilter.h"
#include "TestDir.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

using namespace zem;
using namespace zem::find;

namespace {
qint64 localMs(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::LocalTime).toMSecsSinceEpoch();
}
} // namespace

class TestFileFilter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wildcards_data();
    void wildcards();
    void excludeAndInclude();
    void utf8AndUtf16Agree_data();
    void utf8AndUtf16Agree();
    void bytesNumber_data();
    void bytesNumber();
    void timeAreas_data();
    void timeAreas();
    void sizeAreas_data();
    void sizeAreas();
    void extensions_data();
    void extensions();
    void needs();
    void matchesFileInfo();
    void filterText();
};

void TestFileFilter::wildcards_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("match");

    QTest::newRow("star suffix") << "*.txt" << "notes.txt" << true;
    QTest::newRow("star suffix, case") << "*.TXT" << "Notes.txt" << true;
    QTest::newRow("star suffix, no") << "*.txt" << "notes.txt.bak" << false;
    QTest::newRow("question") << "a?c" << "abc" << true;
    QTest::newRow("question needs one") << "a?c" << "ac" << false;
    QTest::newRow("class") << "file[0-9].log" << "file7.log" << true;
    QTest::newRow("class no") << "file[0-9].log" << "fileX.log" << false;
    QTest::newRow("negated class !") << "file[!0-9].log" << "fileX.log" << true;
    QTest::newRow("negated class ^") << "file[^0-9].log" << "file1.log" << false;
    QTest::newRow("class letters any case") << "[A-C]*" << "beta" << true;
    QTest::newRow("bracket first member") << "[]x]y" << "]y" << true;
    QTest::newRow("unclosed bracket literal") << "a[b" << "a[b" << true;
    QTest::newRow("no wildcard contains") << "bitmap" << "MyBitmapFile.png" << true;
    QTest::newRow("no wildcard contains, no") << "bitmap" << "bitmp.png" << false;
    QTest::newRow("tool tip example 1") << "*bitmap*,MyFile*" << "a_bitmap_b" << true;
    QTest::newRow("tool tip example 2") << "*bitmap*,MyFile*" << "myfile.cpp" << true;
    QTest::newRow("tool tip example 3") << "*bitmap*,MyFile*" << "yourfile.cpp" << false;
    QTest::newRow("blanks around commas") << " *.h , *.cpp ,  " << "x.cpp" << true;
    QTest::newRow("empty pieces") << ",,*.h,," << "x.h" << true;
    QTest::newRow("star only") << "*" << "anything" << true;
    QTest::newRow("star matches empty") << "a*b" << "ab" << true;
    QTest::newRow("several stars") << "*a*b*c*" << "xxaxxbxxcxx" << true;
    QTest::newRow("several stars, order") << "*a*b*c*" << "cba" << false;
    QTest::newRow("backtracking") << "*aab" << "aaaab" << true;
    QTest::newRow("cyrillic case") << QString::fromUtf8("*ПРИВЕТ*") << QString::fromUtf8("мой привет.txt") << true;
    QTest::newRow("star inside") << QString::fromUtf8("stra*e") << QString::fromUtf8("STRASSE") << true;
    QTest::newRow("dot file") << ".*" << ".bashrc" << true;
    QTest::newRow("whole name") << "readme" << "README" << true;
}

void TestFileFilter::wildcards()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, match);
    XFileFilter f;
    f.setPattern(pattern);
    QVERIFY(f.has_Pattern());
    QCOMPARE(f.matchName(name), match);
    const QByteArray utf8 = name.toUtf8();
    QCOMPARE(f.matchNameUtf8(utf8.constData(), size_t(utf8.size())), match);
}

void TestFileFilter::excludeAndInclude()
{
    XFileFilter f;
    f.setPattern(QStringLiteral("*.cpp,*.h"), false);
    f.setPattern(QStringLiteral("moc_*, *_autogen*"), true);
    QVERIFY(f.has_Pattern());
    QVERIFY(f.has_not_Pattern());
    QCOMPARE(f.pattern(), QStringLiteral("*.cpp,*.h"));
    QVERIFY(f.matchName(u"main.cpp"));
    QVERIFY(!f.matchName(u"moc_main.cpp"));
    QVERIFY(!f.matchName(u"main.o"));

    XFileFilter onlyNot;
    onlyNot.setNotPattern(QStringLiteral("*.bak"));
    QVERIFY(!onlyNot.has_Pattern());
    QVERIFY(onlyNot.matchName(u"a.txt"));
    QVERIFY(!onlyNot.matchName(u"A.BAK"));

    XFileFilter blank;
    blank.setPattern(QStringLiteral("   "));
    blank.setPattern(QStringLiteral(" , "), true);
    QVERIFY(!blank.has_Pattern());
    QVERIFY(!blank.has_not_Pattern());
    QVERIFY(blank.matchName(u"whatever"));
}

void TestFileFilter::utf8AndUtf16Agree_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("match");
    QTest::newRow("ascii") << QByteArray("File.TXT") << true;
    QTest::newRow("umlaut") << QByteArray("\xC3\x84rger.txt") << true;  // Ärger
    QTest::newRow("emoji") << QByteArray("\xF0\x9F\x98\x80.txt") << true;
    QTest::newRow("invalid bytes") << QByteArray("bad\xff\xfe.txt") << true;
    QTest::newRow("truncated sequence") << QByteArray("x\xE2\x82") << false;
}

void TestFileFilter::utf8AndUtf16Agree()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, match);
    XFileFilter f;
    f.setPattern(QStringLiteral("*.txt"));
    QCOMPARE(f.matchNameUtf8(name.constData(), size_t(name.size())), match);
    if (QString::fromUtf8(name).toUtf8() == name)
        QCOMPARE(f.matchName(QString::fromUtf8(name)), match);
}

void TestFileFilter::bytesNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<quint64>("bytes");
    QTest::newRow("plain") << "1234" << true << quint64(1234);
    QTest::newRow("zero") << "0" << true << quint64(0);
    QTest::newRow("blanks around") << "  77 " << true << quint64(77);
    QTest::newRow("kb") << "10kb" << true << quint64(10240);
    QTest::newRow("KB blank") << "10 KB" << true << quint64(10240);
    QTest::newRow("Mb") << "3Mb" << true << quint64(3) * 1024 * 1024;
    QTest::newRow("gb") << "2 gb" << true << quint64(2) * 1024 * 1024 * 1024;
    QTest::newRow("decimal kb") << "1.5kb" << true << quint64(1536);
    QTest::newRow("decimal comma mb") << "0,5 mb" << true << quint64(512) * 1024;
    QTest::newRow("leading point") << ".5kb" << true << quint64(512);
    QTest::newRow("above 4 GiB") << "5gb" << true << quint64(5) * 1024 * 1024 * 1024;
    QTest::newRow("plain fraction") << "1.5" << false << quint64(0);
    QTest::newRow("empty") << "" << false << quint64(0);
    QTest::newRow("unit only") << "kb" << false << quint64(0);
    QTest::newRow("unknown unit") << "10tb" << false << quint64(0);
    QTest::newRow("single letter unit") << "10k" << false << quint64(0);
    QTest::newRow("negative") << "-5" << false << quint64(0);
    QTest::newRow("words") << "ten" << false << quint64(0);
    QTest::newRow("two blanks") << "10  kb" << true << quint64(10240);
    QTest::newRow("trailing junk") << "10kbx" << false << quint64(0);
    QTest::newRow("overflow") << "99999999999999999999999" << false << quint64(0);
    QTest::newRow("overflow scaled") << "99999999999999gb" << false << quint64(0);
}

void TestFileFilter::bytesNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(quint64, bytes);
    bool ok = !valid;
    const quint64 got = get_bytes_number(text, &ok);
    QCOMPARE(ok, valid);
    QCOMPARE(got, bytes);
}

void TestFileFilter::timeAreas_data()
{
    QTest::addColumn<uint>("area");
    QTest::addColumn<qint64>("bound1");
    QTest::addColumn<qint64>("bound2");
    QTest::addColumn<qint64>("mtime");
    QTest::addColumn<bool>("match");

    // Bounds carry a time of day on purpose: only their calendar day counts.
    const qint64 b = localMs(2021, 7, 15, 13, 45);
    const qint64 b2 = localMs(2021, 7, 20, 8, 0);
    const uint LE = XFileFilter::LE, EQ = XFileFilter::EQ, GE = XFileFilter::GE, BT = XFileFilter::BETWEEN,
               YR = XFileFilter::YEAR;
    QTest::newRow("<= same day late") << LE << b << qint64(0) << localMs(2021, 7, 15, 23, 59, 59, 999) << true;
    QTest::newRow("<= next day") << LE << b << qint64(0) << localMs(2021, 7, 16) << false;
    QTest::newRow("<= long before") << LE << b << qint64(0) << localMs(1999, 1, 1) << true;
    QTest::newRow("= start of day") << EQ << b << qint64(0) << localMs(2021, 7, 15) << true;
    QTest::newRow("= end of day") << EQ << b << qint64(0) << localMs(2021, 7, 15, 23, 59, 59, 999) << true;
    QTest::newRow("= day before") << EQ << b << qint64(0) << localMs(2021, 7, 14, 23, 59, 59, 999) << false;
    QTest::newRow("= day after") << EQ << b << qint64(0) << localMs(2021, 7, 16) << false;
    QTest::newRow(">= earlier same day") << GE << b << qint64(0) << localMs(2021, 7, 15, 0, 0, 1) << true;
    QTest::newRow(">= day before") << GE << b << qint64(0) << localMs(2021, 7, 14, 23, 59, 59, 999) << false;
    QTest::newRow(">= far later") << GE << b << qint64(0) << localMs(2030, 1, 1) << true;
    QTest::newRow("between first day") << BT << b << b2 << localMs(2021, 7, 15, 0, 0, 0) << true;
    QTest::newRow("between last day late") << BT << b << b2 << localMs(2021, 7, 20, 23, 59, 59, 999) << true;
    QTest::newRow("between after") << BT << b << b2 << localMs(2021, 7, 21) << false;
    QTest::newRow("between before") << BT << b << b2 << localMs(2021, 7, 14, 23, 59, 59) << false;
    QTest::newRow("between swapped bounds") << BT << b2 << b << localMs(2021, 7, 17) << true;
    QTest::newRow("year start") << YR << b << qint64(0) << localMs(2021, 1, 1) << true;
    QTest::newRow("year end") << YR << b << qint64(0) << localMs(2021, 12, 31, 23, 59, 59, 999) << true;
    QTest::newRow("year next") << YR << b << qint64(0) << localMs(2022, 1, 1) << false;
    // The find panel writes "year" as between Jan 1 and Jan 1 next year minus one second.
    QTest::newRow("panel year as between") << BT << localMs(2021, 1, 1) << localMs(2022, 1, 1) - 1000
                                            << localMs(2021, 12, 31, 23, 59, 59, 999) << true;
    QTest::newRow("panel year as between, next") << BT << localMs(2021, 1, 1) << localMs(2022, 1, 1) - 1000
                                                  << localMs(2022, 1, 1) << false;
    QTest::newRow("no area") << uint(XFileFilter::NONE) << b << qint64(0) << qint64(0) << true;
}

void TestFileFilter::timeAreas()
{
    QFETCH(uint, area);
    QFETCH(qint64, bound1);
    QFETCH(qint64, bound2);
    QFETCH(qint64, mtime);
    QFETCH(bool, match);
    XFileFilter f;
    f.setTime(area, bound1, bound2);
    QCOMPARE(f.matchTime(mtime), match);
    QCOMPARE(f.matchValues(u"x", 0, mtime), match);
    QCOMPARE(f.timeArea(), area);
}

void TestFileFilter::sizeAreas_data()
{
    QTest::addColumn<uint>("area");
    QTest::addColumn<quint64>("bound1");
    QTest::addColumn<quint64>("bound2");
    QTest::addColumn<quint64>("size");
    QTest::addColumn<bool>("match");
    const quint64 big = quint64(6) << 30;
    QTest::newRow("<= equal") << uint(XFileFilter::LE) << quint64(100) << quint64(0) << quint64(100) << true;
    QTest::newRow("<= above") << uint(XFileFilter::LE) << quint64(100) << quint64(0) << quint64(101) << false;
    QTest::newRow("= equal") << uint(XFileFilter::EQ) << quint64(100) << quint64(0) << quint64(100) << true;
    QTest::newRow("= other") << uint(XFileFilter::EQ) << quint64(100) << quint64(0) << quint64(99) << false;
    QTest::newRow(">= equal") << uint(XFileFilter::GE) << quint64(100) << quint64(0) << quint64(100) << true;
    QTest::newRow(">= below") << uint(XFileFilter::GE) << quint64(100) << quint64(0) << quint64(99) << false;
    QTest::newRow("between low edge") << uint(XFileFilter::BETWEEN) << quint64(10) << quint64(20) << quint64(10) << true;
    QTest::newRow("between high edge") << uint(XFileFilter::BETWEEN) << quint64(10) << quint64(20) << quint64(20) << true;
    QTest::newRow("between outside") << uint(XFileFilter::BETWEEN) << quint64(10) << quint64(20) << quint64(21) << false;
    QTest::newRow("between swapped") << uint(XFileFilter::BETWEEN) << quint64(20) << quint64(10) << quint64(15) << true;
    QTest::newRow("above 4 GiB") << uint(XFileFilter::GE) << big << quint64(0) << big + 1 << true;
    QTest::newRow("year means none") << uint(XFileFilter::YEAR) << quint64(1) << quint64(0) << quint64(99) << true;
}

void TestFileFilter::sizeAreas()
{
    QFETCH(uint, area);
    QFETCH(quint64, bound1);
    QFETCH(quint64, bound2);
    QFETCH(quint64, size);
    QFETCH(bool, match);
    XFileFilter f;
    f.setSize(area, bound1, bound2);
    QCOMPARE(f.matchSize(size), match);
    QCOMPARE(f.matchValues(u"x", size, 0), match);
}

void TestFileFilter::extensions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("match");
    QTest::newRow("lower") << "a.txt" << true;
    QTest::newRow("upper") << "A.TXT" << true;
    QTest::newRow("star form") << "x.cpp" << true;
    QTest::newRow("dot form") << "x.H" << true;
    QTest::newRow("last suffix only") << "a.txt.gz" << false;
    QTest::newRow("no dot") << "Makefile" << false;
    QTest::newRow("suffix inside name") << "txt" << false;
    QTest::newRow("dot file") << ".txt" << true;
    QTest::newRow("trailing dot") << "a." << false;
}

void TestFileFilter::extensions()
{
    QFETCH(QString, name);
    QFETCH(bool, match);
    XFileFilter f;
    f.setTextExtensions(QStringList{"TXT", "*.cpp", ".h", " md "});
    QVERIFY(f.has_text_extensions());
    QCOMPARE(f.matchName(name), match);
}

void TestFileFilter::needs()
{
    XFileFilter f;
    QCOMPARE(f.needs(), quint32(XFileFilter::NEED_NOTHING));
    QVERIFY(f.isEmpty());
    f.setPattern(QStringLiteral("*.c"));
    QCOMPARE(f.needs(), quint32(XFileFilter::NEED_NAME));
    f.setSize(XFileFilter::GE, 10);
    QCOMPARE(f.needs(), quint32(XFileFilter::NEED_NAME | XFileFilter::NEED_SIZE));
    f.setTime(XFileFilter::EQ, localMs(2020, 1, 1));
    QCOMPARE(f.needs(), quint32(XFileFilter::NEED_NAME | XFileFilter::NEED_SIZE | XFileFilter::NEED_MTIME));
    XFileFilter ext;
    ext.setTextExtensions(QSet<QString>{QStringLiteral("txt")});
    QCOMPARE(ext.needs(), quint32(XFileFilter::NEED_NAME));
}

void TestFileFilter::matchesFileInfo()
{
    TestDir dir;
    const QString path = dir.write(QStringLiteral("Report.TXT"), QByteArray(2048, 'x'));
    const QDateTime when(QDate(2020, 5, 17), QTime(10, 30), Qt::LocalTime);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(when, QFileDevice::FileModificationTime));
    }
    const QFileInfo info(path);
    XFileFilter f;
    f.setPattern(QStringLiteral("report*"));
    f.setSize(XFileFilter::BETWEEN, 1024, 4096);
    f.setTime(XFileFilter::EQ, QDateTime(QDate(2020, 5, 17), QTime(0, 0)).toMSecsSinceEpoch());
    f.setTextExtensions(QStringList{"txt"});
    QVERIFY(f.matches(info));
    f.setTime(XFileFilter::EQ, QDateTime(QDate(2020, 5, 18), QTime(0, 0)).toMSecsSinceEpoch());
    QVERIFY(!f.matches(info));
    f.setTime(XFileFilter::NONE, 0);
    f.setSize(XFileFilter::LE, 2047);
    QVERIFY(!f.matches(info));
}

void TestFileFilter::filterText()
{
    XFilter filter;
    QVERIFY(!filter.has_content_filter());
    filter.fileFilter().setPattern(QStringLiteral("*.txt"));
    filter.fileFilter().setSize(XFileFilter::GE, 1024);
    QVERIFY(filter.toString().contains(QLatin1String("*.txt")));
    XContentFilter content(2);
    QVERIFY(content.createSymbols(QStringLiteral("needle"), false));
    filter.setContentFilter(content);
    QVERIFY(filter.has_content_filter());
    QVERIFY(filter.toString(false).contains(QLatin1String("needle")));
    QVERIFY(filter.toString(true).contains(QLatin1String("Sentence")));
    XFilter copy = filter;
    filter.clearContentFilter();
    QVERIFY(!filter.has_content_filter());
    QVERIFY(copy.has_content_filter());
    XContentFilter bad(0);
    QVERIFY(!bad.createSymbols(QStringLiteral("(x"), true));
    XFilter withBad;
    withBad.setContentFilter(bad);
    QVERIFY(!withBad.has_content_filter());
}

QTEST_GUILESS_MAIN(TestFileFilter)
#include "test_file_filter.moc"
