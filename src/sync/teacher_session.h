#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "sync/pg_connection.h"
#include "sync/server_config.h"

namespace sorelka::sync {

// A teacher signed in to the school's server with their own role: the
// classes granted to it, read and counted by the functions the server's
// SQL ships (sorelka_class_summary, …), and the roster changes that reach
// every PC's rows there. The password is the one typed, held in memory for
// this connection only. Calls block the calling thread; each is one
// statement over the classes' own indexes.
// A PC's pupils row of a class that no listed pupil matches and no teacher
// dealt with: its answers count for nobody until attached to a pupil.
struct UnmatchedPupil {
    QString name;
    QString pc_id;     // the PC's record id and its row's id there
    qint64 pupil_id = 0;
    QString pc;        // the PC's role on the server
    qint64 answers = 0;
    QString first_day, last_day;  // "YYYY-MM-DD", empty without answers
};

class TeacherSession {
public:
    // Signs in as `teacher` to the server `pc_config` names (its host, TLS
    // and CA; not its role or password file). Null with a Japanese reason in
    // `problem` when the server cannot be reached or refuses the login, and
    // without any connection when the configuration would not verify the
    // server (see Refusal).
    static std::unique_ptr<TeacherSession> SignIn(const ServerConfig& pc_config, const QString& teacher,
                                                  const QString& password, QString* problem,
                                                  int connect_timeout_s = 5);

    // Why a teacher's password is never sent to the server `pc_config`
    // names: only a server whose certificate and name are checked against
    // the school's CA (sslmode=verify-full) is given it. Empty when it may be.
    static QString Refusal(const ServerConfig& pc_config);

    // Another session as the same teacher, not connected yet: its first
    // statement opens its own connection, so it can read on a thread of its
    // own without waiting for, or holding up, this one.
    std::unique_ptr<TeacherSession> Another() const;

    const QString& teacher() const { return teacher_; }
    // The classes granted to this teacher, by name.
    QStringList Classes();

    // One statement on the teacher's connection (reconnecting once when the
    // connection was lost).
    PgResult Exec(const QString& sql, const std::vector<PgValue>& values = {});
    // Runs `sql`, a call of a function that opens a cursor and returns its
    // name, in a read-only transaction, and hands the cursor's rows to
    // `take` a batch at a time, so a whole class's answers never sit in
    // memory at once. False with the server's reason in `problem`.
    bool Stream(const QString& sql, const std::vector<PgValue>& values,
                const std::function<void(const PgResult& batch)>& take, QString* problem);

    // The roster's changes on the server, for every PC's rows of the
    // class's pupil; each returns the server's reason, empty when done.
    QString RenamePupil(const QString& class_name, const QString& name, const QString& new_name);
    QString MovePupil(const QString& class_name, const QString& name, const QString& to_class);
    QString DeletePupil(const QString& class_name, const QString& name);
    QString RenameClass(const QString& class_name, const QString& new_name);
    // A pupil added to the class's list on the server / resting or back.
    QString AddPupil(const QString& class_name, const QString& name);
    QString ArchivePupil(const QString& class_name, const QString& name, bool archived);

    // The class's unmatched PC rows (empty with the reason in `problem`
    // when the server refused).
    std::vector<UnmatchedPupil> Unmatched(const QString& class_name, QString* problem);
    // An unmatched row attached to the class's listed pupil `name` / dropped
    // (its answers count nowhere, the rows stay).
    QString AttachPupil(const UnmatchedPupil& row, const QString& class_name, const QString& name);
    QString DropPupil(const UnmatchedPupil& row);

    // The server's refusal in Japanese ("…は このクラスを見る権限がありません").
    static QString Reason(const PgResult& result);

private:
    TeacherSession() = default;
    QString Change(const QString& sql, const std::vector<PgValue>& values);

    ServerConfig config_;
    QString teacher_;
    int connect_timeout_s_ = 5;
    PgConnection connection_;
};

// A text as a bound value; a null QString is NULL.
PgValue Bound(const QString& text);

}  // namespace sorelka::sync
