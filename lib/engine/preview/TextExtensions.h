#pragma once
// The file extensions (without dot, lower case) that the text preview shows by default.
#include <QString>
#include <QStringList>

namespace zem {

QStringList default_text_file_extensions();
// The same, joined with ",".
QString default_text_file_extensions_as_string();

} // namespace zem
