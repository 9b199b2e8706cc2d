// The teacher's PIN: typed twice on first use and kept as a salted hash,
// the growing wait after five wrong tries (kept in two places), the
// administrator's PIN (set with `sorelka --set-teacher-pin` into the
// system's settings) that no user's file overrides, the old hash form
// renewed, and first use only while the record has no pupil.
#include "report/teacher_pin.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QPasswordDigestor>
#include <QSettings>
#include <QTemporaryDir>

#include "record/system_settings.h"

namespace sorelka {
namespace {

using Set = report::TeacherPin::SetResult;
using Try = report::TeacherPin::TryResult;
using State = report::TeacherPin::State;

// A cheap derivation for the tests' many tries; the program's own cost is
// checked where the command writes it.
constexpr report::PinCost kCheap{10, 1, 1};
report::PinOptions Cheap() { return {.cost = kCheap}; }

// A user's and the system's settings in a scratch folder, a record with or
// without pupils, and a clock.
struct PinFiles {
    QTemporaryDir folder;
    QSettings user{folder.path() + "/user.conf", QSettings::IniFormat};
    QSettings system{folder.path() + "/system.conf", QSettings::IniFormat};
    bool pupils = false;
    qint64 now = 1'000'000;
    // The record file's copy of the wrong tries.
    std::pair<int, qint64> in_record{0, 0};
    report::TeacherPin pin{user, system, [this] { return pupils; }, [this] { return now; }, Options()};
    report::PinOptions Options() {
        report::PinOptions options = Cheap();
        options.tries = {[this] { return in_record; }, [this](int t, qint64 w) { in_record = {t, w}; }};
        return options;
    }
};

TEST(TeacherPin, IsSetTwiceKeptAsASaltedHashAndWaitsLongerAfterEachWrongTry) {
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
    // Either copy of the count alone keeps the wait: the user's settings
    // cleared, or the record's.
    const auto kept = f.in_record;
    f.user.remove("teacher/wrong_tries");
    f.user.remove("teacher/wait_until");
    EXPECT_EQ(f.pin.seconds_to_wait(), 1);
    EXPECT_EQ(f.pin.wrong_tries(), 5);
    EXPECT_EQ(f.pin.Try("0000"), Try::Waiting);
    f.now += 1'000;
    EXPECT_EQ(f.pin.Try("1111"), Try::Wrong);  // after the wait, a wrong try waits twice as long
    EXPECT_EQ(f.pin.seconds_to_wait(), 60);
    f.in_record = kept;
    EXPECT_EQ(f.pin.seconds_to_wait(), 60);
    f.now += 60'000;
    EXPECT_EQ(f.pin.Try("2580"), Try::Open);
    EXPECT_EQ(f.pin.wrong_tries(), 0);
    EXPECT_EQ(f.in_record, std::make_pair(0, qint64(0)));
    // 30 s after the fifth, doubling at each later one, never past 15 minutes.
    const std::pair<int, int> waits[] = {{4, 0}, {5, 30}, {6, 60}, {7, 120}, {9, 480}, {10, 900}, {40, 900}};
    for (const auto& [tries, seconds] : waits) EXPECT_EQ(report::TeacherPin::WaitAfter(tries), seconds) << tries;
    // A clock put back never makes a wait longer than one.
    for (int i = 0; i < report::TeacherPin::kTriesBeforeWait; ++i) f.pin.Try("0000");
    f.now -= 3'600'000;
    EXPECT_EQ(f.pin.seconds_to_wait(), 30);
}

// The administrator's PIN, set by the command into the system's settings
// at the program's own cost: a user's own file with another PIN, with none,
// or with a broken one changes nothing, and first use never opens beside it.
TEST(TeacherPin, TheAdministratorsPinIsTheOneAskedWhateverTheUsersFileSays) {
    QTemporaryDir system_folder;
    const QString path = system_folder.path() + "/Sorelka/Sorelka.conf";
    {
        record::SystemSettingsFile system = record::OpenSystemSettings(system_folder.path(), record::OwnerCheck::Never);
        ASSERT_EQ(system.settings->fileName(), path);
        QString typed = "2580\n2580\n", out, err;
        QTextStream in(&typed), o(&out), e(&err);
        ASSERT_EQ(report::SetTeacherPinCommand(in, o, e, *system.settings, false), 0) << err.toStdString();
        QFile written(path);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(written.readAll());
        const report::PinCost cost = report::kPinCost;
        EXPECT_TRUE(text.contains(QString("pin=scrypt$%1$%2$%3$").arg(cost.log2_n).arg(cost.r).arg(cost.p)))
            << text.toStdString();
        EXPECT_GE(128ull * cost.r << cost.log2_n, 64ull << 20) << "at least 64 MiB a guess";
        EXPECT_FALSE(text.contains("=2580"));
        EXPECT_EQ(written.permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::WriteGroup),
                  QFile::ReadOther) << "every user reads it, only its owner writes it";
        QSettings user(system_folder.path() + "/user.conf", QSettings::IniFormat);
        report::TeacherPin pin(user, *system.settings, [] { return true; }, [] { return 0; });
        EXPECT_EQ(pin.Try("2580"), Try::Open) << "the program's own cost, once";
    }
    // The rest with the same PIN at a cheap cost.
    QSettings(path, QSettings::IniFormat).setValue("teacher/pin", report::TeacherPin::Hash("2580", kCheap));
    const QString users_own = report::TeacherPin::Hash("1111", kCheap);
    const QString cases[] = {QString(), users_own, "pbkdf2-sha256$x$y$z"};
    for (const QString& user_pin : cases) {
        SCOPED_TRACE(user_pin.toStdString());
        QTemporaryDir folder;
        QSettings user(folder.path() + "/user.conf", QSettings::IniFormat);
        if (!user_pin.isEmpty()) user.setValue("teacher/pin", user_pin);
        record::SystemSettingsFile system = record::OpenSystemSettings(system_folder.path(), record::OwnerCheck::Never);
        for (const bool pupils : {false, true}) {
            report::TeacherPin pin(user, *system.settings, [&] { return pupils; }, [] { return 0; }, Cheap());
            EXPECT_EQ(pin.state(), State::Set);
            EXPECT_EQ(pin.Set("1111", "1111"), Set::NotFirstUse);
            EXPECT_EQ(pin.Try("1111"), Try::Wrong);
            EXPECT_EQ(pin.Try("2580"), Try::Open);
        }
        EXPECT_EQ(user.value("teacher/pin").toString(), user_pin) << "the user's file is left as it was";
    }
}

// A system file others could have written opens nothing, not even the
// user's own PIN; what others may write is judged on every folder above it.
TEST(TeacherPin, ASystemFileOthersCouldWriteOpensNothing) {
    QTemporaryDir open_folder;
    QFile::setPermissions(open_folder.path(), QFile::Permissions(0x7777));
    const record::SystemSettingsFile loose = record::OpenSystemSettings(open_folder.path(), record::OwnerCheck::Always);
    EXPECT_FALSE(loose.trusted());
    EXPECT_TRUE(loose.problem.contains(open_folder.path())) << loose.problem.toStdString();
    EXPECT_TRUE(record::OpenSystemSettings("/", record::OwnerCheck::Always).trusted())
        << "root's own folder, with no file in it yet";
    EXPECT_FALSE(record::WritableByOthers(open_folder.path() + "/Sorelka/Sorelka.conf").isEmpty());

    PinFiles f;
    f.user.setValue("teacher/pin", report::TeacherPin::Hash("2580", kCheap));
    report::PinOptions options = Cheap();
    options.system_problem = loose.problem;
    report::TeacherPin pin(f.user, f.system, [] { return false; }, [] { return 0; }, options);
    EXPECT_EQ(pin.state(), State::Untrusted);
    EXPECT_EQ(pin.Try("2580"), Try::NotSet);
    EXPECT_EQ(pin.Set("1111", "1111"), Set::NotFirstUse);
}

// The form earlier versions wrote (PBKDF2) still opens, and the right PIN
// stores it again in today's form wherever it was; a wrong one changes it not.
TEST(TeacherPin, TheOldFormOpensAndIsRenewedAtTheNextRightPin) {
    for (const bool in_system : {false, true}) {
        SCOPED_TRACE(in_system ? "system" : "user");
        PinFiles f;
        const QByteArray salt = "0123456789abcdef";
        const QByteArray key =
            QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, "2580", salt, 20000, 32);
        const QString old = QString("pbkdf2-sha256$20000$%1$%2").arg(salt.toHex(), key.toHex());
        QSettings& store = in_system ? f.system : f.user;
        store.setValue("teacher/pin", old);
        EXPECT_EQ(f.pin.state(), State::Set);
        EXPECT_EQ(f.pin.Try("2581"), Try::Wrong);
        EXPECT_EQ(store.value("teacher/pin").toString(), old);
        EXPECT_EQ(f.pin.Try("2580"), Try::Open);
        const QString renewed = store.value("teacher/pin").toString();
        EXPECT_TRUE(renewed.startsWith("scrypt$10$1$1$")) << renewed.toStdString();
        EXPECT_EQ(f.pin.Try("2580"), Try::Open);
        EXPECT_EQ(f.pin.Try("2581"), Try::Wrong);
        EXPECT_EQ((in_system ? f.user : f.system).value("teacher/pin").toString(), QString());
    }
}

// No PIN anywhere: the teacher sets one only while the record has no pupil;
// a PIN line gone from the file later opens nothing; a stored PIN that asks
// for unbounded rounds, memory or time is not used (nor waited for).
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

    const QString good = report::TeacherPin::Hash("2580", kCheap);
    const QString salt_and_key = good.section('$', 4);
    const QStringList broken = {"pbkdf2-sha256$2147483647$" + salt_and_key, "pbkdf2-sha256$999$" + salt_and_key,
                                "pbkdf2-sha256$20000$" + salt_and_key.left(10), "md5$1$2$3", "2580",
                                "scrypt$40$8$1$" + salt_and_key, "scrypt$20$16$1$" + salt_and_key,
                                "scrypt$17$8$16$" + salt_and_key, "scrypt$9$1$1$" + salt_and_key,
                                "scrypt$10$0$1$" + salt_and_key, "scrypt$10$1$1$" + salt_and_key.left(40)};
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
