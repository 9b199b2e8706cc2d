// The work a teacher gives and the class now on the school's server, through
// the teacher's calls (sync/class_work.h).
#include "app/teacher/work_source.h"
#include "sync/teacher_session.h"

namespace sorelka {

namespace {

class ServerWorkSource final : public WorkSource {
public:
    explicit ServerWorkSource(sync::TeacherSession& session) : session_(session) {}
    sync::MadeWork Make(const QString& class_name, const WorkPiece& piece) override {
        return sync::MakeWork(session_, class_name, piece);
    }
    QString Change(const WorkPiece& piece) override { return sync::ChangeWork(session_, piece); }
    QString Withdraw(qint64 id) override { return sync::WithdrawWork(session_, id); }
    sync::Fetched<WorkPiece> List(const QString& class_name) override { return sync::ListWork(session_, class_name); }
    sync::Fetched<WorkProgressRow> Progress(const QString& class_name) override {
        return sync::WorkProgress(session_, class_name);
    }

private:
    sync::TeacherSession& session_;
};

class ServerLiveSource final : public LiveSource {
public:
    explicit ServerLiveSource(const sync::TeacherSession& session) : session_(session.Another()) {}
    sync::Fetched<LivePupil> Live(const QString& class_name) override { return sync::Live(*session_, class_name); }

private:
    std::unique_ptr<sync::TeacherSession> session_;  // its own connection, opened by the first reading
};

}  // namespace

std::unique_ptr<WorkSource> ServerWork(sync::TeacherSession& session) {
    return std::make_unique<ServerWorkSource>(session);
}

std::unique_ptr<LiveSource> ServerLive(const sync::TeacherSession& session) {
    return std::make_unique<ServerLiveSource>(session);
}

}  // namespace sorelka
