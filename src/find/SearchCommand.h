#pragma once
// The headless "search" command: reads its keys into a search filter and runs a SearchRun.
// Registered before main as a non-GUI command; runs on the thread of the application object.
#include "SearchRun.h"

#include <QString>

namespace zem {
class CommandLine;
class Kernel;
class XFileFilter;
}

namespace zemFinder {

class SearchCommand {
public:
    // The command function: exit code 0 found, 1 nothing found, 2 bad input.
    static int run(zem::Kernel& kernel);

    // The parts of the command line; false with a one-line reason in error.
    static bool buildOptions(const zem::CommandLine& line, SearchRun::Options& options, QString& error);
    // "<=10kb", ">=1mb", "=4096" or "4096", "1mb..2mb"
    static bool parseSize(const QString& text, zem::XFileFilter& filter, QString& error);
    // "<=2024-01-31", ">=2024-01-31", "=2024-01-31" or "2024-01-31", "2023-01-01..2023-06-30", "2023"
    static bool parseTime(const QString& text, zem::XFileFilter& filter, QString& error);
    // 0, 1, 2 or File, Paragraph, Sentence (any case)
    static bool parseScope(const QString& text, quint32& scope);
};

} // namespace zemFinder
