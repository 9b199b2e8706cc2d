#pragma once

#include <QSqlDatabase>
#include <QString>

#include "report/report_data.h"

// The record's answers within the filter as xAPI statements, one JSON line
// each (exchange::XapiStatementLine), written whole or not at all.
namespace sorelka::report {

bool ExportXapi(const QSqlDatabase& db, const ReportFilter& filter, const QString& path, QString* error);

}  // namespace sorelka::report
