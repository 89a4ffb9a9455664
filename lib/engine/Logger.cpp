#include "Logger.h"

#include <QDateTime>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>
#include <cstdio>

namespace zem {

namespace {
struct LogState {
    QMutex lock;
    int simpleLevel = 3;
    bool toStderr = true;
    QFile file;
    bool capturing = false;
    QStringList captured;
};

LogState& state()
{
    static LogState s;
    return s;
}

int maxLevelFor(int simpleLevel)
{
    switch (simpleLevel) {
    case 0: return 0;
    case 1: return LOG_ERROR;
    case 2: return LOG_OUT;
    case 3: return LOG_PROGRESS;
    default: return LOG_DETAIL;
    }
}
} // namespace

void Logger::log(LogMessageString* msg, int level, int indent)
{
    if (!msg)
        return;
    log(msg->text, level, indent);
    delete msg;
}

void Logger::log(const QString& msg, int level, int indent)
{
    LogState& s = state();
    QMutexLocker locker(&s.lock);
    const QString line = QString(qMax(0, indent), QLatin1Char(' ')) + msg;
    if (s.capturing)
        s.captured << line;
    if (level > maxLevelFor(s.simpleLevel))
        return;
    const QByteArray bytes = QStringLiteral("[%1] %2\n").arg(level, 2).arg(line).toUtf8();
    if (s.toStderr) {
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
        std::fflush(stderr);
    }
    if (s.file.isOpen()) {
        s.file.write(QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss.zzz ")).toUtf8());
        s.file.write(bytes);
        s.file.flush();
    }
}

void Logger::setLogLevelSimple(int simpleLevel)
{
    QMutexLocker locker(&state().lock);
    state().simpleLevel = simpleLevel;
}

int Logger::logLevelSimple()
{
    QMutexLocker locker(&state().lock);
    return state().simpleLevel;
}

bool Logger::isLogged(int level)
{
    QMutexLocker locker(&state().lock);
    return state().capturing || level <= maxLevelFor(state().simpleLevel);
}

void Logger::setLogFile(const QString& path)
{
    LogState& s = state();
    QMutexLocker locker(&s.lock);
    if (s.file.isOpen())
        s.file.close();
    if (path.isEmpty())
        return;
    s.file.setFileName(path);
    if (!s.file.open(QIODevice::Append | QIODevice::Text))
        std::fprintf(stderr, "Logger: cannot open log file %s\n", qPrintable(path));
}

QString Logger::logFile()
{
    QMutexLocker locker(&state().lock);
    return state().file.isOpen() ? state().file.fileName() : QString();
}

void Logger::setStderrEnabled(bool on)
{
    QMutexLocker locker(&state().lock);
    state().toStderr = on;
}

void Logger::startCapture()
{
    QMutexLocker locker(&state().lock);
    state().capturing = true;
    state().captured.clear();
}

QStringList Logger::capturedLines()
{
    QMutexLocker locker(&state().lock);
    return state().captured;
}

void Logger::stopCapture()
{
    QMutexLocker locker(&state().lock);
    state().capturing = false;
    state().captured.clear();
}

namespace detail {
QString fill(const QString& format, const QStringList& values)
{
    QString out;
    out.reserve(format.size() + 32);
    int next = 0;
    for (const QChar c : format) {
        if (c == QLatin1Char('$') && next < values.size())
            out += values.at(next++);
        else
            out += c;
    }
    return out;
}
} // namespace detail

void nullPointerHandling(const char* source, int line, const char* text)
{
    Logger::log(xprintF(QStringLiteral("NULL POINTER: $:$ <<<$>>>"), source, line, text), LOG_ERROR);
}

QString format1000(long long value)
{
    const bool negative = value < 0;
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                            : static_cast<unsigned long long>(value);
    QString digits = QString::number(magnitude);
    for (int i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return negative ? QLatin1Char('-') + digits : digits;
}

QString formatBytes(unsigned long long bytes)
{
    static const char* const units[] = {"Bytes", "KB", "MB", "GB", "TB", "PB"};
    if (bytes < 1024)
        return QStringLiteral("%1 Bytes").arg(bytes);
    double value = double(bytes);
    int unit = 0;
    while (value >= 1024.0 && unit < 5) {
        value /= 1024.0;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', value < 10 ? 2 : 1).arg(QLatin1String(units[unit]));
}

QString formatMicrosecond_as_Sec(long long microseconds)
{
    return QStringLiteral("%1 sec").arg(double(microseconds) / 1e6, 0, 'f', 3);
}

} // namespace zem
