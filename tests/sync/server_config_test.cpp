#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QLineEdit>
#include <QPushButton>

#include "app/teacher/sign_in_dialog.h"
#include "record/system_settings.h"
#include "support/screen_support.h"
#include "sync/class_sync.h"
#include "sync/server_config.h"
#include "sync/teacher_session.h"

namespace sorelka::sync {
namespace {

using namespace sorelka::testing;

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

// The system's file sets every PC, and where it names a server the user's
// own file changes nothing of it; without one the user's file alone; no
// group: not configured at all; an unusable configuration says why, never
// with the password, and starts no worker; TLS that does not check the
// server works with a warning.
TEST(ServerConfig, ReadsTheSystemsServerWholeAndTheUsersOnlyWithoutOne) {
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
        {"the system's server whole", verified + "port=5433\n",
         "[class_server]\nhost=localhost\nport=5999\nsslmode=disable\n", true, "db.school", "verify-full", 5433,
         false},
        {"the user's without the system's", "[pupil]\nlast=はなこ\n", verified + "port=5434\n", true, "db.school",
         "verify-full", 5434, false},
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
        record::SystemSettingsFile system_file = record::OpenSystemSettings(system, record::OwnerCheck::Never);
        const ConfigReading reading = ReadServerConfig(system_file);
        EXPECT_EQ(reading.configured, c.configured);
        EXPECT_EQ(reading.from_system, c.system_conf.contains("[class_server]"));
        EXPECT_FALSE(reading.problem.contains("p4ss"));
        EXPECT_FALSE(reading.problem.contains(good) || reading.problem.contains(loose));
        std::unique_ptr<ClassSync> sync = ClassSync::FromSettings(dir.filePath("kyozai.db"), system);
        EXPECT_EQ(sync != nullptr, c.configured);
        // Run by anyone but root, the scratch folder is not root's: a problem, never its server.
        if (::geteuid() != 0) sync.reset();
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

// A teacher's password goes only to a server whose certificate and name are
// checked: any other sslmode is refused, in the dialog before anything is
// typed and in the sign-in before any connection is made (a listening
// socket stands in for a fake server and sees none).
TEST(ServerConfig, ATeachersSignInIsRefusedUnlessTheServerIsVerified) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof at;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&at), size), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&at), &size), 0);
    ServerConfig config;
    config.host = "127.0.0.1";
    config.port = ntohs(at.sin_port);
    config.database = "sorelka";
    config.user = "pc";
    for (const char* mode : {"disable", "allow", "prefer", "require", "verify-ca"}) {
        SCOPED_TRACE(mode);
        config.sslmode = mode;
        QString problem;
        EXPECT_EQ(TeacherSession::SignIn(config, "tanaka", "secret", &problem, 1), nullptr);
        EXPECT_TRUE(problem.contains(QString("sslmode=%1").arg(mode))) << problem.toStdString();
        EXPECT_TRUE(problem.contains("verify-full"));
        EXPECT_LT(::accept(listener, nullptr, nullptr), 0) << "no connection was made";

        SignInDialog dialog(config, nullptr);
        EXPECT_EQ(LabelText(&dialog, "SignInMessage"), problem);
        EXPECT_FALSE(Find<QPushButton>(&dialog, "SignInButton")->isEnabled());
        EXPECT_FALSE(Find<QLineEdit>(&dialog, "TeacherPasswordEdit")->isEnabled());
    }
    config.sslmode = "verify-full";
    EXPECT_TRUE(TeacherSession::Refusal(config).isEmpty());
    SignInDialog dialog(config, nullptr);
    EXPECT_TRUE(LabelText(&dialog, "SignInMessage").isEmpty());
    ::close(listener);
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
