#pragma once

#include <QString>
#include <QStringList>
#include <variant>
#include <vector>

// The school's class lists as they come from its administration system: a
// OneRoster 1.2 CSV set (the Japan Profile's and the Japan K-12 Schools
// Profile's fields for the reading of names and the pupils' numbers), or a
// plain CSV of class, number, name and reading. Read whole and checked
// before anything is written anywhere.
namespace sorelka::exchange {

struct RosterClass {
    QString source_id;  // the set's sourcedId; the class's name for a plain CSV
    QString name;       // what the class is called here ("4年1組")
    QString grade;      // the set's first grade ("04"); empty when not given
};

struct RosterPupil {
    QString source_id;  // the set's sourcedId; "class/number" for a plain CSV
    QString name;       // "たなか はなこ"
    QString reading;    // in kana; may be empty
    QString class_name;
    int number = 0;     // the class's attendance number; 0 when not given
};

struct RosterTeacher {
    QString source_id;
    QString username;  // the teacher's sign-in name on the school's server
    QString name;
    QStringList class_names;
};

struct Roster {
    std::vector<RosterClass> classes;
    std::vector<RosterPupil> pupils;  // by class, then number, then name
    std::vector<RosterTeacher> teachers;
};

// Why a set was refused: the file, the line (0: the file as a whole) and
// the field, and one Japanese sentence. Text() gives the whole line, as in
// "users.csv の 12 行目（givenName）: 名前が空です。".
struct RosterProblem {
    QString file;
    int line = 0;
    QString field;
    QString what;
    QString Text() const;
};

using RosterRead = std::variant<Roster, RosterProblem>;

// A OneRoster 1.2 CSV set in `folder` (manifest.csv, orgs.csv,
// academicSessions.csv, classes.csv, users.csv, roles.csv, enrollments.csv),
// bulk only. A file in Shift_JIS rather than UTF-8 is read as such.
// Records whose status is "tobedeleted" are left out; an empty status or
// dateLastModified is fine.
RosterRead ReadOneRoster(const QString& folder);

// A plain CSV with a header: クラス (or class), 番号 (number), 名前 (name),
// よみ (reading); one pupil a line.
RosterRead ReadPlainRoster(const QString& file);

// A folder is a OneRoster set, a file a plain CSV.
RosterRead ReadRoster(const QString& path);

// A CSV file's records, each with the line it starts on; `problem` set (and
// nothing returned) when the file cannot be read or a quote never closes.
struct CsvRecord {
    int line = 0;
    QStringList fields;
};
std::vector<CsvRecord> ReadCsvFile(const QString& path, RosterProblem* problem);

}  // namespace sorelka::exchange
