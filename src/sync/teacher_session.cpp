#include "sync/teacher_session.h"

namespace sorelka::sync {

PgValue Bound(const QString& text) {
    if (text.isNull()) return std::nullopt;
    return text.toUtf8();
}

QString TeacherSession::Refusal(const ServerConfig& pc_config) {
    if (pc_config.sslmode == QStringLiteral("verify-full")) return {};
    return QStringLiteral("この設定（sslmode=%1）では、学校のサーバーが本物かどうか確かめられないため、"
                          "先生のパスワードは送りません。管理者に sslmode=verify-full にしてもらってください。")
        .arg(pc_config.sslmode);
}

std::unique_ptr<TeacherSession> TeacherSession::SignIn(const ServerConfig& pc_config, const QString& teacher,
                                                       const QString& password, QString* problem,
                                                       int connect_timeout_s) {
    if (const QString refusal = Refusal(pc_config); !refusal.isEmpty()) {
        *problem = refusal;
        return nullptr;
    }
    std::unique_ptr<TeacherSession> session(new TeacherSession);
    session->config_ = pc_config.AsTeacher(teacher.trimmed(), password);
    session->teacher_ = teacher.trimmed();
    session->connect_timeout_s_ = connect_timeout_s;
    if (session->teacher_.isEmpty()) {
        *problem = QStringLiteral("サーバーの ユーザー名を入れてください。");
        return nullptr;
    }
    if (const QString why = session->connection_.Open(session->config_, connect_timeout_s); !why.isEmpty()) {
        // libpq's words name the role but never the password.
        *problem = why.contains(QStringLiteral("password authentication failed")) ||
                           why.contains(QStringLiteral("no password supplied"))
                       ? QStringLiteral("ユーザー名か パスワードが ちがいます。")
                       : QStringLiteral("学校のサーバーに つながりません。\n") + why;
        return nullptr;
    }
    return session;
}

std::unique_ptr<TeacherSession> TeacherSession::Another() const {
    std::unique_ptr<TeacherSession> other(new TeacherSession);
    other->config_ = config_;
    other->teacher_ = teacher_;
    other->connect_timeout_s_ = connect_timeout_s_;
    return other;
}

PgResult TeacherSession::Exec(const QString& sql, const std::vector<PgValue>& values) {
    PgResult result = connection_.Exec(sql, values);
    // A connection the server or the network dropped is opened once more.
    if (!result.ok() && result.sqlstate().isEmpty() && connection_.Open(config_, connect_timeout_s_).isEmpty())
        result = connection_.Exec(sql, values);
    return result;
}

QStringList TeacherSession::Classes() {
    QStringList names;
    const PgResult r = Exec(QStringLiteral("select * from sorelka_classes()"));
    for (int i = 0; r.ok() && i < r.rows(); ++i) names << r.text(i, 0);
    return names;
}

bool TeacherSession::Stream(const QString& sql, const std::vector<PgValue>& values,
                            const std::function<void(const PgResult& batch)>& take, QString* problem) {
    auto failed = [&](const PgResult& r) {
        *problem = Reason(r);
        connection_.Exec(QStringLiteral("rollback"));
        return false;
    };
    if (PgResult r = Exec(QStringLiteral("begin read only")); !r.ok()) return failed(r);
    const PgResult opened = connection_.Exec(sql, values);
    if (!opened.ok() || opened.rows() != 1) return failed(opened);
    const QString fetch = QStringLiteral("fetch 2000 from \"%1\"").arg(opened.text(0, 0).replace('"', "\"\""));
    for (;;) {
        const PgResult batch = connection_.Exec(fetch);
        if (!batch.ok()) return failed(batch);
        if (batch.rows() == 0) break;
        take(batch);
    }
    connection_.Exec(QStringLiteral("commit"));
    return true;
}

QString TeacherSession::Reason(const PgResult& result) {
    if (result.ok()) return {};
    if (result.sqlstate() == QLatin1String("42501"))
        return QStringLiteral("このクラスを見る権限がありません（管理者に たのんでください）。");
    if (result.sqlstate() == QLatin1String("23505"))
        return QStringLiteral("そのクラスには 同じ名前の人が もういます。");
    if (result.sqlstate() == QLatin1String("42710"))
        return QStringLiteral("その名前のクラスは 学校のサーバーに もうあります。");
    if (result.sqlstate() == QLatin1String("22023")) return QStringLiteral("名前を入れてください。");
    if (result.sqlstate() == QLatin1String("P0002"))
        return QStringLiteral("そのクラスに その名前の人は いません。");
    return QStringLiteral("学校のサーバーで できませんでした: ") + result.error();
}

QString TeacherSession::Change(const QString& sql, const std::vector<PgValue>& values) {
    return Reason(Exec(sql, values));
}

QString TeacherSession::RenamePupil(const QString& class_name, const QString& name, const QString& new_name) {
    return Change(QStringLiteral("select sorelka_rename_pupil($1, $2, $3)"),
                  {Bound(class_name), Bound(name), Bound(new_name)});
}

QString TeacherSession::MovePupil(const QString& class_name, const QString& name, const QString& to_class) {
    return Change(QStringLiteral("select sorelka_move_pupil($1, $2, $3)"),
                  {Bound(class_name), Bound(name), Bound(to_class)});
}

QString TeacherSession::DeletePupil(const QString& class_name, const QString& name) {
    return Change(QStringLiteral("select sorelka_delete_pupil($1, $2)"), {Bound(class_name), Bound(name)});
}

QString TeacherSession::RenameClass(const QString& class_name, const QString& new_name) {
    return Change(QStringLiteral("select sorelka_rename_class($1, $2)"), {Bound(class_name), Bound(new_name)});
}

QString TeacherSession::AddPupil(const QString& class_name, const QString& name) {
    return Change(QStringLiteral("select sorelka_add_pupil($1, $2, null)"), {Bound(class_name), Bound(name)});
}

QString TeacherSession::ArchivePupil(const QString& class_name, const QString& name, bool archived) {
    return Change(QStringLiteral("select sorelka_archive_pupil($1, $2, $3::boolean)"),
                  {Bound(class_name), Bound(name), QByteArray(archived ? "true" : "false")});
}

std::vector<UnmatchedPupil> TeacherSession::Unmatched(const QString& class_name, QString* problem) {
    std::vector<UnmatchedPupil> rows;
    const PgResult r = Exec(QStringLiteral("select * from sorelka_unmatched($1)"), {Bound(class_name)});
    *problem = Reason(r);
    for (int i = 0; r.ok() && i < r.rows(); ++i)
        rows.push_back({r.text(i, 0), r.text(i, 1), r.number(i, 2), r.text(i, 3), r.number(i, 4), r.text(i, 5),
                        r.text(i, 6)});
    return rows;
}

QString TeacherSession::AttachPupil(const UnmatchedPupil& row, const QString& class_name, const QString& name) {
    return Change(QStringLiteral("select sorelka_attach_pupil($1, $2::bigint, $3, $4)"),
                  {Bound(row.pc_id), QByteArray::number(row.pupil_id), Bound(class_name), Bound(name)});
}

QString TeacherSession::DropPupil(const UnmatchedPupil& row) {
    return Change(QStringLiteral("select sorelka_drop_pupil($1, $2::bigint)"),
                  {Bound(row.pc_id), QByteArray::number(row.pupil_id)});
}

}  // namespace sorelka::sync
