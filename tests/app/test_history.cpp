// The navigation history on its own: adding, moving, dropping newer entries, states and reset.
#include "gui/History.h"
#include "TestDir.h"

#include <QtTest>

using zemFinder::History;

class TestHistory : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;
    QString a, b, c, d;

private Q_SLOTS:
    void initTestCase()
    {
        a = m_dir.mkdir("a");
        b = m_dir.mkdir("b");
        c = m_dir.mkdir("c");
        d = m_dir.mkdir("d");
    }

    void startsNotInitialized()
    {
        History h;
        QCOMPARE(h.state(), uint32_t(History::NOT_INITIALIZED));
        QCOMPARE(h.stateText(), QStringLiteral("NOT_INITIALIZED"));
        QCOMPARE(h.count(), 0u);
        h.compute_state();
        QCOMPARE(h.stateText(), QStringLiteral("NOT_ENABLED"));
    }

    void oneEntryIsNotEnabled()
    {
        History h;
        h.addFile(QFileInfo(a));
        QCOMPARE(h.count(), 1u);
        QCOMPARE(h.state(), uint32_t(History::NOT_ENABLED));
        QVERIFY(!h.get_prev().exists());
        QVERIFY(!h.get_next().exists());
    }

    void missingFileIsNotAdded()
    {
        History h;
        h.addFile(QFileInfo(m_dir.abs("nope")));
        QCOMPARE(h.count(), 0u);
    }

    void entriesAreNeverMerged()
    {
        History h;
        h.addFile(QFileInfo(a));
        h.addFile(QFileInfo(b));
        h.addFile(QFileInfo(a));
        QCOMPARE(h.count(), 3u);
        QCOMPARE(h.files().at(2).absoluteFilePath(), QFileInfo(a).absoluteFilePath());
        QCOMPARE(h.index(), 2u);
        QCOMPARE(h.stateText(), QStringLiteral("PREV"));
    }

    void backTwiceThenNewDropsNewerEntries()
    {
        History h;
        for (const QString& p : {a, b, c})
            h.addFile(QFileInfo(p));
        QCOMPARE(h.get_prev().absoluteFilePath(), QFileInfo(b).absoluteFilePath());
        QCOMPARE(h.stateText(), QStringLiteral("PREV | NEXT"));
        QCOMPARE(h.get_prev().absoluteFilePath(), QFileInfo(a).absoluteFilePath());
        QCOMPARE(h.stateText(), QStringLiteral("NEXT"));
        QVERIFY(!h.get_prev().exists());
        h.addFile(QFileInfo(d));
        QCOMPARE(h.count(), 2u);
        QCOMPARE(h.files().at(0).absoluteFilePath(), QFileInfo(a).absoluteFilePath());
        QCOMPARE(h.files().at(1).absoluteFilePath(), QFileInfo(d).absoluteFilePath());
        QCOMPARE(h.stateText(), QStringLiteral("PREV"));
        QVERIFY(!(h.state() & History::NEXT));
        QVERIFY(!h.get_next().exists());
    }

    void listenersHearOnlyChanges()
    {
        History h;
        int told = 0;
        h.stateListener.add([&told] { ++told; });
        h.addFile(QFileInfo(a));   // NOT_INITIALIZED -> NOT_ENABLED
        QCOMPARE(told, 1);
        h.addFile(QFileInfo(b));   // -> PREV
        QCOMPARE(told, 2);
        h.addFile(QFileInfo(c));   // still PREV
        QCOMPARE(told, 2);
        h.reset();
        QCOMPARE(told, 3);
        QCOMPARE(h.count(), 0u);
        QCOMPARE(h.index(), 0u);
    }

    void setIndexOnlyInsideTheList()
    {
        History h;
        QVERIFY(!h.setIndex(0));
        h.addFile(QFileInfo(a));
        h.addFile(QFileInfo(b));
        QVERIFY(!h.setIndex(2));
        QVERIFY(h.setIndex(0));
        h.compute_state();
        QCOMPARE(h.stateText(), QStringLiteral("NEXT"));
    }

    void stateTexts()
    {
        QCOMPARE(History::stateText(History::PREV | History::NEXT), QStringLiteral("PREV | NEXT"));
        QCOMPARE(History::stateText(1), QStringLiteral("unknown"));
        QCOMPARE(History::stateText(History::NEXT), QStringLiteral("NEXT"));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QCoreApplication app(argc, argv);
    TestHistory test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_history.moc"
