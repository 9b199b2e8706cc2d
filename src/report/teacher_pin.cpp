#include "report/teacher_pin.h"

#include <openssl/evp.h>

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>
#include <optional>

namespace sorelka::report {

namespace {

const QString kHashKey = QStringLiteral("teacher/pin");
const QString kTriesKey = QStringLiteral("teacher/wrong_tries");
const QString kWaitKey = QStringLiteral("teacher/wait_until");
const QString kScrypt = QStringLiteral("scrypt");
// The form earlier versions wrote; read, never written.
const QString kPbkdf2 = QStringLiteral("pbkdf2-sha256");
constexpr int kKeyBytes = 32;

// What a stored hash may ask for: a file that asks for more would hold the
// program for minutes, or take gigabytes, at every try.
constexpr int kFewestIterations = 1000;
constexpr int kMostIterations = 200000;
constexpr int kSmallestLog2N = 10;
constexpr int kLargestLog2N = 20;
constexpr int kLargestR = 16;
constexpr int kLargestP = 16;
constexpr quint64 kMostMemory = quint64(512) << 20;
constexpr quint64 kMostWork = quint64(8) << 20;  // N·r·p: four times the cost written today

quint64 MemoryOf(const PinCost& cost) {
    return quint64(128) * quint64(cost.r) * ((quint64(1) << cost.log2_n) + quint64(cost.p) + 2);
}

bool Bounded(const PinCost& cost) {
    if (cost.log2_n < kSmallestLog2N || cost.log2_n > kLargestLog2N || cost.r < 1 || cost.r > kLargestR ||
        cost.p < 1 || cost.p > kLargestP)
        return false;
    return MemoryOf(cost) <= kMostMemory &&
           (quint64(1) << cost.log2_n) * quint64(cost.r) * quint64(cost.p) <= kMostWork;
}

QByteArray Scrypt(const QString& pin, const QByteArray& salt, const PinCost& cost) {
    const QByteArray typed = pin.toUtf8();
    QByteArray key(kKeyBytes, Qt::Uninitialized);
    const int ok = EVP_PBE_scrypt(typed.constData(), std::size_t(typed.size()),
                                  reinterpret_cast<const unsigned char*>(salt.constData()), std::size_t(salt.size()),
                                  quint64(1) << cost.log2_n, quint64(cost.r), quint64(cost.p),
                                  MemoryOf(cost) + (quint64(1) << 20),
                                  reinterpret_cast<unsigned char*>(key.data()), std::size_t(key.size()));
    return ok == 1 ? key : QByteArray();
}

// Compares without stopping at the first differing byte.
bool SameBytes(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size() || a.isEmpty()) return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

// A stored hash taken apart; nullopt when it is not one this program (or an
// earlier version of it) wrote within the bounds above.
struct StoredHash {
    bool old_form = false;
    int iterations = 0;  // the old form
    PinCost cost{};      // scrypt
    QByteArray salt;
    QByteArray key;
    QByteArray Derive(const QString& pin) const {
        return old_form ? QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, pin.toUtf8(), salt,
                                                             iterations, kKeyBytes)
                        : Scrypt(pin, salt, cost);
    }
};
std::optional<StoredHash> Parse(const QString& stored) {
    static const QRegularExpression hex(QStringLiteral("^([0-9a-f]{2})+$"));
    const QStringList parts = stored.split(QLatin1Char('$'));
    auto number = [](const QString& text) {
        bool ok = false;
        const int value = text.toInt(&ok);
        return ok ? value : -1;
    };
    auto salt_and_key = [&](const QString& salt, const QString& key, StoredHash hash) -> std::optional<StoredHash> {
        if (!hex.match(salt).hasMatch() || !hex.match(key).hasMatch() || key.size() != 2 * kKeyBytes)
            return std::nullopt;
        hash.salt = QByteArray::fromHex(salt.toLatin1());
        hash.key = QByteArray::fromHex(key.toLatin1());
        return hash;
    };
    if (parts.size() == 4 && parts[0] == kPbkdf2) {
        const int iterations = number(parts[1]);
        if (iterations < kFewestIterations || iterations > kMostIterations) return std::nullopt;
        return salt_and_key(parts[2], parts[3], StoredHash{.old_form = true, .iterations = iterations});
    }
    if (parts.size() == 6 && parts[0] == kScrypt) {
        const PinCost cost{number(parts[1]), number(parts[2]), number(parts[3])};
        if (!Bounded(cost)) return std::nullopt;
        return salt_and_key(parts[4], parts[5], StoredHash{.cost = cost});
    }
    return std::nullopt;
}

}  // namespace

