// The statistics tab: character and word tables (order, counts, percentages, limits), the page
// pieces, an unreadable file, and cancelling a run (stopped page, "Go", the late page dropped).
#include "Logger.h"
#include "TestDir.h"
#include "XThread.h"
#include "gui/panPreview/PanStats.h"
#include "gui/panPreview/Stats.h"
#include "gui/panPreview/StatsReport.h"
#include "widgets/XTypedComboBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QtTest>

using namespace zemFinder;

class TestStats : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;
    std::atomic<bool> m_running{true};

    static QStringList symbols(const stats::Table& t)
    {
        QStringList out;
        for (const stats::Row& r : t.rows)
            out << r.symbol;
        return out;
    }

private Q_SLOTS:
    // --- the counting ---
    void charactersByCountThenCode()
    {
        const QString path = m_dir.write("aab.txt", "aab");
        const stats::Table t = stats::count_chars(m_running, path, 50);
        QVERIFY(t.readable);
        QCOMPARE(symbols(t), (QStringList{"a", "b"}));
        QCOMPARE(t.rows[0].count, 2u);
        QCOMPARE(stats::percentage_text(t.rows[0].percentage), QString("66.667 "));
        QCOMPARE(t.rows[1].count, 1u);
        QCOMPARE(stats::percentage_text(t.rows[1].percentage), QString("33.333 "));
        QCOMPARE(t.rows[0].bytes, QString("61"));
        QCOMPARE(t.total, 3ull);
        QCOMPARE(t.unique, 2ull);
        QCOMPARE(t.lines, 1ll);
    }

    void charactersSkipDelimitersAndCountCodePoints()
    {
        // Blanks and punctuation are left out; an emoji is one character; a bad byte is U+FFFD.
        const QString path = m_dir.write("mixed.txt", "b, a. a!\n\xc3\xa4\xf0\x9f\x98\x80\xff\n");
        const stats::Table t = stats::count_chars(m_running, path, 0);
        QCOMPARE(symbols(t), (QStringList{"a", "b", QString::fromUtf8("ä"), QString(QChar(0xFFFD)),
                                          QString::fromUtf8("😀")}));
        QCOMPARE(t.total, 6ull);
        QCOMPARE(t.lines, 2ll);
        QCOMPARE(t.rows[2].bytes, QString("c3 a4"));
        QCOMPARE(t.rows[4].bytes, QString("f0 9f 98 80"));
    }

    void wordsOfMinimumLengthExactlyAsWritten()
    {
        const QString path = m_dir.write("words.txt", "Word word word; an an an an\nlonger-word Word\n");
        const stats::Table t = stats::count_words(m_running, path, 0, 3);
        // "an" is too short: neither listed nor counted.
        QCOMPARE(symbols(t), (QStringList{"word", "Word", "longer"}));
        QCOMPARE(t.rows[0].count, 3u);
        QCOMPARE(t.rows[1].count, 2u);
        QCOMPARE(t.total, 6ull);
        QCOMPARE(t.rows[2].bytes, QString("---"));
        QCOMPARE(stats::percentage_text(t.rows[0].percentage), QString("50.000 "));
    }

    void showLimitsRowsAllListsEvery()
    {
        QByteArray text;
        for (int i = 0; i < 120; ++i)
            text += "w" + QByteArray::number(1000 + i) + " ";
        const QString path = m_dir.write("many.txt", text);
        QCOMPARE(int(stats::count_words(m_running, path, 50, 2).rows.size()), 50);
        QCOMPARE(int(stats::count_words(m_running, path, 0, 2).rows.size()), 120);
        QCOMPARE(stats::count_words(m_running, path, 50, 2).unique, 120ull);
    }

    void percentageHasTwoIntegerDigits_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("5.5") << 5.5 << "05.500 ";
        QTest::newRow("0") << 0.0 << "00.000 ";
        QTest::newRow("66.6667") << 200.0 / 3 << "66.667 ";
        QTest::newRow("100") << 100.0 << "100.000 ";
    }
    void percentageHasTwoIntegerDigits()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(stats::percentage_text(value), text);
    }

    // The markup characters are delimiters: only "b" is counted.
    void pageNamesTheFileAndCountsAroundMarkup()
    {
        const QString path = m_dir.write("html.txt", "<b>&<b>");
        const QString page = stats::statistics(m_running, QFileInfo(path), 0, 1, QColor(222, 222, 222), Qt::black);
        QVERIFY(page.startsWith("<!DOCTYPE HTML PUBLIC"));
        QVERIFY(page.contains("<body style=\"background-color:#dedede;color:#000000;\">"));
        QVERIFY(page.contains(QStringLiteral("<h2>\"%1\"</h2>").arg(QFileInfo(path).absoluteFilePath())));
        QVERIFY(page.contains("Timestamp:"));
        QVERIFY(page.contains("7 bytes  ~"));
        QVERIFY(page.contains("read 1 lines, found 2 symbols, 1 are unique ( in "));
        QVERIFY(page.contains("<td style='text-align:center;'>b</td>"));
        QVERIFY(page.contains("<th>Bytes</th>"));
        QVERIFY(page.endsWith("</body>\n</html>\n"));
        const QString words = stats::statistics(m_running, QFileInfo(path), 0, 2, Qt::black, Qt::white);
        QVERIFY(words.contains("<th>Word</th>"));
        QVERIFY(!words.contains("<th>Bytes</th>"));
    }

    void unreadableFileSaysSo()
    {
        const QString missing = m_dir.abs("missing.txt");
        const QString page = stats::statistics(m_running, QFileInfo(missing), 0, 1, Qt::white, Qt::black);
        QVERIFY(page.contains(QStringLiteral("<p>Problems with '%1'</p>").arg(missing)));
    }

    void stoppedFlagBreaksTheCount()
    {
        const QString path = m_dir.write("stop.txt", QByteArray(3 << 20, 'x'));
        std::atomic<bool> stopped{false};
        QVERIFY(stats::count_chars(stopped, path, 0).stopped);
        QVERIFY(stats::count_words(stopped, path, 0, 2).stopped);
        QCOMPARE(stats::statistics(stopped, QFileInfo(path), 0, 1, Qt::white, Qt::black), QString("break!"));
    }

    // --- the tab ---
    void tabCountsOnAWorkerAndShowsThePage()
    {
        PanStats pan;
        pan.ini();
        const QString path = m_dir.write("aab2.txt", "a a b");
        QVERIFY(pan.preview()->open_file(QFileInfo(path)));
        Stats& s = pan.stats();
        QVERIFY(s.browser()->toHtml().contains("aab2.txt"));
        QCOMPARE(s.button_go()->text(), QString("Create word len statistics"));
        QCOMPARE(s.combo_word_len()->count(), 20);
        QCOMPARE(s.combo_word_len()->selectedValue(), 3u);
        s.combo_word_len()->selectValue(1);
        s.check_all()->setChecked(true);
        QVERIFY(!s.edit_show()->isEnabled());
        s.on_go();
        QCOMPARE(s.button_go()->text(), QString("Cancel..."));
        QTRY_COMPARE(s.button_go()->text(), QString("Create word len statistics"));
        QVERIFY(!s.is_running());
        QVERIFY(s.browser()->toPlainText().contains("found 3 symbols, 2 are unique"));
        // Zooming the statistics tab does nothing.
        const QFont before = s.browser()->font();
        pan.on_zoom(true);
        QCOMPARE(s.browser()->font(), before);
    }

    void invalidRowCountOnlyLogs()
    {
        PanStats pan;
        pan.ini();
        pan.preview()->open_file(QFileInfo(m_dir.write("n.txt", "abc")));
        Stats& s = pan.stats();
        s.edit_show()->setText("many");
        zem::Logger::startCapture();
        s.on_go();
        QVERIFY(zem::Logger::capturedLines().contains("private_Stats::ini, <<<0>>> is not a valid number"));
        zem::Logger::stopCapture();
        QVERIFY(!s.is_running());
        QCOMPARE(s.button_go()->text(), QString("Create word len statistics"));
    }

    void cancelWhileCountingShowsStoppedAndDropsTheLatePage()
    {
        // Large enough that the count is still running when the button is pressed again.
        QByteArray big;
        big.reserve(64 << 20);
        while (big.size() < (64 << 20))
            big += "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda\n";
        const QString path = m_dir.write("big.txt", big);
        PanStats pan;
        pan.ini();
        pan.preview()->open_file(QFileInfo(path));
        Stats& s = pan.stats();
        s.combo_word_len()->selectValue(4);
        s.on_go();
        QVERIFY(s.is_running());
        s.on_go();
        QCOMPARE(s.button_go()->text(), QString("Go"));
        QVERIFY(!s.is_running());
        QVERIFY(s.browser()->toPlainText().contains("Generating Statistics Stopped"));
        // The stopped worker ends soon and its page never shows.
        QVERIFY(zem::XThreadPool::wait_for_all(10000));
        QCoreApplication::processEvents();
        QTest::qWait(50);
        QVERIFY(s.browser()->toPlainText().contains("Generating Statistics Stopped"));
        QCOMPARE(s.button_go()->text(), QString("Go"));
    }

    void anotherFileDropsTheRunningCount()
    {
        QByteArray big(48 << 20, 'q');
        const QString path = m_dir.write("big2.txt", big);
        const QString other = m_dir.write("other.txt", "z");
        PanStats pan;
        pan.ini();
        pan.preview()->open_file(QFileInfo(path));
        Stats& s = pan.stats();
        s.combo_word_len()->selectValue(1);
        s.on_go();
        pan.preview()->open_file(QFileInfo(other));
        QVERIFY(!s.is_running());
        QVERIFY(zem::XThreadPool::wait_for_all(10000));
        QTest::qWait(50);
        QVERIFY(s.browser()->toHtml().contains("other.txt"));
        QVERIFY(!s.browser()->toPlainText().contains("found"));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    TestStats test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_stats.moc"
