#pragma once

#include <QString>
#include <optional>
#include <vector>

// Every statement the program writes through the record store, each under a
// fixed name. A journal of kept answers stores the name and the values, never
// the statement: replaying it runs only these statements, prepared, with the
// values bound, so a journal's bytes can never become SQL.
namespace sorelka::record {

enum class Shape {
    DrillLogClear,
    DrillLogAdd,
    ClassThisPc,
    ClassAdd,
    ClassRename,
    ClassRenamePupils,
    ClassRemove,
    PupilMove,
    PupilAdd,
    PupilRename,
    PupilArchive,
    PupilRemoveMastery,
    PupilRemoveHistory,
    PupilRemoveDrills,
    PupilRemove,
    PupilRemoveHistoryConfirmed,
    PupilRemovePupilsConfirmed,
    PupilRemoveDrillsSent,
    AnswerAdd,
    DrillStart,
    DrillFigures,
    DrillFinish,
    MasteryAnswer,   // one row per skill: the row part repeated, comma-joined
    MasteryClear,
    MasteryRebuild,  // as MasteryAnswer
    SettingSet,      // a key of the program's own settings kept in the record
    AnswerAddWork,   // AnswerAdd with the answer's skill and the piece of work it was given for
    PupilImportAdd,     // a pupil of the school's class list, with its reading, class and id there
    PupilImportChange,  // a pupil (by id) as the school's class list has them now
    PupilImportGone,    // a pupil (by id) the school's class list no longer has, put to rest
};

// The statement of `shape`; for a shape of repeated rows, the part before
// the rows.
const QString& Sql(Shape shape);
// The repeated row of a shape of rows ("(?, ?, …)"), empty for the others.
const QString& RowSql(Shape shape);
// The whole statement of a shape of rows with `rows` rows (≥ 1).
QString RowsSql(Shape shape, int rows);

// A statement recognised as one of the shapes: which, and how many rows.
struct ShapeUse {
    QString name;  // the shape's name in a journal: "answer.add" …
    int rows = 1;
};
// The shape `sql` is, exactly as the program writes it; nullopt for any
// other text.
std::optional<ShapeUse> FindShape(const QString& sql);
// The statement of a shape named in a journal; nullopt for an unknown name
// or a row count the shape cannot have.
std::optional<QString> ShapeStatement(const QString& name, int rows);

}  // namespace sorelka::record
