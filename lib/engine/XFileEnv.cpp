#include "XFileEnv.h"

#include "XEnv.h"

namespace zem {

QStringList fileInfo_env_names()
{
    return {QStringLiteral("G_PATH"), QStringLiteral("G_NAME"), QStringLiteral("G_DIR"), QStringLiteral("G_BASE_NAME"),
            QStringLiteral("G_SUFFIX")};
}

void fileInfo_to_env(const QFileInfo& file)
{
    const bool none = file.filePath().isEmpty();
    setEnv(QStringLiteral("G_PATH"), none ? QString() : file.absoluteFilePath());
    setEnv(QStringLiteral("G_NAME"), file.fileName());
    setEnv(QStringLiteral("G_DIR"), none ? QString() : file.absolutePath());
    setEnv(QStringLiteral("G_BASE_NAME"), file.completeBaseName());
    setEnv(QStringLiteral("G_SUFFIX"), file.suffix());
}

} // namespace zem
