#pragma once
// Environment variables and the executable's location.
#include <QString>

namespace zem {

QString getEnv(const QString& name);           // empty when unset
bool setEnv(const QString& name, const QString& value);
bool hasEnv(const QString& name);
// Expands every "$(NAME)" with the variable's value (empty when unset); other text stays.
QString replaceEnv(const QString& text);
// The executable's directory, or with withFileName its full path.
QString get_exe_path(bool withFileName);

} // namespace zem
