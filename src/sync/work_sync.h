#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "record/work_given.h"

// The work the teacher gives and the "now on this screen" signal, as the
// sync worker exchanges them with a server that has their tables. An older
// server has none of them: the worker then goes on without both.
namespace sorelka::sync {

class PgConnection;

// Which screen this PC shows now (pc_presence's row).
struct Presence {
    std::optional<qint64> pupil_id;  // the PC's own id of the pupil; none: the guest
    QString screen;                  // the form's object name ("TForm1" the menu); empty: none
    std::optional<int> topic;
    std::optional<int> menu_choice;
    std::optional<qint64> work_id;

    bool operator==(const Presence&) const = default;
};

// What the connected server keeps of the work: the answers' two columns
// (history.work_id, history.skill) and the tables work_pieces, work_pupils
// and pc_presence.
// The channel on which the server notifies that work, a class list or a
// teacher's attachment changed.
inline constexpr char kWorkChannel[] = "sorelka_work";

struct ServerWork {
    bool history_columns = false;
    bool tables = false;
};

// True for the SQLSTATEs by which an older server says it has no such
// table, column or function (42P01, 42703, 42883).
bool MissingOnServer(const QString& sqlstate);

// Asks the server what it keeps; nullopt (and `problem`) when the
// connection failed rather than the server lacking something.
std::optional<ServerWork> AskServerWork(PgConnection& server, QString* problem);

// Every piece for a pupil of this PC (`pc_id`), withdrawn ones too, by id,
// with the pupils it is for as the server counts class members;
// nullopt (and `problem`, `sqlstate`) when the fetch failed.
std::optional<std::vector<record::WorkPiece>> FetchWork(PgConnection& server, const QString& pc_id,
                                                        QString* problem, QString* sqlstate);

// Writes this PC's presence row (pc_id claimed by the caller); the server's
// clock stamps it, and screen_since moves only when the screen changed.
bool SendPresence(PgConnection& server, const QString& pc_id, const Presence& presence, QString* problem,
                  QString* sqlstate);

}  // namespace sorelka::sync
