#include "sync/server_config.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace sorelka::sync {

namespace {

const QString kGroup = QStringLiteral("class_server");

// libpq's values of sslmode.
const QStringList kSslModes = {QStringLiteral("disable"),   QStringLiteral("allow"),
                               QStringLiteral("prefer"),    QStringLiteral("require"),
                               QStringLiteral("verify-ca"), QStringLiteral("verify-full")};

// The longest password file read: a password, not a file someone pointed at by mistake.
constexpr qint64 kLongestPasswordFile = 4096;

}  // namespace

QString ServerConfig::Describe() const {
    return QStringLiteral("%1@%2:%3/%4").arg(user, host).arg(port).arg(database);
}

QString ReadPasswordFile(const QString& path, QString* password) {
    password->clear();
    if (path.isEmpty())
        return QStringLiteral("[class_server] に password_file がありません。");
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("パスワードのファイル %1 がありません。").arg(path);
    if (!info.isFile())
        return QStringLiteral("パスワードのファイル %1 はふつうのファイルではありません。").arg(path);
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    if (info.permissions() & others)
        return QStringLiteral(
                   "パスワードのファイル %1 は持ち主のほかにも読み書きできるため使いません。"
                   "「chmod 600 %1」で持ち主だけが読めるようにしてください。")
            .arg(path);
    QFile file(path);
    if (info.size() > kLongestPasswordFile || !file.open(QIODevice::ReadOnly))
        return QStringLiteral("パスワードのファイル %1 を読めません。").arg(path);
    QByteArray first = file.read(kLongestPasswordFile);
    const qsizetype end = first.indexOf('\n');
    if (end >= 0) first.truncate(end);
    if (first.endsWith('\r')) first.chop(1);
    if (first.isEmpty())
        return QStringLiteral("パスワードのファイル %1 が空です。").arg(path);
    *password = QString::fromUtf8(first);
    return QString();
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
    config.host = settings.value(QStringLiteral("host")).toString().trimmed();
    config.database = settings.value(QStringLiteral("database")).toString().trimmed();
    config.user = settings.value(QStringLiteral("user")).toString().trimmed();
    config.password_file = settings.value(QStringLiteral("password_file")).toString().trimmed();
    config.sslmode =
        settings.value(QStringLiteral("sslmode"), config.sslmode).toString().trimmed().toLower();
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
    } else {
        reading.problem = ReadPasswordFile(config.password_file, &config.password);
    }
    if (reading.problem.isEmpty()) reading.config = std::move(config);
    return reading;
}

ConfigReading ReadServerConfig() {
    // The same file the program keeps its own settings in; QSettings looks
    // in the system's folders (XDG_CONFIG_DIRS) for keys the user's lacks.
    const QString app = QCoreApplication::applicationName();
    const QString org = QCoreApplication::organizationName();
    QSettings settings(QSettings::UserScope, org.isEmpty() ? app : org, app);
    return ReadServerConfig(settings);
}

}  // namespace sorelka::sync
