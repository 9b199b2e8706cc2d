#pragma once

#include <QSqlDatabase>
#include <QStringList>
#include <vector>

namespace sorelka::record {

// One step up of the record file's layout: the statements that take a file
// of version - 1 to `version`. A file records its version in
// `PRAGMA user_version`; the program's files before versions existed read 0.
struct Migration {
    int version;
    QStringList statements;
};

// Every step in order, from version 1 on. A new table arrives as a new step
// at the end, so every older file is upgraded with its rows kept. Every step
// may run again on a file that has it already (a record put back from a dump
// of its statements keeps its tables but reads version 0): it then changes
// nothing but kept figures, which it counts afresh.
const std::vector<Migration>& Migrations();

// The version this program writes: the last step's.
int SchemaVersion();

// The version a file's tables show: the last step whose every table, index
// and trigger the file holds (0 for a file without the drill log), for a
// file whose user_version was lost.
int LayoutVersionFromTables(QSqlDatabase& db);

// The first version with the learning record's tables (pupils, drills,
// history); later steps add only indexes, kept figures and other tables.
inline constexpr int kLearningRecordTablesVersion = 2;
// The first version with the tables of sending the record to a server.
inline constexpr int kSyncTablesVersion = 5;
// The first version with history.work_id and history.skill and the work
// the teacher gave (work_given).
inline constexpr int kWorkTablesVersion = 12;
// The first version with the pupils each piece is for (work_for_pupils).
inline constexpr int kWorkPupilsVersion = 13;
// The first version that notes the pupils changed after they were sent
// (pupils_to_send).
inline constexpr int kPupilChangesVersion = 13;

}  // namespace sorelka::record
