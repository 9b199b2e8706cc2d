#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTextStream>

// The program's command line for a school's scripts and backups:
//   sorelka --export FILE.csv|FILE.pdf [--pupil NAME] [--from YYYY-MM-DD] [--to YYYY-MM-DD]
// writes the file from the learning record and ends, without a window.
namespace sorelka::report {

// Exit codes: 0 written (or help shown), 2 a bad argument, 1 the file could
// not be written (or the record could not be read). Every refusal is one
// Japanese line on `err`.
inline constexpr int kExitBadArgument = 2;
inline constexpr int kExitNotWritten = 1;
// How long the export waits for another program that holds the record.
inline constexpr int kRecordWaitMs = 10000;

// Runs the command line against the record file at `database_path`; `today`
// ends the report's weekly chart when no --to is given.
int RunCommandLine(const QStringList& arguments, const QString& database_path, QDate today,
                   QTextStream& out, QTextStream& err);

}  // namespace sorelka::report
