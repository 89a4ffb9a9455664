// The preview container inside a real main window: a tree selection shows a C++ file, a UTF-8
// text with Cyrillic and CJK, a PNG, an XML file, a binary and a folder each in its preview; the
// cycle key walks the candidates; F5 refreshes; Ctrl over the tree forces the hex view; the
// status bar names the file. With ZEM_SCREENSHOT_DIR set, every step is saved as a PNG there.
#include "KernelGUI.h"
#include "TestDir.h"
#include "XNode.h"
#include "dir/AbstractPreviewDir.h"
#include "dir/ContextPreviews.h"
#include "dir/LimitedPreviewContainer.h"
#include "dir/PreviewDir.h"
#include "dir/XContainerPreviews.h"
#include "dir/impl/private_PreviewDir.h"
#include "gui/WinDetails.h"
#include "gui/WinFinder.h"
#include "gui/panPreview/PanPreview.h"
#include "gui/config/ConfigZemFinder.h"
#include "preview/Preview.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XTreeViewFiles.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>
#include <QtTest>

using zemFinder::ContextPreviews;
using zemFinder::WinFinder;
using zemFinder::WinFinderConfig;

class TestPreviewsWindow : public QObject {
    Q_OBJECT

private:
    zem::XNode m_node{QStringLiteral("Window")};
    TestDir m_dir;
    WinFinder* m_win = nullptr;

    QString shownType() const
    {
        zemFinder::XContainerPreviews* c = m_win->containerPreviews();
        zem::Preview* p = c->previewByWidget(c->currentWidget());
        return p ? p->type() : QString();
    }

    void select(const QString& relative)
    {
        QVERIFY(m_win->treeView()->selectFile(m_dir.abs(relative), true));
        QTRY_COMPARE_WITH_TIMEOUT(m_win->currentFile().absoluteFilePath(), QFileInfo(m_dir.abs(relative)).absoluteFilePath(),
                                  20000);
        QCoreApplication::processEvents();
    }

