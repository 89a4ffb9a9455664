#include "CheckSum.h"

#include "Logger.h"
#include "XSha256.h"

#include <QCryptographicHash>
#include <QFile>
#include <memory>

namespace zem {

namespace {
bool toQtAlgo(int algo, QCryptographicHash::Algorithm* out)
{
    switch (algo) {
    case CheckSum::MD5: *out = QCryptographicHash::Md5; return true;
    case CheckSum::SHA1: *out = QCryptographicHash::Sha1; return true;
    case CheckSum::SHA256: *out = QCryptographicHash::Sha256; return true;
    default: return false;
    }
}
// One running hash: the processor's SHA-256 instructions where they exist, else Qt's code.
class Hasher {
public:
    explicit Hasher(QCryptographicHash::Algorithm algo)
        : m_fast(algo == QCryptographicHash::Sha256 && XSha256::accelerated()), m_qt(algo)
    {
    }
    void addData(const char* data, qint64 size)
    {
        if (m_fast)
            m_sha256.addData(data, size);
        else
            m_qt.addData(data, int(size));
    }
    QByteArray result() { return m_fast ? m_sha256.result() : m_qt.result(); }

private:
    bool m_fast;
    XSha256 m_sha256;
    QCryptographicHash m_qt;
};
} // namespace

QString CheckSum::algo_as_string(int algo)
{
    switch (algo) {
    case MD5: return QStringLiteral("MD5");
    case SHA1: return QStringLiteral("SHA-1");
    case SHA256: return QStringLiteral("SHA-256");
    default: return QString();
    }
}

void CheckSum::reset()
{
    m_result.clear();
    m_valid = false;
}

bool CheckSum::calc(std::atomic<bool>& run, std::atomic<int>& progress)
{
    reset();
    QCryptographicHash::Algorithm qtAlgo;
    if (!toQtAlgo(m_algo, &qtAlgo)) {
        Logger::log(xprintF(QStringLiteral("CheckSum::calc, algorithm ? $"), m_algo), LOG_ERROR);
        return false;
    }
    QFile file(m_file);
    // Unbuffered: the chunks go straight from the kernel into our buffer.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        Logger::log(xprintF(QStringLiteral("CheckSum::calc, cannot open <<<$>>>"), m_file), LOG_WARN);
        return false;
    }
    const qint64 size = file.size();
    Hasher hash(qtAlgo);
    std::unique_ptr<char[]> buffer(new char[CHUNK]);
    qint64 done = 0;
    progress.store(0);
    while (run.load()) {
        const qint64 n = file.read(buffer.get(), CHUNK);
        if (n < 0) {
            Logger::log(xprintF(QStringLiteral("CheckSum::calc, read error <<<$>>>"), m_file), LOG_WARN);
            return false;
        }
        if (n == 0) {
            m_result = hash.result();
            m_valid = true;
            progress.store(100);
            return true;
        }
        hash.addData(buffer.get(), n);
        done += n;
        // A file that grows while it is read stays below 100 until its end.
        if (size > 0)
            progress.store(int(qMin<qint64>(99, done * 100 / size)));
    }
    Logger::log(xprintF(QStringLiteral("CheckSum::calc, cancelled <<<$>>>"), m_file), LOG_DETAIL);
    return false;
}

QString CheckSum::toString(bool upperCase) const
{
    if (!m_valid)
        return QString();
    const QString hex = QString::fromLatin1(m_result.toHex());
    return upperCase ? hex.toUpper() : hex;
}

} // namespace zem
