// The headless "search" command: the window's search from the command line.
//
//   zemfinder search --dir <folder> [--pattern <wildcards>] [--npattern <wildcards>]
//                    [--content <expression> [--regex] [--scope 0|1|2|File|Paragraph|Sentence]]
//                    [--threads <1..64>] [--hidden] [--textFiles <ext,ext,...>|true]
//                    [--size <cond>] [--time <cond>] [--log <1..4>] [-0|--null]
//   Any key may also be written "--key=value", so that a value may start with "--".
//
// stdout: one line per found file; "<hits>\t<path>" (most hits first, then by path) for a
// content search, the path alone (by path) for a file search; with -0 each ends with a NUL
// instead, since names may hold line breaks. Paths are the file system's own bytes. stderr: a
// summary line (which counts the folders that could not be read), and log lines (errors, such as
// each folder or file that could not be read, unless --log says more). Exit code 0 found, 1 nothing
// found, 2 bad input.
#include "SearchCommand.h"

#include "Kernel.h"
#include "Logger.h"
#include "SearchRun.h"
#include "XAtomic.h"
#include "find/XBytesNumber.h"
#include "main/BuildInfo.h"
#include "preview/TextExtensions.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>

namespace zemFinder {

namespace {
const QStringList kOptionalKeys = {QStringLiteral("pattern"), QStringLiteral("npattern"), QStringLiteral("content"),
                                   QStringLiteral("regex"),   QStringLiteral("scope"),    QStringLiteral("threads"),
                                   QStringLiteral("hidden"),  QStringLiteral("textFiles"), QStringLiteral("size"),
                                   QStringLiteral("time"),    QStringLiteral("log"),      QStringLiteral("null")};
// Keys that carry a value: given bare ("--content --regex") they are refused, not read as "true".
const QStringList kValueKeys = {QStringLiteral("dir"),   QStringLiteral("pattern"), QStringLiteral("npattern"),
                                QStringLiteral("content"), QStringLiteral("scope"), QStringLiteral("threads"),
                                QStringLiteral("size"),  QStringLiteral("time"),    QStringLiteral("log")};
const QStringList kRequiredKeys = {QStringLiteral("dir")};

static zem::TestContextAdder adder(&SearchCommand::run, "search", "", false, kOptionalKeys, kRequiredKeys);

// "<=", ">=", "=" or no prefix ("="), or "a..b": the area and the one or two operand texts.
bool splitCondition(const QString& text, quint32& area, QString& first, QString& second)
{
    const QString t = text.trimmed();
    const int dots = t.indexOf(QLatin1String(".."));
    if (dots >= 0) {
        area = zem::XFileFilter::BETWEEN;
        first = t.left(dots).trimmed();
        second = t.mid(dots + 2).trimmed();
        return !first.isEmpty() && !second.isEmpty();
    }
    area = zem::XFileFilter::EQ;
    first = t;
    if (t.startsWith(QLatin1String("<="))) {
        area = zem::XFileFilter::LE;
        first = t.mid(2);
    } else if (t.startsWith(QLatin1String(">="))) {
        area = zem::XFileFilter::GE;
        first = t.mid(2);
    } else if (t.startsWith(QLatin1Char('='))) {
        first = t.mid(1);
    }
    first = first.trimmed();
    return !first.isEmpty();
}

qint64 dayStartMs(const QDate& date)
{
    return QDateTime(date, QTime(0, 0)).toMSecsSinceEpoch();
}

// A refused value is echoed in one short line, however long it was.
QString cut(const QString& text)
{
    constexpr int kShown = 60;
    return text.size() <= kShown ? text : text.left(kShown) + QStringLiteral("... (%1 characters)").arg(text.size());
}

bool validYear(int year)
{
    return year >= 1 && year <= 9999;
}
} // namespace

bool SearchCommand::parseSize(const QString& text, zem::XFileFilter& filter, QString& error)
{
    quint32 area = 0;
    QString first, second;
    bool ok1 = splitCondition(text, area, first, second);
    const quint64 bound1 = ok1 ? zem::get_bytes_number(first, &ok1) : 0;
    bool ok2 = true;
    const quint64 bound2 = area == zem::XFileFilter::BETWEEN ? zem::get_bytes_number(second, &ok2) : 0;
    if (!ok1 || !ok2) {
        error = QStringLiteral("bad size '%1' (e.g. \">=10kb\", \"<=2mb\", \"1mb..2mb\", \"4096\")").arg(cut(text));
        return false;
    }
    if (area == zem::XFileFilter::BETWEEN && bound1 > bound2) {
        error = QStringLiteral("bad size '%1': the range runs backwards").arg(cut(text));
        return false;
    }
    filter.setSize(area, bound1, bound2);
    return true;
}

bool SearchCommand::parseTime(const QString& text, zem::XFileFilter& filter, QString& error)
{
    const QString t = text.trimmed();
    // A bare year is the whole calendar year, bounded as the find panel does it.
    static const QRegularExpression year(QStringLiteral("^\\d{4}$"));
    if (year.match(t).hasMatch() && validYear(t.toInt())) {
        const int y = t.toInt();
        filter.setTime(zem::XFileFilter::BETWEEN, dayStartMs(QDate(y, 1, 1)), dayStartMs(QDate(y + 1, 1, 1)) - 1000);
        return true;
    }
    quint32 area = 0;
    QString first, second;
    const bool split = splitCondition(t, area, first, second);
    const QDate d1 = QDate::fromString(first, Qt::ISODate);
    const QDate d2 = area == zem::XFileFilter::BETWEEN ? QDate::fromString(second, Qt::ISODate) : d1;
    if (!split || !d1.isValid() || !d2.isValid() || !validYear(d1.year()) || !validYear(d2.year())) {
        error = QStringLiteral("bad time '%1' (e.g. \">=2024-01-31\", \"2023-01-01..2023-06-30\", \"2023\")")
                    .arg(cut(text));
        return false;
    }
    if (area == zem::XFileFilter::BETWEEN && d1 > d2) {
        error = QStringLiteral("bad time '%1': the range runs backwards").arg(cut(text));
        return false;
    }
    filter.setTime(area, dayStartMs(d1), area == zem::XFileFilter::BETWEEN ? dayStartMs(d2) : 0);
    return true;
}

bool SearchCommand::parseScope(const QString& text, quint32& scope)
{
    const QString t = text.trimmed().toLower();
    const QStringList names = {QStringLiteral("file"), QStringLiteral("paragraph"), QStringLiteral("sentence")};
    for (quint32 i = 0; i < 3; ++i)
        if (t == QString::number(i) || t == names.at(int(i))) {
            scope = i;
            return true;
        }
    return false;
}

bool SearchCommand::buildOptions(const zem::CommandLine& line, SearchRun::Options& options, QString& error)
{
    for (const QString& key : kValueKeys)
        if (line.isBare(key)) {
            error = QStringLiteral("--%1 needs a value (write --%1=<value> for one that starts with --)").arg(key);
            return false;
        }
    options.nullSeparated = line.getBool(QStringLiteral("null"), false);
    options.dir = line.getString(QStringLiteral("dir"), QString());
    // main made the executable's folder current: a relative path means the user's folder.
    const QFileInfo dir(resolve_user_path(options.dir));
    if (options.dir.trimmed().isEmpty() || !dir.isDir()) {
        error = QStringLiteral("no such folder '%1'").arg(cut(options.dir));
        return false;
    }
    options.dir = dir.absoluteFilePath();
    zem::find::XFilter& filter = options.filter;
    zem::XFileFilter& ff = filter.fileFilter();
    quint32 flags = 0;

    const QString pattern = line.getString(QStringLiteral("pattern"), QString()).trimmed();
    if (!pattern.isEmpty()) {
        ff.setPattern(pattern, false);
        flags |= zem::find::XFilter::FLAG_PATTERN;
    }
    const QString notPattern = line.getString(QStringLiteral("npattern"), QString()).trimmed();
    if (!notPattern.isEmpty()) {
        ff.setPattern(notPattern, true);
        flags |= zem::find::XFilter::FLAG_NOT_PATTERN;
    }
    if (line.has(QStringLiteral("size"))) {
        if (!parseSize(line.getString(QStringLiteral("size"), QString()), ff, error))
            return false;
        flags |= zem::find::XFilter::FLAG_SIZE;
    }
    if (line.has(QStringLiteral("time"))) {
        if (!parseTime(line.getString(QStringLiteral("time"), QString()), ff, error))
            return false;
        flags |= zem::find::XFilter::FLAG_TIME;
    }
    if (line.has(QStringLiteral("textFiles"))) {
        const QString text = line.getString(QStringLiteral("textFiles"), QString()).trimmed();
        const QStringList list = text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
                                     ? zem::default_text_file_extensions()
                                     : text.split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts);
        if (list.isEmpty()) {
            error = QStringLiteral("--textFiles needs extensions (\"txt,md\") or true");
            return false;
        }
        ff.setTextExtensions(list);
        flags |= zem::find::XFilter::FLAG_TEXT_FILES;
    }
    options.hidden = line.getBool(QStringLiteral("hidden"), false);
    if (options.hidden)
        flags |= zem::find::XFilter::FLAG_HIDDEN;

