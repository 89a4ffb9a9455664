#pragma once
// A started program with three callback lists: started, error, and exit with a flag telling
// whether the program crashed. The object lives on the thread that created it (the GUI thread in
// this program); its callbacks run there, from Qt's signals, so nothing ever waits for a program.
//
// Arguments never pass through a shell: an argument text is split into words first (blanks
// separate, single and double quotes group, a backslash escapes the next character), and the
// "$(NAME)" references inside each word are filled in afterwards, so a value holding blanks,
// quotes or a semicolon stays one argument with exactly its characters. Where a shell command
// line must be built (terminal launches), shell_quote makes any text one literal shell word.
#include "XEventListener.h"

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <atomic>

namespace zem {

class XProcess : public QProcess {
    Q_OBJECT
public:
    explicit XProcess(QObject* parent = nullptr);
    // Ends a program that still runs (its callbacks are not told).
    ~XProcess() override;

    // Splits text into words as described above; references stay as written.
    static QStringList split_args(const QString& text);
    // split_args, then each word's "$(NAME)" references filled from the process environment.
    static QStringList expand_args(const QString& text);
    // The inverse of split_args: words holding blanks, quotes or backslashes are double-quoted.
    static QString join_args(const QStringList& words);
    // One literal POSIX shell word for bytes (any bytes but NUL); plain words stay unquoted.
    static QByteArray shell_quote(const QByteArray& bytes);
    static QString shell_quote(const QString& text);
    // "--NAME value --OTHER value" pairs of an environment text; references in values are filled.
    static QList<QPair<QString, QString>> parse_env(const QString& text);

    // The arguments from an argument text (expand_args).
    void setArgs(const QString& text);
    // Adds the pairs of an environment text to the environment the program will get.
    void addEnv(const QString& text);

    // Starts the program; returns at once. The callbacks tell how it went.
    void start_rw();
    // Starts the program detached (it outlives this process and is never waited for); fires the
    // started or the error callbacks before returning and then schedules this object's deletion.
    bool start_detached_and_delete();

    // With output collection off the program's output goes nowhere (a full pipe would stop it).
    void set_collect_output(bool on);
    // Everything the program wrote so far (stdout and stderr merged), at most MAX_OUTPUT bytes.
    QByteArray output() const { return m_output; }
    static constexpr int MAX_OUTPUT = 8 << 20;   // a runaway program cannot eat the memory

    qint64 past_pid() const { return m_pid; }

    XEventListener<void()> startedListener;
    XEventListener<void(QProcess::ProcessError)> errorListener;
    XEventListener<void(bool crashed)> exitListener;

    // Logs each start and the arguments (set by the editor's Test/Execute).
    static std::atomic<bool> atomicFlagDebug;
    // The number of XProcess objects alive; for tests and the quit path.
    static int alive_count();

private:
    void on_ready_read();

    QByteArray m_output;
    bool m_collect = false;
    qint64 m_pid = 0;
};

} // namespace zem
