#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "sync/class_sync.h"
#include "sync/server_config.h"

namespace sorelka::sync {
namespace {

// The password file: only a regular file its owner alone may read or write
// is used; everything else is refused with a message naming the file.
TEST(ServerConfig, PasswordFileIsUsedOnlyWhenItsOwnerAloneMayReadIt) {
    QTemporaryDir dir;
    const auto owner = QFile::ReadOwner | QFile::WriteOwner;
    struct Case {
        const char* name;
        QByteArray content;  // empty name for a folder
        QFile::Permissions permissions;
        bool used;
    };
    const Case cases[] = {
        {"owner-rw", "secret\n", owner, true},
        {"owner-r", "secret", QFile::ReadOwner, true},
        {"crlf", "secret\r\nsecond line\n", owner, true},
        {"group-read", "secret\n", owner | QFile::ReadGroup, false},
        {"world-read", "secret\n", owner | QFile::ReadGroup | QFile::ReadOther, false},
        {"world-write", "secret\n", owner | QFile::WriteOther, false},
        {"empty", "", owner, false},
        {"newline-only", "\n", owner, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.content);
        file.close();
        ASSERT_TRUE(file.setPermissions(c.permissions));
        QString password;
        const QString problem = ReadPasswordFile(path, &password);
        EXPECT_EQ(problem.isEmpty(), c.used) << problem.toStdString();
        EXPECT_EQ(password, c.used ? QStringLiteral("secret") : QString());
        if (!c.used) {
            EXPECT_TRUE(problem.contains(path));
        }
        if (c.permissions & (QFile::ReadGroup | QFile::WriteOther)) {
            EXPECT_TRUE(problem.contains(QStringLiteral("chmod 600")));
        }
    }
    QString password;
    EXPECT_FALSE(ReadPasswordFile(dir.filePath("missing"), &password).isEmpty());
    EXPECT_FALSE(ReadPasswordFile(dir.path(), &password).isEmpty());
}

void WriteConf(const QString& folder, const QString& text) {
    QDir().mkpath(folder + "/Sorelka");
    QFile file(folder + "/Sorelka/Sorelka.conf");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

// The system's file sets every PC, the user's own file wins key by key; no
// group: not configured at all; an unusable configuration says why, never
// with the password, and starts no worker.
TEST(ServerConfig, ReadsTheSystemFileWithTheUsersKeysWinning) {
    const QString user = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    const QString system = user + "/system";
    QTemporaryDir dir;
    const QString good = dir.filePath("good"), loose = dir.filePath("loose");
    for (const QString& path : {good, loose}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("p4ss\n");
        f.close();
        f.setPermissions(path == good ? QFile::ReadOwner | QFile::WriteOwner
                                      : QFile::ReadOwner | QFile::ReadOther);
    }
    const QString base = QStringLiteral("[class_server]\nhost=db.school\ndatabase=sorelka\nuser=pc\n");
    struct Case {
        const char* what;
        QString system_conf, user_conf;
        bool configured;
        QString host, sslmode;  // empty host: unusable
        int port;
    };
    const Case cases[] = {
        {"none", "", "[pupil]\nlast=はなこ\n", false, "", "", 0},
        {"system only", base + "password_file=" + good + "\n", "", true, "db.school", "require", 5432},
        {"user wins", base + "password_file=" + good + "\nport=5433\n",
         "[class_server]\nhost=localhost\nsslmode=disable\n", true, "localhost", "disable", 5433},
        {"loose password file", base + "password_file=" + loose + "\n", "", true, "", "", 0},
        {"no password file", base, "", true, "", "", 0},
        {"bad sslmode", base + "password_file=" + good + "\nsslmode=always\n", "", true, "", "", 0},
        {"bad port", base + "password_file=" + good + "\nport=70000\n", "", true, "", "", 0},
        {"no host", "[class_server]\ndatabase=x\nuser=pc\npassword_file=" + good + "\n", "", true, "", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteConf(system, c.system_conf);
        WriteConf(user, c.user_conf);
        const ConfigReading reading = ReadServerConfig();
        EXPECT_EQ(reading.configured, c.configured);
        EXPECT_FALSE(reading.problem.contains("p4ss"));
        std::unique_ptr<ClassSync> sync = ClassSync::FromSettings(dir.filePath("kyozai.db"));
        EXPECT_EQ(sync != nullptr, c.configured);
        if (c.host.isEmpty()) {
            EXPECT_FALSE(reading.config.has_value());
            EXPECT_EQ(reading.problem.isEmpty(), !c.configured);
            if (sync) {
                sync->Start();  // refused: no worker, the problem in the status
                EXPECT_TRUE(sync->status().configured);
                EXPECT_EQ(sync->status().problem, reading.problem);
            }
            continue;
        }
        ASSERT_TRUE(reading.config.has_value()) << reading.problem.toStdString();
        EXPECT_EQ(reading.config->host, c.host);
        EXPECT_EQ(reading.config->sslmode, c.sslmode);
        EXPECT_EQ(reading.config->port, c.port);
        EXPECT_EQ(reading.config->password, QStringLiteral("p4ss"));
        EXPECT_FALSE(reading.config->Describe().contains("p4ss"));
    }
    WriteConf(system, "");
    WriteConf(user, "");
}

}  // namespace
}  // namespace sorelka::sync
