#include "sync/server_config.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include "record/system_settings.h"

namespace sorelka::sync {

namespace {

const QString kGroup = QStringLiteral("class_server");

// libpq's values of sslmode.
const QStringList kSslModes = {QStringLiteral("disable"),   QStringLiteral("allow"),
                               QStringLiteral("prefer"),    QStringLiteral("require"),
                               QStringLiteral("verify-ca"), QStringLiteral("verify-full")};

// The longest password file read: a password, not a file someone pointed at by mistake.
constexpr qint64 kLongestPasswordFile = 4096;

// A server on this machine: a socket folder or a loopback address.
bool OnThisMachine(const QString& host) {
    return host.startsWith(QLatin1Char('/')) || host == QStringLiteral("localhost") ||
           host.startsWith(QStringLiteral("127.")) || host == QStringLiteral("::1");
}

// What sslmode leaves unchecked; empty when the server is checked.
QString SslWarning(const ServerConfig& config) {
    if (config.sslmode == QStringLiteral("verify-full")) return QString();
    if (config.sslmode == QStringLiteral("disable"))
        return OnThisMachine(config.host)
                   ? QString()
                   : QStringLiteral("[class_server] の sslmode=disable では記録を暗号化せずに送ります。"
                                    "sslrootcert に学校の CA を置き、sslmode=verify-full にしてください。");
    return QStringLiteral("[class_server] の sslmode=%1 では、答えているのが学校のサーバーかどうかを確かめません。"
                          "sslrootcert に学校の CA を置き、sslmode=verify-full にしてください。")
        .arg(config.sslmode);
}

// The problem with the CA file, empty when it can be used.
QString CheckRootCert(const ServerConfig& config) {
    const bool verifies = config.sslmode.startsWith(QStringLiteral("verify-"));
    if (config.sslrootcert.isEmpty())
        return verifies ? QStringLiteral("[class_server] に sslrootcert（学校の CA の証明書のファイル）がありません"
                                         "（sslmode=%1 にはいります）。")
                              .arg(config.sslmode)
                        : QString();
    // Qt's driver takes libpq's options as one text split at ";".
    if (config.sslrootcert.contains(QLatin1Char(';')))
        return QStringLiteral("[class_server] の sslrootcert のファイル名に「;」は使えません。");
    const QFileInfo info(config.sslrootcert);
    if (!info.isFile() || !info.isReadable())
        return QStringLiteral("[class_server] の sslrootcert のファイル %1 を読めません。").arg(config.sslrootcert);
    return QString();
}

}  // namespace

QString ServerConfig::Describe() const {
    return QStringLiteral("%1@%2:%3/%4").arg(user, host).arg(port).arg(database);
}

ServerConfig ServerConfig::AsTeacher(const QString& teacher, const QString& typed_password) const {
    ServerConfig config = *this;
    config.user = teacher;
    config.password_file.clear();
    config.password = typed_password;
    return config;
}

PasswordReading ReadPasswordFile(const QString& path, const QString& key) {
    PasswordReading reading;
    const QString named = QStringLiteral("[class_server] の %1").arg(key);
    if (path.isEmpty()) {
        reading.problem = QStringLiteral("[class_server] に %1 がありません。").arg(key);
        return reading;
    }
    const QFileInfo info(path);
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    if (!info.exists()) {
        reading.problem = named + QStringLiteral(" に書かれたファイルがありません。");
    } else if (!info.isFile()) {
        reading.problem = named + QStringLiteral(" に書かれたものは ふつうのファイルではありません。");
    } else if (info.permissions() & others) {
        reading.problem = named + QStringLiteral(
                                      " のファイルは持ち主のほかにも読み書きできるため使いません。"
                                      "「chmod 600」で持ち主だけが読めるようにしてください。");
    } else {
        QFile file(path);
        if (info.size() > kLongestPasswordFile || !file.open(QIODevice::ReadOnly)) {
            reading.problem = named + QStringLiteral(" のファイルを読めません。");
            return reading;
        }
        QByteArray first = file.read(kLongestPasswordFile);
        const qsizetype end = first.indexOf('\n');
        if (end >= 0) first.truncate(end);
        if (first.endsWith('\r')) first.chop(1);
        if (first.isEmpty())
            reading.problem = named + QStringLiteral(" のファイルが空です。");
        else
            reading.password = QString::fromUtf8(first);
    }
    return reading;
}

ConfigReading ReadServerConfig(QSettings& settings) {
    ConfigReading reading;
    settings.beginGroup(kGroup);
    const QStringList keys = settings.childKeys();
    if (keys.isEmpty()) {
        settings.endGroup();
        return reading;
    }
    reading.configured = true;
    ServerConfig config;
    auto text = [&](const char* key) { return settings.value(QLatin1String(key)).toString().trimmed(); };
    config.host = text("host");
    config.database = text("database");
    config.user = text("user");
    config.password_file = text("password_file");
    config.sslmode = settings.value(QStringLiteral("sslmode"), config.sslmode).toString().trimmed().toLower();
    config.sslrootcert = text("sslrootcert");
    const QString port_text = settings.value(QStringLiteral("port"), 5432).toString().trimmed();
    settings.endGroup();

    bool port_ok = false;
    config.port = port_text.toInt(&port_ok);
    QStringList missing;
    if (config.host.isEmpty()) missing << QStringLiteral("host");
    if (config.database.isEmpty()) missing << QStringLiteral("database");
    if (config.user.isEmpty()) missing << QStringLiteral("user");
    if (!missing.isEmpty()) {
        reading.problem =
            QStringLiteral("[class_server] に %1 がありません。").arg(missing.join(QStringLiteral("、")));
    } else if (!port_ok || config.port < 1 || config.port > 65535) {
        reading.problem = QStringLiteral("[class_server] の port「%1」は 1〜65535 の数ではありません。")
                              .arg(port_text);
    } else if (!kSslModes.contains(config.sslmode)) {
        reading.problem = QStringLiteral("[class_server] の sslmode「%1」は %2 のどれでもありません。")
                              .arg(config.sslmode, kSslModes.join(QStringLiteral(", ")));
    } else if (const QString cert = CheckRootCert(config); !cert.isEmpty()) {
        reading.problem = cert;
    } else {
        PasswordReading own = ReadPasswordFile(config.password_file);
        config.password = own.password;
        reading.problem = own.problem;
    }
    if (!reading.problem.isEmpty()) return reading;
    reading.warning = SslWarning(config);
    reading.config = std::move(config);
    return reading;
}

ConfigReading ReadServerConfig(const QString& system_folder) {
    record::SystemSettingsFile system = record::OpenSystemSettings(system_folder);
    return ReadServerConfig(system);
}

ConfigReading ReadServerConfig(record::SystemSettingsFile& system) {
    system.settings->beginGroup(kGroup);
    const bool system_names_one = !system.settings->childKeys().isEmpty();
    system.settings->endGroup();
    if (system_names_one) {
        if (!system.trusted()) {
            ConfigReading reading;
            reading.configured = true;
            reading.from_system = true;
            reading.problem = system.problem;
            return reading;
        }
        ConfigReading reading = ReadServerConfig(*system.settings);
        reading.from_system = true;
        return reading;
    }
    // The same file the program keeps its own settings in, without
    // QSettings' look into the system's folders for keys it lacks.
    const QString app = QCoreApplication::applicationName();
    const QString org = QCoreApplication::organizationName();
    QSettings settings(QSettings::UserScope, org.isEmpty() ? app : org, app);
    settings.setFallbacksEnabled(false);
    return ReadServerConfig(settings);
}

}  // namespace sorelka::sync
