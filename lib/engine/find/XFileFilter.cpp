#include "XFileFilter.h"

#include <QChar>
#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QTime>
#include <algorithm>
#include <limits>
#include <string_view>

namespace zem {

namespace {

inline char32_t fold(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return char32_t(QChar::toCaseFolded(uint(c)));
}

bool isWildcard(char32_t c) { return c == '*' || c == '?' || c == '['; }

// Names are short (255 bytes on common file systems); longer ones fall back to the heap.
constexpr std::size_t kStackName = 512;

struct FoldedName {
    char32_t stack[kStackName];
    std::u32string heap;
    const char32_t* data = stack;
    std::size_t length = 0;

    char32_t* reserve(std::size_t n)
    {
        if (n <= kStackName)
            return stack;
        heap.resize(n);
        data = heap.data();
        return heap.data();
    }
};

void foldUtf16(QStringView name, FoldedName& out)
{
    char32_t* dst = out.reserve(std::size_t(name.size()));
    std::size_t n = 0;
    const QChar* s = name.data();
    const qsizetype len = name.size();
    for (qsizetype i = 0; i < len; ++i) {
        char32_t c = s[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < len && s[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), s[++i].unicode());
        dst[n++] = fold(c);
    }
    out.data = dst;
    out.length = n;
}

// Invalid UTF-8 bytes become U+FFFD each, so a damaged name can still match "*".
void foldUtf8(const char* name, std::size_t len, FoldedName& out)
{
    char32_t* dst = out.reserve(len);
    std::size_t n = 0;
    const auto* s = reinterpret_cast<const unsigned char*>(name);
    for (std::size_t i = 0; i < len;) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            dst[n++] = (b >= 'A' && b <= 'Z') ? char32_t(b + 32) : char32_t(b);
            ++i;
            continue;
        }
        int extra = 0;
        char32_t c = 0;
        if ((b & 0xE0) == 0xC0 && b >= 0xC2) {
            extra = 1;
            c = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            c = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0 && b <= 0xF4) {
            extra = 3;
            c = b & 0x07;
        } else {
            dst[n++] = 0xFFFD;
            ++i;
            continue;
        }
        bool good = true;
        for (int k = 1; k <= extra; ++k) {
            if (i + std::size_t(k) >= len || (s[i + std::size_t(k)] & 0xC0) != 0x80) {
                good = false;
                break;
            }
            c = (c << 6) | (s[i + std::size_t(k)] & 0x3F);
        }
        if (!good) {
            dst[n++] = 0xFFFD;
            ++i;
            continue;
        }
        dst[n++] = fold(c);
        i += std::size_t(extra) + 1;
    }
    out.data = dst;
    out.length = n;
}

std::vector<XFileFilter::Glob> compileList(const QString& text)
{
    std::vector<XFileFilter::Glob> globs;
    const QStringList parts = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QString p = part.trimmed();
        if (!p.isEmpty())
            globs.push_back(XFileFilter::Glob::compile(p));
    }
    return globs;
}

qint64 localDayStart(const QDate& date)
{
    return QDateTime(date, QTime(0, 0), Qt::LocalTime).toMSecsSinceEpoch();
}

QDate localDate(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime).date();
}

} // namespace

// ---- Glob ----------------------------------------------------------------------------------

XFileFilter::Glob XFileFilter::Glob::compile(QStringView pattern)
{
    FoldedName folded;
    foldUtf16(pattern, folded);
    const char32_t* p = folded.data;
    const std::size_t n = folded.length;

    Glob g;
    bool anyWildcard = false;
    for (std::size_t i = 0; i < n; ++i)
        anyWildcard = anyWildcard || isWildcard(p[i]);
    if (!anyWildcard)
        g.tokens.push_back(Token{Token::STAR});

    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = p[i];
        if (c == '*') {
            if (g.tokens.empty() || g.tokens.back().kind != Token::STAR)
                g.tokens.push_back(Token{Token::STAR});
            continue;
        }
        if (c == '?') {
            g.tokens.push_back(Token{Token::ANY});
            continue;
        }
        if (c == '[') {
            // Find the closing bracket; a ']' right after '[' or '[!' is a member.
            std::size_t j = i + 1;
            bool negated = false;
            if (j < n && (p[j] == '!' || p[j] == '^')) {
                negated = true;
                ++j;
            }
            const std::size_t first = j;
            if (j < n && p[j] == ']')
                ++j;
            while (j < n && p[j] != ']')
                ++j;
            if (j < n) {
                std::vector<std::pair<char32_t, char32_t>> ranges;
                for (std::size_t k = first; k < j; ++k) {
                    if (k + 2 < j && p[k + 1] == '-') {
                        char32_t lo = p[k], hi = p[k + 2];
                        if (lo > hi)
                            std::swap(lo, hi);
                        ranges.emplace_back(lo, hi);
                        k += 2;
                    } else {
                        ranges.emplace_back(p[k], p[k]);
                    }
                }
                Token t{Token::CLASS};
                t.negated = negated;
                t.classIndex = int(g.classes.size());
                g.classes.push_back(std::move(ranges));
                g.tokens.push_back(t);
                i = j;
                continue;
            }
            // No closing bracket: a plain '['.
        }
        Token t{Token::LITERAL};
        t.ch = c;
        g.tokens.push_back(t);
    }
    if (!anyWildcard)
        g.tokens.push_back(Token{Token::STAR});

    // Literals with stars only at the ends.
    const std::size_t count = g.tokens.size();
    const bool lead = count > 0 && g.tokens.front().kind == Token::STAR;
    const bool trail = count > 1 && g.tokens.back().kind == Token::STAR;
    bool plain = true;
    for (std::size_t i = (lead ? 1 : 0); i < count - (trail ? 1 : 0); ++i) {
        if (g.tokens[i].kind != Token::LITERAL) {
            plain = false;
            break;
        }
        g.literal += g.tokens[i].ch;
    }
    // Without stars at either end the general matcher is as fast.
    if (plain && (lead || trail))
        g.shape = lead ? (trail ? CONTAINS : SUFFIX) : PREFIX;
    return g;
}

