// Sizes and dates read the same in the directory tree, the folder view and the results table.
#include "TestDir.h"
#include "XFormat.h"
#include "dir/ContextPreviews.h"
#include "dir/PreviewDir.h"
#include "dir/impl/private_PreviewDir.h"
#include "gui/FileResultModel.h"
#include "widgets/XTreeViewFiles.h"

#include <QApplication>
#include <QDateTime>
#include <QTableWidget>
#include <QtTest>

using zem::XFormat;

class TestFileFormats : public QObject {
    Q_OBJECT
private:
    TestDir m_dir;
    QString m_file;
    QString m_folder;

private Q_SLOTS:
    void initTestCase()
    {
        zemFinder::ContextPreviews::modifiersProvider = [] { return Qt::NoModifier; };
        m_file = m_dir.write("shown/report.txt", QByteArray(1536, 'r'));
        m_folder = m_dir.mkdir("shown/sub");
        QFile f(m_file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime(QDate(2024, 3, 5), QTime(17, 9)), QFileDevice::FileModificationTime));
    }

    void formatterWritesSizesAndDates_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << QStringLiteral("0 Bytes");
        QTest::newRow("bytes") << qint64(1023) << QStringLiteral("1023 Bytes");
        QTest::newRow("kilo") << qint64(1536) << QStringLiteral("1.50 KB");
        QTest::newRow("mega") << qint64(3) * 1024 * 1024 * 17 / 2 << QStringLiteral("25.5 MB");
        QTest::newRow("giga") << (qint64(5) << 30) << QStringLiteral("5.00 GB");
        QTest::newRow("negative") << qint64(-5) << QStringLiteral("0 Bytes");
    }
    void formatterWritesSizesAndDates()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(XFormat::size(bytes), text);
        QCOMPARE(XFormat::dateTime(QDateTime(QDate(2024, 3, 5), QTime(17, 9))), QStringLiteral("2024/03/05 - 17:09"));
        QVERIFY(XFormat::dateTime(QDateTime()).isEmpty());
        QVERIFY(XFormat::fileSize(QFileInfo(m_folder)).isEmpty());
    }

    void treeWritesThemLikeTheFormatter()
    {
        zem::XTreeViewFiles tree;
        tree.showHeaderDetails(true);
        tree.set_root_path(m_dir.path());
        QVERIFY(tree.selectFile(m_file, false));
        QModelIndex name;
        QTRY_VERIFY_WITH_TIMEOUT((name = tree.indexOfPath(m_file)).isValid(), 20000);
        QAbstractItemModel* model = tree.model();
        QTRY_COMPARE_WITH_TIMEOUT(model->data(name.siblingAtColumn(1)).toString(), QStringLiteral("1.50 KB"), 20000);
        QCOMPARE(model->data(name.siblingAtColumn(3)).toString(), QStringLiteral("2024/03/05 - 17:09"));
        const QModelIndex folder = tree.indexOfPath(m_folder);
        QVERIFY(folder.isValid());
        QVERIFY(model->data(folder.siblingAtColumn(1)).toString().isEmpty());
        QCOMPARE(model->data(folder.siblingAtColumn(3)).toString(), XFormat::fileDate(QFileInfo(m_folder)));
    }

    void folderViewWritesThemLikeTheFormatter()
    {
        zemFinder::PreviewDir view;
        view.ini();
        view.open_file(QFileInfo(m_dir.abs("shown")));
        QTableWidget* table = view.impl()->table;
        const int row = int(view.impl()->entries.indexOf(QFileInfo(m_file)));
        QVERIFY(row >= 0);
        QCOMPARE(table->item(row, 1)->text(), QStringLiteral("1.50 KB"));
        QCOMPARE(table->item(row, 2)->text(), QStringLiteral("2024/03/05 - 17:09"));
        const int sub = int(view.impl()->entries.indexOf(QFileInfo(m_folder)));
        QVERIFY(table->item(sub, 1)->text().isEmpty());
    }

    void resultsWriteThemLikeTheFormatter()
    {
        zemFinder::FileResultModel model;
        model.setResultsSimple({QFileInfo(m_file)});
        model.setRowCount(1);
        QCOMPARE(model.data(model.index(0, zemFinder::FileResultModel::COL_SIZE)).toString(), QStringLiteral("1.50 KB"));
        QCOMPARE(model.data(model.index(0, zemFinder::FileResultModel::COL_DATE)).toString(),
                 QStringLiteral("2024/03/05 - 17:09"));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    TestFileFormats test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_file_formats.moc"
