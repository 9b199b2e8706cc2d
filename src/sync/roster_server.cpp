#include "sync/roster_server.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "sync/pg_connection.h"
#include "sync/server_tables.h"

namespace sorelka::sync {

QString ServerRosterImported::Text() const {
    QString text = QStringLiteral("学校のサーバーに名簿を読みこみました: 新しいクラス %1、%2 人追加、%3 人変更、"
                                  "%4 人が名簿からいなくなりました（おやすみにしました）、先生 %5 人。")
                       .arg(classes)
                       .arg(added)
                       .arg(changed)
                       .arg(gone)
                       .arg(teachers);
    if (!roles_made.isEmpty())
        text += QStringLiteral("\n先生のロールを作りました（%1）。ALTER ROLE … PASSWORD でパスワードを決めてください。")
                    .arg(roles_made);
    return text;
}

QString ImportRosterToServer(PgConnection& server, const exchange::Roster& roster, bool new_year,
                             ServerRosterImported* done) {
    QJsonArray classes, pupils, teachers;
    for (const exchange::RosterClass& c : roster.classes) classes.append(c.name);
    for (const exchange::RosterPupil& p : roster.pupils)
        pupils.append(QJsonObject{{QStringLiteral("source_id"), p.source_id},
                                  {QStringLiteral("class_name"), p.class_name},
                                  {QStringLiteral("name"), p.name},
                                  {QStringLiteral("reading"), p.reading},
                                  {QStringLiteral("number"), p.number > 0 ? QJsonValue(p.number) : QJsonValue()}});
    for (const exchange::RosterTeacher& t : roster.teachers) {
        if (t.username.isEmpty()) continue;  // no sign-in name: nothing to grant
        teachers.append(QJsonObject{{QStringLiteral("username"), t.username},
                                    {QStringLiteral("classes"), QJsonArray::fromStringList(t.class_names)}});
    }
    const QByteArray json = QJsonDocument(QJsonObject{{QStringLiteral("classes"), classes},
                                                      {QStringLiteral("pupils"), pupils},
                                                      {QStringLiteral("teachers"), teachers}})
                                .toJson(QJsonDocument::Compact);
    // A school's list may take longer than the sync's ten seconds.
    server.Exec(QStringLiteral("set statement_timeout = 0"));
    // Notices ("already a member of role …") are no news to the administrator.
    server.Exec(QStringLiteral("set client_min_messages = warning"));
    const PgResult r = server.Exec(
        QStringLiteral("select classes, added, changed, gone, teachers, roles_made"
                       " from sorelka_import_roster($1::jsonb, $2::boolean)"),
        {json, QByteArray(new_year ? "true" : "false")});
    if (!r.ok()) {
        if (r.sqlstate() == QStringLiteral("42883"))
            return OlderServerSql();
        if (r.sqlstate() == QStringLiteral("23505"))
            return QStringLiteral("同じクラスに同じ名前の子が二人になるため、読みこめません（%1）。").arg(r.error());
        if (r.sqlstate() == QStringLiteral("42501"))
            return QStringLiteral("このロールでは名簿を読みこめません。データベースの所有者として実行してください。");
        return QStringLiteral("サーバーが名簿を受けつけません: %1").arg(r.error());
    }
    *done = {static_cast<int>(r.number(0, 0)), static_cast<int>(r.number(0, 1)), static_cast<int>(r.number(0, 2)),
             static_cast<int>(r.number(0, 3)), static_cast<int>(r.number(0, 4)), r.text(0, 5)};
    return QString();
}

}  // namespace sorelka::sync
