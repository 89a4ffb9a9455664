// The line reader: reading and mapping, line ends, long lines, reuse of one reader.
#include "XLineReaderDA.h"
#include "XSimd.h"
#include "TestDir.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

using namespace zem;

class TestLineReader : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lines_data();
    void lines();
    void longLinesSplit_data();
    void longLinesSplit();
    void unreadable();
    void reuseKeepsBuffer();
    void mappedLargeFile();
    void binaryProbe_data();
    void binaryProbe();
    void foldAliases_data();
    void foldAliases();
    void lineOfOffset();
    void countFedInPieces_data();
    void countFedInPieces();
    void windows_data();
    void windows();
    void windowsLeftForTheWhole();
    void windowsOfAShrinkingFile();
    void readAheadEndsWithTheFile();
    void filesBelowABaseFolder();

private:
    void linesCountedAgain(const QString& path, const QByteArray& text, qint64 readSize, int seed);
};

void TestLineReader::lines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("one line no end") << QByteArray("abc") << QStringList{"abc"};
    QTest::newRow("one line lf") << QByteArray("abc\n") << QStringList{"abc"};
    QTest::newRow("lf") << QByteArray("a\nb\nc") << QStringList{"a", "b", "c"};
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("lone cr") << QByteArray("a\rb\rc") << QStringList{"a", "b", "c"};
    QTest::newRow("mixed") << QByteArray("a\r\nb\nc\rd") << QStringList{"a", "b", "c", "d"};
    QTest::newRow("empty lines") << QByteArray("\n\n\n") << QStringList{"", "", ""};
    QTest::newRow("cr then lf apart") << QByteArray("a\r\rb\n\n") << QStringList{"a", "", "b", ""};
    QTest::newRow("only newline") << QByteArray("\n") << QStringList{""};
    QTest::newRow("only cr") << QByteArray("\r") << QStringList{""};
    QTest::newRow("nul bytes") << QByteArray("a\0b\nc", 5) << QStringList{QString::fromLatin1("a\0b", 3), "c"};
    // Line ends on both sides of the 16-byte steps of the fast count.
    QByteArray edge(15, 'x');
    edge += "\r\n";
    edge += QByteArray(14, 'y');
    edge += "\r\n\r";
    QTest::newRow("crlf across steps") << edge << QStringList{QString(15, 'x'), QString(14, 'y'), ""};
    QByteArray manyLines;
    QStringList expected;
    for (int i = 0; i < 500; ++i) {
        const QByteArray line = QByteArray::number(i) + QByteArray(i % 37, 'z');
        manyLines += line + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
        expected << QString::fromLatin1(line);
    }
    QTest::newRow("many mixed") << manyLines << expected;
}

void TestLineReader::lines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    TestDir dir;
    const QString path = dir.write(QStringLiteral("t.txt"), bytes);
    for (qint64 threshold : {qint64(1) << 30, qint64(1)}) {
        XLineReaderDA reader;
        reader.setMapThreshold(threshold);
        QVERIFY(reader.openFile(path, 65536, true));
        QCOMPARE(reader.getMemorySize(), qint64(bytes.size()));
        QCOMPARE(reader.size(), qint64(bytes.size()));
        QCOMPARE(QByteArray(reader.data(), int(reader.size())), bytes);
        QCOMPARE(reader.countLines(), qint64(lines.size()));
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(reader.lineAt(i), lines[i].toLatin1());
        QVERIFY(reader.lineAt(lines.size()).isEmpty());
    }
    XLineReaderDA fromBytes;
    fromBytes.openBytes(bytes);
    QCOMPARE(fromBytes.countLines(), qint64(lines.size()));
    // The exact count, which files with over-long lines fall back to, agrees.
    QCOMPARE(XLineStats::countExact(bytes.constData(), bytes.size(), 65536), qint64(lines.size()));
}

void TestLineReader::longLinesSplit_data()
{
    QTest::addColumn<int>("lineLen");
    QTest::addColumn<int>("maxLen");
    QTest::addColumn<bool>("endWithNewline");
    QTest::addColumn<int>("expected");
    QTest::newRow("exactly max") << 100 << 100 << true << 1;
    QTest::newRow("one over") << 101 << 100 << true << 2;
    QTest::newRow("three pieces") << 250 << 100 << false << 3;
    QTest::newRow("big default limit") << 200000 << 65536 << true << 4;
    QTest::newRow("below default limit") << 65536 << 65536 << true << 1;
    QTest::newRow("one over default limit") << 65537 << 65536 << true << 2;
    QTest::newRow("small limit") << 10 << 4 << true << 3;
}

