// The node tree's typed attributes and its XML form: hostile text must survive, damaged
// files must be refused without touching the tree.
#include "TestDir.h"
#include "XNode.h"

#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

using zem::XNode;

class TestXNode : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void typedAttributesReadDefaultsWhenAbsentOrWrongKind()
    {
        XNode n;
        QCOMPARE(n.isBool("x", true), true);
        QCOMPARE(n.getInt("x", -5), -5LL);
        n.setString("x", "not a number");
        QCOMPARE(n.getInt("x", 7), 7LL);
        QCOMPARE(n.getUInt("x", 9), 9ULL);
        n.setInt("neg", -42);
        QCOMPARE(n.getInt("neg", 0), -42LL);
        n.setUInt("big", 0xFFFFFFFFFFFFFFFFULL);
        QCOMPARE(n.getUInt("big", 0), 0xFFFFFFFFFFFFFFFFULL);
        n.setBool("b", false);
        QCOMPARE(n.isBool("b", true), false);
    }

    void childrenAreGotOrCreatedByName()
    {
        XNode root;
        XNode* a = root.getCreateNode("GUI")->getCreateNode("Window");
        QCOMPARE(root.getCreateNode("GUI")->getCreateNode("Window"), a);
        QCOMPARE(root.children().size(), size_t(1));
        QCOMPARE(a->root(), &root);
        QVERIFY(root.getNode("nope") == nullptr);
    }

    void hostileText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quotes") << QStringLiteral("say \"hi\" and 'bye'");
        QTest::newRow("markup") << QStringLiteral("<a href=\"x\">&amp; & < > ]]>");
        QTest::newRow("newlines") << QStringLiteral("line1\nline2\r\nline3\rend\n");
        QTest::newRow("indented") << QStringLiteral("\n    indented\n\ttab  ");
        QTest::newRow("non-ascii") << QStringLiteral("Grüße, Привет, 日本語, 😀");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks") << QStringLiteral("   ");
        QTest::newRow("control") << QStringLiteral("bell\x07nul-free\x1b[0m");
        QTest::newRow("mnemonic") << QStringLiteral("&add");
    }

    void hostileText()
    {
        QFETCH(QString, text);
        for (bool fullTags : {false, true}) {
            XNode::atomicWriteFullEmptyTags = fullTags;
            XNode n;
            XNode* c = n.getCreateNode(QStringLiteral("child <&> \"odd\" name"));
            c->setString("s", text);
            c->setBase64String("b", text);
            c->setStringArray("arr", {text, QString(), text + "x"});
            n.getCreateNode("empty");
            XNode back;
            QString error;
            QVERIFY2(back.fromXml(n.toXml(), &error), qPrintable(error));
            XNode* bc = back.getNode(QStringLiteral("child <&> \"odd\" name"));
            QVERIFY(bc);
            QCOMPARE(bc->getString("s", "absent"), text);
            QCOMPARE(bc->getBase64String("b", "absent"), text);
            QCOMPARE(bc->getStringArray("arr"), QStringList({text, QString(), text + "x"}));
            QVERIFY(back.getNode("empty"));
            if (fullTags)
                QVERIFY(!n.toXml().contains("/>"));
        }
        XNode::atomicWriteFullEmptyTags = false;
    }

    void damagedXmlIsRefusedAndTreeUntouched_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::newRow("truncated") << QByteArray("<?xml version=\"1.0\"?><node name=\"root\"><a key=\"k\" type=\"string\">v");
        QTest::newRow("garbage") << QByteArray("\x00\x01\x02 not xml at all", 18);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("wrong root") << QByteArray("<other/>");
        QTest::newRow("bad type") << QByteArray("<node name=\"r\"><a key=\"k\" type=\"weird\">1</a></node>");
        QTest::newRow("trailing junk") << QByteArray("<node name=\"r\"></node><node name=\"r2\"></node>");
    }

    void damagedXmlIsRefusedAndTreeUntouched()
    {
        QFETCH(QByteArray, xml);
        XNode n;
        n.setString("keep", "me");
        QVERIFY(!n.fromXml(xml));
        QCOMPARE(n.getString("keep"), QStringLiteral("me"));
    }

    void saveAndLoadFile()
    {
        TestDir dir;
        const QString path = dir.abs("config.xml");
        XNode n;
        n.getCreateNode("a")->setInt("n", 12);
        QVERIFY(n.saveXml(path));
        XNode back;
        QVERIFY(back.loadXml(path));
        QCOMPARE(back.getNode("a")->getInt("n", 0), 12LL);
        QVERIFY(!back.loadXml(dir.abs("missing.xml")));
        QVERIFY(!n.saveXml(dir.abs("no/such/dir/x.xml")));
    }

    void loadTellsMissingUnreadableAndDamagedApart()
    {
        TestDir dir;
        const QString fifo = dir.abs("store.fifo");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        XNode node;
        node.setString("kept", "yes");
        QString error;
        // A pipe nobody writes to: reading it would wait for ever.
        QCOMPARE(node.loadXmlFile(fifo, &error), XNode::LoadResult::Unreadable);
        QCOMPARE(error, QStringLiteral("not a regular file"));
        QCOMPARE(node.loadXmlFile(dir.mkdir("folder.xml")), XNode::LoadResult::Unreadable);
        QCOMPARE(node.loadXmlFile(dir.abs("none.xml")), XNode::LoadResult::Missing);
        dir.write("bad.xml", "<node");
        QCOMPARE(node.loadXmlFile(dir.abs("bad.xml")), XNode::LoadResult::Damaged);
        QCOMPARE(node.getString("kept"), QStringLiteral("yes"));
        if (::geteuid() != 0) {
            const QString locked = dir.write("locked.xml", "<node name=\"root\"></node>");
            QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
            QCOMPARE(node.loadXmlFile(locked), XNode::LoadResult::Unreadable);
        }
        QVERIFY(node.saveXml(dir.abs("good.xml")));
        XNode loaded;
        QCOMPARE(loaded.loadXmlFile(dir.abs("good.xml")), XNode::LoadResult::Loaded);
        QCOMPARE(loaded.getString("kept"), QStringLiteral("yes"));
    }

    void copyFromIsDeep()
    {
        XNode a;
        a.getCreateNode("x")->setString("k", "v");
        XNode b;
        b.copyFrom(a);
        a.getNode("x")->setString("k", "changed");
        QCOMPARE(b.getNode("x")->getString("k"), QStringLiteral("v"));
        QCOMPARE(b.getNode("x")->parent(), &b);
    }
};

QTEST_GUILESS_MAIN(TestXNode)
#include "test_xnode.moc"
