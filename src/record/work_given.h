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

    bool operator==(const WorkPiece&) const = default;
};

// A piece as one pupil sees it.
struct OpenPiece {
    WorkPiece piece;
    int answered = 0;   // the pupil's answers for it on this PC
    bool past_due = false;
};

// True when `piece` is for `pupil` of class `pupil_class`: not withdrawn, of
// that class, and for the whole class or naming the pupil.
bool IsForPupil(const WorkPiece& piece, const QString& pupil, const QString& pupil_class);

// The pieces still open for the pupil, in the order given: for the pupil
// (IsForPupil) with fewer answers than its problems. Past its due day a
// piece stays open and is marked. `today` "YYYY-MM-DD". The guest (empty
// name) has none.
std::vector<OpenPiece> OpenWork(const std::vector<WorkPiece>& pieces, const QString& pupil,
                                const QString& pupil_class, const QHash<qint64, int>& answered,
                                const QString& today);

// The last list fetched, by due day then id; none for a file without the
// table (an older layout) or on an error.
std::vector<WorkPiece> ReadWorkGiven(QSqlDatabase& db);
// The pupil's answers per piece on this PC (practice answers given for it).
QHash<qint64, int> WorkAnswers(QSqlDatabase& db, const QString& pupil);

// Puts `pieces` in place of the list in one transaction on `db`; false (and
// the list unchanged) when the file does not take it.
bool ReplaceWorkGiven(QSqlDatabase& db, const std::vector<WorkPiece>& pieces, const QString& fetched_at,
                      QString* problem);

}  // namespace sorelka::record
