#pragma once
// Process-wide logging: levels, "$" filling, indentation, stderr, a log file and a capture sink for tests.
// Thread-safe; any thread may log.
#include <QString>
#include <QStringList>
#include <type_traits>

namespace zem {

// Log levels: the smaller, the more important.
enum LogLevel : int { LOG_ERROR = 4, LOG_WARN = 8, LOG_OUT = 16, LOG_PROGRESS = 32, LOG_DETAIL = 64 };

class LogMessageString {
public:
    explicit LogMessageString(QString text) : text(std::move(text)) {}
    QString text;
};

class Logger {
public:
    // Takes ownership of msg.
    static void log(LogMessageString* msg, int level, int indent = 0);
    static void log(const QString& msg, int level, int indent = 0);

    // Simple level: 1 errors, 2 + warnings and plain output, 3 + progress, 4 + detail.
    static void setLogLevelSimple(int simpleLevel);
    static int logLevelSimple();
    static bool isLogged(int level);

    // Also writes every shown line to this file (appending); empty path closes it.
    static void setLogFile(const QString& path);
    static QString logFile();
    static void setStderrEnabled(bool on);

    // Capture sink: keeps every line (whatever the level) until stopped; for tests and dialogs.
    static void startCapture();
    static QStringList capturedLines();
    static void stopCapture();
};

namespace detail {
inline QString toLogText(const QString& s) { return s; }
inline QString toLogText(const char* s) { return QString::fromUtf8(s); }
inline QString toLogText(const std::string& s) { return QString::fromStdString(s); }
inline QString toLogText(bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); }
inline QString toLogText(QChar c) { return QString(c); }
inline QString toLogText(double d) { return QString::number(d); }
template <typename T, typename = std::enable_if_t<std::is_integral_v<T> || std::is_enum_v<T>>>
QString toLogText(T v) { return QString::number(static_cast<std::conditional_t<std::is_signed_v<T>, long long, unsigned long long>>(v)); }
QString fill(const QString& format, const QStringList& values);
}

// Fills each "$" of format with the next value, in order. Values past the last "$" are ignored;
// a "$" without a value stays.
template <typename... Args>
QString xprintF(const QString& format, const Args&... args)
{
    return detail::fill(format, QStringList{detail::toLogText(args)...});
}

template <typename... Args>
void xlog(int level, const QString& format, const Args&... args)
{
    if (Logger::isLogged(level))
        Logger::log(xprintF(format, args...), level);
}

// Reports a guard that failed (a pointer that must not be null) and returns.
void nullPointerHandling(const char* source, int line, const char* text);

QString format1000(long long value);                    // "1,234,567"
QString formatBytes(unsigned long long bytes);           // "1.5 MB"
QString formatMicrosecond_as_Sec(long long microseconds); // "1.234 sec"

} // namespace zem
