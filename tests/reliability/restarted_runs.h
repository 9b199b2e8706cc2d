#pragma once

// The random pupil with the record's faults, in a program of its own that
// is killed now and then with SIGKILL (nothing in its memory survives, as
// when a PC loses power) and started again on the same folder, a day later
// on its clock. Every transaction any of those programs handed to the
// record, written or kept, is replayed here into a database in memory; at
// the end the file must hold exactly that.

#include <QString>

namespace sorelka {

// Runs `events` events for each of the seeds `seed`.. with `program` (this
// program, started with --child); prints the figures; 0 when every check held.
int RunWithRestarts(const QString& program, long events, unsigned seed, unsigned seeds);

}  // namespace sorelka
