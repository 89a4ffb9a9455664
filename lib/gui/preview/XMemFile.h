#pragma once
// A file's bytes held in memory, for previews of data that is not (or not yet) on disk.
#include <QByteArray>
#include <QString>

namespace zem {

struct XMemFile {
    QString name;      // shown as the file name; its extension may choose a preview
    QByteArray bytes;
};

} // namespace zem
