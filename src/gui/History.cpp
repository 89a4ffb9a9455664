#include "History.h"

#include "Logger.h"
#include "XTools.h"

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

History::History() = default;

History::~History()
{
    Logger::log(QStringLiteral("History::~History"), zem::LOG_DETAIL);
}

void History::addFile(const QFileInfo& file)
{
    if (!file.exists()) {
        Logger::log(xprintF(QStringLiteral("History::addFile, <<<$>>> does not exist"), file.absoluteFilePath()),
                    zem::LOG_WARN);
        return;
    }
    if (!m_files.isEmpty() && m_index < count() - 1)
        m_files.erase(m_files.begin() + int(m_index) + 1, m_files.end());
    if (zem::XTools::isDebug())
        Logger::log(xprintF(QStringLiteral("History::addFile - index:$, count:$"), m_index, count()), zem::LOG_DETAIL);
    m_files.append(file);
    m_index = count() - 1;
    compute_state();
}

QFileInfo History::get_prev()
{
    if (m_index == 0) {
        Logger::log(QStringLiteral("History::get_prev, index == 0"), zem::LOG_PROGRESS);
        return QFileInfo();
    }
    --m_index;
    compute_state();
    return m_files.at(int(m_index));
}

QFileInfo History::get_next()
{
    if (m_files.isEmpty() || m_index >= count() - 1) {
        Logger::log(QStringLiteral("History::get_next, index == history.arFiles.size()-1"), zem::LOG_PROGRESS);
        return QFileInfo();
    }
    ++m_index;
    compute_state();
    return m_files.at(int(m_index));
}

bool History::setIndex(uint32_t index)
{
    if (m_files.isEmpty() || index > count() - 1)
        return false;
    m_index = index;
    return true;
}

QString History::stateText(uint32_t state)
{
    switch (state) {
    case NOT_INITIALIZED:
        return QStringLiteral("NOT_INITIALIZED");
    case NOT_ENABLED:
        return QStringLiteral("NOT_ENABLED");
    case PREV:
        return QStringLiteral("PREV");
    case NEXT:
        return QStringLiteral("NEXT");
    case PREV | NEXT:
        return QStringLiteral("PREV | NEXT");
    default:
        return QStringLiteral("unknown");
    }
}

void History::reset()
{
    Logger::log(QStringLiteral("WinFinder::reset"), zem::LOG_PROGRESS);
    m_index = 0;
    m_files.clear();
    stateListener.fire();
}

void History::compute_state()
{
    uint32_t state = NOT_ENABLED;
    if (count() > 1) {
        if (m_index != 0)
            state = PREV;
        if (m_index + 2 <= count())
            state = m_index != 0 ? (PREV | NEXT) : NEXT;
    }
    if (state == m_state)
        return;
    m_state = state;
    stateListener.fire();
}

} // namespace zemFinder