    bool ok = true;
    const long long threads = line.getInt(QStringLiteral("threads"), zem::count_hardware_threads(8), &ok);
    if (!ok || threads < 1 || threads > 64) {
        error = QStringLiteral("--threads must be 1..64");
        return false;
    }
    options.threads = quint32(threads);

    quint32 scope = zem::find::XContentFilter::SCOPE_PARAGRAPH;
    if (line.has(QStringLiteral("scope")) && !parseScope(line.getString(QStringLiteral("scope"), QString()), scope)) {
        error = QStringLiteral("--scope must be 0, 1, 2, File, Paragraph or Sentence");
        return false;
    }
    const bool regEx = line.getBool(QStringLiteral("regex"), false);
    // Blanks are part of a regular expression: only a simple expression is trimmed.
    const QString raw = line.getString(QStringLiteral("content"), QString());
    const QString content = regEx ? raw : raw.trimmed();
    if (line.has(QStringLiteral("content"))) {
        zem::find::XContentFilter contentFilter(scope);
        if (content.isEmpty() || !contentFilter.createSymbols(content, regEx)) {
            const QString why = contentFilter.errorText().isEmpty() ? QStringLiteral("empty") : contentFilter.errorText();
            error = QStringLiteral("bad expression '%1': %2").arg(cut(content), why);
            return false;
        }
        filter.setContentFilter(contentFilter);
        flags |= zem::find::XFilter::FLAG_CONTENT;
    }
    filter.setFlags(flags);
    return true;
}

