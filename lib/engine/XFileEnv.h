#pragma once
// The process environment variables that describe a file for the programs the user starts on it:
// G_PATH (absolute path), G_NAME (file name), G_DIR (the folder that holds it), G_BASE_NAME (name
// without the last suffix), G_SUFFIX (the last suffix). Set on the GUI thread just before a start.
#include <QFileInfo>
#include <QStringList>

namespace zem {

void fileInfo_to_env(const QFileInfo& file);
// The names of the variables fileInfo_to_env sets.
QStringList fileInfo_env_names();

} // namespace zem
