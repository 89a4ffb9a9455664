// The results table model: roles, formats, sorting in both modes, bad rows.
#include "Logger.h"
#include "TestDir.h"
#include "gui/FileResultModel.h"

#include <QApplication>
#include <QtTest>

using zemFinder::FileResult;
using zemFinder::FileResultModel;

namespace {
FileResult resultWithHits(const QString& path, int hits)
{
    zem::find::XRamLayer layer;
    for (int i = 0; i < hits; ++i)
        layer.append(i * 10, 3);
    return FileResult(std::move(layer), QFileInfo(path));
}

void setModified(const QString& path, const QDateTime& when)
{
    QFile f(path);
    if (f.open(QIODevice::ReadWrite))
        f.setFileTime(when, QFileDevice::FileModificationTime);
}

QStringList column(const FileResultModel& m, int col)
{
    QStringList out;
    for (int r = 0; r < m.rowCount(); ++r)
        out << m.data(m.index(r, col)).toString();
    return out;
}
} // namespace

class TestFileResultModel : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;
    QString a, b, c, d;

private Q_SLOTS:
    void initTestCase()
    {
        a = m_dir.write("x/apple.txt", QByteArray(1500, 'a'));
        b = m_dir.write("x/Banana.txt", QByteArray(10, 'b'));
        c = m_dir.write("y/cherry.txt", QByteArray(3000000, 'c'));
        d = m_dir.write("y/APPLE.txt", QByteArray(20, 'd'));
        setModified(a, QDateTime(QDate(2020, 1, 2), QTime(3, 4)));
        setModified(b, QDateTime(QDate(2021, 1, 1), QTime(0, 0)));
        setModified(c, QDateTime(QDate(2019, 1, 1), QTime(0, 0)));
        setModified(d, QDateTime(QDate(2022, 1, 1), QTime(0, 0)));
    }

    void dateSortsOnTheShownValue()
    {
        TestDir dir;
        const QString older = dir.write("older.txt", "1");
        const QString newer = dir.write("newer.txt", "2");
        setModified(older, QDateTime(QDate(2018, 5, 1), QTime(10, 0)));
        setModified(newer, QDateTime(QDate(2019, 5, 1), QTime(10, 0)));
        // The search read the times; the table shows those.
        std::vector<QFileInfo> files{QFileInfo(newer), QFileInfo(older)};
        for (const QFileInfo& f : files)
            QVERIFY(f.lastModified().isValid());
        // Changed on disk after the search: the rows still show, and so sort by, the old times.
        setModified(older, QDateTime(QDate(2023, 5, 1), QTime(10, 0)));
        FileResultModel m;
        m.setRowCount(2);
        m.setResultsSimple(std::move(files));
        m.sort(FileResultModel::COL_DATE, Qt::AscendingOrder);
        QCOMPARE(column(m, FileResultModel::COL_NAME), QStringList({"older.txt", "newer.txt"}));
        QCOMPARE(column(m, FileResultModel::COL_DATE), QStringList({"2018/05/01 - 10:00", "2019/05/01 - 10:00"}));
    }

    void contentModeRolesAndFormats()
    {
        FileResultModel m;
        std::vector<FileResult> results;
        results.push_back(resultWithHits(a, 1234));
        results.push_back(resultWithHits(c, 2));
        m.setResults(std::move(results));
        m.setRowCount(2);
        QCOMPARE(m.data(m.index(0, 0)).toString(), QStringLiteral("apple.txt"));
        QCOMPARE(m.data(m.index(0, 1)).toString(), QStringLiteral("1.46 KB"));
        QCOMPARE(m.data(m.index(0, 2)).toString(), QStringLiteral("2020/01/02 - 03:04"));
        QCOMPARE(m.data(m.index(0, 3)).toString(), QStringLiteral("1,234"));
        QCOMPARE(m.data(m.index(0, 4)).toString(), m_dir.abs("x"));
        QCOMPARE(m.data(m.index(1, 1)).toString(), QStringLiteral("2.86 MB"));
        QVERIFY(m.data(m.index(0, 0), Qt::DecorationRole).canConvert<QIcon>());
        QCOMPARE(m.data(m.index(0, 1), Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
        QCOMPARE(m.data(m.index(0, 3), Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
        QVERIFY(!m.data(m.index(0, 0), Qt::TextAlignmentRole).isValid());
        QCOMPARE(m.hits(), quint64(1236));
        QCOMPARE(m.fileResultFromRow(1).countHits(), size_t(2));
    }

    void evenRowsAreShaded()
    {
        FileResultModel m;
        m.setResultsSimple({QFileInfo(a), QFileInfo(b), QFileInfo(c)});
        m.setRowCount(3);
        const QPalette p = QApplication::palette();
        QCOMPARE(m.data(m.index(0, 2), Qt::BackgroundRole).value<QBrush>(), p.alternateBase());
        QCOMPARE(m.data(m.index(1, 2), Qt::BackgroundRole).value<QBrush>(), p.base());
        QCOMPARE(m.data(m.index(2, 2), Qt::BackgroundRole).value<QBrush>(), p.alternateBase());
    }

    void basicModeHitsColumnAndSortIgnored()
    {
        FileResultModel m;
        m.setResultsSimple({QFileInfo(c), QFileInfo(a), QFileInfo(b)});
        m.setRowCount(3);
        zem::Logger::startCapture();
        QCOMPARE(column(m, 3), QStringList({"0", "0", "0"}));
        QCOMPARE(m.hits(), quint64(0));
        QVERIFY(zem::Logger::capturedLines().contains("FileResultModel::hits(), we are in basic mode !"));
        QCOMPARE(m.fileResultFromRow(0).countHits(), size_t(0));
        zem::Logger::stopCapture();
        m.sort(3, Qt::DescendingOrder);
        QCOMPARE(column(m, 0), QStringList({"cherry.txt", "apple.txt", "Banana.txt"}));
    }

    void sortEveryColumnBothWays()
    {
        FileResultModel m;
        std::vector<FileResult> results;
        results.push_back(resultWithHits(a, 5));
        results.push_back(resultWithHits(b, 50));
        results.push_back(resultWithHits(c, 1));
        m.setResults(std::move(results));
        m.setRowCount(3);
        m.sort(0, Qt::AscendingOrder);
        QCOMPARE(column(m, 0), QStringList({"apple.txt", "Banana.txt", "cherry.txt"}));
        m.sort(0, Qt::DescendingOrder);
        QCOMPARE(column(m, 0), QStringList({"cherry.txt", "Banana.txt", "apple.txt"}));
        m.sort(1, Qt::AscendingOrder);
        QCOMPARE(column(m, 0), QStringList({"Banana.txt", "apple.txt", "cherry.txt"}));
        m.sort(2, Qt::DescendingOrder);
        QCOMPARE(column(m, 0), QStringList({"Banana.txt", "apple.txt", "cherry.txt"}));
        m.sort(2, Qt::AscendingOrder);
        QCOMPARE(column(m, 0), QStringList({"cherry.txt", "apple.txt", "Banana.txt"}));
        m.sort(3, Qt::DescendingOrder);
        QCOMPARE(column(m, 3), QStringList({"50", "5", "1"}));
        m.sort(4, Qt::AscendingOrder);
        QCOMPARE(column(m, 0), QStringList({"apple.txt", "Banana.txt", "cherry.txt"}));
    }

    void namesDifferingOnlyInCaseAreEqualAndPathKeepsFoldersTogether()
    {
        FileResultModel m;
        m.setResultsSimple({QFileInfo(d), QFileInfo(b), QFileInfo(a), QFileInfo(c)});
        m.setRowCount(4);
        m.sort(0, Qt::AscendingOrder);
        QStringList names = column(m, 0);
        QCOMPARE(names.mid(2), QStringList({"Banana.txt", "cherry.txt"}));
        QCOMPARE(QSet<QString>(names.begin(), names.begin() + 2), QSet<QString>({"apple.txt", "APPLE.txt"}));
        m.sort(4, Qt::AscendingOrder);
        QCOMPARE(column(m, 4), QStringList({m_dir.abs("x"), m_dir.abs("x"), m_dir.abs("y"), m_dir.abs("y")}));
        QCOMPARE(column(m, 0), QStringList({"apple.txt", "Banana.txt", "APPLE.txt", "cherry.txt"}));
    }

    void emptyAndSingleListsSortToThemselves()
    {
        FileResultModel m;
        m.setResults({});
        m.sort(0);
        QCOMPARE(m.listSize(), 0);
        std::vector<FileResult> one;
        one.push_back(resultWithHits(a, 3));
        m.setResults(std::move(one));
        m.setRowCount(1);
        for (int col = 0; col < 5; ++col)
            m.sort(col, Qt::DescendingOrder);
        QCOMPARE(m.fromRow(0).absoluteFilePath(), a);
    }

    void badRowsAnswerEmpty()
    {
        FileResultModel m;
        std::vector<FileResult> results;
        results.push_back(resultWithHits(a, 1));
        m.setResults(std::move(results));
        m.setRowCount(1);
        zem::Logger::startCapture();
        QCOMPARE(m.fileResultFromRow(7).countHits(), size_t(0));
        QVERIFY(m.fromRow(-1).filePath().isEmpty());
        QVERIFY(!m.data(m.index(5, 0)).isValid());
        QVERIFY(!m.data(QModelIndex()).isValid());
        const QStringList log = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        QVERIFY(log.contains("FileResultModel::fileResultFromRow, row:7, but rowCount():1"));
        QVERIFY(log.contains("FileResultModel::fromRow, row:-1, but rowCount():1"));
        // A row count larger than the list (set by the panel) answers empty, not out of bounds.
        m.setRowCount(3);
        QVERIFY(!m.data(m.index(2, 0)).isValid());
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    TestFileResultModel test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_file_result_model.moc"