int SearchCommand::run(zem::Kernel& kernel)
{
    kernel.commandLine().addShortFlag(QStringLiteral("-0"), QStringLiteral("null"));
    const zem::CommandLine& line = kernel.commandLine();
    // Log lines go to stderr; by default only errors, so that a long search stays readable.
    bool logOk = true;
    const long long level = line.getInt(QStringLiteral("log"), 1, &logOk);
    const bool levelOk = logOk && level >= 1 && level <= 4;
    zem::Logger::setLogLevelSimple(levelOk ? int(level) : 1);
    if (!line.checkKeys()) {
        std::fprintf(stderr, "search: %s\n", qPrintable(cut(line.lastError())));
        return 2;
    }
    if (!levelOk && !line.isBare(QStringLiteral("log"))) {
        std::fprintf(stderr, "search: --log must be 1..4, not '%s'\n",
                     qPrintable(cut(line.getString(QStringLiteral("log"), QString()))));
        return 2;
    }
    SearchRun::Options options;
    QString error;
    if (!buildOptions(line, options, error)) {
        std::fprintf(stderr, "search: %s\n", qPrintable(error));
        return 2;
    }
    zem::xlog(zem::LOG_PROGRESS, QStringLiteral("SearchCommand::run, <<<$>>> filter:$"), options.dir,
              options.filter.toString(true));
    SearchRun search(std::move(options), stdout, stderr);
    int code = 1;
    search.onDone = [&code](int result) {
        code = result;
        QCoreApplication::exit(result);
    };
    search.start();
    kernel.run();
    return code;
}

} // namespace zemFinder
