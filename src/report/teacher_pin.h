#pragma once

#include <QSettings>
#include <QString>
#include <QTextStream>
#include <functional>
#include <memory>

namespace sorelka::report {

// The four-digit PIN in front of the teacher's view. Only a salted PBKDF2
// hash is kept, never the PIN. The administrator sets it for every user of
// the PC with `sorelka --set-teacher-pin`, into the system's settings
// (/etc/xdg/Sorelka/Sorelka.conf), which the program only reads; the hash
// in a user's own settings counts only where the system has none, and is
// set there on first use, which is open only while the record has no
// pupil. After five wrong tries in a row every further try waits 30 s; the
// count and the wait are kept in the user's settings, so starting the
// program again does not skip them.
class TeacherPin {
public:
    static constexpr int kTriesBeforeWait = 5;
    static constexpr int kWaitSeconds = 30;

    // `user`: the program's own settings; `system`: the system's;
    // `has_pupils`: whether the record has any pupil (archived ones too);
    // `now_ms`: the wall clock in milliseconds.
    TeacherPin(QSettings& user, QSettings& system, std::function<bool()> has_pupils,
               std::function<qint64()> now_ms);

    enum class State {
        Set,               // a PIN is asked
        FirstUse,          // no PIN anywhere and no pupil yet: the teacher sets one
        AskAdministrator,  // no PIN anywhere, but pupils: only the administrator sets one
        Unreadable,        // a stored PIN that cannot be used: the administrator sets it again
    };
    State state() const;
    bool is_set() const { return state() == State::Set; }

    enum class SetResult { Set, NotFourDigits, Mismatch, NotFirstUse };
    // Sets the PIN on first use: `pin` typed twice.
    SetResult Set(const QString& pin, const QString& again);

    enum class TryResult { Open, Wrong, Waiting, NotFourDigits, NotSet };
    TryResult Try(const QString& pin);

    int wrong_tries() const;
    // Seconds until the next try is taken; 0 when it is taken now.
    int seconds_to_wait() const;

    static bool FourDigits(const QString& pin);
    // The stored form of `pin`, with a fresh random salt.
    static QString Hash(const QString& pin);

private:
    QString Stored() const;

    QSettings& user_;
    QSettings& system_;
    std::function<bool()> has_pupils_;
    std::function<qint64()> now_ms_;
};

// The system's settings of the program: Sorelka/Sorelka.conf in the first
// folder of XDG_CONFIG_DIRS (/etc/xdg), the others read after it.
std::unique_ptr<QSettings> SystemSettings();

// `sorelka --set-teacher-pin`: asks for the PIN twice on `in` (the prompts
// on `err`, the typing hidden when `terminal`), writes its hash into
// `system` and says so on `out`. Exit codes as the export's: 0 set, 2 not
// four digits or not the same twice, 1 the file cannot be written (one
// Japanese line on `err`).
int SetTeacherPinCommand(QTextStream& in, QTextStream& out, QTextStream& err, QSettings& system, bool terminal);

}  // namespace sorelka::report
