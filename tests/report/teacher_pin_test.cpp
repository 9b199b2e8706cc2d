// The teacher's PIN: typed twice on first use and kept as a salted hash,
// the wait after five wrong tries, the administrator's PIN (set with
// `sorelka --set-teacher-pin` into the system's settings) that no user's
// file overrides, and first use only while the record has no pupil.
#include "report/teacher_pin.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace sorelka {
namespace {

using Set = report::TeacherPin::SetResult;
using Try = report::TeacherPin::TryResult;
using State = report::TeacherPin::State;

// A user's and the system's settings in a scratch folder, a record with or
// without pupils, and a clock.
struct PinFiles {
    QTemporaryDir folder;
    QSettings user{folder.path() + "/user.conf", QSettings::IniFormat};
    QSettings system{folder.path() + "/system.conf", QSettings::IniFormat};
    bool pupils = false;
    qint64 now = 1'000'000;
    report::TeacherPin pin{user, system, [this] { return pupils; }, [this] { return now; }};
};

TEST(TeacherPin, IsSetTwiceKeptAsASaltedHashAndWaitsAfterFiveWrongTries) {
    PinFiles f;
    EXPECT_EQ(f.pin.state(), State::FirstUse);
    EXPECT_EQ(f.pin.Try("1234"), Try::NotSet);
    EXPECT_EQ(f.pin.Set("123", "123"), Set::NotFourDigits);
    EXPECT_EQ(f.pin.Set("12a4", "12a4"), Set::NotFourDigits);
    EXPECT_EQ(f.pin.Set("１２３４", "１２３４"), Set::NotFourDigits);
    EXPECT_EQ(f.pin.Set("2580", "2581"), Set::Mismatch);
    EXPECT_FALSE(f.pin.is_set());
    ASSERT_EQ(f.pin.Set("2580", "2580"), Set::Set);
    EXPECT_EQ(f.pin.Set("1111", "1111"), Set::NotFirstUse) << "set once; after that only the administrator";

    // Only a salted hash is kept: neither the PIN nor the same hash twice.
    const QString stored = f.user.value("teacher/pin").toString();
    EXPECT_FALSE(stored.contains("2580"));
    PinFiles other;
    other.pin.Set("2580", "2580");
    EXPECT_NE(other.user.value("teacher/pin").toString(), stored);

    for (int i = 1; i < report::TeacherPin::kTriesBeforeWait; ++i) {
        EXPECT_EQ(f.pin.Try("0000"), Try::Wrong);
        EXPECT_EQ(f.pin.seconds_to_wait(), 0);
    }
    EXPECT_EQ(f.pin.Try("0000"), Try::Wrong);
    EXPECT_EQ(f.pin.seconds_to_wait(), 30);
    // Waiting: even the right PIN is not taken, and a new program waits too.
    f.now += 29'000;
    EXPECT_EQ(f.pin.Try("2580"), Try::Waiting);
    report::TeacherPin restarted(f.user, f.system, [] { return true; }, [&] { return f.now; });
    EXPECT_EQ(restarted.seconds_to_wait(), 1);
    f.now += 1'000;
    EXPECT_EQ(f.pin.Try("1111"), Try::Wrong);  // after the wait, a wrong try waits again
    EXPECT_EQ(f.pin.seconds_to_wait(), 30);
    f.now += 30'000;
    EXPECT_EQ(f.pin.Try("2580"), Try::Open);
    EXPECT_EQ(f.pin.wrong_tries(), 0);
    // A clock put back never makes a wait longer than one.
    for (int i = 0; i < report::TeacherPin::kTriesBeforeWait; ++i) f.pin.Try("0000");
    f.now -= 3'600'000;
    EXPECT_EQ(f.pin.seconds_to_wait(), 30);
}

// The administrator's PIN, set by the command into the system's settings
// (found through XDG_CONFIG_DIRS, as the program finds them): a user's
// own file with another PIN, with none, or with a broken one changes
// nothing, and first use never opens beside it.
TEST(TeacherPin, TheAdministratorsPinIsTheOneAskedWhateverTheUsersFileSays) {
    QTemporaryDir xdg;
    const QByteArray saved = qgetenv("XDG_CONFIG_DIRS");
    qputenv("XDG_CONFIG_DIRS", (xdg.path() + "/first:" + xdg.path() + "/second").toLocal8Bit());
    {
        std::unique_ptr<QSettings> system = report::SystemSettings();
        QString typed = "2580\n2580\n", out, err;
        QTextStream in(&typed), o(&out), e(&err);
        ASSERT_EQ(report::SetTeacherPinCommand(in, o, e, *system, false), 0) << err.toStdString();
        EXPECT_TRUE(system->fileName().startsWith(xdg.path() + "/first/")) << system->fileName().toStdString();
        QFile written(system->fileName());
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(written.readAll());
        EXPECT_TRUE(text.contains("pin=pbkdf2-sha256$")) << text.toStdString();
        EXPECT_FALSE(text.contains("=2580"));
        EXPECT_EQ(written.permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::WriteGroup),
                  QFile::ReadOther) << "every user reads it, only its owner writes it";
    }
    const QString users_own = report::TeacherPin::Hash("1111");
    const QString cases[] = {QString(), users_own, "pbkdf2-sha256$x$y$z"};
    for (const QString& user_pin : cases) {
        SCOPED_TRACE(user_pin.toStdString());
        QTemporaryDir folder;
        QSettings user(folder.path() + "/user.conf", QSettings::IniFormat);
        if (!user_pin.isEmpty()) user.setValue("teacher/pin", user_pin);
        std::unique_ptr<QSettings> system = report::SystemSettings();
        for (const bool pupils : {false, true}) {
            report::TeacherPin pin(user, *system, [&] { return pupils; }, [] { return 0; });
            EXPECT_EQ(pin.state(), State::Set);
            EXPECT_EQ(pin.Set("1111", "1111"), Set::NotFirstUse);
            EXPECT_EQ(pin.Try("1111"), Try::Wrong);
            EXPECT_EQ(pin.Try("2580"), Try::Open);
        }
        EXPECT_EQ(user.value("teacher/pin").toString(), user_pin) << "the user's file is left as it was";
    }
    qputenv("XDG_CONFIG_DIRS", saved);
}

