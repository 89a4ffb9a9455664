#pragma once
// Which libraries and programs make up this process, for the about page and the log;
// and the out-of-memory alarm.
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace zem {

class ZemLibraries {
public:
    static void addLib(int number, const QString& tag);
    static QList<QPair<int, QString>> libs();
};

class XAdditionalLibInfos {
public:
    // A one-line description (such as a build banner); with log true it is also logged.
    static void addLibInfo(const QString& info, bool log);
    static QStringList infos();
};

// Logs an error line when memory runs out, then lets the allocation fail as usual.
void signal_handler_memory_alarm();

} // namespace zem
