// The typed store tree: round trips through the compressed file, damaged files, copies,
// user types created by a supporter.
#include "TestDir.h"
#include "XTree.h"

#include <QElapsedTimer>
#include <QtTest>
#include <sys/stat.h>

using zem::XTree;

namespace {
class Record : public XTree {
};

class RecordSupporter : public zem::XTypeSupporter {
public:
    RecordSupporter() : zem::XTypeSupporter(QStringLiteral("record"))
    {
        types.insert(zem::deMangle(typeid(Record).name()));
    }
    std::unique_ptr<XTree> createTree(const QString& typeName) const override
    {
        return types.contains(typeName) ? std::make_unique<Record>() : nullptr;
    }
};

void fill(XTree& t)
{
    t.setBool("flag", true);
    t.setInt("neg", -123456789012LL);
    t.setUInt("big", 0xFFFFFFFFFFFFFFFFULL);
    t.setString("text", QStringLiteral("quotes \" & < > \n\r\t Привет 日本 😀"));
    t.setString("empty", QString());
    t.setStringList("list", {"a", "", "c,d;e"});
    auto& arr = t.treeArray("records");
    for (int i = 0; i < 3; ++i) {
        auto r = std::make_unique<Record>();
        r->setString("title", QStringLiteral("app %1").arg(i));
        arr.push_back(std::move(r));
    }
    auto sub = std::make_unique<XTree>();
    sub->setInt("depth", 2);
    t.setTree("sub", std::move(sub));
}
} // namespace

class TestXTree : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundTripKeepsKindsAndUserTypes()
    {
        TestDir dir;
        RecordSupporter supporter;
        XTree t;
        fill(t);
        const QString path = dir.abs("store.bin");
        QVERIFY(t.save_as_compressed_file(path, &supporter));
        XTree back;
        QVERIFY(back.load_from_compressed_file(path, &supporter));
        QCOMPARE(back.calc_MD5(), t.calc_MD5());
        QCOMPARE(back.getString("text"), t.getString("text"));
        QCOMPARE(back.getUInt("big", 0), 0xFFFFFFFFFFFFFFFFULL);
        QCOMPARE(back.getInt("neg", 0), -123456789012LL);
        QCOMPARE(back.getStringList("list"), QStringList({"a", "", "c,d;e"}));
        QCOMPARE(back.getTree("sub")->getInt("depth", 0), 2LL);
        const XTree::TreeArray* arr = back.getTreeArray("records");
        QVERIFY(arr);
        QCOMPARE(arr->size(), size_t(3));
        QVERIFY(dynamic_cast<Record*>(arr->at(1).get()));
        QCOMPARE(arr->at(2)->getString("title"), QStringLiteral("app 2"));
        // Without the supporter the records still load, as plain trees.
        XTree plain;
        QVERIFY(plain.load_from_compressed_file(path, nullptr));
        QVERIFY(!dynamic_cast<Record*>(plain.getTreeArray("records")->at(0).get()));
    }

    void wrongKindReadsDefault()
    {
        XTree t;
        t.setString("k", "text");
        QCOMPARE(t.getBool("k", true), true);
        QCOMPARE(t.getInt("k", 4), 4LL);
        QVERIFY(t.getTree("k") == nullptr);
        QVERIFY(t.getTreeArray("k") == nullptr);
        QCOMPARE(t.getString("missing", "dflt"), QStringLiteral("dflt"));
    }

    void damagedFilesAreRefusedAndTreeUntouched_data()
    {
        QTest::addColumn<int>("damage");
        QTest::newRow("truncated") << 0;
        QTest::newRow("flipped byte") << 1;
        QTest::newRow("empty") << 2;
        QTest::newRow("foreign") << 3;
        QTest::newRow("appended") << 4;
    }

    void damagedFilesAreRefusedAndTreeUntouched()
    {
        QFETCH(int, damage);
        TestDir dir;
        XTree t;
        fill(t);
        const QString path = dir.abs("store.bin");
        QVERIFY(t.save_as_compressed_file(path, nullptr));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray bytes = f.readAll();
        f.close();
        switch (damage) {
        case 0: bytes.chop(bytes.size() / 3); break;
        case 1: bytes[bytes.size() - 5] = char(bytes[bytes.size() - 5] ^ 0x5A); break;
        case 2: bytes.clear(); break;
        case 3: bytes = "PK\x03\x04 this is a zip, not a store"; break;
        case 4: bytes += "more"; break;
        }
        dir.write("store.bin", bytes);
        XTree back;
        back.setString("keep", "me");
        QVERIFY(!back.load_from_compressed_file(path, nullptr));
        QCOMPARE(back.getString("keep"), QStringLiteral("me"));
        QVERIFY(!back.load_from_compressed_file(dir.abs("missing.bin"), nullptr));
    }

    void pipeOrFolderInPlaceIsRefusedWithoutWaiting()
    {
        TestDir dir;
        const QString fifo = dir.abs("store.fifo");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        XTree t;
        t.setString("keep", "me");
        QElapsedTimer took;
        took.start();
        QVERIFY(!t.load_from_compressed_file(fifo, nullptr));
        QVERIFY(!t.load_from_compressed_file(dir.mkdir("folder.bin"), nullptr));
        QVERIFY(took.elapsed() < 10000);
        QCOMPARE(t.getString("keep"), QStringLiteral("me"));
        // A good file still loads through the same road.
        QVERIFY(t.save_as_compressed_file(dir.abs("good.bin"), nullptr));
        XTree back;
        QVERIFY(back.load_from_compressed_file(dir.abs("good.bin"), nullptr));
        QCOMPARE(back.getString("keep"), QStringLiteral("me"));
    }

    void copyIsDeepAndMd5FollowsContent()
    {
        RecordSupporter supporter;
        XTree t;
        fill(t);
        auto copy = t.create_copy(&supporter);
        QCOMPARE(copy->calc_MD5(), t.calc_MD5());
        copy->treeArray("records").at(0)->setString("title", "changed");
        QVERIFY(copy->calc_MD5() != t.calc_MD5());
        QCOMPARE(t.getTreeArray("records")->at(0)->getString("title"), QStringLiteral("app 0"));
        QVERIFY(dynamic_cast<Record*>(copy->getTreeArray("records")->at(0).get()));
    }
};

QTEST_GUILESS_MAIN(TestXTree)
#include "test_xtree.moc"
