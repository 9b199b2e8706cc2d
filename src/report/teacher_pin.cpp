#include "report/teacher_pin.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>

namespace sorelka::report {

namespace {

const QString kHashKey = QStringLiteral("teacher/pin");
const QString kTriesKey = QStringLiteral("teacher/wrong_tries");
const QString kWaitKey = QStringLiteral("teacher/wait_until");
constexpr int kIterations = 20000;
constexpr int kKeyBytes = 32;

QByteArray Derive(const QString& pin, const QByteArray& salt, int iterations) {
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, pin.toUtf8(), salt,
                                              iterations, kKeyBytes);
}

// Compares without stopping at the first differing byte.
bool SameBytes(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size()) return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

}  // namespace

TeacherPin::TeacherPin(QSettings& settings, std::function<qint64()> now_ms)
    : settings_(settings), now_ms_(std::move(now_ms)) {}

bool TeacherPin::FourDigits(const QString& pin) {
    static const QRegularExpression form(QStringLiteral("^[0-9]{4}$"));
    return form.match(pin).hasMatch();
}

bool TeacherPin::is_set() const {
    return settings_.value(kHashKey).toString().split(QLatin1Char('$')).size() == 4;
}

TeacherPin::SetResult TeacherPin::Set(const QString& pin, const QString& again) {
    if (!FourDigits(pin)) return SetResult::NotFourDigits;
    if (pin != again) return SetResult::Mismatch;
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->generate(salt.begin(), salt.end());
    settings_.setValue(kHashKey, QStringLiteral("pbkdf2-sha256$%1$%2$%3")
                                     .arg(kIterations)
                                     .arg(QString::fromLatin1(salt.toHex()),
                                          QString::fromLatin1(Derive(pin, salt, kIterations).toHex())));
    settings_.setValue(kTriesKey, 0);
    settings_.remove(kWaitKey);
    settings_.sync();
    return SetResult::Set;
}

int TeacherPin::wrong_tries() const { return settings_.value(kTriesKey, 0).toInt(); }

int TeacherPin::seconds_to_wait() const {
    const qint64 left = settings_.value(kWaitKey, 0).toLongLong() - now_ms_();
    // A clock put back never makes the wait longer than one wait.
    const qint64 clamped = std::clamp<qint64>(left, 0, kWaitSeconds * 1000);
    return int((clamped + 999) / 1000);
}

TeacherPin::TryResult TeacherPin::Try(const QString& pin) {
    if (!is_set()) return TryResult::NotSet;
    if (seconds_to_wait() > 0) return TryResult::Waiting;
    if (!FourDigits(pin)) return TryResult::NotFourDigits;
    const QStringList parts = settings_.value(kHashKey).toString().split(QLatin1Char('$'));
    const int iterations = std::max(1, parts[1].toInt());
    const QByteArray salt = QByteArray::fromHex(parts[2].toLatin1());
    if (SameBytes(Derive(pin, salt, iterations), QByteArray::fromHex(parts[3].toLatin1()))) {
        settings_.setValue(kTriesKey, 0);
        settings_.remove(kWaitKey);
        settings_.sync();
        return TryResult::Open;
    }
    const int tries = wrong_tries() + 1;
    settings_.setValue(kTriesKey, tries);
    if (tries >= kTriesBeforeWait) settings_.setValue(kWaitKey, now_ms_() + kWaitSeconds * 1000);
    settings_.sync();
    return TryResult::Wrong;
}

}  // namespace sorelka::report
