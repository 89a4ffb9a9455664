#include "XUtf8Info.h"

#include <QVector>

namespace zemFinder {

namespace {
// Two-letter Unicode general categories, in QChar::Category order.
const char* const kCategory[] = {"Mn", "Mc", "Me", "Nd", "Nl", "No", "Zs", "Zl", "Zp", "Cc", "Cf", "Cs", "Co", "Cn",
                                 "Lu", "Ll", "Lt", "Lm", "Lo", "Pc", "Pd", "Ps", "Pe", "Pi", "Pf", "Po", "Sm", "Sc",
                                 "Sk", "So"};
} // namespace

void XUtf8Info::set_char(const QString& character)
{
    const QVector<uint> codes = character.toUcs4();
    m_valid = codes.size() == 1;
    m_code = m_valid ? codes.first() : 0;
    m_info.clear();
}

bool XUtf8Info::decode()
{
    if (!m_valid)
        return false;
    const int cat = int(QChar::category(m_code));
    const char* name = cat >= 0 && cat < int(sizeof(kCategory) / sizeof(kCategory[0])) ? kCategory[cat] : "??";
    const QByteArray utf8 = QString::fromUcs4(&m_code, 1).toUtf8();
    m_info = QStringLiteral("U+%1 %2  utf8: %3")
                 .arg(QString::number(m_code, 16).toUpper().rightJustified(4, QLatin1Char('0')))
                 .arg(QLatin1String(name))
                 .arg(QString::fromLatin1(utf8.toHex(' ')));
    return true;
}

QString XUtf8Info::toHTML() const
{
    return m_valid ? QStringLiteral("&#%1;").arg(m_code) : QString();
}

} // namespace zemFinder
