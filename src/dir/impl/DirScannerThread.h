#pragma once
// The "Deep Info" job of PreviewDirSimple: counts a folder recursively on the engine's pool and
// leaves an HTML page of the totals (partial ones when cancelled). The owner shows the page from
// the finished listener, on the GUI thread.
#include "PDirInfo.h"
#include "XThread.h"

#include <QMutex>
#include <QString>

namespace zemFinder {

class DirScannerThread : public zem::XLightweightThread {
public:
    void runCustom() override;

    // The folder last opened by the preview; set on the GUI thread while no scan runs.
    QString path;
    PDirInfo info;

    QString html() const;

    // The opening of every page of the directory previews (doctype, html, body in the theme's colours).
    static QString pageStart();
    // "<table>" rows of label and value cells.
    static QString pairTable(const QList<QPair<QString, QString>>& pairs);

private:
    mutable QMutex m_lock;
    QString m_html;
};

} // namespace zemFinder
