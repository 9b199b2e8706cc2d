#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "sync/teacher_session.h"

// The teacher's side of the work given to a class (かだい) and of the lesson
// live (いまの ようす): each call is one statement on the teacher's
// connection, a bound-parameter call of one of the server's functions
// (sorelka_work_make, …, sorelka_live), which check the class for the
// signed-in role. Calls block the calling thread: the live view runs Live on
// a TeacherSession of its own (TeacherSession::Another) off the
// user-interface thread.
namespace sorelka::sync {

// One piece of work as the teacher makes it and the server lists it. What
// to practise is exactly one of: a topic's menu item (topic and
// menu_choice), one skill, or recommended (each pupil's own weakest skills).
struct WorkPiece {
    qint64 id = 0;  // the server's id; 0 for a piece not made yet
    QString title;
    std::optional<int> topic, menu_choice;
    QString skill;  // empty: not a skill
    bool recommended = false;
    int problems = 10;
    QDate due_day;
    QStringList pupils;  // names in the class; empty: the whole class
    QDateTime made_at;       // the server's clock
    QDateTime withdrawn_at;  // invalid while the piece is open
    bool withdrawn() const { return withdrawn_at.isValid(); }
};

// Reads what a piece is to practise from five columns of `r` from `column`
// on: topic, menu_choice, skill, recommended, problems (the order of the
// server's work tables). For the teacher's pieces and the PC's kept ones.
template <class Piece>
void ReadWorkWhat(const PgResult& r, int row, int column, Piece* piece) {
    piece->topic = r.optional_int(row, column);
    piece->menu_choice = r.optional_int(row, column + 1);
    piece->skill = r.text(row, column + 2);
    piece->recommended = r.text(row, column + 3) == QLatin1String("t");
    piece->problems = static_cast<int>(r.number(row, column + 4));
}

// One pupil's work on one piece not withdrawn: 0 answered when not started.
struct WorkProgressRow {
    qint64 work_id = 0;
    QString pupil;
    int answered = 0;
    int correct = 0;
    QStringList kinds;  // the error kinds met, most frequent first
};

// One listed pupil of the class now, by the server's clock.
struct LivePupil {
    QString pupil;
    // The form's object name ("TForm3") the pupil's PC that signalled last
    // shows; empty when that PC was not heard from (a signal or an answer
    // arriving) in the last minute.
    QString screen;
    std::optional<int> topic, menu_choice;
    std::optional<qint64> work_id;
    std::optional<int> signal_age;      // seconds since that PC was last heard from; none without a signal
    std::optional<int> screen_seconds;  // seconds on this screen (none with no screen)
    int answers = 0;                    // answers of the last 10 minutes
    int correct = 0;
    bool stuck = false;
    QString stuck_why;  // "３問中２問まちがい" / "３分 こたえが ない"
};

// Rows the server sent, or the server's reason in Japanese (rows empty).
template <typename Row>
struct Fetched {
    std::vector<Row> rows;
    QString problem;
    bool ok() const { return problem.isEmpty(); }
};

// The new piece's id, or 0 with the server's reason in Japanese.
struct MadeWork {
    qint64 id = 0;
    QString problem;
};

// A piece made for `class_name` (piece.id is ignored).
MadeWork MakeWork(TeacherSession& session, const QString& class_name, const WorkPiece& piece);
// The piece piece.id changed to what `piece` says; the reason, empty when done.
QString ChangeWork(TeacherSession& session, const WorkPiece& piece);
// The piece withdrawn (its answers stay on the server); empty when done.
QString WithdrawWork(TeacherSession& session, qint64 work_id);
// The class's pieces, newest first, withdrawn ones included.
Fetched<WorkPiece> ListWork(TeacherSession& session, const QString& class_name);
// Each open piece's pupils and how far each is.
Fetched<WorkProgressRow> WorkProgress(TeacherSession& session, const QString& class_name);
// Every listed pupil not archived, in the class list's order.
Fetched<LivePupil> Live(TeacherSession& session, const QString& class_name);

// The server's refusal of a work call in Japanese (TeacherSession::Reason
// for what is not the work's own).
QString WorkReason(const PgResult& result);

}  // namespace sorelka::sync