void TestLineReader::longLinesSplit()
{
    QFETCH(int, lineLen);
    QFETCH(int, maxLen);
    QFETCH(bool, endWithNewline);
    QFETCH(int, expected);
    // A short line before and after, so that only the long one splits.
    QByteArray bytes = "head\n" + QByteArray(lineLen, 'q') + "\ntail";
    if (endWithNewline)
        bytes += '\n';
    TestDir dir;
    XLineReaderDA reader;
    QVERIFY(reader.openFile(dir.write(QStringLiteral("long.txt"), bytes), maxLen, true));
    QCOMPARE(reader.countLines(), qint64(expected + 2));
    QCOMPARE(reader.lineAt(0), QByteArray("head"));
    QCOMPARE(reader.lineAt(1).size(), std::min(lineLen, maxLen));
    QCOMPARE(reader.lineAt(expected), QByteArray(lineLen - (expected - 1) * maxLen, 'q'));
    QCOMPARE(reader.lineAt(expected + 1), QByteArray("tail"));
}

void TestLineReader::unreadable()
{
    TestDir dir;
    XLineReaderDA reader;
    QVERIFY(!reader.openFile(dir.abs(QStringLiteral("missing.txt")), 65536, true));
    QVERIFY(!reader.isOpen());
    QCOMPARE(reader.getMemorySize(), qint64(0));
    QCOMPARE(reader.countLines(), qint64(0));
    QVERIFY(!reader.openFile(dir.mkdir(QStringLiteral("folder")), 65536, true));
    const QString locked = dir.write(QStringLiteral("locked.txt"), "secret\n");
    QFile::setPermissions(locked, QFileDevice::Permissions());
    QFile probe(locked);
    if (probe.open(QIODevice::ReadOnly))
        QSKIP("running with permission to read anything (root)");
    QVERIFY(!reader.openFile(locked, 65536, true));
}

void TestLineReader::reuseKeepsBuffer()
{
    TestDir dir;
    XLineReaderDA reader;
    QVERIFY(reader.openFile(dir.write(QStringLiteral("a.txt"), QByteArray(5000, 'a') + "\nend\n"), 65536, true));
    QCOMPARE(reader.countLines(), qint64(2));
    const qint64 capacity = reader.bufferCapacity();
    QVERIFY(capacity >= 5005);
    const char* first = reader.data();
    QVERIFY(reader.openFile(dir.write(QStringLiteral("b.txt"), "x\ny\nz\n"), 65536, true));
    QCOMPARE(reader.bufferCapacity(), capacity);
    QCOMPARE(reader.data(), first);
    QCOMPARE(reader.countLines(), qint64(3));
    QCOMPARE(reader.lineAt(2), QByteArray("z"));
    QVERIFY(!reader.openFile(dir.abs(QStringLiteral("gone.txt")), 65536, true));
    QVERIFY(reader.openFile(dir.abs(QStringLiteral("a.txt")), 65536, true));
    QCOMPARE(reader.lineAt(1), QByteArray("end"));
}

void TestLineReader::mappedLargeFile()
{
    TestDir dir;
    QByteArray big;
    for (int i = 0; i < 40000; ++i)
        big += "line " + QByteArray::number(i) + "\n";
    const QString path = dir.write(QStringLiteral("big.txt"), big);
    XLineReaderDA reader;
    reader.setMapThreshold(64 * 1024);
    QVERIFY(reader.openFile(path, 65536, true));
    QVERIFY(reader.isMapped());
    QCOMPARE(reader.countLines(), qint64(40000));
    QCOMPARE(reader.lineAt(39999), QByteArray("line 39999"));
    QVERIFY(reader.openFile(path, 65536, false));  // mapping not allowed: read
    QVERIFY(!reader.isMapped());
    QCOMPARE(reader.countLines(), qint64(40000));
    reader.close();
    QVERIFY(!reader.isOpen());
    QCOMPARE(reader.size(), qint64(0));
}

