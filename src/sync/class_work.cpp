#include "sync/class_work.h"

namespace sorelka::sync {

QString WorkReason(const PgResult& result) { return TeacherSession::Reason(result); }

MadeWork MakeWork(TeacherSession&, const QString&, const WorkPiece&) {
    return {0, QStringLiteral("まだ できません。")};
}

QString ChangeWork(TeacherSession&, const WorkPiece&) { return QStringLiteral("まだ できません。"); }

QString WithdrawWork(TeacherSession&, qint64) { return QStringLiteral("まだ できません。"); }

Fetched<WorkPiece> ListWork(TeacherSession&, const QString&) { return {{}, QStringLiteral("まだ できません。")}; }

Fetched<WorkProgressRow> WorkProgress(TeacherSession&, const QString&) {
    return {{}, QStringLiteral("まだ できません。")};
}

Fetched<LivePupil> Live(TeacherSession&, const QString&) { return {{}, QStringLiteral("まだ できません。")}; }

}  // namespace sorelka::sync
