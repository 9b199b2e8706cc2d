#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// One answer as an xAPI 1.0.3 statement, for the school's learning portal:
// the pupil as an account with a pseudonymous name (never the pupil's
// name), the verb "answered", the topic's menu item as the activity with
// its Japanese name (and its curriculum codes when known), the result and
// the context (the kind of mistake, the skills, the mode, the teacher's
// work). docs/XAPI.md lists every field.
namespace sorelka::exchange {

struct XapiAnswer {
    QString source;       // where the answer was kept: the PC's id (with the answer's id, the statement's id)
    qint64 answer_id = 0;
    QString account;      // XapiAccountName of the pupil
    QString answered_at;  // ISO 8601 with its offset
    int topic = 0;
    QString mode;         // practice, drill, find_mistake
    int menu_choice = 0;  // 0 when none
    QString activity_name;  // "わり算：２けたでわる"
    QStringList curriculum_codes;
    QString response;     // the answer as the pupil wrote it
    bool correct = false;
    std::optional<double> seconds;
    QString mistake_kind;
    QString skill;
    std::optional<qint64> work_id;
};

// The key an answer's pupil is known by, the same from the PC's record and
// from the school's server: "list:" and the pupil's id in the school's list
// when there is one; else "school:" and the server's own number for a
// listed pupil; else the PC (`pc_id`) and its row, or the PC's guest when
// `pupil_row` is empty.
QString XapiPupilKey(const QString& pc_id, const QString& pupil_row, const QString& listed_id,
                     const QString& school_place = QString());

// The pupil's account name: a UUID made from `pupil_key` (XapiPupilKey),
// never the name.
QString XapiAccountName(const QString& pupil_key);

// The statement as one line of JSON (no line break in it).
QByteArray XapiStatementLine(const XapiAnswer& answer);

// The IRIs this writes under; docs/XAPI.md.
inline constexpr char kXapiBase[] = "https://sorelka.invalid/xapi/";

}  // namespace sorelka::exchange
