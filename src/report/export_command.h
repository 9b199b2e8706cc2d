#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <optional>

#include "report/xapi_export.h"

// The program's command line for a school's scripts and backups:
//   sorelka --export FILE.csv|FILE.pdf [--pupil NAME] [--from YYYY-MM-DD] [--to YYYY-MM-DD]
//   sorelka --export-xapi FILE [--server] [--curriculum-codes CODES.csv] [--pupil …] [--from …] [--to …]
// writes the file from the learning record (or the school's server) and
// ends, without a window.
namespace sorelka::report {

// Exit codes: 0 written (or help shown), 2 a bad argument, 1 the file could
// not be written (or the record could not be read). Every refusal is one
// Japanese line on `err`.
inline constexpr int kExitBadArgument = 2;
inline constexpr int kExitNotWritten = 1;
// How long the export waits for another program that holds the record.
inline constexpr int kRecordWaitMs = 10000;

// Reads the school's server's answers within the days into the sink
// (`--export-xapi FILE --server`); empty when all were read, else why not.
using ServerAnswers =
    std::function<QString(std::optional<QDate> from, std::optional<QDate> to, const XapiSink& take)>;

// Runs the command line against the record file at `database_path`; `today`
// ends the report's weekly chart when no --to is given. `server` reads the
// school's server for --server (none: --server is refused).
int RunCommandLine(const QStringList& arguments, const QString& database_path, QDate today,
                   QTextStream& out, QTextStream& err, const ServerAnswers& server = {});

}  // namespace sorelka::report
