#pragma once

#include <QString>
#include <memory>

#include "sync/class_work.h"

namespace sorelka {

// The rows as the server's calls give them (sync/class_work.h).
using sync::LivePupil;
using sync::WorkPiece;
using sync::WorkProgressRow;

// The work a teacher gives, as the "かだい" tab reaches it: on the school's
// server through the teacher's session, or a fake in tests. Each change
// returns the server's reason in Japanese, empty when done.
class WorkSource {
public:
    virtual ~WorkSource() = default;
    virtual sync::MadeWork Make(const QString& class_name, const WorkPiece& piece) = 0;
    virtual QString Change(const WorkPiece& piece) = 0;
    virtual QString Withdraw(qint64 id) = 0;
    // The class's pieces, newest first, withdrawn ones included.
    virtual sync::Fetched<WorkPiece> List(const QString& class_name) = 0;
    // One row per piece not withdrawn and pupil it is for.
    virtual sync::Fetched<WorkProgressRow> Progress(const QString& class_name) = 0;
};

// The class now, as the "いまの ようす" tab reads it. Read on a thread of
// its own: a source is made for the tab and used only there.
class LiveSource {
public:
    virtual ~LiveSource() = default;
    virtual sync::Fetched<LivePupil> Live(const QString& class_name) = 0;
};

// The real sources on the school's server: the work through the teacher's
// session (`session` outlives the source); the live class through a second
// connection of the same teacher, opened at the first reading, on the
// reading thread, so the window never waits for it.
std::unique_ptr<WorkSource> ServerWork(sync::TeacherSession& session);
std::unique_ptr<LiveSource> ServerLive(const sync::TeacherSession& session);

}  // namespace sorelka
