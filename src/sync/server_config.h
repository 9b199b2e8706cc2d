#pragma once

#include <QString>
#include <optional>

class QSettings;

namespace sorelka::sync {

// The school's server as the administrator configured it in group
// [class_server] of Sorelka.conf.
struct ServerConfig {
    QString host;
    int port = 5432;
    QString database;
    QString user;
    QString password_file;
    QString sslmode = QStringLiteral("require");
    // Read from password_file; never written anywhere.
    QString password;

    // "user@host:port/database", for messages (never the password).
    QString Describe() const;
};

// What the configuration says. Not configured: the program works on its own
// file alone. Configured but unusable: `problem` tells the administrator why
// (in Japanese) and nothing is sent.
struct ConfigReading {
    bool configured = false;
    std::optional<ServerConfig> config;
    QString problem;
};

// Reads group [class_server] of `settings`.
ConfigReading ReadServerConfig(QSettings& settings);
// Reads the program's own Sorelka.conf: the user's file
// ($XDG_CONFIG_HOME/Sorelka/Sorelka.conf) first, then the system's
// (/etc/xdg/Sorelka/Sorelka.conf) for each key the user's file lacks.
ConfigReading ReadServerConfig();

// Reads the password from `path`: a regular file that only its owner may
// read or write. Returns the problem (empty when the password was read);
// the password is the first line, without its line end.
QString ReadPasswordFile(const QString& path, QString* password);

}  // namespace sorelka::sync
