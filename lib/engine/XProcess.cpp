#include "XProcess.h"

#include "Logger.h"
#include "XEnv.h"

#include <algorithm>

namespace zem {

namespace {
std::atomic<int> g_alive{0};
// SIGKILL cannot be refused; this only bounds the wait for the kernel to reap the program.
constexpr int KILL_WAIT_MS = 3000;

bool is_blank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
}
} // namespace

std::atomic<bool> XProcess::atomicFlagDebug{false};

XProcess::XProcess(QObject* parent) : QProcess(parent)
{
    ++g_alive;
    connect(this, &QProcess::started, this, [this] {
        m_pid = processId();
        startedListener.fire();
    });
    connect(this, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) { errorListener.fire(error); });
    connect(this, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this](int, QProcess::ExitStatus status) {
                on_ready_read();
                exitListener.fire(status == QProcess::CrashExit);
            });
    connect(this, &QProcess::readyReadStandardOutput, this, &XProcess::on_ready_read);
    // A program that reads its standard input gets its end at once instead of waiting for ever.
    setStandardInputFile(QProcess::nullDevice());
    set_collect_output(false);
}

XProcess::~XProcess()
{
    // QProcess's own destructor would end a running program and report it to callbacks of an
    // object that is half gone: the callbacks are cut first and the program ended here.
    disconnect(this, nullptr, nullptr, nullptr);
    if (state() != QProcess::NotRunning) {
        kill();
        waitForFinished(KILL_WAIT_MS);
    }
    --g_alive;
    Logger::log(xprintF(QStringLiteral("XProcess::~XProcess, pid:$"), m_pid), LOG_DETAIL);
}

int XProcess::alive_count()
{
    return g_alive.load();
}

QStringList XProcess::split_args(const QString& text)
{
    QStringList words;
    QString word;
    bool inWord = false;
    QChar quote;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else if (c == QLatin1Char('\\') && quote == QLatin1Char('"') && i + 1 < text.size()
                     && (text[i + 1] == QLatin1Char('"') || text[i + 1] == QLatin1Char('\\')))
                word += text[++i];
            else
                word += c;
        } else if (is_blank(c)) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == QLatin1Char('"') || c == QLatin1Char('\''))
                quote = c;
            else if (c == QLatin1Char('\\') && i + 1 < text.size())
                word += text[++i];
            else
                word += c;
        }
    }
    if (inWord)
        words << word;
    return words;
}

QStringList XProcess::expand_args(const QString& text)
{
    QStringList words = split_args(text);
    for (QString& word : words)
        word = replaceEnv(word);
    return words;
}

QString XProcess::join_args(const QStringList& words)
{
    QStringList out;
    for (QString word : words) {
        const bool plain = !word.isEmpty()
                           && std::none_of(word.begin(), word.end(), [](QChar c) {
                                  return is_blank(c) || c == QLatin1Char('"') || c == QLatin1Char('\'')
                                         || c == QLatin1Char('\\');
                              });
        if (!plain) {
            word.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
            word = QLatin1Char('"') + word + QLatin1Char('"');
        }
        out << word;
    }
    return out.join(QLatin1Char(' '));
}

QByteArray XProcess::shell_quote(const QByteArray& bytes)
{
    static const QByteArray safe("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_@%+=:,./-");
    bool plain = !bytes.isEmpty();
    for (char c : bytes)
        plain = plain && safe.contains(c);
    if (plain)
        return bytes;
    // Inside single quotes every byte is literal; a single quote itself closes, is escaped, reopens.
    QByteArray out("'");
    for (char c : bytes)
        out += c == '\'' ? QByteArray("'\\''") : QByteArray(1, c);
    return out + '\'';
}

QString XProcess::shell_quote(const QString& text)
{
    return QString::fromLocal8Bit(shell_quote(text.toLocal8Bit()));
}

QList<QPair<QString, QString>> XProcess::parse_env(const QString& text)
{
    QList<QPair<QString, QString>> pairs;
    const QStringList words = split_args(text);
    for (int i = 0; i < words.size(); ++i) {
        if (!words[i].startsWith(QLatin1String("--")) || words[i].size() < 3) {
            Logger::log(xprintF(QStringLiteral("XProcess::parse_env, not a --NAME: '$'"), words[i]), LOG_WARN);
            continue;
        }
        const QString value = i + 1 < words.size() ? replaceEnv(words[i + 1]) : QString();
        pairs << qMakePair(words[i].mid(2), value);
        ++i;
    }
    return pairs;
}

void XProcess::setArgs(const QString& text)
{
    setArguments(expand_args(text));
}

void XProcess::addEnv(const QString& text)
{
    const auto pairs = parse_env(text);
    if (pairs.isEmpty())
        return;
    QProcessEnvironment env = processEnvironment().isEmpty() ? QProcessEnvironment::systemEnvironment()
                                                             : processEnvironment();
    for (const auto& pair : pairs)
        env.insert(pair.first, pair.second);
    setProcessEnvironment(env);
}

void XProcess::set_collect_output(bool on)
{
    m_collect = on;
    if (on) {
        setProcessChannelMode(QProcess::MergedChannels);
        setStandardOutputFile(QString());
        setStandardErrorFile(QString());
    } else {
        setStandardOutputFile(QProcess::nullDevice());
        setStandardErrorFile(QProcess::nullDevice());
    }
}

void XProcess::on_ready_read()
{
    const QByteArray bytes = readAllStandardOutput();
    if (m_collect && m_output.size() < MAX_OUTPUT)
        m_output += bytes.left(MAX_OUTPUT - m_output.size());
}

void XProcess::start_rw()
{
    if (atomicFlagDebug)
        Logger::log(xprintF(QStringLiteral("XProcess::start_rw, '$' [$]"), program(), arguments().join(QStringLiteral("] ["))),
                    LOG_OUT);
    start(QIODevice::ReadWrite);
}

bool XProcess::start_detached_and_delete()
{
    if (atomicFlagDebug)
        Logger::log(xprintF(QStringLiteral("XProcess::start_detached, '$' [$]"), program(),
                            arguments().join(QStringLiteral("] ["))),
                    LOG_OUT);
    qint64 pid = 0;
    const bool ok = startDetached(&pid);
    if (ok) {
        m_pid = pid;
        startedListener.fire();
    } else {
        errorListener.fire(QProcess::FailedToStart);
    }
    deleteLater();
    return ok;
}

} // namespace zem
