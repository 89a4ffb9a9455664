#include "XStrings.h"

#include <QMutex>
#include <QMutexLocker>
#include <random>

namespace zem {

QString get_string_number(const QString& name, int digits)
{
    int start = name.size();
    while (start > 0 && name[start - 1].isDigit() && name[start - 1].unicode() < 128)
        --start;
    const QString tail = name.mid(start);
    // Very long digit runs are no counter of ours: start a new one.
    if (tail.isEmpty() || tail.size() > 9)
        return name + QStringLiteral("_") + QStringLiteral("%1").arg(1, digits, 10, QLatin1Char('0'));
    const qlonglong next = tail.toLongLong() + 1;
    return name.left(start) + QStringLiteral("%1").arg(next, qMax(digits, tail.size()), 10, QLatin1Char('0'));
}

QString random_name(int length)
{
    static QMutex lock;
    static std::mt19937 generator{std::random_device{}()};
    static const char chars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<int> pick(0, int(sizeof(chars)) - 2);
    QMutexLocker locker(&lock);
    QString out;
    for (int i = 0; i < length; ++i)
        out += QLatin1Char(chars[pick(generator)]);
    return out;
}

} // namespace zem
