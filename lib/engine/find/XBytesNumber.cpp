#include "XBytesNumber.h"

#include <cmath>

namespace zem {

quint64 get_bytes_number(const QString& text, bool* ok)
{
    if (ok)
        *ok = false;
    const QString s = text.trimmed();
    int i = 0;
    const int n = s.size();

    // Whole part, then an optional fraction.
    quint64 whole = 0;
    int wholeDigits = 0;
    while (i < n && s[i] >= QLatin1Char('0') && s[i] <= QLatin1Char('9')) {
        const quint64 digit = quint64(s[i].unicode() - '0');
        if (whole > (~quint64(0) - digit) / 10)
            return 0;  // does not fit
        whole = whole * 10 + digit;
        ++wholeDigits;
        ++i;
    }
    double fraction = 0.0;
    int fractionDigits = 0;
    bool hasPoint = false;
    if (i < n && (s[i] == QLatin1Char('.') || s[i] == QLatin1Char(','))) {
        hasPoint = true;
        ++i;
        double scale = 0.1;
        while (i < n && s[i] >= QLatin1Char('0') && s[i] <= QLatin1Char('9')) {
            fraction += scale * (s[i].unicode() - '0');
            scale /= 10;
            ++fractionDigits;
            ++i;
        }
    }
    if (wholeDigits + fractionDigits == 0)
        return 0;

    while (i < n && s[i] == QLatin1Char(' '))
        ++i;
    const QString unit = s.mid(i).toLower();
    int shift = 0;
    if (unit.isEmpty()) {
        // A plain number is bytes: a fraction of a byte is a typo, not a size.
        if (hasPoint)
            return 0;
        if (ok)
            *ok = true;
        return whole;
    }
    if (unit == QLatin1String("kb"))
        shift = 10;
    else if (unit == QLatin1String("mb"))
        shift = 20;
    else if (unit == QLatin1String("gb"))
        shift = 30;
    else
        return 0;

    if (whole > (~quint64(0) >> shift) - 1)
        return 0;
    const quint64 scaled = (whole << shift) + quint64(std::llround(fraction * double(quint64(1) << shift)));
    if (ok)
        *ok = true;
    return scaled;
}

} // namespace zem
