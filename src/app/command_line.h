#pragma once

#include <QString>
#include <QStringList>

// What the program's command line asks for, read before any window or
// application object exists, so that a mistyped option ends the program
// with its usage instead of opening the menu as if nothing were said.
namespace sorelka {

enum class CommandMode {
    Menu,           // no option of the program's own: the main menu
    Help,           // -h, --help: the usage on standard output
    Export,         // --export and its options (report::RunCommandLine checks their values)
    SetTeacherPin,  // --set-teacher-pin
    ImportRoster,   // --import-roster PATH (in `value`)
    Refused,        // an unknown option, a missing value or a stray word
};

struct CommandLine {
    CommandMode mode = CommandMode::Menu;
    QString refusal;  // one Japanese line when Refused
    QString value;    // the option's value for ImportRoster
    bool to_server = false;  // ImportRoster: into the school's server (--server)
    bool new_school_year = false;  // ImportRoster --server: a new school year's list
};

// Reads `arguments` (the program's own path first). Qt's own options
// (-platform, -style, …) are let through for Qt.
CommandLine ReadCommandLine(const QStringList& arguments);

// Every option of the program, in Japanese.
QString Usage();

}  // namespace sorelka
