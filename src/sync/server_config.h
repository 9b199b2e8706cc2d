#pragma once

#include <QString>
#include <optional>

class QSettings;

namespace sorelka::record {
struct SystemSettingsFile;
}

namespace sorelka::sync {

// The school's server as the administrator configured it in group
// [class_server] of Sorelka.conf.
struct ServerConfig {
    QString host;
    int port = 5432;
    QString database;
    QString user;  // this PC's own role (packaging/server/add-pc.sh makes it)
    QString password_file;
    // libpq's sslmode; verify-full checks the server's certificate against
    // the school's CA (sslrootcert) and its name against `host`.
    QString sslmode = QStringLiteral("verify-full");
    QString sslrootcert;
    // Read from password_file; never written anywhere.
    QString password;

    // "user@host:port/database", for messages (never the password).
    QString Describe() const;
    // The same server, signed in as a teacher's own role with the password
    // the teacher typed (kept in memory only, never in a file).
    ServerConfig AsTeacher(const QString& teacher, const QString& typed_password) const;
};

// What the configuration says. Not configured: the program works on its own
// file alone. Configured but unusable: `problem` tells the administrator why
// (in Japanese) and nothing is sent. `warning`: usable, but the server's
// certificate is not checked (told once on standard error).
struct ConfigReading {
    bool configured = false;
    std::optional<ServerConfig> config;
    QString problem;
    QString warning;
    bool from_system = false;
};

// Reads group [class_server] of `settings`.
ConfigReading ReadServerConfig(QSettings& settings);
// Reads the program's own Sorelka.conf. When the system's file (in
// `system_folder`, see record::OpenSystemSettings) names a server, the whole
// group is read from it alone: a user's own file changes nothing of it,
// and a system file that others could have written is a problem, never a
// server. Otherwise the user's file ($XDG_CONFIG_HOME/Sorelka/Sorelka.conf)
// alone. `from_system` tells which.
ConfigReading ReadServerConfig(const QString& system_folder);
ConfigReading ReadServerConfig(record::SystemSettingsFile& system);

// A password read from its file, or why not (in Japanese).
struct PasswordReading {
    QString password;
    QString problem;  // empty when the password was read
};
// Reads the password from `path`: a regular file that only its owner may
// read or write; the password is the first line, without its line end.
// `key` names the setting in the messages; the path itself never appears
// in them (an administrator may have put the password there by mistake).
PasswordReading ReadPasswordFile(const QString& path,
                                 const QString& key = QStringLiteral("password_file"));

}  // namespace sorelka::sync
