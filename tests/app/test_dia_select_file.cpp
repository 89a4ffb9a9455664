// The file dialog with preview: cancel answers empty even after entries were pointed at, the
// preview follows the kind of entry (folder, text by extension, anything else in hex), a second
// setup only logs, and OK keeps the folder and the splitter in the node. The modal loop is
// replaced by the dialog's exec hook, which drives the file dialog as a user would.
#include "KernelGUI.h"
#include "Logger.h"
#include "TestDir.h"
#include "XNode.h"
#include "dialogs/DiaSelectFile.h"
#include "dialogs/XFileDialogHelper.h"
#include "dir/AbstractPreviewDir.h"
#include "dir/XContainerPreviews.h"
#include "preview/Preview.h"

#include <QApplication>
#include <QtTest>

using zemFinder::DiaSelectFile;

namespace {
bool logged(const QString& text)
{
    for (const QString& line : zem::Logger::capturedLines())
        if (line.contains(text))
            return true;
    return false;
}

QWidget* shownPreview(const DiaSelectFile& dia)
{
    return dia.container()->currentWidget();
}
} // namespace

class TestDiaSelectFile : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        zem::Logger::setStderrEnabled(false);
        m_dir.write("docs/notes.txt", "some text\n");
        m_dir.write("docs/blob.zzq", QByteArray(64, '\1'));
        m_dir.mkdir("docs/inner");
    }

    void cleanup() { zem::XDialog::execHook = nullptr; }

    void cancelAnswersEmptyAfterPointing()
    {
        const QString file = m_dir.abs("docs/notes.txt");
        bool ran = false;
        zem::XDialog::execHook = [&](zem::XDialog& d) {
            auto& dia = static_cast<DiaSelectFile&>(d);
            dia.fileDialog()->currentChangedListener.fire(file);
            ran = DiaSelectFile::rememberedPath() == file;
            dia.fileDialog()->reject();
            return dia.result();
        };
        QCOMPARE(DiaSelectFile::getSelectedFile(nullptr, QStringLiteral("*.txt")), QString());
        QVERIFY(ran);
    }

    void previewFollowsTheEntry()
    {
        DiaSelectFile dia;
        dia.setup(nullptr);
        zemFinder::XContainerPreviews* container = dia.container();

        dia.on_current_changed(m_dir.abs("docs/inner"));
        QCOMPARE(shownPreview(dia), container->previewDirectory()->widget_preview());
        QCOMPARE(dia.windowTitle(), m_dir.abs("docs/inner"));

        dia.on_current_changed(m_dir.abs("docs/notes.txt"));
        zem::Preview* text = container->previewByExtension(QStringLiteral("txt"));
        QVERIFY(text);
        QVERIFY(text != container->defaultPreview());
        QCOMPARE(shownPreview(dia), text->widget_preview());
        QCOMPARE(text->file_info().absoluteFilePath(), m_dir.abs("docs/notes.txt"));

        dia.on_current_changed(m_dir.abs("docs/blob.zzq"));
        QCOMPARE(shownPreview(dia), container->defaultPreview()->widget_preview());
        QCOMPARE(DiaSelectFile::rememberedPath(), m_dir.abs("docs/blob.zzq"));

        // An empty path (the dialog between two entries) changes nothing.
        dia.on_current_changed(QString());
        QCOMPARE(DiaSelectFile::rememberedPath(), m_dir.abs("docs/blob.zzq"));
    }

    void entrySelectedByNameIsPreviewed()
    {
        zem::XNode node(QStringLiteral("byName"));
        node.setString(QStringLiteral("path"), m_dir.abs("docs"));
        DiaSelectFile dia;
        dia.setup(&node);
        // What typing a name in the dialog's name field does: the entry is selected, not made current.
        dia.fileDialog()->selectFile(m_dir.abs("docs/notes.txt"));
        QTRY_COMPARE_WITH_TIMEOUT(DiaSelectFile::rememberedPath(), m_dir.abs("docs/notes.txt"), 20000);
        QCOMPARE(shownPreview(dia), dia.container()->previewByExtension(QStringLiteral("txt"))->widget_preview());
    }

    void secondSetupOnlyLogs()
    {
        DiaSelectFile dia;
        dia.setup(nullptr);
        zemFinder::XContainerPreviews* container = dia.container();
        zem::Logger::startCapture();
        dia.setup(nullptr);
        const bool said = logged("XFileDialogMultiPreview::setup, already setup!");
        zem::Logger::stopCapture();
        QVERIFY(said);
        QCOMPARE(dia.container(), container);

        zem::Logger::startCapture();
        dia.addPreview(nullptr);
        const bool reported = logged("preview == NULL");
        zem::Logger::stopCapture();
        QVERIFY(reported);
    }

    void acceptedKeepsFolderAndSplitter()
    {
        zem::XNode node(QStringLiteral("selFile"));
        const QString file = m_dir.abs("docs/notes.txt");
        QString startedIn;
        zem::XDialog::execHook = [&](zem::XDialog& d) {
            auto& dia = static_cast<DiaSelectFile&>(d);
            startedIn = dia.fileDialog()->directory().absolutePath();
            dia.fileDialog()->currentChangedListener.fire(file);
            dia.fileDialog()->done(QDialog::Accepted);
            return dia.result();
        };
        QCOMPARE(DiaSelectFile::getSelectedFile(&node, QStringList{QStringLiteral("*.txt"), QStringLiteral("*")}), file);
        QCOMPARE(node.getString("path"), m_dir.abs("docs"));
        QVERIFY(!node.getString("splitter").isEmpty());

        // The next dialog on the node starts in that folder.
        QCOMPARE(DiaSelectFile::getSelectedFile(&node, QString()), file);
        QCOMPARE(startedIn, m_dir.abs("docs"));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestDiaSelectFile test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_dia_select_file.moc"
