// The desktop openers: the default program and the file manager get the file (or its folder) as a
// URL, failures and missing files are told in a warning, and the terminal entry exists only when
// a terminal program does.
#include "KernelGUI.h"
#include "TestDir.h"
#include "XNode.h"
#include "gui/WinFinder.h"
#include "gui/WinTray.h"
#include "gui/apps/DesktopOpeners.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XBox.h"
#include "widgets/XMenu.h"

#include <QDesktopServices>
#include <QtTest>

using zemFinder::DesktopOpeners;

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};

class TestAppsOpeners : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;
    UrlCatcher m_catcher;
    QStringList m_warnings;
    zem::XNode m_node{QStringLiteral("Window")};

private Q_SLOTS:
    void initTestCase()
    {
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        zemFinder::WinFinderConfig::get().flagUseStartFolder = false;
        zem::XBox::testHook = [this](zem::XBox::Kind kind, const QString&, const QString& text) {
            if (kind == zem::XBox::Kind::Warn)
                m_warnings << text;
            return 0;
        };
    }

    void init()
    {
        m_catcher.urls.clear();
        m_warnings.clear();
        QDesktopServices::setUrlHandler("file", &m_catcher, "open");
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler("file");
        zem::XBox::testHook = nullptr;
        zemFinder::WinTray::destroy();
    }

    void defaultProgramGetsTheFile()
    {
        const QString file = m_dir.write("a b; 'c'.txt", "x");
        QVERIFY(DesktopOpeners::open_with_default_program(QFileInfo(file), nullptr));
        QCOMPARE(m_catcher.urls, QList<QUrl>({QUrl::fromLocalFile(file)}));
        QVERIFY(m_warnings.isEmpty());
    }

    void fileManagerWithoutBusOpensTheFolder()
    {
        const QString dir = m_dir.mkdir("sub dir");
        const QString file = m_dir.write("sub dir/f.txt", "x");
        QVERIFY(DesktopOpeners::show_in_file_manager(QFileInfo(file), nullptr));
        QVERIFY(DesktopOpeners::show_in_file_manager(QFileInfo(dir), nullptr));
        QCOMPARE(m_catcher.urls, QList<QUrl>({QUrl::fromLocalFile(dir), QUrl::fromLocalFile(dir)}));
    }

    void missingFilesAndFailuresAreTold()
    {
        QVERIFY(!DesktopOpeners::open_with_default_program(QFileInfo(m_dir.abs("gone.txt")), nullptr));
        QVERIFY(!DesktopOpeners::show_in_file_manager(QFileInfo(m_dir.abs("gone.txt")), nullptr));
        QCOMPARE(m_warnings.size(), 2);
        QVERIFY(m_warnings[0].contains("gone.txt"));
        QVERIFY(m_catcher.urls.isEmpty());
        // Without a handler the headless platform cannot open anything.
        QDesktopServices::unsetUrlHandler("file");
        QVERIFY(!DesktopOpeners::open_with_default_program(QFileInfo(m_dir.write("x.txt", "x")), nullptr));
        QCOMPARE(m_warnings.size(), 3);
    }

    void terminalEntryOnlyWithATerminal()
    {
        const QByteArray path = qgetenv("PATH");
        const QString bin = m_dir.mkdir("bin");
        qputenv("PATH", QFile::encodeName(bin));
        qunsetenv("TERMINAL");
        QVERIFY(!DesktopOpeners::has_terminal());
        zemFinder::WinFinder* win = zemFinder::WinFinder::create_window(&m_node, m_dir.path());
        zem::XMenu menu;
        win->add_desktop_openers(&menu, QFileInfo(m_dir.path()));
        QCOMPARE(menu.actions().size(), 2);
        QVERIFY(!DesktopOpeners::open_terminal_here(QFileInfo(m_dir.path()), nullptr));
        QCOMPARE(m_warnings.size(), 1);

        const QString term = m_dir.write("bin/myterm", "#!/bin/sh\nexit 0\n");
        QFile::setPermissions(term, QFile::ReadOwner | QFile::ExeOwner);
        qputenv("TERMINAL", "myterm --flag");
        QVERIFY(DesktopOpeners::has_terminal());
        zem::XMenu again;
        win->add_desktop_openers(&again, QFileInfo(m_dir.path()));
        QCOMPARE(again.actions().size(), 3);
        QCOMPARE(again.actions().last()->text(), QStringLiteral("Terminal"));
        QVERIFY(DesktopOpeners::open_terminal_here(QFileInfo(m_dir.path()), nullptr));
        qputenv("PATH", path);
        win->close();
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestAppsOpeners test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_apps_openers.moc"
