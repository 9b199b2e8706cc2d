#pragma once

#include <QDate>
#include <QString>
#include <functional>
#include <optional>

#include "exchange/xapi_statement.h"

// The school's answers read from its server for the learning portal, by its
// administrator (the database's owner), a batch at a time: a school's year
// is never held whole.
namespace sorelka::sync {

class PgConnection;

// Hands every answer of the server within the days (null: no bound) to
// `take`, in the order the PCs kept them, with its pupil's key
// (exchange::XapiPupilKey of the listed pupil the answer counts for, else of
// the PC's own row, as the PC's own export names it). Empty when every
// answer was read (or `take` stopped); otherwise why not, in Japanese.
QString ReadServerAnswers(PgConnection& server, std::optional<QDate> from, std::optional<QDate> to,
                          const std::function<bool(exchange::XapiAnswer& answer, const QString& pupil_key)>& take);

}  // namespace sorelka::sync
