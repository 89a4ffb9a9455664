// The preview container and its context: which preview a file gets, which previews are offered
// for cycling (extension without preview, no extension, PNG), Shift and Control while selecting,
// cycling past previews that fail, set_preview, and the "Copy to search" property.
#include "KernelGUI.h"
#include "Logger.h"
#include "TestDir.h"
#include "dir/AbstractPreviewDir.h"
#include "dir/ContextPreviews.h"
#include "dir/XContainerPreviews.h"
#include "preview/PreviewAscii.h"
#include "preview/PreviewHex.h"
#include "XLang.h"

#include <QSvgRenderer>
#include <sys/stat.h>
#include "preview/PreviewImage.h"
#include "preview/PreviewXml.h"
#include "preview/viewText/XTextView.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QTreeView>
#include <QtTest>

using zemFinder::ContextPreviews;
using zemFinder::XContainerPreviews;

namespace {
// A preview that never opens anything; counts the attempts.
class FailingPreview : public zem::Preview {
public:
    explicit FailingPreview(const QString& type, QWidget* parent = nullptr) : zem::Preview(parent), m_type(type)
    {
        set_file_extensions({QStringLiteral("zzz")});
    }
    bool open_file(const QFileInfo& fi) override
    {
        m_fileInfo = fi;
        ++attempts;
        return false;
    }
    QString type() const override { return m_type; }
    int attempts = 0;

private:
    QString m_type;
};

QSet<QString> types(const std::vector<zem::Preview*>& previews)
{
    QSet<QString> set;
    for (zem::Preview* p : previews)
        set.insert(p->type());
    return set;
}

QByteArray binaryBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 512; ++i)
        bytes.append(char(i % 7 == 0 ? 0 : i & 0xff));
    return bytes;
}
} // namespace

class TestPreviewsContainer : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;
    Qt::KeyboardModifiers m_mods = Qt::NoModifier;
    QStringList m_drags;

    struct Setup {
        QTreeView source;
        XContainerPreviews container;
        ContextPreviews context{QStringLiteral("CONTEXT-TEST")};
        Setup()
        {
            container.addStandardPreviews();
            context.ini(&source, &container);
        }
        zem::Preview* shown() const { return container.previewByWidget(container.currentWidget()); }
    };

