#include "XTools.h"

#include "KernelGUI.h"
#include "Logger.h"
#include "XLang.h"
#include "XNode.h"
#include "XThread.h"
#include "widgets/XMainWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QScreen>
#include <QTranslator>
#include <QStandardPaths>
#include <QWidget>

namespace zem {

namespace {
QString g_langPath = QStringLiteral(":/zf/lang/lang.xml");

// Qt's own texts (the standard menus of text fields, the file dialog, button boxes) follow the
// program's language through the translations Qt ships; English needs none.
void installQtTranslation(const QString& code)
{
    static QPointer<QTranslator> installed;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    if (code.isEmpty() || code == QLatin1String("en"))
        return;
    auto* translator = new QTranslator(app);
    const QString folder = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_") + code, folder)) {
        Logger::log(xprintF(QStringLiteral("XTools::set_lang, no Qt translation '$' in <<<$>>>"), code, folder),
                    LOG_DETAIL);
        delete translator;
        return;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
}

QString ensureDir(const QString& dir)
{
    QDir().mkpath(dir);
    return dir;
}
} // namespace

QString XTools::get_absolute_config_dir()
{
    return ensureDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                     + QStringLiteral("/zemfinder"));
}

QString XTools::get_absolute_config_file_path(const QString& fileName)
{
    return get_absolute_config_dir() + QLatin1Char('/') + fileName;
}

QString XTools::get_create_cache_dir()
{
    return ensureDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
                     + QStringLiteral("/zemfinder"));
}

bool XTools::empty_out_cache_dir()
{
    const QString dir = get_create_cache_dir();
    const QString logFile = QFileInfo(Logger::logFile()).absoluteFilePath();
    bool ok = true;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        if (entry.absoluteFilePath() == logFile)
            continue;
        ok = (entry.isDir() && !entry.isSymLink() ? QDir(entry.absoluteFilePath()).removeRecursively()
                                                  : QFile::remove(entry.absoluteFilePath()))
             && ok;
    }
    return ok;
}

void XTools::set_lang_path(const QString& path)
{
    g_langPath = path;
}

QString XTools::lang_path()
{
    return g_langPath;
}

QString XTools::user_lang_file_path()
{
    return get_absolute_config_file_path(QStringLiteral("lang.xml"));
}

bool XTools::lang_ini(bool load)
{
    if (!load)
        return true;
    return XLang::loadUserThenBuiltIn(user_lang_file_path(), g_langPath);
}

void XTools::set_lang(const QString& code)
{
    XLang::setLanguage(code);
    installQtTranslation(code);
}

QString XTools::get_lang()
{
    return XLang::language();
}

void XTools::run_in_gui_thread(std::function<void()> fn, int delayMs)
{
    qt::run_in_Gui_Thread(std::move(fn), delayMs);
}

bool XTools::isDebug()
{
#ifdef QT_DEBUG
    return true;
#else
    return false;
#endif
}

void XTools::centerOnScreen(QWidget* window, int width, int height)
{
    if (!window)
        return;
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, width, height);
    const int w = qMin(width, area.width());
    const int h = qMin(height, area.height());
    window->resize(w, h);
    window->move(area.x() + (area.width() - w) / 2, area.y() + (area.height() - h) / 2);
}

void XTools::centerOnWindow(QWidget* window, QWidget* origin)
{
    if (!window)
        return;
    QWidget* host = origin ? origin->window() : nullptr;
    if (!host || host == window) {
        centerOnScreen(window, window->width(), window->height());
        return;
    }
    QRect rect(QPoint(0, 0), window->size());
    rect.moveCenter(host->geometry().center());
    const QRect fitted = XMainWindow::fit_to_screens(
        rect, XMainWindow::screenAreasProvider ? XMainWindow::screenAreasProvider() : QList<QRect>());
    window->move(fitted.topLeft());
}

QString ZemEngine::get_lang()
{
    KernelGUI* kernel = KernelGUI::kernelGui();
    if (!kernel)
        return QStringLiteral("en");
    return kernel->getNodeRoot()->getString(QStringLiteral("lang"), QStringLiteral("en"));
}

void ZemEngine::set_lang(const QString& code)
{
    if (KernelGUI* kernel = KernelGUI::kernelGui())
        kernel->getNodeRoot()->setString(QStringLiteral("lang"), code);
}

} // namespace zem
