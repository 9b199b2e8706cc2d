#pragma once

#include <QString>
#include <vector>

namespace sorelka::sync {

enum class Kind { Integer, Real, Text };

struct Column {
    const char* name;
    Kind kind;
};

// A table as both sides hold it: the same columns, the server's with pc_id
// in front. `id` comes first. `identity` names the columns that tell this
// file's row from another file's row under the same (pc_id, id): what no
// two record files write alike.
struct Table {
    const char* name;
    std::vector<Column> columns;
    std::vector<const char*> identity;

    // The position of column `name` (-1 when there is none).
    int Index(const char* name) const;
    // The columns, each prefixed ("d.id, d.uid, …").
    QString ColumnList(const QString& prefix = QString()) const;
};

extern const Table kPupils;
extern const Table kDrills;
extern const Table kHistory;
// history with work_id and skill, for a server that has those columns.
extern const Table kHistoryWork;

// What an administrator's command on the server says when the server's
// tables or functions are older than this program.
QString OlderServerSql();

// The columns of a drill that change after it was first written.
inline constexpr const char* kDrillFigures[] = {"finished_at", "questions", "correct", "points", "seconds"};

}  // namespace sorelka::sync