bool XFileFilter::Glob::match(const char32_t* name, std::size_t length) const
{
    const std::u32string_view n(name, length);
    switch (shape) {
    case PREFIX:
        return n.substr(0, literal.size()) == literal;
    case SUFFIX:
        return n.size() >= literal.size() && n.substr(n.size() - literal.size()) == literal;
    case CONTAINS:
        return n.find(literal) != std::u32string_view::npos;
    case GENERAL:
        break;
    }
    const std::size_t count = tokens.size();
    auto one = [&](const Token& t, char32_t c) {
        switch (t.kind) {
        case Token::LITERAL:
            return t.ch == c;
        case Token::ANY:
            return true;
        case Token::CLASS: {
            bool in = false;
            for (const auto& r : classes[std::size_t(t.classIndex)]) {
                if (c >= r.first && c <= r.second) {
                    in = true;
                    break;
                }
            }
            return in != t.negated;
        }
        case Token::STAR:
            break;
        }
        return false;
    };
    // Greedy scan that backtracks to the last star only: enough for '*' without path rules,
    // and linear in practice.
    const std::size_t none = std::numeric_limits<std::size_t>::max();
    std::size_t p = 0, i = 0, starP = none, starI = 0;
    while (i < length) {
        if (p < count && tokens[p].kind == Token::STAR) {
            starP = ++p;
            starI = i;
            continue;
        }
        if (p < count && one(tokens[p], name[i])) {
            ++p;
            ++i;
            continue;
        }
        if (starP != none) {
            p = starP;
            i = ++starI;
            continue;
        }
        return false;
    }
    while (p < count && tokens[p].kind == Token::STAR)
        ++p;
    return p == count;
}

// ---- XFileFilter ---------------------------------------------------------------------------

XFileFilter::XFileFilter() = default;

void XFileFilter::setPattern(const QString& text, bool notPattern)
{
    const QString t = text.trimmed();
    if (notPattern) {
        m_excludeText = t;
        m_exclude = compileList(t);
    } else {
        m_includeText = t;
        m_include = compileList(t);
    }
}

void XFileFilter::setTime(quint32 area, qint64 msBound1, qint64 msBound2)
{
    m_timeArea = area;
    m_time1 = msBound1;
    m_time2 = msBound2;
    constexpr qint64 lowest = std::numeric_limits<qint64>::min();
    constexpr qint64 highest = std::numeric_limits<qint64>::max();
    const QDate d1 = localDate(msBound1);
    switch (area) {
    case LE:
        m_timeFrom = lowest;
        m_timeTo = localDayStart(d1.addDays(1));
        break;
    case EQ:
        m_timeFrom = localDayStart(d1);
        m_timeTo = localDayStart(d1.addDays(1));
        break;
    case GE:
        m_timeFrom = localDayStart(d1);
        m_timeTo = highest;
        break;
    case BETWEEN: {
        QDate a = d1, b = localDate(msBound2);
        if (b < a)
            std::swap(a, b);
        m_timeFrom = localDayStart(a);
        m_timeTo = localDayStart(b.addDays(1));
        break;
    }
    case YEAR:
        m_timeFrom = localDayStart(QDate(d1.year(), 1, 1));
        m_timeTo = localDayStart(QDate(d1.year() + 1, 1, 1));
        break;
    default:
        m_timeArea = NONE;
        m_timeFrom = lowest;
        m_timeTo = highest;
        break;
    }
}

void XFileFilter::setSize(quint32 area, quint64 bound1, quint64 bound2)
{
    m_sizeArea = (area == LE || area == EQ || area == GE || area == BETWEEN) ? area : quint32(NONE);
    m_size1 = bound1;
    m_size2 = bound2;
}

void XFileFilter::setTextExtensions(const QStringList& extensions)
{
    m_extensions.clear();
    for (QString e : extensions) {
        e = e.trimmed();
        if (e.startsWith(QLatin1String("*.")))
            e.remove(0, 2);
        else if (e.startsWith(QLatin1Char('.')))
            e.remove(0, 1);
        if (e.isEmpty())
            continue;
        FoldedName f;
        foldUtf16(e, f);
        m_extensions.emplace_back(f.data, f.length);
    }
    std::sort(m_extensions.begin(), m_extensions.end());
    m_extensions.erase(std::unique(m_extensions.begin(), m_extensions.end()), m_extensions.end());
}