// No PIN anywhere: the teacher sets one only while the record has no pupil;
// a PIN line gone from the file later opens nothing; a stored PIN that asks
// for an unbounded count of rounds is not used (nor waited for).
TEST(TeacherPin, FirstUseOnlyWhileTheRecordHasNoPupil) {
    PinFiles f;
    f.pupils = true;
    EXPECT_EQ(f.pin.state(), State::AskAdministrator);
    EXPECT_EQ(f.pin.Set("2580", "2580"), Set::NotFirstUse);
    EXPECT_EQ(f.pin.Try("2580"), Try::NotSet);
    EXPECT_FALSE(f.user.contains("teacher/pin"));

    f.pupils = false;
    ASSERT_EQ(f.pin.Set("2580", "2580"), Set::Set);
    f.pupils = true;
    EXPECT_EQ(f.pin.Try("2580"), Try::Open);
    f.user.remove("teacher/pin");
    EXPECT_EQ(f.pin.state(), State::AskAdministrator);

    const QString good = report::TeacherPin::Hash("2580");
    const QString salt_and_key = good.section('$', 2);
    const QStringList broken = {"pbkdf2-sha256$2147483647$" + salt_and_key, "pbkdf2-sha256$999$" + salt_and_key,
                                "pbkdf2-sha256$20000$" + salt_and_key.left(10), "md5$1$2$3", "2580"};
    for (const QString& stored : broken) {
        SCOPED_TRACE(stored.toStdString());
        for (QSettings* where : {&f.user, &f.system}) {
            f.user.setValue("teacher/pin", good);
            where->setValue("teacher/pin", stored);
            QElapsedTimer t;
            t.start();
            EXPECT_EQ(f.pin.state(), State::Unreadable);
            EXPECT_EQ(f.pin.Try("2580"), Try::NotSet);
            EXPECT_LT(t.elapsed(), 1000);
            f.system.remove("teacher/pin");
        }
    }
}

}  // namespace
}  // namespace sorelka