TeacherPin::TeacherPin(QSettings& user, QSettings& system, std::function<bool()> has_pupils,
                       std::function<qint64()> now_ms, Options options)
    : user_(user),
      system_(system),
      has_pupils_(std::move(has_pupils)),
      now_ms_(std::move(now_ms)),
      options_(std::move(options)) {}

bool TeacherPin::FourDigits(const QString& pin) {
    static const QRegularExpression form(QStringLiteral("^[0-9]{4}$"));
    return form.match(pin).hasMatch();
}

QString TeacherPin::Hash(const QString& pin, PinCost cost) {
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->generate(salt.begin(), salt.end());
    return QStringLiteral("%1$%2$%3$%4$%5$%6")
        .arg(kScrypt)
        .arg(cost.log2_n)
        .arg(cost.r)
        .arg(cost.p)
        .arg(QString::fromLatin1(salt.toHex()), QString::fromLatin1(Scrypt(pin, salt, cost).toHex()));
}

// The system's hash wherever it has one; the user's only where it has none.
QString TeacherPin::Stored() const {
    if (system_.contains(kHashKey)) return system_.value(kHashKey).toString();
    return user_.value(kHashKey).toString();
}

TeacherPin::State TeacherPin::state() const {
    // Not even the user's own PIN: a system file someone else wrote may be
    // there to take the place of the administrator's.
    if (!options_.system_problem.isEmpty()) return State::Untrusted;
    const QString stored = Stored();
    if (!stored.isEmpty()) return Parse(stored) ? State::Set : State::Unreadable;
    // A hash gone from the file opens nothing once pupils are recorded.
    return has_pupils_() ? State::AskAdministrator : State::FirstUse;
}

TeacherPin::SetResult TeacherPin::Set(const QString& pin, const QString& again) {
    if (state() != State::FirstUse) return SetResult::NotFirstUse;
    if (!FourDigits(pin)) return SetResult::NotFourDigits;
    if (pin != again) return SetResult::Mismatch;
    user_.setValue(kHashKey, Hash(pin, options_.cost));
    user_.sync();
    Keep(0, 0);
    return SetResult::Set;
}

// The larger count and the later wait of the two places they are kept in.
std::pair<int, qint64> TeacherPin::Kept() const {
    std::pair<int, qint64> kept{user_.value(kTriesKey, 0).toInt(), user_.value(kWaitKey, 0).toLongLong()};
    if (options_.tries.read) {
        const auto [tries, wait_until] = options_.tries.read();
        kept = {std::max(kept.first, tries), std::max(kept.second, wait_until)};
    }
    return kept;
}

void TeacherPin::Keep(int tries, qint64 wait_until) {
    user_.setValue(kTriesKey, tries);
    if (wait_until > 0)
        user_.setValue(kWaitKey, wait_until);
    else
        user_.remove(kWaitKey);
    user_.sync();
    if (options_.tries.write) options_.tries.write(tries, wait_until);
}

int TeacherPin::wrong_tries() const { return Kept().first; }

int TeacherPin::WaitAfter(int tries) {
    if (tries < kTriesBeforeWait) return 0;
    const int doublings = std::min(tries - kTriesBeforeWait, 10);
    return std::min(kWaitSeconds << doublings, kLongestWaitSeconds);
}

int TeacherPin::seconds_to_wait() const {
    const auto [tries, wait_until] = Kept();
    const qint64 left = wait_until - now_ms_();
    // A clock put back never makes the wait longer than the one the count asks for.
    const qint64 clamped = std::clamp<qint64>(left, 0, qint64(std::max(WaitAfter(tries), kWaitSeconds)) * 1000);
    return int((clamped + 999) / 1000);
}

// A right PIN kept in the old form is stored again in today's form where
// the program may write its store (the system's only when run as root).
void TeacherPin::Renew(const QString& pin) {
    const bool in_system = system_.contains(kHashKey);
    QSettings& store = in_system ? system_ : user_;
    if (!store.isWritable()) return;
    store.setValue(kHashKey, Hash(pin, options_.cost));
    store.sync();
}

TeacherPin::TryResult TeacherPin::Try(const QString& pin) {
    if (state() != State::Set) return TryResult::NotSet;
    const std::optional<StoredHash> hash = Parse(Stored());
    if (!hash) return TryResult::NotSet;
    if (seconds_to_wait() > 0) return TryResult::Waiting;
    if (!FourDigits(pin)) return TryResult::NotFourDigits;
    if (SameBytes(hash->Derive(pin), hash->key)) {
        Keep(0, 0);
        if (hash->old_form) Renew(pin);
        return TryResult::Open;
    }
    const int tries = wrong_tries() + 1;
    const int wait = WaitAfter(tries);
    Keep(tries, wait > 0 ? now_ms_() + qint64(wait) * 1000 : 0);
    return TryResult::Wrong;
}

}  // namespace sorelka::report