private Q_SLOTS:
    void initTestCase()
    {
        ContextPreviews::modifiersProvider = [this] { return m_mods; };
        ContextPreviews::dragStarter = [this](QWidget*, const QFileInfo& fi) { m_drags << fi.fileName(); };
        m_dir.write("notes.ses", "plain text\n");
        m_dir.write("blob.ses", binaryBytes());
        m_dir.write("README", "no extension here\n");
        m_dir.write("blob", binaryBytes());
        m_dir.write("data.bin", binaryBytes());
        m_dir.write("doc.xml", "<?xml version=\"1.0\"?><root><a x=\"1\">t</a></root>\n");
        m_dir.write("a.txt", "hello\n");
        m_dir.write("a.zzz", binaryBytes());
        m_dir.mkdir("folder/sub");
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(m_dir.abs("pic.png"), "PNG"));
    }

    void init()
    {
        m_mods = Qt::NoModifier;
        m_drags.clear();
    }

    void hexEmptyImageForEveryLanguageAndTheme()
    {
        QVERIFY(zem::XLang::load(QStringLiteral(":/zf/lang/lang.xml")));
        const QStringList codes = zem::XLang::languages();
        QVERIFY(codes.contains(QStringLiteral("en")));
        for (const QString& code : codes) {
            for (const QString& dir : {QStringLiteral(":/zf/image/"), QStringLiteral(":/zf/image/dark/")}) {
                QSvgRenderer image(dir + QStringLiteral("zf-") + code + QStringLiteral(".svg"));
                QVERIFY2(image.isValid(), qPrintable(dir + code));
            }
        }
    }

    void standardPreviewsAndExtensionTable()
    {
        Setup s;
        QCOMPARE(int(s.container.allPreviews().size()), 4);
        QVERIFY(qobject_cast<zem::PreviewHex*>(s.container.defaultPreview()));
        QVERIFY(qobject_cast<zem::PreviewXml*>(s.container.previewByExtension("xml")));
        // Declared by both XML and text: the first registered (XML) wins.
        QVERIFY(qobject_cast<zem::PreviewXml*>(s.container.previewByExtension("ts")));
        QVERIFY(qobject_cast<zem::PreviewAscii*>(s.container.previewByExtension("TXT")));
        QVERIFY(qobject_cast<zem::PreviewImage*>(s.container.previewByExtension("png")));
        QVERIFY(!s.container.previewByExtension(QString()));
        QVERIFY(!s.container.previewByExtension("nothing-declares-this"));
        QCOMPARE(s.container.asciiPreview(), s.container.previewByExtension("txt"));

        zem::Logger::startCapture();
        s.container.addStandardPreviews();
        const QStringList log = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        QCOMPARE(int(s.container.allPreviews().size()), 4);
        QVERIFY(log.filter("XContainerPreviews::addStandardPreviews, already called").size() == 1);
        QVERIFY(!s.container.previewByWidget(nullptr));
    }

    void extensionWithoutPreview()
    {
        Setup s;
        s.context.select_file(QFileInfo(m_dir.abs("notes.ses")));
        QVERIFY(qobject_cast<zem::PreviewAscii*>(s.shown()));
        QCOMPARE(ContextPreviews::currentPreview(), s.shown());
        QCOMPARE(types(s.context.candidates()), (QSet<QString>{"PreviewHex", "PreviewAscii"}));

        s.context.select_file(QFileInfo(m_dir.abs("blob.ses")));
        QVERIFY(qobject_cast<zem::PreviewHex*>(s.shown()));
        QCOMPARE(types(s.context.candidates()), (QSet<QString>{"PreviewHex", "PreviewAscii"}));
    }

    void noExtension()
    {
        Setup s;
        s.context.select_file(QFileInfo(m_dir.abs("README")));
        QVERIFY(qobject_cast<zem::PreviewAscii*>(s.shown()));
        QCOMPARE(types(s.context.candidates()), (QSet<QString>{"PreviewHex", "PreviewAscii"}));
        s.context.select_file(QFileInfo(m_dir.abs("blob")));
        QVERIFY(qobject_cast<zem::PreviewHex*>(s.shown()));
        QCOMPARE(types(s.context.candidates()), (QSet<QString>{"PreviewHex", "PreviewAscii"}));
    }

    void pngCandidates()
    {
        Setup s;
        s.context.select_file(QFileInfo(m_dir.abs("pic.png")));
        QVERIFY(qobject_cast<zem::PreviewImage*>(s.shown()));
        QCOMPARE(types(s.context.candidates()), (QSet<QString>{"PreviewImage", "PreviewHex"}));
        QVERIFY(s.context.index() >= 0);
    }

    void xmlCandidatesAndCycling()
    {
        Setup s;
        s.context.select_file(QFileInfo(m_dir.abs("doc.xml")));
        QVERIFY(qobject_cast<zem::PreviewXml*>(s.shown()));
        QCOMPARE(types(s.context.candidates()), (QSet<QString>{"PreviewHex", "PreviewXml", "PreviewAscii"}));
        // Every candidate opens this file: three steps walk all of them and come back.
        QSet<QString> seen{s.shown()->type()};
        for (int i = 0; i < 3; ++i) {
            s.context.cycle_previews();
            seen.insert(s.shown()->type());
        }
        QCOMPARE(seen, (QSet<QString>{"PreviewHex", "PreviewXml", "PreviewAscii"}));
        QVERIFY(qobject_cast<zem::PreviewXml*>(s.shown()));
        // Cycling does not change the preview chosen by the selection.
        QVERIFY(qobject_cast<zem::PreviewXml*>(ContextPreviews::currentPreview()));
    }

    void shiftOpensText()
    {
        Setup s;
        m_mods = Qt::ShiftModifier;
        s.context.select_file(QFileInfo(m_dir.abs("data.bin")));
        QVERIFY(qobject_cast<zem::PreviewAscii*>(s.shown()));
        s.context.select_file(QFileInfo(m_dir.abs("doc.xml")));
        QVERIFY(qobject_cast<zem::PreviewAscii*>(s.shown()));
        // Shift does not turn an image into text.
        s.context.select_file(QFileInfo(m_dir.abs("pic.png")));
        QVERIFY(qobject_cast<zem::PreviewImage*>(s.shown()));
    }

    void controlStartsDrag()
    {
        Setup s;
        s.context.select_file(QFileInfo(m_dir.abs("a.txt")));
        zem::Preview* before = s.shown();
        const auto candidates = s.context.candidates();
        m_mods = Qt::ControlModifier;
        s.context.select_file(QFileInfo(m_dir.abs("data.bin")));
        QCOMPARE(m_drags, QStringList{"data.bin"});
        QCOMPARE(s.shown(), before);
        QCOMPARE(s.context.file().fileName(), QString("a.txt"));
        QCOMPARE(s.context.candidates(), candidates);
    }

    void cyclingSkipsFailingPreviews()
    {
        Setup s;
        auto* failing = new FailingPreview("Failing");
        s.container.addPreview(failing, true, true);
        s.context.select_file(QFileInfo(m_dir.abs("a.zzz")));
        // Chosen by extension even though it cannot open the file; the result is ignored there.
        QCOMPARE(s.shown(), failing);
        QCOMPARE(failing->attempts, 1);
        s.context.cycle_previews();
        QVERIFY(s.shown() != failing);
        QVERIFY(s.shown()->file_info().fileName() == "a.zzz");
    }

    void cyclingStopsWhenAllFail()
    {
        QTreeView source;
        XContainerPreviews container;
        ContextPreviews context(QStringLiteral("CONTEXT-FAIL"));
        context.ini(&source, &container);
        auto* one = new FailingPreview("One");
        auto* two = new FailingPreview("Two");
        container.addPreview(one, true, true);
        container.addPreview(two, true, true);
        context.select_file(QFileInfo(m_dir.abs("a.zzz")));
        QCOMPARE(one->attempts + two->attempts, 1);
        zem::Logger::startCapture();
        context.cycle_previews();
        const QStringList log = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        // Each candidate tried once, then the cycle gives up.
        QCOMPARE(one->attempts + two->attempts, 3);
        QCOMPARE(log.filter("ContextPreviews::cycle_previews - PROBLEMS LOADING file").size(), 2);
        context.set_preview("One");
        QCOMPARE(one->attempts + two->attempts, 6);
    }

    void cyclingWithoutCandidatesOrSelection()
    {
        QTreeView source;
        XContainerPreviews container;
        ContextPreviews context(QStringLiteral("CONTEXT-EMPTY"));
        context.ini(&source, &container);
        context.cycle_previews(); // nothing selected yet
        QCOMPARE(context.index(), -1);
        context.select_file(QFileInfo(m_dir.abs("a.txt"))); // no previews at all
        context.cycle_previews();
        QVERIFY(context.candidates().empty());
    }

    void setPreviewByType()
    {
        Setup s;
        s.context.select_file(QFileInfo(m_dir.abs("a.txt")));
        const int index = s.context.index();
        zem::Preview* current = ContextPreviews::currentPreview();
        s.context.set_preview("PreviewHex");
        QVERIFY(qobject_cast<zem::PreviewHex*>(s.shown()));
        QCOMPARE(s.context.index(), index);
        QCOMPARE(ContextPreviews::currentPreview(), current);

        zem::Logger::startCapture();
        s.context.set_preview("NoSuchPreview");
        const QStringList log = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        QVERIFY(qobject_cast<zem::PreviewHex*>(s.shown()));
        QCOMPARE(log.filter("ContextPreviews").size(), 1);
        QVERIFY(log.first().contains("ContextPreviews::set_preview, name 'NoSuchPreview'"));
    }

    void directoryGoesToDirectoryPreview()
    {
        Setup s;
        s.context.select_file(QFileInfo(m_dir.abs("a.txt")));
        s.context.select_file(QFileInfo(m_dir.abs("folder")));
        QVERIFY(s.container.existingPreviewDirectory());
        QCOMPARE(s.container.currentWidget(), s.container.existingPreviewDirectory()->widget_preview());
        QVERIFY(s.context.candidates().empty());
        zem::Logger::startCapture();
        s.context.cycle_previews();
        s.context.set_preview("PreviewHex");
        const QStringList log = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        QCOMPARE(s.container.currentWidget(), s.container.existingPreviewDirectory()->widget_preview());
        QCOMPARE(log.filter("::cycle_previews, [").size(), 1);
        QCOMPARE(log.filter("::set_preview, [").size(), 1);
    }

    // A FIFO waits for a writer when opened for reading: selecting one must not hang the
    // window, whatever its name promises.
    void fifoDoesNotHang()
    {
        for (const QString& name : {QStringLiteral("pipe.txt"), QStringLiteral("pipe.png"), QStringLiteral("pipe.xml"),
                                   QStringLiteral("pipe")}) {
            const QString path = m_dir.abs(name);
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            Setup s;
            s.context.select_file(QFileInfo(path));
            s.context.cycle_previews();
            s.context.set_preview("PreviewHex");
            s.context.set_preview("PreviewAscii");
            QVERIFY(QFile::remove(path));
        }
    }

    void vanishedFileIsReported()
    {
        Setup s;
        const QString path = m_dir.write("gone.txt", "soon gone\n");
        s.context.select_file(QFileInfo(path));
        zem::Preview* shown = s.shown();
        QVERIFY(QFile::remove(path));
        zem::Logger::startCapture();
        s.context.cycle_previews();
        const QStringList log = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        QCOMPARE(s.shown(), shown);
        QCOMPARE(log.filter("404").size(), 1);
    }

    void copyToSearchFiresOnChange()
    {
        Setup s;
        QStringList fired;
        s.container.copyToSearch.changed.add([&fired](const QString& text) { fired << text; });
        s.container.copyToSearch = QStringLiteral("needle");
        s.container.copyToSearch = QStringLiteral("needle");
        s.container.copyToSearch = QStringLiteral("other");
        QCOMPARE(fired, (QStringList{"needle", "other"}));
    }

    // Opens the text view's context menu with length characters selected; returns -1 when it has
    // no "Copy to search", else whether that is enabled (and triggers it when asked).
    int copyToSearchMenu(Setup& s, int length, bool trigger)
    {
        zem::viewText::XTextView* view = s.container.asciiPreview()->get_XTextView();
        view->setSelection(0, length);
        bool enabled = false;
        bool found = false;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction* action : menu->actions())
                if (action->data().toInt() == XContainerPreviews::kActionCopyToSearch) {
                    found = true;
                    enabled = action->isEnabled();
                    if (trigger && enabled)
                        action->trigger();
                }
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20), view->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(view->viewport(), &event);
        return found ? int(enabled) : -1;
    }

    void copyToSearchMenuEntry()
    {
        Setup s;
        s.container.resize(600, 400);
        s.container.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.container));
        s.context.select_file(QFileInfo(m_dir.write("long.txt", QByteArray(200, 'q') + "\n")));
        QStringList fired;
        s.container.copyToSearch.changed.add([&fired](const QString& text) { fired << text; });
        QCOMPARE(copyToSearchMenu(s, 89, true), 0);
        QCOMPARE(copyToSearchMenu(s, 88, true), 1);
        QCOMPARE(copyToSearchMenu(s, 88, true), 1);
        QCOMPARE(copyToSearchMenu(s, 1, true), 1);
        QCOMPARE(fired, (QStringList{QString(88, 'q'), QString("q")}));
    }

    void currentPreviewForgottenWithItsContainer()
    {
        {
            Setup s;
            s.context.select_file(QFileInfo(m_dir.abs("a.txt")));
            QVERIFY(ContextPreviews::currentPreviewOrNull());
        }
        QVERIFY(!ContextPreviews::currentPreviewOrNull());
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestPreviewsContainer test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_previews_container.moc"
