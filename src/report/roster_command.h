#pragma once

#include <QString>
#include <QTextStream>
#include <optional>

#include "exchange/roster_files.h"

// `sorelka --import-roster PATH`: the school's class list put into this
// PC's record. PATH is a folder of a OneRoster CSV set or one plain CSV
// file (class, number, name, reading). The whole list is read and checked
// first; a list with a fault writes nothing and names the file, the line
// and the field. Exit 0 when put in, 1 when refused or not written.
namespace sorelka::report {

// The list at `path` read whole; nullopt after telling `err` the file, line
// and field of its fault (and that nothing was changed).
std::optional<exchange::Roster> ReadRosterOrTell(const QString& path, QTextStream& err);

int ImportRosterCommand(const QString& path, const QString& record_path, QTextStream& out, QTextStream& err);

}  // namespace sorelka::report
