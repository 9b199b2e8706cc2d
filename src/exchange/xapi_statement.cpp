#include "exchange/xapi_statement.h"

#include <QUuid>
#include <algorithm>

namespace sorelka::exchange {

namespace {

// Names are made from these with UUID v5, so the same answer or pupil
// gives the same id in every export.
const QUuid kStatements(QStringLiteral("{6b1f1b2e-5d3c-4a8e-9a51-0c2f6c1d7e41}"));
const QUuid kPupils(QStringLiteral("{c4a3e0b7-2f9d-4d6a-8b0e-8e5b2a7f9c13}"));

QString Iri(const QString& rest) { return QLatin1String(kXapiBase) + rest; }

// ISO 8601 duration in seconds, two decimals at most ("PT12.35S").
QString Duration(double seconds) {
    QString s = QString::number(std::max(0.0, seconds), 'f', 2);
    while (s.endsWith(QLatin1Char('0'))) s.chop(1);
    if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    return QStringLiteral("PT") + s + QLatin1Char('S');
}

// `value` as a JSON string: quotes, backslashes and control characters
// escaped, the rest as UTF-8.
void AppendJsonText(QByteArray& out, const QString& value) {
    out += '"';
    for (const char c : value.toUtf8()) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20)
                    out += QByteArray("\\u00") + QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
                else
                    out += c;
        }
    }
    out += '"';
}

}  // namespace

QString XapiPupilKey(const QString& pc_id, const QString& pupil_row, const QString& listed_id,
                     const QString& school_place) {
    if (!listed_id.isEmpty()) return QStringLiteral("list:") + listed_id;
    if (!school_place.isEmpty()) return QStringLiteral("school:") + school_place;
    return QStringLiteral("pc:%1/%2").arg(pc_id, pupil_row.isEmpty() ? QStringLiteral("guest") : pupil_row);
}

QString XapiAccountName(const QString& pupil_key) {
    return QUuid::createUuidV5(kPupils, pupil_key).toString(QUuid::WithoutBraces);
}

// The statement is written field by field rather than through a JSON
// document: a class's year is 300,000 statements, and building and
// serialising a QJsonObject for each took most of the ten seconds the
// export may take. Every text goes through AppendJsonText; the validator in the
// tests reads every line back.
QByteArray XapiStatementLine(const XapiAnswer& a) {
    QByteArray out;
    out.reserve(1024);
    auto text = [&](const QString& value) { AppendJsonText(out, value); };
    auto key = [&](const char* name) {
        out += '"';
        out += name;
        out += "\":";
    };
    out += '{';
    key("id");
    text(QUuid::createUuidV5(kStatements, QStringLiteral("%1/%2").arg(a.source).arg(a.answer_id))
             .toString(QUuid::WithoutBraces));
    out += ",\"actor\":{\"objectType\":\"Agent\",\"account\":{\"homePage\":";
    text(Iri(QStringLiteral("pupils")));
    out += ",\"name\":";
    text(a.account);
    out += "}},\"verb\":{\"id\":\"http://adlnet.gov/expapi/verbs/answered\","
           "\"display\":{\"ja-JP\":\"\xe7\xad\x94\xe3\x81\x88\xe3\x81\x9f\",\"en-US\":\"answered\"}},";
    out += "\"object\":{\"objectType\":\"Activity\",\"id\":";
    // A drill's number and a practice menu's item are apart: each is its own activity.
    text(Iri(QStringLiteral("activities/topic/%1").arg(a.topic) +
             (a.menu_choice <= 0                       ? QString()
              : a.mode == QLatin1String("drill") ? QStringLiteral("/drill/%1").arg(a.menu_choice)
                                                 : QStringLiteral("/item/%1").arg(a.menu_choice))));
    out += ",\"definition\":{\"type\":\"http://adlnet.gov/expapi/activities/cmi.interaction\","
           "\"interactionType\":\"fill-in\",\"name\":{\"ja-JP\":";
    text(a.activity_name);
    out += '}';
    if (!a.curriculum_codes.isEmpty()) {
        out += ",\"extensions\":{\"https://w3id.org/japan-xapi/extensions/course-of-study-code\":[";
        for (qsizetype i = 0; i < a.curriculum_codes.size(); ++i) {
            if (i) out += ',';
            text(a.curriculum_codes[i]);
        }
        out += "]}";
    }
    out += "}},\"result\":{\"success\":";
    out += a.correct ? "true" : "false";
    out += ",\"response\":";
    text(a.response);
    if (a.seconds) {
        out += ",\"duration\":";
        text(Duration(*a.seconds));
    }
    out += "},\"context\":{\"platform\":\"Sorelka\",\"language\":\"ja-JP\",\"extensions\":{";
    key("https://sorelka.invalid/xapi/mode");
    text(a.mode);
    if (!a.mistake_kind.isEmpty()) {
        out += ',';
        key("https://sorelka.invalid/xapi/mistake-kind");
        text(a.mistake_kind);
    }
    if (!a.skill.isEmpty()) {
        out += ',';
        key("https://sorelka.invalid/xapi/skills");
        out += '[';
        text(a.skill);
        out += ']';
    }
    if (a.work_id) {
        out += ',';
        key("https://sorelka.invalid/xapi/work");
        out += QByteArray::number(*a.work_id);
    }
    out += "}},\"timestamp\":";
    text(a.answered_at);
    out += ",\"version\":\"1.0.3\"}";
    return out;
}

}  // namespace sorelka::exchange