void TestLineReader::binaryProbe_data()
{
    QTest::addColumn<int>("nulAt");
    QTest::addColumn<bool>("binary");
    QTest::newRow("none") << -1 << false;
    QTest::newRow("first byte") << 0 << true;
    QTest::newRow("last probed byte") << 65535 << true;
    QTest::newRow("just past 64 KiB") << 65536 << false;
}

void TestLineReader::binaryProbe()
{
    QFETCH(int, nulAt);
    QFETCH(bool, binary);
    QByteArray bytes(66000, 't');
    if (nulAt >= 0)
        bytes[nulAt] = '\0';
    TestDir dir;
    XLineReaderDA reader;
    QVERIFY(reader.openFile(dir.write(QStringLiteral("p.bin"), bytes), 65536, true));
    QCOMPARE(reader.isBinary(), binary);
}

void TestLineReader::foldAliases_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("aliases");
    QTest::newRow("ascii") << QByteArray(100, 'k') << false;
    QTest::newRow("cyrillic") << QByteArray("\xD0\xBA\xD0\xBA\xD0\xBA") << false;
    QTest::newRow("kelvin") << QByteArray(40, ' ') + "\xE2\x84\xAA" + QByteArray(40, ' ') << true;
    QTest::newRow("long s at end") << QByteArray(31, ' ') + "\xC5\xBF" << true;
    QTest::newRow("kelvin cut off") << QByteArray(40, ' ') + "\xE2\x84" << false;
    QTest::newRow("other e2") << QByteArray(40, ' ') + "\xE2\x80\x99" + QByteArray(40, ' ') << false;
}

void TestLineReader::foldAliases()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, aliases);
    XLineReaderDA reader;
    reader.openBytes(bytes);
    QCOMPARE(reader.hasFoldAliases(), aliases);
}

void TestLineReader::lineOfOffset()
{
    XLineReaderDA reader;
    reader.openBytes("ab\ncd\r\nef");
    QCOMPARE(reader.lineOfOffset(0), qint64(0));
    QCOMPARE(reader.lineOfOffset(2), qint64(0));
    QCOMPARE(reader.lineOfOffset(3), qint64(1));
    QCOMPARE(reader.lineOfOffset(8), qint64(2));
    QCOMPARE(reader.lineOfOffset(9), qint64(-1));
    const XLineReaderDA::Span s = reader.lineSpan(1);
    QCOMPARE(s.offset, qint64(3));
    QCOMPARE(s.length, qint64(2));
}

void TestLineReader::countFedInPieces_data()
{
    QTest::addColumn<int>("seed");
    QTest::addColumn<bool>("avx2");
    for (int seed = 1; seed <= 12; ++seed) {
        QTest::newRow(qPrintable(QStringLiteral("seed %1 avx2").arg(seed))) << seed << true;
        QTest::newRow(qPrintable(QStringLiteral("seed %1 sse2").arg(seed))) << seed << false;
    }
}

void TestLineReader::countFedInPieces()
{
    // Random text with every kind of line end, long stretches without any, NUL and alias
    // bytes; fed to the count in pieces of random size, as a search does.
    QFETCH(int, seed);
    QFETCH(bool, avx2);
    QRandomGenerator rng{quint32(seed)};
    static const char* const pieces[] = {"a", "bc", "\n", "\r\n", "\r", "\n\n", " ", "\xC3\xA9", "\0"};
    QByteArray text;
    const int target = 1000 + int(rng.bounded(400000));
    while (text.size() < target) {
        if (rng.bounded(200) == 0)
            text += QByteArray(int(rng.bounded(150000)), 'L');  // may exceed the line limit
        else {
            const int k = int(rng.bounded(9));
            text += QByteArray(pieces[k], k == 8 ? 1 : -1);
        }
    }
    const bool withAlias = rng.bounded(2) == 0;
    if (withAlias)
        text.insert(int(rng.bounded(uint(text.size()))), "\xE2\x84\xAA");
    simd_allow_avx2(avx2);
    XLineReaderDA reader;
    reader.openBytes(text, 65536);
    if (seed % 2 == 0)
        reader.trackFoldAliases();
    QCOMPARE(reader.foldAliasesTracked(), seed % 2 == 0);
    qint64 fed = 0;
    while (fed < text.size()) {
        fed += 1 + qint64(rng.bounded(300000));
        reader.advanceStats(fed);
    }
    QVERIFY(reader.statsDone());
    QCOMPARE(reader.countLines(), XLineStats::countExact(text.constData(), text.size(), 65536));
    QCOMPARE(reader.hasFoldAliases(), withAlias || text.contains("\xC5\xBF") || text.contains("\xE2\x84\xAA"));
    XLineReaderDA whole;
    whole.openBytes(text, 65536);
    QCOMPARE(whole.countLines(), reader.countLines());
    simd_allow_avx2(true);
}

