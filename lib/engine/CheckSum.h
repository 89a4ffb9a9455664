#pragma once
// One checksum of one file: the algorithm (1 MD5, 2 SHA-1, 3 SHA-256), the file and the result.
// calc runs on a pool thread; it polls a keep-running flag between chunks, so a cancel takes
// effect within one chunk, and reports a percentage. The owner must not change the object while
// calc runs.
#include <QByteArray>
#include <QString>
#include <atomic>

namespace zem {

class CheckSum {
public:
    enum Algo : int { NONE = 0, MD5 = 1, SHA1 = 2, SHA256 = 3 };

    void set_algo(int algo) { m_algo = algo; }
    int algo() const { return m_algo; }
    // "MD5", "SHA-1", "SHA-256"; empty for an unknown code.
    static QString algo_as_string(int algo);
    QString algo_as_string() const { return algo_as_string(m_algo); }

    void set_file(const QString& path) { m_file = path; }
    QString file() const { return m_file; }

    // Forgets the result.
    void reset();
    // Hashes the file while run is true. True with a valid result when the whole file was read;
    // false (no result) on a cancel, an unknown algorithm or a read error.
    bool calc(std::atomic<bool>& run, std::atomic<int>& progress);

    bool isValid() const { return m_valid; }
    QByteArray result() const { return m_valid ? m_result : QByteArray(); }
    // The result in hex digits (upper case when asked); empty without a valid result.
    QString toString(bool upperCase) const;

    // Bytes read per step: large enough that the hash, not the calls, sets the pace; small
    // enough that a cancel is seen within a few milliseconds.
    static constexpr qint64 CHUNK = 1 << 20;

private:
    int m_algo = NONE;
    QString m_file;
    QByteArray m_result;
    bool m_valid = false;
};

} // namespace zem
