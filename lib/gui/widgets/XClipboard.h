#pragma once
// The system clipboard (and, where the desktop has one, the mouse selection).
#include <QString>

namespace zem {

class XClipboard {
public:
    static void setText(const QString& text);
    static QString text();
};

} // namespace zem
