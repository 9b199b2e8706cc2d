#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The work the teacher gave on the school's server, as the sync last
// fetched it (table work_given), and which of it is still open for a pupil.
namespace sorelka::record {

// One piece of work: what to practise is exactly one of a topic's menu item,
// one skill, or "おすすめ" (the pupil's own weakest skills).
struct WorkPiece {
    qint64 id = 0;
    QString class_name;
    QString title;
    std::optional<int> topic;
    std::optional<int> menu_choice;
    QString skill;  // empty unless the piece names a skill
    bool recommended = false;
    int problems = 0;
    QString due_day;     // "YYYY-MM-DD"
    QStringList pupils;  // names in the class; empty: the whole class
    bool withdrawn = false;
    // This PC's pupils (their ids) the piece is for, as the server worked
    // them out, each with the answers for it the same pupil sent from other
    // PCs.
    QHash<qint64, int> for_pupils;

    bool operator==(const WorkPiece&) const = default;
};

// A piece as one pupil sees it.
struct OpenPiece {
    WorkPiece piece;
    int answered = 0;   // the pupil's answers for it here and on other PCs
    bool past_due = false;
};

// True when `piece` is for the pupil with this id on this PC and not withdrawn.
bool IsForPupil(const WorkPiece& piece, qint64 pupil_id);

// The pieces still open for the pupil, in the order given: for the pupil
// (IsForPupil) with fewer answers, here (`answered`) and on other PCs, than
// its problems. Past its due day a piece stays open and is marked. `today`
// "YYYY-MM-DD".
std::vector<OpenPiece> OpenWork(const std::vector<WorkPiece>& pieces, qint64 pupil_id,
                                const QHash<qint64, int>& answered, const QString& today);

// The last list fetched, by due day then id; none for a file without the
// tables (an older layout) or on an error.
std::vector<WorkPiece> ReadWorkGiven(QSqlDatabase& db);
// The id of the pupil of that name on this PC; none for the guest (empty).
std::optional<qint64> PupilId(QSqlDatabase& db, const QString& pupil);
// The pupil's answers per piece on this PC (practice answers given for it).
QHash<qint64, int> WorkAnswers(QSqlDatabase& db, qint64 pupil_id);

// Puts `pieces` in place of the list in one transaction on `db`; false (and
// the list unchanged) when the file does not take it.
bool ReplaceWorkGiven(QSqlDatabase& db, const std::vector<WorkPiece>& pieces, const QString& fetched_at,
                      QString* problem);

}  // namespace sorelka::record
