#pragma once
// The standard and the dark look of the whole application, and the icon path that follows it.
#include <QString>

namespace zem {

class XTheme {
public:
    static void apply(bool dark);
    static bool isDark();
    // ":/zf/icons/" + ("dark/" while dark) + fileName.
    static QString iconPath(const QString& fileName);
};

} // namespace zem