void TestLineReader::windows_data()
{
    QTest::addColumn<int>("seed");
    QTest::addColumn<qint64>("readSize");
    // Read ahead on a thread of its own from this window on (0: never).
    QTest::addColumn<int>("aheadFrom");
    for (int seed = 1; seed <= 6; ++seed) {
        for (qint64 readSize : {qint64(1000), qint64(4096), qint64(70000), XLineReaderDA::kWindowRead}) {
            for (int aheadFrom : {0, 1, 3})
                QTest::newRow(qPrintable(QStringLiteral("seed %1 read %2 ahead from %3").arg(seed).arg(readSize).arg(aheadFrom)))
                    << seed << readSize << aheadFrom;
        }
    }
    QTest::newRow("tiny reads") << 0 << qint64(7) << 0;
    QTest::newRow("tiny reads ahead") << 0 << qint64(7) << 1;
}

void TestLineReader::windows()
{
    // A big file read window by window: the windows' own bytes are the file, each window holds
    // whole lines and the bytes before it as context, and the line count is the whole file's.
    QFETCH(int, seed);
    QFETCH(qint64, readSize);
    QFETCH(int, aheadFrom);
    QRandomGenerator rng{quint32(seed)};
    static const char* const pieces[] = {"ab", "c", "\n", "\r\n", "\r", "\n\n", " ", "\xC3\xA9", "\0"};
    QByteArray text;
    const int target = seed == 0 ? 3000 : 1000 + int(rng.bounded(400000));
    while (text.size() < target) {
        if (rng.bounded(300) == 0)
            text += QByteArray(int(rng.bounded(150000)), 'L');  // longer than a read, maybe than the line limit
        else {
            const int k = int(rng.bounded(9));
            text += QByteArray(pieces[k], k == 8 ? 1 : -1);
        }
    }
    TestDir dir;
    const QString path = dir.write(QStringLiteral("big.txt"), text);
    XLineReaderDA reader;
    reader.setWindowThreshold(1);
    reader.setWindowReadSize(readSize);
    const qint64 context = seed % 2 ? XLineReaderDA::kWindowContext : 5;
    reader.setWindowContext(context);
    int asked = 0;
    if (aheadFrom > 0)
        reader.setReadAheadCheck([&asked, aheadFrom] { return ++asked >= aheadFrom; });
    QVERIFY(reader.openFile(path, 65536, true));
    QVERIFY(reader.isWindowed());
    QCOMPARE(reader.size(), qint64(text.size()));
    QVERIFY(reader.statsDone());
    QByteArray joined;
    XLineReaderDA::Window w;
    int count = 0;
    while (reader.nextWindow(w)) {
        ++count;
        // Asked once per window until it says yes, and only while there is more to read.
        if (aheadFrom > 0 && joined.size() + (w.size - w.from) < text.size())
            QCOMPARE(reader.readsAhead(), count >= aheadFrom);
        QCOMPARE(w.base + w.from, qint64(joined.size()));
        QVERIFY(w.from < w.size);
        // The context is the file's bytes before the window, as much as there is up to the limit.
        QCOMPARE(QByteArray(w.data, int(w.from)), text.mid(int(w.base), int(w.from)));
        QCOMPARE(w.from, std::min<qint64>(context, w.base + w.from));
        joined += QByteArray(w.data + w.from, int(w.size - w.from));
        if (joined.size() < text.size())
            QCOMPARE(w.data[w.size - 1], '\n');
    }
    QVERIFY(!reader.windowFailed());
    QCOMPARE(joined, text);
    if (text.size() > readSize && text.left(int(readSize)).contains('\n'))
        QVERIFY(count >= 2);
    QCOMPARE(reader.countLines(), XLineStats::countExact(text.constData(), text.size(), 65536));
    QCOMPARE(reader.isBinary(), text.left(int(XLineReaderDA::kBinaryProbeBytes)).contains('\0'));
    QVERIFY(!reader.nextWindow(w));
    linesCountedAgain(path, text, readSize, seed);
    // Small files are still read whole.
    XLineReaderDA small;
    small.setWindowThreshold(qint64(text.size()) + 1);
    QVERIFY(small.openFile(path, 65536, true));
    QVERIFY(!small.isWindowed());
    QCOMPARE(QByteArray(small.data(), int(small.size())), text);
}

