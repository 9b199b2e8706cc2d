#pragma once

#include <QString>

#include "exchange/roster_files.h"

// The school's class list put into this PC's record: its classes made, its
// pupils added, renamed, moved or brought back, and the pupils it no longer
// has put to rest. Nothing is ever deleted, and every answer stays with its
// pupil.
namespace sorelka::record {

class RecordStore;

struct RosterImported {
    int classes_added = 0;
    int pupils_added = 0;
    int pupils_changed = 0;  // renamed, moved to another class, or back from rest
    int pupils_gone = 0;     // no longer on the list: put to rest
    // One Japanese line that says so, for the command line.
    QString Text() const;
};

// Puts `roster` into the record in one transaction. A pupil of the list is
// matched by its id in the list, else a pupil of this PC of the same name
// not yet matched; the rest are added. Refuses (`refusal`, nothing
// written) a list in which two pupils share a name, since the record tells
// its pupils apart by name, or whose names the record does not take.
bool ImportRoster(RecordStore& store, const exchange::Roster& roster, RosterImported* done, QString* refusal);

}  // namespace sorelka::record
