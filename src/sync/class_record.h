#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <memory>

#include "sync/class_sync.h"

namespace sorelka::sync {

// The class as the school's server holds it, copied into an SQLite database
// in memory that has the record file's own layout (every layout step, so
// indexes, kept figures and triggers are there too): the report functions
// read it exactly as they read this PC's file.
//
// The copy is one record of one class: a pupil's name is the same pupil on
// every PC (ids given in order of the pupils' first appearance, so the
// roster order stays "who came first"); drills and answers get fresh ids in
// order of their time (started_at, answered_at; then PC and the PC's id), so
// "newest" and "the last 20 answers" mean the same as in one file. An answer
// whose pupil the server does not hold counts as the guest's.
//
// The worker makes the copy (Pack) and sends SQLite's image of it, so the
// thread that shows it only opens the image (Open): a few milliseconds where
// the copy itself takes about 8 µs an answer.
class ClassRecord {
public:
    // Builds the copy from the rows of `history` on a connection of its own
    // (on the calling thread); null with `problem` set (for the
    // administrator) when SQLite cannot.
    static std::unique_ptr<ClassRecord> Load(const ClassHistory& history, QString* problem);
    // Replaces the rows of a history read from the server by the image of
    // their copy (record, pcs); when the copy fails, the history says so as a
    // server that could not be read.
    static void Pack(ClassHistory& history);
    // The copy of `history`: its image when it has one, else its rows.
    // Null (with `problem`) when the server was not read or SQLite cannot.
    static std::unique_ptr<ClassRecord> Open(const ClassHistory& history, QString* problem);

    ~ClassRecord();
    ClassRecord(const ClassRecord&) = delete;
    ClassRecord& operator=(const ClassRecord&) = delete;

    QSqlDatabase database() const;
    int pcs() const { return pcs_; }  // PCs with any row on the server
    // Every pupil of the class in roster order, archived ones included.
    const QStringList& pupils() const { return pupils_; }

private:
    ClassRecord();
    bool OpenMemory(QString* problem);
    void ReadPupils();

    QString connection_;
    int pcs_ = 0;
    QStringList pupils_;
};

}  // namespace sorelka::sync
