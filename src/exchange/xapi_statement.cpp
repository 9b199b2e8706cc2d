#include "exchange/xapi_statement.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

}  // namespace

QString XapiAccountName(const QString& pupil_key) {
    return QUuid::createUuidV5(kPupils, pupil_key).toString(QUuid::WithoutBraces);
}

QByteArray XapiStatementLine(const XapiAnswer& a) {
    QJsonObject definition{
        {QStringLiteral("type"), QStringLiteral("http://adlnet.gov/expapi/activities/cmi.interaction")},
        {QStringLiteral("name"), QJsonObject{{QStringLiteral("ja-JP"), a.activity_name}}},
        {QStringLiteral("interactionType"), QStringLiteral("fill-in")},
    };
    if (!a.curriculum_codes.isEmpty())
        definition.insert(QStringLiteral("extensions"),
                          QJsonObject{{QStringLiteral("https://w3id.org/japan-xapi/extensions/course-of-study-code"),
                                       QJsonArray::fromStringList(a.curriculum_codes)}});
    QJsonObject result{{QStringLiteral("success"), a.correct}, {QStringLiteral("response"), a.response}};
    if (a.seconds) result.insert(QStringLiteral("duration"), Duration(*a.seconds));
    QJsonObject extensions{{Iri(QStringLiteral("mode")), a.mode}};
    if (!a.mistake_kind.isEmpty()) extensions.insert(Iri(QStringLiteral("mistake-kind")), a.mistake_kind);
    if (!a.skill.isEmpty()) extensions.insert(Iri(QStringLiteral("skills")), QJsonArray{a.skill});
    if (a.work_id) extensions.insert(Iri(QStringLiteral("work")), *a.work_id);
    const QString item = a.menu_choice > 0 ? QStringLiteral("/item/%1").arg(a.menu_choice) : QString();
    const QJsonObject statement{
        {QStringLiteral("id"), QUuid::createUuidV5(kStatements, QStringLiteral("%1/%2").arg(a.source).arg(a.answer_id))
                                   .toString(QUuid::WithoutBraces)},
        {QStringLiteral("actor"),
         QJsonObject{{QStringLiteral("objectType"), QStringLiteral("Agent")},
                     {QStringLiteral("account"), QJsonObject{{QStringLiteral("homePage"), Iri(QStringLiteral("pupils"))},
                                                             {QStringLiteral("name"), a.account}}}}},
        {QStringLiteral("verb"),
         QJsonObject{{QStringLiteral("id"), QStringLiteral("http://adlnet.gov/expapi/verbs/answered")},
                     {QStringLiteral("display"), QJsonObject{{QStringLiteral("ja-JP"), QStringLiteral("答えた")},
                                                             {QStringLiteral("en-US"), QStringLiteral("answered")}}}}},
        {QStringLiteral("object"),
         QJsonObject{{QStringLiteral("objectType"), QStringLiteral("Activity")},
                     {QStringLiteral("id"), Iri(QStringLiteral("activities/topic/%1").arg(a.topic) + item)},
                     {QStringLiteral("definition"), definition}}},
        {QStringLiteral("result"), result},
        {QStringLiteral("context"), QJsonObject{{QStringLiteral("platform"), QStringLiteral("Sorelka")},
                                                {QStringLiteral("language"), QStringLiteral("ja-JP")},
                                                {QStringLiteral("extensions"), extensions}}},
        {QStringLiteral("timestamp"), a.answered_at},
        {QStringLiteral("version"), QStringLiteral("1.0.3")},
    };
    return QJsonDocument(statement).toJson(QJsonDocument::Compact);
}

}  // namespace sorelka::exchange
