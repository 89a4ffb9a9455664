#pragma once
// Parses a size typed by the user: "123" bytes, "1.5 kb", "2MB", "3 gb" (1024-based).
#include <QString>
#include <QtGlobal>

namespace zem {

// A plain whole number is bytes; a number (decimals with '.' or ',') followed by kb, mb or gb
// (any case, an optional blank between) is scaled by 1024, 1024^2 or 1024^3. Anything else
// sets *ok to false and returns 0, so callers never take a typo for "0 bytes".
quint64 get_bytes_number(const QString& text, bool* ok = nullptr);

} // namespace zem
