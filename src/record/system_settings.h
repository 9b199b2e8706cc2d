#pragma once

#include <QSettings>
#include <QString>
#include <memory>

// The system's settings of the program, which the administrator writes and
// every user's program only reads: the teacher's PIN and the school's
// server. They are read from one fixed folder (set when the program is
// built), never from a folder an environment variable names, and only from
// files no one but root can change.
namespace sorelka::record {

// The folder the system's Sorelka/Sorelka.conf lives in (/etc/xdg unless
// the build says otherwise).
QString SystemConfigFolder();

// The system's settings, as read from `folder`/Sorelka/Sorelka.conf.
// `problem` (Japanese, for the administrator) is set when the file cannot
// be trusted: an account other than root could have written it.
struct SystemSettingsFile {
    std::unique_ptr<QSettings> settings;
    QString problem;
    bool trusted() const { return problem.isEmpty(); }
};

// When the owners are checked: UnlessRoot in the program (root may write
// the file anyway); tests choose.
enum class OwnerCheck { UnlessRoot, Always, Never };

// Opens the system's settings in `folder`. The file is trusted only when it
// and every folder above it are owned by root and writable by no group or
// other user, as sudo checks its own files; a file that does not exist is
// trusted when its nearest existing folder passes the same check.
SystemSettingsFile OpenSystemSettings(const QString& folder = SystemConfigFolder(),
                                      OwnerCheck check = OwnerCheck::UnlessRoot);

// Why `path` (a file or folder, and every folder above it) could have been
// written by an account other than root; empty when it could not.
QString WritableByOthers(const QString& path);

}  // namespace sorelka::record
