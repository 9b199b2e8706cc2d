#pragma once

#include <QSettings>
#include <QString>
#include <functional>

namespace sorelka::report {

// The four-digit PIN in front of the teacher's view. Only a salted PBKDF2
// hash is kept (in the program's settings), never the PIN. After five wrong
// tries in a row every further try waits 30 s; the count and the wait are
// kept with the hash, so starting the program again does not skip them.
class TeacherPin {
public:
    static constexpr int kTriesBeforeWait = 5;
    static constexpr int kWaitSeconds = 30;

    // `now_ms`: the wall clock in milliseconds.
    TeacherPin(QSettings& settings, std::function<qint64()> now_ms);

    bool is_set() const;

    enum class SetResult { Set, NotFourDigits, Mismatch };
    // Sets the PIN on first use: `pin` typed twice.
    SetResult Set(const QString& pin, const QString& again);

    enum class TryResult { Open, Wrong, Waiting, NotFourDigits, NotSet };
    TryResult Try(const QString& pin);

    int wrong_tries() const;
    // Seconds until the next try is taken; 0 when it is taken now.
    int seconds_to_wait() const;

    static bool FourDigits(const QString& pin);

private:
    QSettings& settings_;
    std::function<qint64()> now_ms_;
};

}  // namespace sorelka::report