// Windows not counted on the way: lines before some line starts (in rising order and again
// from an earlier one) and the whole count are read from the file anew, as counted on the way.
void TestLineReader::linesCountedAgain(const QString& path, const QByteArray& text, qint64 readSize, int seed)
{
    XLineReaderDA reader;
    reader.setWindowThreshold(1);
    reader.setWindowReadSize(readSize);
    reader.setWindowContext(5);
    reader.setCountWindowLines(false);
    QVERIFY(reader.openFile(path, 65536, true));
    XLineReaderDA::Window w;
    QVERIFY(reader.nextWindow(w));
    std::vector<qint64> starts{0};
    for (int i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n' || (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            starts.push_back(i + 1);
    }
    QRandomGenerator rng{quint32(seed + 100)};
    std::vector<qint64> asked;
    for (int k = 0; k < 6; ++k)
        asked.push_back(starts[rng.bounded(quint32(starts.size()))]);
    std::sort(asked.begin(), asked.end());
    asked.push_back(asked.front());
    for (qint64 at : asked)
        QCOMPARE(reader.linesBefore(at), XLineStats::countExact(text.constData(), at, 65536));
    QCOMPARE(reader.countLines(), XLineStats::countExact(text.constData(), text.size(), 65536));
    // A file read whole answers from its bytes.
    XLineReaderDA whole;
    QVERIFY(whole.openFile(path, 65536, true));
    QCOMPARE(whole.linesBefore(asked.front()), XLineStats::countExact(text.constData(), asked.front(), 65536));
}

void TestLineReader::windowsLeftForTheWhole()
{
    // A search that finds it needs the whole file after some windows gets all of it, counted anew.
    QByteArray text;
    for (int i = 0; i < 20000; ++i)
        text += "line " + QByteArray::number(i) + (i % 2 ? "\r\n" : "\n");
    TestDir dir;
    const QString path = dir.write(QStringLiteral("t.txt"), text);
    for (qint64 mapThreshold : {qint64(1), qint64(1) << 30, qint64(2), qint64(1) << 31}) {
        XLineReaderDA reader;
        reader.setWindowThreshold(1);
        reader.setWindowReadSize(10000);
        reader.setMapThreshold(mapThreshold);
        // The odd thresholds read ahead, which must end before the whole file is read.
        if (mapThreshold % 2 == 0)
            reader.setReadAheadCheck([] { return true; });
        QVERIFY(reader.openFile(path, 65536, true));
        XLineReaderDA::Window w;
        QVERIFY(reader.nextWindow(w));
        QVERIFY(reader.nextWindow(w));
        QVERIFY(reader.leaveWindows());
        QVERIFY(!reader.isWindowed());
        QCOMPARE(reader.isMapped(), mapThreshold <= 2);
        QCOMPARE(QByteArray(reader.data(), int(reader.size())), text);
        QCOMPARE(reader.countLines(), qint64(20000));
        QCOMPARE(reader.lineAt(19999), QByteArray("line 19999"));
    }
}

