#pragma once
// One file with content hits: the marks of the search in it and the file. A plain value, made by
// a content-search worker and moved to the GUI thread; the result model, the results panel, the
// context menus and the text preview take it by constant reference.
#include "find/XRamLayer.h"

#include <QFileInfo>
#include <QString>

namespace zemFinder {

struct FileResult {
    FileResult() = default;
    FileResult(zem::find::XRamLayer marks, const QFileInfo& file) : layer(std::move(marks)), fileInfo(file) {}

    // True when the file holds at least one mark.
    explicit operator bool() const { return bool(layer); }
    std::size_t countHits() const { return layer.size(); }

    // The text form for tables: the number of marks, or "not-valid" when there are none.
    QString toString() const;

    zem::find::XRamLayer layer;
    QFileInfo fileInfo;
};

} // namespace zemFinder
