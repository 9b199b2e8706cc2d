#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include "sync/class_sync.h"
#include "sync/server_config.h"

namespace sorelka::sync {
namespace {

// The password file: only a regular file its owner alone may read or write
// is used; everything else is refused with a message that names the setting
// but never its value (an administrator may have put the password there).
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
        const PasswordReading reading = ReadPasswordFile(path);
        EXPECT_EQ(reading.problem.isEmpty(), c.used) << reading.problem.toStdString();
        EXPECT_EQ(reading.password, c.used ? QStringLiteral("secret") : QString());
        EXPECT_FALSE(reading.problem.contains(c.name));
        if (!c.used) {
            EXPECT_TRUE(reading.problem.contains(QStringLiteral("password_file")));
        }
        if (c.permissions & (QFile::ReadGroup | QFile::WriteOther)) {
            EXPECT_TRUE(reading.problem.contains(QStringLiteral("chmod 600")));
        }
    }
    // A password written where its file's name belongs is not told back.
    for (const QString& path : {dir.filePath("missing"), dir.path(), QStringLiteral("hunter2-not-a-path")}) {
        const PasswordReading reading = ReadPasswordFile(path, QStringLiteral("reader_password_file"));
        EXPECT_TRUE(reading.problem.contains(QStringLiteral("reader_password_file")));
        EXPECT_FALSE(reading.problem.contains(QFileInfo(path).fileName())) << reading.problem.toStdString();
    }
}

void WriteConf(const QString& folder, const QString& text) {
    QDir().mkpath(folder + "/Sorelka");
    QFile file(folder + "/Sorelka/Sorelka.conf");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

// The system's file sets every PC, the user's own file wins key by key; no
// group: not configured at all; an unusable configuration says why, never
// with the password, and starts no worker; TLS that does not check the
// server works with a warning.
TEST(ServerConfig, ReadsTheSystemFileWithTheUsersKeysWinning) {
    const QString user = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    const QString system = user + "/system";
    QTemporaryDir dir;
    const QString good = dir.filePath("good"), loose = dir.filePath("loose"), ca = dir.filePath("ca.crt");
    for (const QString& path : {good, loose, ca}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("p4ss\n");
        f.close();
        f.setPermissions(path == good ? QFile::ReadOwner | QFile::WriteOwner
                                      : QFile::ReadOwner | QFile::ReadOther);
    }
    const QString base = QStringLiteral("[class_server]\nhost=db.school\ndatabase=sorelka\nuser=pc\n");
    const QString verified = base + "sslrootcert=" + ca + "\npassword_file=" + good + "\n";
    struct Case {
        const char* what;
        QString system_conf, user_conf;
        bool configured;
        QString host, sslmode;  // empty host: unusable
        int port;
        bool warned;
    };
    const Case cases[] = {
        {"none", "", "[pupil]\nlast=はなこ\n", false, "", "", 0, false},
        {"system only", verified, "", true, "db.school", "verify-full", 5432, false},
        {"user wins", verified + "port=5433\n", "[class_server]\nhost=localhost\nsslmode=disable\n", true,
         "localhost", "disable", 5433, false},
        {"require warns", verified + "sslmode=require\n", "", true, "db.school", "require", 5432, true},
        {"disable to another machine warns", base + "password_file=" + good + "\nsslmode=disable\n", "", true,
         "db.school", "disable", 5432, true},
        {"no CA to verify with", base + "password_file=" + good + "\n", "", true, "", "", 0, false},
        {"a CA that is not there", base + "sslrootcert=" + dir.filePath("none.crt") + "\npassword_file=" + good + "\n",
         "", true, "", "", 0, false},
        {"loose password file", base + "sslrootcert=" + ca + "\npassword_file=" + loose + "\n", "", true, "", "", 0,
         false},
        {"no password file", base + "sslrootcert=" + ca + "\n", "", true, "", "", 0, false},
        {"bad sslmode", verified + "sslmode=always\n", "", true, "", "", 0, false},
        {"bad port", verified + "port=70000\n", "", true, "", "", 0, false},
        {"no host", "[class_server]\ndatabase=x\nuser=pc\npassword_file=" + good + "\n", "", true, "", "", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteConf(system, c.system_conf);
        WriteConf(user, c.user_conf);
        const ConfigReading reading = ReadServerConfig();
        EXPECT_EQ(reading.configured, c.configured);
        EXPECT_FALSE(reading.problem.contains("p4ss"));
        EXPECT_FALSE(reading.problem.contains(good) || reading.problem.contains(loose));
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
        EXPECT_EQ(!reading.warning.isEmpty(), c.warned) << reading.warning.toStdString();
        const ServerConfig teacher = reading.config->AsTeacher("tanaka", "typed");
        EXPECT_EQ(std::make_pair(teacher.user, teacher.password), std::make_pair(QString("tanaka"), QString("typed")));
        EXPECT_TRUE(teacher.password_file.isEmpty());
    }
    WriteConf(system, "");
    WriteConf(user, "");
}

// After a failure the worker waits 1, 2, 4 … s, never longer than the longest.
TEST(SyncTiming, RetriesBackOffToTheLongestWait) {
    const SyncTiming timing{.first_retry_ms = 1000, .longest_retry_ms = 5000};
    std::vector<int> waits;
    for (int wait = 0, i = 0; i < 6; ++i) waits.push_back(wait = NextRetryMs(wait, timing));
    EXPECT_EQ(waits, (std::vector<int>{1000, 2000, 4000, 5000, 5000, 5000}));
}

}  // namespace
}  // namespace sorelka::sync
