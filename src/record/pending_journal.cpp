#include "record/pending_journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>
#include <QtEndian>
#include <cerrno>
#include <cstring>

namespace sorelka::record {

namespace {

const QByteArray kMagic = QByteArrayLiteral("SORELKA-PENDING ");
constexpr qsizetype kIdDigits = 32;
constexpr qsizetype kHeaderSize = 16 + kIdDigits + 1;
constexpr qsizetype kEntryHead = 4 + 8;
// No transaction of the program comes near this; a larger length is damage.
constexpr quint32 kLongestEntry = 64u << 20;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;

QByteArray Checksum(const char* data, qsizetype size) {
    return QCryptographicHash::hash(QByteArrayView(data, size), QCryptographicHash::Sha256).left(8);
}

QByteArray EntryBytes(quint64 number, const Transaction& transaction) {
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out.setVersion(kStreamVersion);
        out << number;
        payload += EncodeTransaction(transaction);
    }
    QByteArray entry(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(payload.size()), entry.data());
    entry += Checksum(payload.constData(), payload.size());
    entry += payload;
    return entry;
}

// Writes all of `bytes` to `fd`, retrying short writes.
bool WriteAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

// A new file's name is on the disk only once its folder is synced.
void SyncFolderOf(const QString& path) {
    const int dir = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    ::fsync(dir);
    ::close(dir);
}

}  // namespace

QByteArray EncodeTransaction(const Transaction& transaction) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << quint32(transaction.size());
    for (const Statement& statement : transaction) out << statement.sql << statement.values;
    return bytes;
}

std::optional<Transaction> DecodeTransaction(const QByteArray& bytes) {
    QDataStream in(bytes);
    in.setVersion(kStreamVersion);
    quint32 count = 0;
    in >> count;
    if (in.status() != QDataStream::Ok || count > kLongestEntry) return std::nullopt;
    Transaction transaction;
    for (quint32 k = 0; k < count; ++k) {
        Statement statement;
        in >> statement.sql >> statement.values;
        if (in.status() != QDataStream::Ok) return std::nullopt;
        transaction.push_back(std::move(statement));
    }
    if (!in.atEnd()) return std::nullopt;
    return transaction;
}

PendingJournal::PendingJournal(QString path) : path_(std::move(path)) {}

PendingJournal::~PendingJournal() { Close(); }

void PendingJournal::Close() {
    if (fd_ >= 0) ::close(fd_);  // the lock goes with it
    fd_ = -1;
}

bool PendingJournal::exists() const { return QFileInfo::exists(path_); }

bool PendingJournal::Claim(bool make) {
    if (fd_ >= 0) return true;
    const QByteArray name = QFile::encodeName(path_);
    for (int tries = 0; tries < 3; ++tries) {
        const int fd = ::open(name.constData(), O_RDWR | O_APPEND | O_CLOEXEC | (make ? O_CREAT : 0), 0600);
        if (fd < 0) return false;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return false;
        }
        // The program that had it may have removed it meanwhile: the lock
        // must be on the file that is at the path now.
        struct stat held {}, now {};
        if (::fstat(fd, &held) == 0 && ::stat(name.constData(), &now) == 0 && held.st_ino == now.st_ino &&
            held.st_dev == now.st_dev) {
            fd_ = fd;
            return true;
        }
        ::close(fd);
    }
    return false;
}

PendingJournal::Contents PendingJournal::Load() {
    Contents contents;
    id_.clear();
    next_ = 1;
    if (!Claim()) return contents;
    QFile file;
    if (!file.open(::dup(fd_), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return contents;
    file.seek(0);
    const QByteArray bytes = file.readAll();
    file.close();
    if (bytes.size() < kHeaderSize) {
        // Cut off while it was being made: it holds no entry.
        contents.end = kMagic.startsWith(bytes.left(kMagic.size())) ? End::TornTail : End::Damaged;
        if (contents.end == End::TornTail && ::ftruncate(fd_, 0) == 0) ::fdatasync(fd_);
        return contents;
    }
    if (!bytes.startsWith(kMagic) || bytes[kHeaderSize - 1] != '\n') {
        contents.end = End::Damaged;
        return contents;
    }
    id_ = QString::fromLatin1(bytes.mid(kMagic.size(), kIdDigits));
    qsizetype at = kHeaderSize;
    while (at < bytes.size()) {
        const qsizetype left = bytes.size() - at;
        const quint32 length = left >= 4 ? qFromBigEndian<quint32>(bytes.constData() + at) : 0;
        const bool whole = left >= kEntryHead && length <= kLongestEntry &&
                           qsizetype(length) <= left - kEntryHead;
        const char* payload = bytes.constData() + at + kEntryHead;
        std::optional<Transaction> transaction;
        quint64 number = 0;
        if (whole && Checksum(payload, length) == bytes.mid(at + 4, 8)) {
            const QByteArray body(payload, length);
            QDataStream in(body);
            in.setVersion(kStreamVersion);
            in >> number;
            transaction = DecodeTransaction(body.mid(8));
        }
        if (!transaction) {
            // Only the last entry can be cut off by a crash: one that runs
            // to the end of the file, or past it.
            const bool last = !whole || at + kEntryHead + qsizetype(length) == bytes.size();
            contents.end = last ? End::TornTail : End::Damaged;
            if (last && ::ftruncate(fd_, at) == 0) ::fdatasync(fd_);
            break;
        }
        contents.entries.push_back({number, std::move(*transaction)});
        next_ = number + 1;
        at += kEntryHead + length;
    }
    return contents;
}

bool PendingJournal::Append(const Transaction& transaction, quint64* number, QString* problem) {
    const bool existed = exists();
    if (!Claim(true)) {
        *problem = QStringLiteral("another program has %1, or it cannot be made").arg(path_);
        return false;
    }
    struct stat st {};
    ::fstat(fd_, &st);
    const off_t before = st.st_size;
    QByteArray bytes;
    if (before == 0) {
        QByteArray raw(kIdDigits / 2, Qt::Uninitialized);
        QRandomGenerator::system()->generate(raw.begin(), raw.end());
        id_ = QString::fromLatin1(raw.toHex());
        next_ = 1;
        bytes = kMagic + id_.toLatin1() + '\n';
    }
    bytes += EntryBytes(next_, transaction);
    if (!WriteAll(fd_, bytes) || ::fdatasync(fd_) != 0) {
        *problem = QString::fromLocal8Bit(std::strerror(errno));
        // Nothing half-written stays behind to stand before the next entry.
        if (::ftruncate(fd_, before) == 0) ::fdatasync(fd_);
        if (before == 0) {
            // No journal rather than an empty one.
            ::unlink(QFile::encodeName(path_).constData());
            Close();
            id_.clear();
        }
        return false;
    }
    if (!existed) SyncFolderOf(path_);
    *number = next_++;
    return true;
}

void PendingJournal::Remove() {
    if (fd_ < 0 && !Claim()) return;  // another program's
    if (QFile::remove(path_)) {
        SyncFolderOf(path_);
        id_.clear();
        next_ = 1;
    }
    Close();
}

bool PendingJournal::MoveAside(const QString& aside) {
    if (!QFile::rename(path_, aside)) return false;
    Close();
    id_.clear();
    next_ = 1;
    return true;
}

}  // namespace sorelka::record