void TestLineReader::windowsOfAShrinkingFile()
{
    // Cut short while read: the windows end where the file now ends, nothing made up.
    QByteArray text;
    for (int i = 0; i < 50000; ++i)
        text += "row " + QByteArray::number(i) + "\n";
    TestDir dir;
    for (bool ahead : {false, true}) {
        const QString path = dir.write(QStringLiteral("s.txt"), text);
        XLineReaderDA reader;
        reader.setWindowThreshold(1);
        reader.setWindowReadSize(4096);
        if (ahead)
            reader.setReadAheadCheck([] { return true; });
        QVERIFY(reader.openFile(path, 65536, true));
        XLineReaderDA::Window w;
        QVERIFY(reader.nextWindow(w));
        QCOMPARE(reader.readsAhead(), ahead);
        QVERIFY(QFile::resize(path, text.size() / 2));
        QByteArray joined(w.data + w.from, int(w.size - w.from));
        while (reader.nextWindow(w))
            joined += QByteArray(w.data + w.from, int(w.size - w.from));
        QVERIFY(!reader.windowFailed());
        QCOMPARE(joined, text.left(text.size() / 2));
        QCOMPARE(reader.size(), qint64(text.size() / 2));
    }
}

void TestLineReader::readAheadEndsWithTheFile()
{
    // A file left halfway while pieces are read ahead: the next file, read by the same reader
    // and reading thread, comes whole and unmixed; so does the same file again.
    QByteArray first;
    QByteArray second;
    for (int i = 0; i < 40000; ++i) {
        first += "first " + QByteArray::number(i) + "\n";
        second += "second " + QByteArray::number(i * 7) + "\r\n";
    }
    TestDir dir;
    const QString a = dir.write(QStringLiteral("a.txt"), first);
    const QString b = dir.write(QStringLiteral("b.txt"), second);
    XLineReaderDA reader;
    reader.setWindowThreshold(1);
    reader.setWindowReadSize(3000);
    reader.setReadAheadCheck([] { return true; });
    for (const auto& [path, text] : {std::make_pair(a, first), std::make_pair(b, second), std::make_pair(a, first)}) {
        XLineReaderDA::Window w;
        // Leave a file after two windows, then read it again to the end.
        QVERIFY(reader.openFile(path, 65536, true));
        QVERIFY(reader.nextWindow(w));
        QVERIFY(reader.nextWindow(w));
        QVERIFY(reader.readsAhead());
        QVERIFY(reader.openFile(path, 65536, true));
        QByteArray joined;
        while (reader.nextWindow(w))
            joined += QByteArray(w.data + w.from, int(w.size - w.from));
        QVERIFY(!reader.windowFailed());
        QCOMPARE(joined, text);
        QCOMPARE(reader.countLines(), qint64(40000));
    }
    // Closed while pieces are out: nothing is left running that could touch the buffers.
    QVERIFY(reader.openFile(a, 65536, true));
    XLineReaderDA::Window w;
    QVERIFY(reader.nextWindow(w));
    reader.close();
    QVERIFY(!reader.readsAhead());
}

void TestLineReader::filesBelowABaseFolder()
{
    // Opened relative to the base folder where they lie below it, by their whole path elsewhere:
    // a sibling whose name starts like the folder's is no child of it.
    TestDir dir;
    dir.mkdir(QStringLiteral("base/sub"));
    dir.mkdir(QStringLiteral("base2"));
    const QString inside = dir.write(QStringLiteral("base/sub/a.txt"), "inside\n");
    const QString sibling = dir.write(QStringLiteral("base2/b.txt"), "sibling\n");
    const QString outside = dir.write(QStringLiteral("c.txt"), "outside\n");
    for (const QString& base : {dir.abs(QStringLiteral("base")), dir.abs(QStringLiteral("base")) + "/",
                                dir.abs(QStringLiteral("gone"))}) {
        XLineReaderDA reader;
        reader.setBaseFolder(QFile::encodeName(base));
        // Also with the search's small-file read, which asks no fstat.
        reader.setSmallReadLimit(base.endsWith('/') ? qint64(1) << 20 : 0);
        for (const QString& path : {inside, sibling, outside}) {
            QVERIFY(reader.openNative(QFile::encodeName(path)));
            QCOMPARE(reader.path(), path);
            QCOMPARE(reader.lineAt(0), QFileInfo(path).dir().dirName() == "sub" ? QByteArray("inside")
                                       : path == sibling                        ? QByteArray("sibling")
                                                                                : QByteArray("outside"));
        }
        QVERIFY(!reader.openNative(QFile::encodeName(dir.abs(QStringLiteral("base/missing.txt")))));
        QVERIFY(!reader.openNative(QFile::encodeName(dir.abs(QStringLiteral("base/sub")))));
    }
}

QTEST_GUILESS_MAIN(TestLineReader)
#include "test_line_reader.moc"
