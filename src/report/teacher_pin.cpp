#include "report/teacher_pin.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>
#include <termios.h>
#include <unistd.h>

#include "report/export_command.h"

namespace sorelka::report {

namespace {

const QString kHashKey = QStringLiteral("teacher/pin");
const QString kTriesKey = QStringLiteral("teacher/wrong_tries");
const QString kWaitKey = QStringLiteral("teacher/wait_until");
const QString kScheme = QStringLiteral("pbkdf2-sha256");
constexpr int kIterations = 20000;
// What a stored hash may ask for: a file that asks for more would hold the
// program for minutes at every try.
constexpr int kFewestIterations = 1000;
constexpr int kMostIterations = 200000;
constexpr int kKeyBytes = 32;

QByteArray Derive(const QString& pin, const QByteArray& salt, int iterations) {
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, pin.toUtf8(), salt, iterations, kKeyBytes);
}

// Compares without stopping at the first differing byte.
bool SameBytes(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size()) return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

// A stored hash taken apart; nullopt when it is not one this program wrote.
struct StoredHash {
    int iterations = 0;
    QByteArray salt;
    QByteArray key;
};
std::optional<StoredHash> Parse(const QString& stored) {
    static const QRegularExpression hex(QStringLiteral("^([0-9a-f]{2})+$"));
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 4 || parts[0] != kScheme) return std::nullopt;
    bool ok = false;
    const int iterations = parts[1].toInt(&ok);
    if (!ok || iterations < kFewestIterations || iterations > kMostIterations) return std::nullopt;
    if (!hex.match(parts[2]).hasMatch() || !hex.match(parts[3]).hasMatch() || parts[3].size() != 2 * kKeyBytes)
        return std::nullopt;
    return StoredHash{iterations, QByteArray::fromHex(parts[2].toLatin1()), QByteArray::fromHex(parts[3].toLatin1())};
}

// Hides what is typed on the terminal while it lives.
class HiddenTyping {
public:
    explicit HiddenTyping(bool terminal) {
        if (!terminal || ::tcgetattr(STDIN_FILENO, &saved_) != 0) return;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        hidden_ = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~HiddenTyping() {
        if (hidden_) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
    }
    HiddenTyping(const HiddenTyping&) = delete;
    HiddenTyping& operator=(const HiddenTyping&) = delete;

private:
    termios saved_{};
    bool hidden_ = false;
};

}  // namespace

TeacherPin::TeacherPin(QSettings& user, QSettings& system, std::function<bool()> has_pupils,
                       std::function<qint64()> now_ms)
    : user_(user), system_(system), has_pupils_(std::move(has_pupils)), now_ms_(std::move(now_ms)) {}

bool TeacherPin::FourDigits(const QString& pin) {
    static const QRegularExpression form(QStringLiteral("^[0-9]{4}$"));
    return form.match(pin).hasMatch();
}

QString TeacherPin::Hash(const QString& pin) {
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->generate(salt.begin(), salt.end());
    return QStringLiteral("%1$%2$%3$%4")
        .arg(kScheme)
        .arg(kIterations)
        .arg(QString::fromLatin1(salt.toHex()), QString::fromLatin1(Derive(pin, salt, kIterations).toHex()));
}

// The system's hash wherever it has one; the user's only where it has none.
QString TeacherPin::Stored() const {
    if (system_.contains(kHashKey)) return system_.value(kHashKey).toString();
    return user_.value(kHashKey).toString();
}

TeacherPin::State TeacherPin::state() const {
    const QString stored = Stored();
    if (!stored.isEmpty()) return Parse(stored) ? State::Set : State::Unreadable;
    // A hash gone from the file opens nothing once pupils are recorded.
    return has_pupils_() ? State::AskAdministrator : State::FirstUse;
}

TeacherPin::SetResult TeacherPin::Set(const QString& pin, const QString& again) {
    if (state() != State::FirstUse) return SetResult::NotFirstUse;
    if (!FourDigits(pin)) return SetResult::NotFourDigits;
    if (pin != again) return SetResult::Mismatch;
    user_.setValue(kHashKey, Hash(pin));
    user_.setValue(kTriesKey, 0);
    user_.remove(kWaitKey);
    user_.sync();
    return SetResult::Set;
}

int TeacherPin::wrong_tries() const { return user_.value(kTriesKey, 0).toInt(); }

int TeacherPin::seconds_to_wait() const {
    const qint64 left = user_.value(kWaitKey, 0).toLongLong() - now_ms_();
    // A clock put back never makes the wait longer than one wait.
    const qint64 clamped = std::clamp<qint64>(left, 0, kWaitSeconds * 1000);
    return int((clamped + 999) / 1000);
}

TeacherPin::TryResult TeacherPin::Try(const QString& pin) {
    const std::optional<StoredHash> hash = Parse(Stored());
    if (!hash) return TryResult::NotSet;
    if (seconds_to_wait() > 0) return TryResult::Waiting;
    if (!FourDigits(pin)) return TryResult::NotFourDigits;
    if (SameBytes(Derive(pin, hash->salt, hash->iterations), hash->key)) {
        user_.setValue(kTriesKey, 0);
        user_.remove(kWaitKey);
        user_.sync();
        return TryResult::Open;
    }
    const int tries = wrong_tries() + 1;
    user_.setValue(kTriesKey, tries);
    if (tries >= kTriesBeforeWait) user_.setValue(kWaitKey, now_ms_() + kWaitSeconds * 1000);
    user_.sync();
    return TryResult::Wrong;
}

std::unique_ptr<QSettings> SystemSettings() {
    const QString app = QCoreApplication::applicationName();
    const QString org = QCoreApplication::organizationName();
    return std::make_unique<QSettings>(QSettings::SystemScope, org.isEmpty() ? app : org, app);
}

int SetTeacherPinCommand(QTextStream& in, QTextStream& out, QTextStream& err, QSettings& system, bool terminal) {
    auto refuse = [&](const QString& why, int code) {
        err << QStringLiteral("sorelka: ") << why << Qt::endl;
        return code;
    };
    if (!system.isWritable())
        return refuse(QStringLiteral("%1 に書きこめません。書きこめる管理者（root）として実行してください。")
                          .arg(system.fileName()),
                      kExitNotWritten);
    QString typed[2];
    {
        const HiddenTyping hidden(terminal);
        const QString prompts[2] = {QStringLiteral("先生用のPIN（数字４けた）: "), QStringLiteral("もう一度: ")};
        for (int i = 0; i < 2; ++i) {
            err << prompts[i] << Qt::flush;
            typed[i] = in.readLine();
            if (terminal) err << Qt::endl;  // the Enter that was not shown
        }
    }
    if (!TeacherPin::FourDigits(typed[0]))
        return refuse(QStringLiteral("PINは数字４けたにしてください。PINは変わっていません。"), kExitBadArgument);
    if (typed[0] != typed[1])
        return refuse(QStringLiteral("２回目が１回目とちがいます。PINは変わっていません。"), kExitBadArgument);
    system.setValue(kHashKey, TeacherPin::Hash(typed[0]));
    system.sync();
    if (system.status() != QSettings::NoError)
        return refuse(QStringLiteral("%1 に書きこめません。").arg(system.fileName()), kExitNotWritten);
    // Every user's program reads it; only its owner writes it.
    QFile::setPermissions(system.fileName(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    out << QStringLiteral("先生用のPINを %1 に設定しました。").arg(system.fileName()) << Qt::endl;
    return 0;
}

}  // namespace sorelka::report
