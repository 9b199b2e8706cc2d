#pragma once

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
// at the end, so every older file is upgraded with its rows kept.
const std::vector<Migration>& Migrations();

// The version this program writes: the last step's.
int SchemaVersion();

// The first version with the learning record's tables (pupils, drills,
// history); later steps add only indexes, kept figures and other tables.
inline constexpr int kLearningRecordTablesVersion = 2;
// The first version with the tables of sending the record to a server.
inline constexpr int kSyncTablesVersion = 5;

}  // namespace sorelka::record
