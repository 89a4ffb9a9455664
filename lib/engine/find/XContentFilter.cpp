#include "XContentFilter.h"

#include "Logger.h"
#include "XLineReaderDA.h"
#include "XLiteralSearcher.h"
#include "XRegexCode.h"
#include "XRegexMatcher.h"
#include "XScopeUnits.h"
#include "XUtf16Text.h"

#include <algorithm>
#include <cstring>

namespace zem::find {

namespace {
// Skipped lines named in the log per file; more are only counted.
constexpr quint64 kLoggedSkips = 10;
} // namespace

// One term of a simple expression. ASCII terms go through the SIMD searcher; other terms, and
// ASCII terms with 'k' or 's' in files holding KELVIN SIGN or LONG S, through PCRE2's caseless
// literal matching.
struct XContentFilter::Term {
    QString text;
    QByteArray utf8;
    XLiteralSearcher searcher;                   // empty for non-ASCII terms
    std::shared_ptr<const XRegexCode> unicode;  // caseless literal, null when not needed
    bool aliasSensitive = false;
    bool mayCrossParagraph = false;
    bool mayCrossSentence = false;

    bool mayCross(quint32 scope) const
    {
        return scope == SCOPE_PARAGRAPH ? mayCrossParagraph : scope == SCOPE_SENTENCE ? mayCrossSentence : false;
    }
};

namespace {

QStringList splitTerms(const QString& text)
{
    QStringList terms;
    const int n = text.size();
    int i = 0;
    while (i < n) {
        while (i < n && text[i].isSpace())
            ++i;
        if (i >= n)
            break;
        QString term;
        if (text[i] == QLatin1Char('"')) {
            int j = text.indexOf(QLatin1Char('"'), i + 1);
            if (j < 0)
                j = n;  // an open quote runs to the end
            term = text.mid(i + 1, j - i - 1);
            i = j + 1;
        } else {
            int j = i;
            while (j < n && !text[j].isSpace())
                ++j;
            term = text.mid(i, j - i);
            i = j;
        }
        if (term.isEmpty())
            continue;
        bool duplicate = false;
        for (const QString& t : terms)
            duplicate = duplicate || t.toCaseFolded() == term.toCaseFolded();
        if (!duplicate)
            terms << term;
    }
    return terms;
}

bool isAscii(const QByteArray& bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

XContentFilter::XContentFilter(quint32 scope)
{
    setScope(scope);
}

XContentFilter::XContentFilter(const XContentFilter& other)
    : m_text(other.m_text), m_regEx(other.m_regEx), m_valid(other.m_valid), m_prefilter(other.m_prefilter),
      m_scope(other.m_scope),
      m_error(other.m_error), m_terms(other.m_terms), m_regex(other.m_regex), m_stop(other.m_stop),
      m_position(other.m_position), m_skippedLines(other.m_skippedLines), m_stopped(other.m_stopped)
{
    // The matcher (match data, JIT stack) is per copy and made on first use.
}

XContentFilter& XContentFilter::operator=(const XContentFilter& other)
{
    if (this != &other) {
        XContentFilter copy(other);
        *this = std::move(copy);
    }
    return *this;
}

XContentFilter::XContentFilter(XContentFilter&&) noexcept = default;
XContentFilter& XContentFilter::operator=(XContentFilter&&) noexcept = default;
XContentFilter::~XContentFilter() = default;

bool XContentFilter::createSymbols(const QString& text, bool regEx)
{
    m_text = text;
    m_regEx = regEx;
    m_valid = false;
    m_error.clear();
    m_terms.clear();
    m_regex.reset();
    seekHome();
    // Blanks are part of a regular expression; a simple expression of blanks has no term.
    if (regEx ? text.isEmpty() : text.trimmed().isEmpty()) {
        m_error = QStringLiteral("empty expression");
        return false;
    }
    if (regEx) {
        m_regex = XRegexCode::compile(text.toUtf8(), XRegexCode::REGEX, &m_error);
        m_valid = m_regex != nullptr;
        return m_valid;
    }
    const QStringList words = splitTerms(text);
    for (const QString& w : words) {
        auto term = std::make_shared<Term>();
        term->text = w;
        term->utf8 = w.toUtf8();
        const QByteArray lower = term->utf8.toLower();
        if (isAscii(term->utf8)) {
            term->searcher = XLiteralSearcher(term->utf8, true);
            term->aliasSensitive = lower.contains('k') || lower.contains('s');
        }
        if (!isAscii(term->utf8) || term->aliasSensitive) {
            term->unicode = XRegexCode::compile(term->utf8, XRegexCode::LITERAL_CASELESS, &m_error);
            if (!term->unicode) {
                m_terms.clear();
                return false;
            }
        }
        term->mayCrossParagraph = XScopeUnits::textMayCrossUnit(term->utf8, SCOPE_PARAGRAPH);
        term->mayCrossSentence = XScopeUnits::textMayCrossUnit(term->utf8, SCOPE_SENTENCE);
        m_terms.push_back(std::move(term));
    }
    if (m_terms.empty()) {
        m_error = QStringLiteral("no search term");
        return false;
    }
    m_valid = true;
    return true;
}

void XContentFilter::setStopCheck(std::function<bool()> stop)
{
    m_stop = std::move(stop);
    if (m_matcher)
        m_matcher->setStopCheck(m_stop);
}

bool XContentFilter::stopRequested()
{
    if (!m_stopped && m_stop && m_stop())
        m_stopped = true;
    return m_stopped;
}

void XContentFilter::setScope(quint32 scope)
{
    m_scope = scope <= SCOPE_SENTENCE ? scope : quint32(SCOPE_FILE);
}

QString XContentFilter::scope_as_string(quint32 scope)
{
    switch (scope) {
    case SCOPE_FILE:
        return QStringLiteral("File");
    case SCOPE_PARAGRAPH:
        return QStringLiteral("Paragraph");
    case SCOPE_SENTENCE:
        return QStringLiteral("Sentence");
    default:
        return QStringLiteral("?");
    }
}

QString XContentFilter::scope_as_string() const
{
    return scope_as_string(m_scope);
}

QStringList XContentFilter::terms() const
{
    QStringList list;
    for (const auto& t : m_terms)
        list << t->text;
    return list;
}

QString XContentFilter::toString(bool longForm) const
{
    const QString expr = m_regEx ? QStringLiteral("/%1/").arg(m_text) : QStringLiteral("\"%1\"").arg(m_text);
    if (!longForm)
        return QStringLiteral("%1 [%2]").arg(expr, scope_as_string());
    return QStringLiteral("content %1 (%2, scope %3)")
        .arg(expr, m_regEx ? QStringLiteral("regular expression") : QStringLiteral("all terms, any case"), scope_as_string());
}

bool XContentFilter::searchesInWindows() const
{
    if (!m_valid)
        return false;
    auto holdsLineEnd = [](const QByteArray& text) { return text.contains('\n') || text.contains('\r'); };
    if (m_regex) {
        const XRegexCode& rc = *m_regex;
        if (rc.startDependent || !m_prefilter || rc.literals.empty())
            return false;
        // A look-behind reaches back at most this many characters of up to 4 bytes.
        if (windowContext() > XLineReaderDA::kWindowContext)
            return false;
        if (rc.pureLiteral) {
            const QByteArray literal = QByteArray::fromStdString(rc.literals.front().needle());
            return !holdsLineEnd(literal) && (m_scope == SCOPE_FILE || !XScopeUnits::textMayCrossUnit(literal, m_scope));
        }
        // Units other than the file would be cut at the windows' edges.
        return rc.lineFilter && !rc.requiredNeedsAliasCheck && m_scope == SCOPE_FILE;
    }
    // All terms must meet in one unit, which a window may cut: one term only.
    return m_terms.size() == 1 && !m_terms[0]->mayCross(m_scope) && !holdsLineEnd(m_terms[0]->utf8);
}

qint64 XContentFilter::windowContext() const
{
    return m_regex ? qint64(m_regex->maxLookbehind) * 4 + 4 : 4;
}

bool XContentFilter::findWindows(XLineReaderDA& reader, XRamLayer& layer)
{
    const quint64 skippedAtStart = m_skippedLines;
    m_logPath = reader.path();
    XLineReaderDA::Window window;
    // Windows not counted: the line number of a skipped line is asked of the reader, seldom.
    const bool counted = reader.countsWindowLines();
    qint64 linesBefore = counted ? reader.countLines() : -1;
    m_windowReader = &reader;
    bool utf16 = false;
    while (reader.nextWindow(window)) {
        // A UTF-16 text is searched as a whole, transcoded.
        utf16 = window.base == 0 && XUtf16Text::bomOf(window.data, window.size) != XUtf16Text::NO_BOM;
        if (utf16)
            break;
        m_lineOriginAt = window.from;
        m_lineOriginValue = linesBefore;
        m_windowStart = window.base + window.from;
        XRamLayer part = findIn(window.from, window.data, window.size);
        for (XRam m : part.marks()) {
            m.offset += window.base;
            layer.append(m);
        }
        linesBefore = counted ? reader.countLines() : -1;
        if (stopRequested())
            break;
    }
    m_windowReader = nullptr;
    m_windowStart = 0;
    m_lineOriginAt = 0;
    m_lineOriginValue = 0;
    m_logPath.clear();
    if (utf16 || reader.windowFailed()) {
        layer.clear();
        m_skippedLines = skippedAtStart;
        return false;
    }
    layer.setBinary(reader.isBinary());
    m_position = reader.size();
    return true;
}

XRamLayer XContentFilter::find(qint64 from, XLineReaderDA& reader)
{
    if (reader.isWindowed()) {
        XRamLayer layer;
        if (from == 0 && searchesInWindows() && findWindows(reader, layer))
            return layer;
        if (!reader.leaveWindows()) {
            xlog(LOG_ERROR, QStringLiteral("XContentFilter::find, <<<$>>> - cannot be read"), reader.path());
            return XRamLayer();
        }
    }
    if (XUtf16Text::bomOf(reader.data(), reader.size()) != XUtf16Text::NO_BOM) {
        m_logPath = reader.path();
        XRamLayer layer = findUtf16(from, reader.data(), reader.size());
        m_logPath.clear();
        if (reader.shrankWhileRead()) {
            xlog(LOG_WARN, QStringLiteral("XContentFilter::find, <<<$>>> - file got shorter while searched, no hits taken"), reader.path());
            layer.clear();
        }
        return layer;
    }
    m_reader = &reader;
    bool needAliases = m_regex && m_regex->requiredNeedsAliasCheck;
    for (const auto& t : m_terms)
        needAliases = needAliases || t->aliasSensitive;
    if (needAliases)
        reader.trackFoldAliases();  // noted by the line count that follows the scan
    XRamLayer layer = findIn(from, reader.data(), reader.size());
    layer.setBinary(reader.isBinary());
    m_reader = nullptr;
    if (reader.shrankWhileRead()) {
        xlog(LOG_WARN, QStringLiteral("XContentFilter::find, <<<$>>> - file got shorter while searched, no hits taken"), reader.path());
        layer.clear();
    }
    return layer;
}

XRamLayer XContentFilter::find(qint64 from, const char* data, qint64 size)
{
    if (XUtf16Text::bomOf(data, size) != XUtf16Text::NO_BOM)
        return findUtf16(from, data, size);
    XRamLayer layer = findIn(from, data, size);
    const qint64 probe = std::min(size, XLineReaderDA::kBinaryProbeBytes);
    layer.setBinary(data && probe > 0 && std::memchr(data, 0, size_t(probe)) != nullptr);
    return layer;
}

XRamLayer XContentFilter::findUtf16(qint64 from, const char* data, qint64 size)
{
    // The search runs over the text as UTF-8; its marks go back to the file's bytes.
    if (!m_utf16)
        m_utf16 = std::make_unique<XUtf16Text>();
    m_utf16->decode(data, size);
    XRamLayer layer = findIn(m_utf16->utf8Offset(from), m_utf16->utf8(), m_utf16->utf8Size());
    for (XRam& m : layer.marks()) {
        const qint64 start = m_utf16->fileOffset(m.offset);
        const qint64 end = m_utf16->fileEndOffset(m.offset + m.length);
        m.offset = start;
        m.length = qint32(end - start);
    }
    m_position = size;
    return layer;
}

XRamLayer XContentFilter::findIn(qint64 from, const char* data, qint64 size)
{
    XRamLayer layer;
    m_aliases = -1;
    m_lineCountAt = m_lineOriginAt;
    m_lineCountValue = m_lineOriginValue;
    const quint64 skippedBefore = m_skippedLines;
    from = std::max<qint64>(0, from);
    if (!m_valid || !data || from > size) {
        m_position = std::max<qint64>(0, size);
        return layer;
    }
    if (!m_matcher && (m_regex || std::any_of(m_terms.begin(), m_terms.end(), [](const auto& t) { return t->unicode; }))) {
        m_matcher = std::make_unique<XRegexMatcher>();
        m_matcher->setStopCheck(m_stop);
    }
    if (m_matcher) {
        m_matcher->newSubject();
        // The line count follows the search window by window, as the literal scan feeds it.
        // A mapped file gives back the pages behind either way.
        m_matcher->setProgress([this](qint64 pos) {
            if (m_reader && m_reader->countsOnTheWay() && !m_reader->statsDone())
                m_reader->advanceStats(pos);
            else if (m_reader)
                m_reader->releaseBehind(pos);
        });
    }
    if (m_regex)
        findRegex(data, size, from, layer);
    else
        findTerms(data, size, from, layer);
    if (m_matcher)
        m_matcher->setProgress(nullptr);
    const quint64 skipped = m_skippedLines - skippedBefore;
    if (skipped > kLoggedSkips)
        xlog(LOG_ERROR, QStringLiteral("XContentFilter::find, <<<$>>> - $ more lines skipped"), where(), skipped - kLoggedSkips);
    m_position = size;
    return layer;
}

QString XContentFilter::where() const
{
    if (m_reader && !m_reader->path().isEmpty())
        return m_reader->path();
    return m_logPath.isEmpty() ? QStringLiteral("(buffer)") : m_logPath;
}

qint64 XContentFilter::lineNumberAt(const char* data, qint64 size, qint64 offset)
{
    if (offset < m_lineCountAt) {
        m_lineCountAt = m_lineOriginAt;
        m_lineCountValue = m_lineOriginValue;
    }
    if (m_lineCountValue < 0) {
        // A window of a file whose lines were not counted on the way: counted now, once.
        const qint64 before = m_windowReader ? m_windowReader->linesBefore(m_windowStart) : 0;
        m_lineOriginValue = std::max<qint64>(0, before);
        m_lineCountAt = m_lineOriginAt;
        m_lineCountValue = m_lineOriginValue;
    }
    // LF, CRLF and a lone CR end a line, as the line reader counts them.
    for (qint64 i = m_lineCountAt; i < offset; ++i) {
        if (data[i] == '\n' || (data[i] == '\r' && !(i + 1 < size && data[i + 1] == '\n')))
            ++m_lineCountValue;
    }
    m_lineCountAt = offset;
    return m_lineCountValue + 1;
}

void XContentFilter::noteSkippedLine(const char* data, qint64 size, qint64 lineStart)
{
    // Per file, only the first few skipped lines are named; the rest are summed up at the end.
    if (++m_skippedLines <= kLoggedSkips) {
        xlog(LOG_ERROR, QStringLiteral("XContentFilter::find, <<<$>>> line $ skipped - $"), where(),
             lineNumberAt(data, size, lineStart), m_matcher ? m_matcher->lastErrorText() : QString());
    }
}

bool XContentFilter::aliasesKnown() const
{
    return m_aliases >= 0 || (m_reader && m_reader->statsDone() && m_reader->foldAliasesTracked());
}

bool XContentFilter::aliasesPresent(const char* data, qint64 size)
{
    if (m_aliases < 0)
        m_aliases = (m_reader ? m_reader->hasFoldAliases() : XLiteralSearcher::hasFoldAliases(data, size)) ? 1 : 0;
    return m_aliases == 1;
}

bool XContentFilter::stopOnError(int result)
{
    if (result == XRegexMatcher::MATCH || result == XRegexMatcher::NO_MATCH)
        return false;
    if (result == XRegexMatcher::STOPPED) {
        m_stopped = true;
        return true;
    }
    xlog(LOG_ERROR, QStringLiteral("XContentFilter::find, <<<$>>> - $, no further hits in this file"), where(),
         m_matcher ? m_matcher->lastErrorText() : QString());
    return true;
}

namespace {

// Bytes searched before the reader counts their lines: small enough to stay in the L2 cache,
// large enough that the per-block overhead does not show.
constexpr qint64 kFeedBlock = 256 * 1024;

// Every occurrence of s from `from` on, in order; onHit(offset) returns where to go on, or -1
// to stop. With a reader, its line count follows the scan block by block, so that the bytes
// come from memory once. stopped() is asked per block; false when it said so.
template <typename Finder, typename OnHit, typename Stopped>
bool scanLiteral(Finder& s, const char* data, qint64 size, qint64 from, XLineReaderDA* reader, OnHit&& onHit,
                 Stopped&& stopped)
{
    const qint64 m = s.length();
    const bool feed = reader && reader->countsOnTheWay() && !reader->statsDone();
    qint64 pos = from;
    // Mapped files give back the pages behind (see XLineReaderDA).
    const bool release = reader && !feed && reader->isMapped();
    if (release)
        reader->beginPass(from);
    qint64 blockEnd = std::min(size, (from / kFeedBlock + 1) * kFeedBlock);
    for (;;) {
        const qint64 hit = s.find(data, std::min(size, blockEnd + m - 1), pos);
        if (hit >= 0) {
            pos = onHit(hit);
            if (pos < 0)
                return true;
            continue;
        }
        if (feed)
            reader->advanceStats(blockEnd);
        else if (release)
            reader->releaseBehind(blockEnd);
        if (blockEnd >= size)
            return true;
        if (stopped())
            return false;
        pos = std::max(pos, blockEnd);
        blockEnd = std::min(size, blockEnd + kFeedBlock);
    }
}

// The nearest occurrence of any of a few literals (the branches of an alternation). Each
// literal's next occurrence is kept until the scan passes it, so that every literal goes over
// the bytes once.
class NearestLiteral {
public:
    explicit NearestLiteral(const std::vector<XLiteralSearcher>& literals)
        : m_literals(literals), m_next(literals.size(), -1), m_from(literals.size(), -1), m_limit(literals.size(), -1)
    {
        for (const XLiteralSearcher& l : literals)
            m_length = std::max(m_length, l.length());
    }
    int length() const { return m_length; }

    qint64 find(const char* data, qint64 limit, qint64 pos)
    {
        qint64 best = -1;
        for (size_t i = 0; i < m_literals.size(); ++i) {
            // Still valid: an occurrence at or after pos, or none up to a limit at least as far.
            const bool known = m_from[i] >= 0 && m_from[i] <= pos
                && (m_next[i] >= pos || (m_next[i] < 0 && m_limit[i] >= limit));
            if (!known) {
                m_next[i] = m_literals[i].find(data, limit, pos);
                m_from[i] = pos;
                m_limit[i] = limit;
            }
            if (m_next[i] >= 0 && (best < 0 || m_next[i] < best))
                best = m_next[i];
        }
        return best;
    }

private:
    const std::vector<XLiteralSearcher>& m_literals;
    std::vector<qint64> m_next;   // next occurrence found, -1 none
    std::vector<qint64> m_from;   // where that search started, -1 not searched yet
    std::vector<qint64> m_limit;  // the end it searched to
    int m_length = 0;
};

} // namespace

bool XContentFilter::occurrences(const Term& term, int index, const char* data, qint64 size, qint64 from,
                                 std::vector<XRam>& out)
{
    if (!term.searcher.isEmpty()) {
        // Files with KELVIN SIGN or LONG S are rare: search as if there were none, and redo
        // the term with Unicode rules when the scan's line count saw one.
        if (!(term.aliasSensitive && aliasesKnown() && aliasesPresent(data, size))) {
            const qint64 m = term.searcher.length();
            const bool done = scanLiteral(
                term.searcher, data, size, from, m_reader,
                [&](qint64 s) {
                    out.push_back(XRam{s, qint32(m), index});
                    return s + m;
                },
                [this] { return stopRequested(); });
            if (!done)
                return false;
            if (!(term.aliasSensitive && aliasesPresent(data, size)))
                return true;
            out.clear();
        }
    }
    const int r = m_matcher->forEach(
        *term.unicode, data, size, from,
        [&](qint64 s, qint64 e) {
            out.push_back(XRam{s, qint32(e - s), index});
            return true;
        },
        [&](qint64 ls, qint64) { noteSkippedLine(data, size, ls); });
    return !stopOnError(r);
}

void XContentFilter::findTerms(const char* data, qint64 size, qint64 from, XRamLayer& layer)
{
    const int count = int(m_terms.size());
    std::vector<std::vector<XRam>> lists(static_cast<size_t>(count));
    for (int t = 0; t < count; ++t) {
        // A missing term means no unit can hold all of them: stop before the other passes.
        const bool ok = occurrences(*m_terms[size_t(t)], t, data, size, from, lists[size_t(t)]);
        if (!ok || lists[size_t(t)].empty())
            return;
    }
    const bool units = m_scope != SCOPE_FILE && (count > 1 || m_terms[0]->mayCross(m_scope));
    if (!units) {
        if (count == 1) {
            layer.marks() = std::move(lists[0]);
            return;
        }
        mergeInto(lists, layer.marks());
        return;
    }

    // Units are looked up around the term with the fewest occurrences only.
    int driver = 0;
    for (int t = 1; t < count; ++t) {
        if (lists[size_t(t)].size() < lists[size_t(driver)].size())
            driver = t;
    }
    XScopeUnits scope(data, size, m_scope);
    std::vector<size_t> cursor(size_t(count), 0);
    std::vector<XRam> unitMarks;
    qint64 doneEnd = -1;
    for (const XRam& o : lists[size_t(driver)]) {
        if (o.offset < doneEnd)
            continue;
        const XScopeUnits::Span u = scope.unitAt(o.offset);
        if (!u.valid())
            continue;
        doneEnd = u.end;
        unitMarks.clear();
        bool all = true;
        for (int t = 0; t < count && all; ++t) {
            const std::vector<XRam>& list = lists[size_t(t)];
            size_t& c = cursor[size_t(t)];
            while (c < list.size() && list[c].offset < u.start)
                ++c;
            bool any = false;
            for (size_t k = c; k < list.size() && list[k].offset < u.end; ++k) {
                if (list[k].offset + list[k].length <= u.end) {
                    unitMarks.push_back(list[k]);
                    any = true;
                }
            }
            all = any;
        }
        if (!all)
            continue;
        std::sort(unitMarks.begin(), unitMarks.end(), [](const XRam& a, const XRam& b) {
            return a.offset != b.offset ? a.offset < b.offset : a.category < b.category;
        });
        layer.marks().insert(layer.marks().end(), unitMarks.begin(), unitMarks.end());
    }
}

void XContentFilter::mergeInto(std::vector<std::vector<XRam>>& lists, std::vector<XRam>& out)
{
    size_t total = 0;
    for (const auto& l : lists)
        total += l.size();
    out.clear();
    out.reserve(total);
    // Few terms: picking the smallest head each time beats sorting everything.
    std::vector<size_t> at(lists.size(), 0);
    for (size_t n = 0; n < total; ++n) {
        size_t best = lists.size();
        for (size_t t = 0; t < lists.size(); ++t) {
            if (at[t] < lists[t].size() && (best == lists.size() || lists[t][at[t]].offset < lists[best][at[best]].offset))
                best = t;
        }
        out.push_back(lists[best][at[best]++]);
    }
}

void XContentFilter::findRegex(const char* data, qint64 size, qint64 from, XRamLayer& layer)
{
    const XRegexCode& rc = *m_regex;
    XRegexMatcher& matcher = *m_matcher;
    const bool units = m_scope != SCOPE_FILE;
    std::unique_ptr<XScopeUnits> scope = std::make_unique<XScopeUnits>(data, size, m_scope);
    auto emit = [&layer](qint64 s, qint64 e) {
        layer.append(s, qint32(e - s), 0);
        return true;
    };
    auto skip = [&](qint64 lineStart, qint64) { noteSkippedLine(data, size, lineStart); };
    auto stopped = [this] { return stopRequested(); };
    const quint64 skippedAtStart = m_skippedLines;
    const bool prefilter = m_prefilter && !rc.literals.empty();

    if (prefilter && rc.pureLiteral) {
        const XLiteralSearcher& literal = rc.literals.front();
        const bool check = units && XScopeUnits::textMayCrossUnit(QByteArray::fromStdString(literal.needle()), m_scope);
        const qint64 m = literal.length();
        scanLiteral(
            literal, data, size, from, m_reader,
            [&](qint64 pos) {
                if (check) {
                    const XScopeUnits::Span u = scope->unitAt(pos);
                    if (!u.valid() || !u.contains(pos, pos + m))
                        return pos + m;
                }
                layer.append(pos, qint32(m), 0);
                return pos + m;
            },
            stopped);
        return;
    }

    // All matches starting in [begin, lastStart] (lastStart = end: all up to end) of the
    // subject [0, end). With units, a match that its own bytes do not show to lie inside one
    // unit is looked for again inside the unit where it starts, with the text cut at the unit's
    // end; one that starts between units is dropped. Every round ends past the unit it looked
    // at, so the search always moves on.
    auto run = [&](qint64 begin, qint64 end, qint64 lastStart) -> int {
        if (!units)
            return matcher.forEach(rc, data, end, begin, emit, skip, 0, lastStart);
        qint64 pos = begin;
        uint32_t flags = 0;
        qint64 lastCut = -1;  // end of the unit searched last
        for (;;) {
            qint64 ms = -1;
            const int r = matcher.forEach(
                rc, data, end, pos,
                [&](qint64 s, qint64 e) {
                    if (XScopeUnits::insideOneUnit(data, s, e, m_scope))
                        return emit(s, e);
                    ms = s;
                    return false;
                },
                skip, flags, lastStart);
            if (r != XRegexMatcher::MATCH)
                return r;
            // A match starting right at a unit's end is tried inside that unit (it may match
            // empty there), unless that unit was just searched.
            const XScopeUnits::Span u = scope->unitFrom(ms, ms != lastCut);
            if (!u.valid())
                return XRegexMatcher::NO_MATCH;
            if (u.start > ms) {
                pos = u.start;
                flags = 0;
                if (pos > lastStart)
                    return XRegexMatcher::NO_MATCH;
                continue;
            }
            const qint64 cut = std::min(u.end, end);
            uint32_t redo = 0;
            if (cut < size && data[cut] != '\n' && data[cut] != '\r')
                redo |= XRegexMatcher::NOT_EOL;  // a sentence's end is no line end
            if (ms == pos)
                redo |= flags & XRegexMatcher::NOT_EMPTY_AT_BEGIN;
            const int r2 = matcher.forEach(rc, data, cut, ms, emit, skip, redo);
            if (r2 != XRegexMatcher::NO_MATCH && r2 != XRegexMatcher::MATCH)
                return r2;
            if (cut >= end || cut > lastStart)
                return XRegexMatcher::NO_MATCH;
            // An empty match at the unit's end was taken by the round inside the unit.
            pos = cut;
            lastCut = cut;
            flags = XRegexMatcher::NOT_EMPTY_AT_BEGIN;
        }
    };

    if (prefilter && !(rc.requiredNeedsAliasCheck && aliasesKnown() && aliasesPresent(data, size))) {
        NearestLiteral literals(rc.literals);
        bool failed = false;
        const bool done = rc.lineFilter ? searchCandidateLines(literals, data, size, from, run, &failed)
                                        : searchCandidateUnits(literals, *scope, data, size, from, run, &failed);
        if (!done || failed || !(rc.requiredNeedsAliasCheck && aliasesPresent(data, size)))
            return;
        // A caseless literal with 'k' or 's' in a file with KELVIN SIGN or LONG S: the
        // literal scan may have missed matches, so search the whole file instead.
        layer.clear();
        m_skippedLines = skippedAtStart;
        scope = std::make_unique<XScopeUnits>(data, size, m_scope);
    }
    stopOnError(run(from, size, size));
}

template <typename Finder, typename Run>
bool XContentFilter::searchCandidateLines(Finder& literals, const char* data, qint64 size, qint64 from, Run& run,
                                          bool* failed)
{
    // No match holds a line end: only lines holding a literal can hold one. Where the last
    // line taken ended: the look-back for a line start stops there, so that every byte is
    // looked back on once at most, however long the lines.
    qint64 floor = std::max(from, qint64(0));
    return scanLiteral(
        literals, data, size, from, m_reader,
        [&](qint64 c) -> qint64 {
            const char* before = c > floor ? XLineStats::lastNewline(data + floor, data + c) : nullptr;
            const qint64 ls = before ? before - data + 1 : floor;
            const void* after = std::memchr(data + c, '\n', size_t(size - c));
            const qint64 le = after ? static_cast<const char*>(after) - data : size;
            if (stopOnError(run(ls, le, le))) {
                *failed = true;
                return -1;
            }
            floor = le + 1;
            return le + 1;
        },
        [this] { return stopRequested(); });
}

template <typename Finder, typename Run>
bool XContentFilter::searchCandidateUnits(Finder& literals, XScopeUnits& scope, const char* data, qint64 size,
                                          qint64 from, Run& run, bool* failed)
{
    // Matches may hold line ends, but each lies inside one unit and holds a literal there: a
    // unit without one is passed over. In File scope the file is the unit.
    const bool wholeFile = m_scope == SCOPE_FILE;
    bool any = false;
    const bool done = scanLiteral(
        literals, data, size, from, m_reader,
        [&](qint64 c) -> qint64 {
            if (wholeFile) {
                any = true;
                return -1;
            }
            const XScopeUnits::Span u = scope.unitAt(c);
            if (!u.valid() || c >= u.end)
                return c + 1;
            // Matches inside the unit start before its end; they may be seen past it.
            if (stopOnError(run(std::max(u.start, from), size, u.end - 1))) {
                *failed = true;
                return -1;
            }
            return u.end;
        },
        [this] { return stopRequested(); });
    if (!done || *failed || !any)
        return done;
    if (stopOnError(run(from, size, size)))
        *failed = true;
    return true;
}

} // namespace zem::find