    void shot(const QString& name)
    {
        const QString dir = qEnvironmentVariable("ZEM_SCREENSHOT_DIR");
        if (dir.isEmpty())
            return;
        QTest::qWait(50); // let pending paints land
        m_win->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        WinFinderConfig::get().flagUseStartFolder = false;
        WinFinderConfig::get().flagStatusBar = true;
        m_dir.write("w/main.cpp", "#include <cstdio>\n\n// entry point\nint main()\n{\n    std::puts(\"hello\");\n"
                                  "    return 0;\n}\n");
        m_dir.write("w/unicode.txt", QString::fromUtf8("Latin: hello\nКириллица: Привет, мир\n"
                                                       "中文: 你好，世界\n日本語: こんにちは\n")
                                         .toUtf8());
        m_dir.write("w/config.xml", "<?xml version=\"1.0\"?>\n<config version=\"2\">\n  <entry key=\"a\">one</entry>\n"
                                    "  <entry key=\"b\">two</entry>\n</config>\n");
        QByteArray bin;
        for (int i = 0; i < 4096; ++i)
            bin.append(char((i * 37) & 0xff));
        m_dir.write("w/data.bin", bin);
        QImage image(160, 100, QImage::Format_RGB32);
        image.fill(QColor("#3a7bd5"));
        QPainter painter(&image);
        painter.fillRect(20, 20, 60, 60, Qt::yellow);
        painter.end();
        QVERIFY(image.save(m_dir.abs("w/picture.png"), "PNG"));
        m_dir.mkdir("w/folder/sub1");
        m_dir.mkdir("w/folder/sub2");
        m_dir.write("w/folder/a.txt", "a\n");
        m_dir.write("w/folder/b.cpp", "int b;\n");
        m_dir.write("w/folder/c.bin", QByteArray(3000, '\1'));

        m_win = WinFinder::create_window(&m_node, QString());
        m_win->resize(1200, 700);
        m_win->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_win));
        QCOMPARE(m_win->containerPreviews()->objectName(), QString("container_preview"));
        QCOMPARE(m_win->contextMain()->name(), QString("CONTEXT-MAIN"));
        // Main, results panel, directory listing: the order the focus-based operations search.
        QCOMPARE(int(m_win->preview_contexts().size()), 3);
        QCOMPARE(m_win->preview_contexts().front(), m_win->contextMain());
        QCOMPARE(m_win->preview_contexts().back(), m_win->previewDirectory()->context());
    }

    void eachFileInItsPreview_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("type");
        QTest::newRow("cpp") << "w/main.cpp" << "PreviewAscii";
        QTest::newRow("unicode") << "w/unicode.txt" << "PreviewAscii";
        QTest::newRow("png") << "w/picture.png" << "PreviewImage";
        QTest::newRow("xml") << "w/config.xml" << "PreviewXml";
        QTest::newRow("binary") << "w/data.bin" << "PreviewHex";
        QTest::newRow("folder") << "w/folder" << "PreviewDir";
    }

    void eachFileInItsPreview()
    {
        QFETCH(QString, file);
        QFETCH(QString, type);
        select(file);
        QCOMPARE(shownType(), type);
        QCOMPARE(ContextPreviews::currentPreview()->type(), type);
        QVERIFY(m_win->statusLabel()->text().contains(QFileInfo(m_dir.abs(file)).fileName()));
        shot(QStringLiteral("preview-") + QString::fromLatin1(QTest::currentDataTag()));
    }

    void cycleKeyWalksCandidates()
    {
        select("w/config.xml");
        QStringList seen{shownType()};
        for (int i = 0; i < 3; ++i) {
            m_win->key_cycle_previews(m_win->treeView());
            seen << shownType();
            shot(QStringLiteral("cycle-%1").arg(i));
        }
        QCOMPARE(seen.first(), QString("PreviewXml"));
        QCOMPARE(seen.last(), QString("PreviewXml"));
        QCOMPARE(QSet<QString>(seen.begin(), seen.end()), (QSet<QString>{"PreviewXml", "PreviewHex", "PreviewAscii"}));

        // From inside the shown preview the key works too.
        m_win->key_cycle_previews(m_win->containerPreviews()->currentWidget());
        QVERIFY(shownType() != "PreviewXml");
        m_win->select_preview(m_win->treeView(), "PreviewXml");
        QCOMPARE(shownType(), QString("PreviewXml"));
    }

    void refreshReadsTheFileAgain()
    {
        select("w/main.cpp");
        zem::Preview* shown = ContextPreviews::currentPreview();
        m_dir.write("w/main.cpp", "// changed\n");
        m_win->on_refresh();
        QCOMPARE(ContextPreviews::currentPreview(), shown);
        QCOMPARE(shown->file_info().size(), qint64(11));
    }

    void forcedViewShowsHexOrText()
    {
        select("w/main.cpp");
        m_win->force_view(QFileInfo(m_dir.abs("w/main.cpp")), false);
        QCOMPARE(shownType(), QString("PreviewHex"));
        m_win->force_view(QFileInfo(m_dir.abs("w/data.bin")), true);
        QCOMPARE(shownType(), QString("PreviewAscii"));
    }

    void folderTableAndSmallPreview()
    {
        select("w/folder");
        auto* dir = qobject_cast<zemFinder::PreviewDir*>(m_win->previewDirectory());
        QVERIFY(dir);
        QTableWidget* table = dir->impl()->table;
        QCOMPARE(table->rowCount(), 5);
        table->setFocus();
        table->selectRow(int(dir->impl()->entries.indexOf(QFileInfo(m_dir.abs("w/folder/b.cpp")))));
        shot(QStringLiteral("folder-file-selected"));
        zem::Preview* small = dir->impl()->container->previewByWidget(dir->impl()->container->currentWidget());
        QVERIFY(small);
        QCOMPARE(small->type(), QString("PreviewAscii"));
        // The cycle key in the listing cycles the small container.
        m_win->key_cycle_previews(table);
        small = dir->impl()->container->previewByWidget(dir->impl()->container->currentWidget());
        QVERIFY(small->type() != "PreviewAscii");
    }

    void standAloneWindowOnDoubleClick()
    {
        select("w/folder");
        auto* dir = qobject_cast<zemFinder::PreviewDir*>(m_win->previewDirectory());
        const int row = int(dir->impl()->entries.indexOf(QFileInfo(m_dir.abs("w/folder/b.cpp"))));
        Q_EMIT dir->impl()->table->cellDoubleClicked(row, 0);
        zemFinder::WinDetails* alone = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* a = qobject_cast<zemFinder::WinDetails*>(w); a && a->isVisible())
                alone = a;
        QVERIFY(alone);
        QCOMPARE(alone->currentFile().fileName(), QString("b.cpp"));
        QVERIFY(alone->current_tab());
        QCOMPARE(alone->current_tab()->preview()->type(), QString("PreviewAscii"));
        shot(QStringLiteral("stand-alone"));
        QPointer<zemFinder::WinDetails> guard(alone);
        alone->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!guard);
    }

    void hiddenSwitchReachesTheTable()
    {
        m_dir.write("w/folder/.secret", "s");
        select("w/folder");
        auto* dir = qobject_cast<zemFinder::PreviewDir*>(m_win->previewDirectory());
        QCOMPARE(dir->impl()->table->rowCount(), 5);
        m_win->set_filter_flags(m_win->filter_flags() | WinFinder::FLAG_HIDDEN);
        QCOMPARE(dir->impl()->table->rowCount(), 6);
        m_win->set_filter_flags(m_win->filter_flags() & ~WinFinder::FLAG_HIDDEN);
        QCOMPARE(dir->impl()->table->rowCount(), 5);
    }

    void cleanupTestCase()
    {
        m_win->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(m_node.getNode("Previews"));
        QVERIFY(m_node.getNode("Previews")->getNode("PreviewDir"));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestPreviewsWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_previews_container_window.moc"
