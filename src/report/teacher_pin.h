#pragma once

#include <QSettings>
#include <QString>
#include <QTextStream>
#include <functional>
#include <memory>
#include <utility>

namespace sorelka::report {

// The cost of deriving a stored PIN's key with scrypt: N = 2^log2_n, r, p.
// Memory-hard, so that each of the 10,000 four-digit guesses at a copied
// hash takes seconds of a core and 128·r·N bytes of memory.
struct PinCost {
    int log2_n;
    int r;
    int p;
};
inline constexpr PinCost kPinCost{17, 8, 2};

// The wrong tries kept in a second place, beside the user's settings (the
// record file, which a pupil cannot remove without losing their answers):
// `read` gives the tries and the end of the wait (ms since the epoch),
// `write` stores both.
struct TryStore {
    std::function<std::pair<int, qint64>()> read;
    std::function<void(int tries, qint64 wait_until_ms)> write;
};

// What a TeacherPin is told besides its settings.
struct PinOptions {
    // Why the system's settings are not trusted (empty when they are).
    QString system_problem;
    // The second keeper of the wrong tries; none when not set.
    TryStore tries;
    // The cost of hashes written from now on.
    PinCost cost = kPinCost;
};

// The four-digit PIN in front of the teacher's view. Only a salted scrypt
// hash is kept, never the PIN; the PBKDF2 form of earlier versions is still
// read and is replaced by the scrypt form at the next right PIN wherever
// the program may write the store it came from. The administrator sets it
// for every user of the PC with `sorelka --set-teacher-pin`, into the
// system's settings (see record::OpenSystemSettings), which the program
// only reads; the hash in a user's own settings counts only where the
// system has none, and is set there on first use, which is open only
// while the record has no pupil. A system file that others could have
// written opens nothing. After five wrong tries in a row each try waits,
// 30 s, then 1, 2, 4 … minutes, at most 15; the count and the wait are kept
// in the user's settings and in the TryStore, and the larger of the two
// counts, so starting the program again or clearing one of them does not
// skip them.
class TeacherPin {
public:
    static constexpr int kTriesBeforeWait = 5;
    static constexpr int kWaitSeconds = 30;
    static constexpr int kLongestWaitSeconds = 15 * 60;

    using Options = PinOptions;

    // `user`: the program's own settings; `system`: the system's;
    // `has_pupils`: whether the record has any pupil (archived ones too);
    // `now_ms`: the wall clock in milliseconds.
    TeacherPin(QSettings& user, QSettings& system, std::function<bool()> has_pupils,
               std::function<qint64()> now_ms, Options options = {});

    enum class State {
        Set,               // a PIN is asked
        FirstUse,          // no PIN anywhere and no pupil yet: the teacher sets one
        AskAdministrator,  // no PIN anywhere, but pupils: only the administrator sets one
        Unreadable,        // a stored PIN that cannot be used: the administrator sets it again
        Untrusted,         // the system's settings could have been written by others
    };
    State state() const;
    bool is_set() const { return state() == State::Set; }
    const QString& system_problem() const { return options_.system_problem; }

    enum class SetResult { Set, NotFourDigits, Mismatch, NotFirstUse };
    // Sets the PIN on first use: `pin` typed twice.
    SetResult Set(const QString& pin, const QString& again);

    enum class TryResult { Open, Wrong, Waiting, NotFourDigits, NotSet };
    TryResult Try(const QString& pin);

    int wrong_tries() const;
    // Seconds until the next try is taken; 0 when it is taken now.
    int seconds_to_wait() const;
    // The wait after the `tries`-th wrong try in a row, in seconds.
    static int WaitAfter(int tries);

    static bool FourDigits(const QString& pin);
    // The stored form of `pin`, with a fresh random salt.
    static QString Hash(const QString& pin, PinCost cost = kPinCost);

private:
    QString Stored() const;
    std::pair<int, qint64> Kept() const;
    void Keep(int tries, qint64 wait_until);
    void Renew(const QString& pin);

    QSettings& user_;
    QSettings& system_;
    std::function<bool()> has_pupils_;
    std::function<qint64()> now_ms_;
    Options options_;
};

// `sorelka --set-teacher-pin`: asks for the PIN twice on `in` (the prompts
// on `err`, the typing hidden when `terminal`), writes its hash into
// `system` and says so on `out`. Exit codes as the export's: 0 set, 2 not
// four digits or not the same twice, 1 the file cannot be written (one
// Japanese line on `err`).
int SetTeacherPinCommand(QTextStream& in, QTextStream& out, QTextStream& err, QSettings& system, bool terminal);

}  // namespace sorelka::report
