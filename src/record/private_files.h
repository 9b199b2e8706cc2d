#pragma once

#include <QSettings>
#include <QString>
#include <memory>

// Files only the account that runs the program may read: a pupil's answers
// and the teacher's settings stay out of other accounts' reach on a shared PC.
namespace sorelka::record {

// Makes `folder` (and any folder above it that is missing) and gives it mode
// 0700; an existing folder is narrowed to 0700 too. False when it cannot be made.
bool MakePrivateFolder(const QString& folder);

// Gives an existing file mode 0600, or makes it empty with mode 0600. An
// empty SQLite file is an empty database, so a record made this way is
// private from its first byte, and so are the -wal and -shm files SQLite
// makes beside it (they take the file's mode). False when it cannot be made.
bool MakePrivateFile(const QString& file);

// Narrows an existing file to 0600; nothing when it does not exist.
void KeepPrivate(const QString& file);

// `path` names a regular file inside `folder` (at any depth), reached with
// no symbolic link at any step below `folder`: what a list of the program's
// own copies may offer to read, put back or remove. A link, or a folder
// that is one, could lead anywhere outside.
bool PlainFileWithin(const QString& path, const QString& folder);

// The program's own settings file, $XDG_CONFIG_HOME/Sorelka/Sorelka.conf,
// made 0600 (its folder 0700) before QSettings writes it. QSettings writes
// through a temporary file renamed over the old one and keeps the old
// file's mode, so the file stays private at every later write. Every
// writer of the user's settings opens them here.
std::unique_ptr<QSettings> ProgramSettings();

}  // namespace sorelka::record
