#include "XEnv.h"

#include <QFileInfo>
#include <QtGlobal>

namespace zem {

QString getEnv(const QString& name)
{
    return qEnvironmentVariable(name.toLocal8Bit().constData());
}

bool setEnv(const QString& name, const QString& value)
{
    return qputenv(name.toLocal8Bit().constData(), value.toLocal8Bit());
}

bool hasEnv(const QString& name)
{
    return qEnvironmentVariableIsSet(name.toLocal8Bit().constData());
}

QString replaceEnv(const QString& text)
{
    QString out;
    out.reserve(text.size());
    int pos = 0;
    while (pos < text.size()) {
        const int start = text.indexOf(QLatin1String("$("), pos);
        const int end = start < 0 ? -1 : text.indexOf(QLatin1Char(')'), start + 2);
        if (start < 0 || end < 0) {
            out += text.midRef(pos);
            break;
        }
        out += text.midRef(pos, start - pos);
        out += getEnv(text.mid(start + 2, end - start - 2));
        pos = end + 1;
    }
    return out;
}

QString get_exe_path(bool withFileName)
{
    // Linux keeps the running executable's path here, whatever the current directory is.
    const QFileInfo exe(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
    return withFileName ? exe.absoluteFilePath() : exe.absolutePath();
}

} // namespace zem
