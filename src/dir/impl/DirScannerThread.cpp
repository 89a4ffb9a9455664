#include "DirScannerThread.h"

#include "Logger.h"
#include "XLang.h"
#include "XTheme.h"

#include <QColor>
#include <QDateTime>
#include <QFileInfo>

namespace zemFinder {

QString DirScannerThread::pageStart()
{
    QString page = QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\n<html>\n");
    const QColor background = zem::XTheme::color(zem::XTheme::PageBackground);
    page += zem::xprintF(QStringLiteral("<body style=\"background-color:$;color:$;\">\n"), background.name(),
                         zem::XTheme::textOn(background).name());
    return page;
}

QString DirScannerThread::pairTable(const QList<QPair<QString, QString>>& pairs)
{
    QString table = QStringLiteral("<table>");
    for (const auto& pair : pairs)
        table += QStringLiteral("<tr><td style=\"padding-right:20px;padding-left:20px;\">") + pair.first +
                 QStringLiteral("</td><td>") + pair.second + QStringLiteral("</td></tr>");
    table += QStringLiteral("</table>");
    return table;
}

void DirScannerThread::runCustom()
{
    const QString dir = path;
    const QDateTime modified = QFileInfo(dir).lastModified();
    QString page = pageStart();
    info.scan_dir(dir, true);
    page += zem::xprintF(QStringLiteral("<h2>$ \"$\"</h2>"), zem::xt("Directory"), dir.toHtmlEscaped());
    // Unlike the listing, the totals take in hidden entries; the page says so.
    page += QStringLiteral("<h3>") + zem::xt("Total (recursive)") + QStringLiteral(", ") +
            zem::xt("hidden entries included") + QStringLiteral("<br/>");
    page += pairTable({{zem::xt("Date+Time"), modified.toString(QStringLiteral("yyyy/MM/dd - hh:mm"))},
                       {zem::xt("Subdirectories"), zem::format1000(info.dirs)},
                       {zem::xt("Files"), zem::format1000(info.files)},
                       {zem::xt("Text Files"), zem::format1000(info.textFiles)},
                       {zem::xt("Text Bytes"), zem::formatBytes(quint64(info.textBytes.load()))}});
    page += QStringLiteral("</h3></body>\n</html>\n");
    {
        QMutexLocker locker(&m_lock);
        m_html = page;
    }
    zem::Logger::log(QStringLiteral("PreviewDirSimple::DirScannerThread::~runCustom"), zem::LOG_PROGRESS);
}

QString DirScannerThread::html() const
{
    QMutexLocker locker(&m_lock);
    return m_html;
}

} // namespace zemFinder
