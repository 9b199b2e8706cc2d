#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "record/record_store.h"

namespace sorelka::record {

// The name of the one class an older record file's pupils go to.
inline const QString kFirstClassName = QStringLiteral("クラス");
// The longest class name the roster takes, in characters.
inline constexpr int kLongestClassName = 20;

// The classes of the record file and which pupil is in which: the teacher's
// roster adds, renames and removes classes and moves pupils between them,
// the pupil choice lists a class's pupils, and the PC is set to a class
// (none: a computer room's PC, whose pupil choice shows every class).
class ClassRoster {
public:
    explicit ClassRoster(RecordStore& store) : store_(store) {}

    // Every class in the order made.
    QStringList Classes();
    // The class this PC is set to; empty when none.
    QString ThisPcClass();
    // Sets the PC to a class of the roster; an empty name sets it to none.
    void SetThisPcClass(const QString& name);
    // Where a pupil added on this PC goes: the PC's class, else the first.
    QString ClassForNewPupils();

    // Each returns a Japanese refusal for the teacher, empty when done.
    QString AddClass(const QString& typed);
    QString RenameClass(const QString& name, const QString& typed);
    // A class is removed only when no pupil is in it, and never the last one.
    QString RemoveClass(const QString& name);
    QString MovePupil(const QString& pupil, const QString& to_class);

    QString ClassOf(const QString& pupil);
    // The pupils (archived ones left out unless asked) of every class, the
    // PC's own class first and then in the order made; in each class the
    // order added.
    struct Group {
        QString class_name;
        QStringList pupils;
    };
    std::vector<Group> PupilsByClass(bool with_archived = false);

private:
    bool HasClass(const QString& name);
    // The trimmed name, or a refusal in `refusal`.
    QString CheckedName(const QString& typed, QString* refusal);

    RecordStore& store_;
};

}  // namespace sorelka::record