void XFileFilter::setTextExtensions(const QSet<QString>& extensions)
{
    setTextExtensions(QStringList(extensions.begin(), extensions.end()));
}

QStringList XFileFilter::textExtensions() const
{
    QStringList list;
    for (const std::u32string& e : m_extensions)
        list << QString::fromUcs4(e.data(), int(e.size()));
    return list;
}

quint32 XFileFilter::needs() const
{
    quint32 n = NEED_NOTHING;
    if (!m_include.empty() || !m_exclude.empty() || !m_extensions.empty())
        n |= NEED_NAME;
    if (m_sizeArea != NONE)
        n |= NEED_SIZE;
    if (m_timeArea != NONE)
        n |= NEED_MTIME;
    return n;
}

bool XFileFilter::matchExtensionFolded(const char32_t* name, std::size_t length) const
{
    if (m_extensions.empty())
        return true;
    std::size_t dot = length;
    while (dot > 0 && name[dot - 1] != '.')
        --dot;
    if (dot == 0)
        return false;  // no dot, no extension
    const std::u32string_view suffix(name + dot, length - dot);
    const auto it = std::lower_bound(m_extensions.begin(), m_extensions.end(), suffix,
                                     [](const std::u32string& a, std::u32string_view b) { return std::u32string_view(a) < b; });
    return it != m_extensions.end() && std::u32string_view(*it) == suffix;
}

bool XFileFilter::matchFolded(const char32_t* name, std::size_t length) const
{
    if (!m_include.empty()) {
        bool any = false;
        for (const Glob& g : m_include) {
            if (g.match(name, length)) {
                any = true;
                break;
            }
        }
        if (!any)
            return false;
    }
    for (const Glob& g : m_exclude) {
        if (g.match(name, length))
            return false;
    }
    return matchExtensionFolded(name, length);
}

bool XFileFilter::matchName(QStringView name) const
{
    if (m_include.empty() && m_exclude.empty() && m_extensions.empty())
        return true;
    FoldedName f;
    foldUtf16(name, f);
    return matchFolded(f.data, f.length);
}

bool XFileFilter::matchNameUtf8(const char* name, std::size_t length) const
{
    if (m_include.empty() && m_exclude.empty() && m_extensions.empty())
        return true;
    FoldedName f;
    foldUtf8(name, length, f);
    return matchFolded(f.data, f.length);
}

bool XFileFilter::matchSize(quint64 size) const
{
    switch (m_sizeArea) {
    case LE:
        return size <= m_size1;
    case EQ:
        return size == m_size1;
    case GE:
        return size >= m_size1;
    case BETWEEN:
        return size >= std::min(m_size1, m_size2) && size <= std::max(m_size1, m_size2);
    default:
        return true;
    }
}

bool XFileFilter::matchTime(qint64 msSinceEpoch) const
{
    return m_timeArea == NONE || (msSinceEpoch >= m_timeFrom && msSinceEpoch < m_timeTo);
}

bool XFileFilter::matchValues(QStringView name, quint64 size, qint64 mtimeMs) const
{
    return matchSize(size) && matchTime(mtimeMs) && matchName(name);
}

bool XFileFilter::matches(const QFileInfo& info) const
{
    if (m_sizeArea != NONE && !matchSize(quint64(std::max<qint64>(0, info.size()))))
        return false;
    if (m_timeArea != NONE && !matchTime(info.lastModified().toMSecsSinceEpoch()))
        return false;
    return matchName(info.fileName());
}

QString XFileFilter::toString() const
{
    static const char* const areaText[] = {"", "<=", "=", "between", ">=", "year"};
    QStringList parts;
    if (has_Pattern())
        parts << QStringLiteral("pattern:%1").arg(m_includeText);
    if (has_not_Pattern())
        parts << QStringLiteral("not:%1").arg(m_excludeText);
    if (m_timeArea != NONE && m_timeArea <= YEAR) {
        const QString d1 = localDate(m_time1).toString(Qt::ISODate);
        QString t = QStringLiteral("time %1 %2").arg(QLatin1String(areaText[m_timeArea]), d1);
        if (m_timeArea == BETWEEN)
            t += QStringLiteral(" and ") + localDate(m_time2).toString(Qt::ISODate);
        parts << t;
    }
    if (m_sizeArea != NONE && m_sizeArea <= YEAR) {
        QString t = QStringLiteral("size %1 %2").arg(QLatin1String(areaText[m_sizeArea])).arg(m_size1);
        if (m_sizeArea == BETWEEN)
            t += QStringLiteral(" and %1").arg(m_size2);
        parts << t;
    }
    if (!m_extensions.empty())
        parts << QStringLiteral("ext:%1").arg(textExtensions().join(QLatin1Char(',')));
    return parts.join(QLatin1Char(' '));
}

} // namespace zem
