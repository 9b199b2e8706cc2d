#pragma once

#include <QString>

#include "exchange/roster_files.h"

// The school's class list put into the school's server by its administrator
// (the database's owner): the server's list of each class, who moved, who
// left, and the teachers' classes, in one transaction (sorelka_import_roster).
namespace sorelka::sync {

class PgConnection;

struct ServerRosterImported {
    int classes = 0;   // classes new to the server
    int added = 0;
    int changed = 0;   // moved, renamed, a new reading or number, back from rest
    int gone = 0;      // no longer on the list: put to rest
    int teachers = 0;
    QString roles_made;  // teachers' roles made without a password, comma-separated
    // What happened, in Japanese, for the command line.
    QString Text() const;
};

// Puts `roster` into the server `server` is connected to (as its owner).
// Empty on success; otherwise why not, in Japanese (nothing written).
// With `new_year`, the list is a new school year's: its teachers keep only
// the classes it gives them.
QString ImportRosterToServer(PgConnection& server, const exchange::Roster& roster, bool new_year,
                             ServerRosterImported* done);

}  // namespace sorelka::sync
