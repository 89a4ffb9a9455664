#include "FileResult.h"

namespace zemFinder {

QString FileResult::toString() const
{
    if (!layer)
        return QStringLiteral("not-valid");
    return QString::number(qulonglong(layer.size()));
}

} // namespace zemFinder
