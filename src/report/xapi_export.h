#pragma once

#include <QHash>
#include <QIODevice>
#include <QSqlDatabase>
#include <QString>
#include <functional>

#include "exchange/curriculum_codes.h"
#include "exchange/xapi_statement.h"
#include "report/report_data.h"

// Answers as xAPI statements, one JSON line each
// (exchange::XapiStatementLine), written whole or not at all: from this
// PC's record, or from wherever a caller reads them (the school's server).
namespace sorelka::report {

// Writes answers to `out`, working out each pupil's account and each
// activity's name and codes once, not once per answer.
class XapiWriter {
public:
    XapiWriter(QIODevice& out, const exchange::CurriculumCodes& codes) : out_(out), codes_(codes) {}
    // `answer` with its account made from `pupil_key` ("list:<the pupil's id
    // in the school's list>", else a key of where the answer was kept) and
    // its activity's name and codes; false with a Japanese reason when the
    // line cannot be written.
    bool Write(exchange::XapiAnswer& answer, const QString& pupil_key, QString* error);

private:
    struct Activity {
        QString name;
        QStringList codes;
    };
    QIODevice& out_;
    const exchange::CurriculumCodes& codes_;
    QHash<QString, QString> accounts_;
    QHash<QString, Activity> activities_;
};

// Hands each answer and its pupil's key to a writer; false stops the reading.
using XapiSink = std::function<bool(exchange::XapiAnswer& answer, const QString& pupil_key)>;

// The record's answers within the filter.
bool ExportXapi(const QSqlDatabase& db, const ReportFilter& filter, const exchange::CurriculumCodes& codes,
                const QString& path, QString* error);

// The answers `read` gives (in the filter's days): `read` returns why it
// could not read them, empty when it read them all.
bool ExportXapiFrom(const std::function<QString(const XapiSink&)>& read, const exchange::CurriculumCodes& codes,
                    const QString& path, QString* error);

}  // namespace sorelka::report
