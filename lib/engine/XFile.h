#pragma once
// File helpers: names for new temporary files.
#include <QString>

namespace zem {

class XFile {
public:
    // A path in folder (the system's temporary folder when empty) that does not exist yet, with a
    // random name of length characters; with suffixTxt it ends in ".txt".
    static QString createTmpFileName(int length, bool suffixTxt, const QString& folder = QString());
};

} // namespace zem
