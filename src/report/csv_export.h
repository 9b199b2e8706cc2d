#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "report/report_data.h"

namespace sorelka::report {

// The header of the answers file: every column of `history`, with the
// pupil's name, the topic's name and the kind's label beside their ids.
QStringList CsvHeader();

// One cell as the answers file writes it: quoted when it holds a comma, a
// quote, a line break or leading/trailing space (quotes doubled), and with a
// leading ' when a spreadsheet would take it for a formula (it begins with
// = + - @, a tab or a carriage return, possibly after such quotes), so
// opening the file never runs anything.
QString CsvCell(const QString& text);

// Writes one row per answer within the filter, in the order they were given,
// to `path` as UTF-8 with a byte-order mark and CRLF line ends. The file
// appears whole or not at all. False with a Japanese reason in `error`.
bool ExportCsv(const QSqlDatabase& db, const ReportFilter& filter, const QString& path,
               QString* error);

}  // namespace sorelka::report
