// The desktop entry, the icon and the programs that cmake --install puts where desktop menus find them.
#include "TestDir.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QtTest>

class TestDesktopEntry : public QObject {
    Q_OBJECT
private:
    QString m_entry;
    QString m_icon;

private Q_SLOTS:
    void initTestCase()
    {
        m_entry = QStringLiteral(ZEM_TEST_SOURCE_DIR "/res/desktop/zemfinder.desktop");
        m_icon = QStringLiteral(ZEM_TEST_SOURCE_DIR "/res/desktop/zemfinder.svg");
        QVERIFY(QFileInfo::exists(m_entry));
        QVERIFY(QFileInfo::exists(m_icon));
    }

    void entryNamesTheProgram()
    {
        QFile file(m_entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        QCOMPARE(lines.first(), QStringLiteral("[Desktop Entry]"));
        QHash<QString, QString> entry;
        for (const QString& line : lines) {
            const int eq = line.indexOf(QLatin1Char('='));
            if (eq > 0)
                entry.insert(line.left(eq), line.mid(eq + 1));
        }
        QCOMPARE(entry.value("Type"), QStringLiteral("Application"));
        QCOMPARE(entry.value("Name"), QStringLiteral("Zem Finder"));
        QCOMPARE(entry.value("GenericName"), QStringLiteral("File Finder"));
        QCOMPARE(entry.value("Exec"), QStringLiteral("zemfinder --file %f"));
        QCOMPARE(entry.value("Icon"), QStringLiteral("zemfinder"));
        const QStringList categories = entry.value("Categories").split(QLatin1Char(';'), Qt::SkipEmptyParts);
        QVERIFY(categories.contains(QStringLiteral("Utility")));
        QVERIFY(categories.contains(QStringLiteral("FileTools")));
    }

    void iconIsAScalableImage()
    {
        QSvgRenderer svg(m_icon);
        QVERIFY(svg.isValid());
        QCOMPARE(svg.defaultSize(), QSize(64, 64));
    }

    void validatorAcceptsTheEntry()
    {
        const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validator.isEmpty())
            QSKIP("desktop-file-validate is not installed");
        QProcess p;
        p.start(validator, {m_entry});
        QVERIFY(p.waitForFinished(10000));
        const QByteArray out = p.readAllStandardOutput() + p.readAllStandardError();
        QVERIFY2(p.exitCode() == 0 && out.trimmed().isEmpty(), out.constData());
    }

    // Runs the install step of this build into a temporary prefix.
    void installPutsProgramsEntryAndIcon()
    {
        const QString cmake = QStandardPaths::findExecutable(QStringLiteral("cmake"));
        if (cmake.isEmpty())
            QSKIP("cmake is not on the path");
        if (!QFileInfo::exists(QStringLiteral(ZEM_TEST_BINARY_DIR "/zemfinder")))
            QSKIP("the program is not built in this build folder");
        TestDir prefix;
        QProcess p;
        p.start(cmake, {QStringLiteral("--install"), QStringLiteral(ZEM_TEST_BINARY_DIR), QStringLiteral("--prefix"),
                        prefix.path()});
        QVERIFY(p.waitForFinished(120000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        const QFileInfo program(prefix.abs("bin/zemfinder"));
        QVERIFY(program.isFile() && program.isExecutable());
        const QFileInfo fullProgram(prefix.abs("bin/zemfinder-gui"));
        QVERIFY(fullProgram.isFile() && fullProgram.isExecutable());
        // The installed launcher hands a command it does not run itself to the installed full
        // program: only that one knows "app" and lists it.
        QProcess launcher;
        launcher.start(program.filePath(), {QStringLiteral("no.such.command")});
        QVERIFY(launcher.waitForFinished(60000));
        const QString refusal = QString::fromUtf8(launcher.readAllStandardError());
        QCOMPARE(launcher.exitCode(), 2);
        QVERIFY2(refusal.contains(QStringLiteral("Unknown command 'no.such.command'. Commands:")), qPrintable(refusal));
        QVERIFY2(refusal.contains(QStringLiteral(" app")), qPrintable(refusal));
        QVERIFY(QFileInfo(prefix.abs("share/applications/zemfinder.desktop")).isFile());
        QVERIFY(QFileInfo(prefix.abs("share/icons/hicolor/scalable/apps/zemfinder.svg")).isFile());
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    TestDesktopEntry test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_desktop_entry.moc"
