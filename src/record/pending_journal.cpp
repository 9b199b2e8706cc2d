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
#include <algorithm>
#include <cstring>

#include "record/statement_shapes.h"

namespace sorelka::record {

namespace {

// Today's journals, and those of earlier versions that stored SQL text.
const QByteArray kMagic = QByteArrayLiteral("SORELKA-VALUES2 ");
const QByteArray kOldMagic = QByteArrayLiteral("SORELKA-PENDING ");
constexpr qsizetype kIdDigits = 32;
constexpr qsizetype kHeaderSize = 16 + kIdDigits + 1;
// Each entry of today's form starts with this mark, so the reading can find
// the next entry after a damaged one.
const QByteArray kEntryMark = QByteArrayLiteral("\x1eSE2");
constexpr qsizetype kEntryHead = 4 + 4 + 8;
constexpr qsizetype kOldEntryHead = 4 + 8;
// No transaction of the program comes near this; a larger length is damage.
constexpr quint32 kLongestEntry = 64u << 20;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;

QByteArray Checksum(const char* data, qsizetype size) {
    return QCryptographicHash::hash(QByteArrayView(data, size), QCryptographicHash::Sha256).left(8);
}

QByteArray EntryBytes(quint64 number, const QByteArray& values) {
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out.setVersion(kStreamVersion);
        out << number;
    }
    payload += values;
    QByteArray length(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(payload.size()), length.data());
    return kEntryMark + length + Checksum((length + payload).constData(), length.size() + payload.size()) + payload;
}

// The typed values a journal holds: a tag per value (its type, with 0x80
// for a null of that type, so SQLite gets NULL for it) and the value.
enum Tag : quint8 { kInt = 1, kLongLong = 2, kDouble = 3, kText = 4, kBytes = 5, kBool = 6, kNull = 0x80 };

std::optional<quint8> TagOf(const QVariant& value) {
    switch (value.metaType().id()) {
        case QMetaType::Int: return kInt;
        case QMetaType::LongLong: return kLongLong;
        case QMetaType::Double: return kDouble;
        case QMetaType::QString: return kText;
        case QMetaType::QByteArray: return kBytes;
        case QMetaType::Bool: return kBool;
        default: return std::nullopt;
    }
}

QMetaType TypeOf(quint8 tag) {
    switch (tag & ~kNull) {
        case kInt: return QMetaType::fromType<int>();
        case kLongLong: return QMetaType::fromType<qlonglong>();
        case kDouble: return QMetaType::fromType<double>();
        case kText: return QMetaType::fromType<QString>();
        case kBytes: return QMetaType::fromType<QByteArray>();
        case kBool: return QMetaType::fromType<bool>();
        default: return QMetaType();
    }
}

// The placeholders of a statement (no statement of the program has a "?"
// in a text).
qsizetype Placeholders(const QString& sql) { return sql.count(QLatin1Char('?')); }

// Every value of a type the journal holds, as many as the statement takes.
bool ValuesFit(const Statement& statement) {
    if (statement.values.size() != Placeholders(statement.sql)) return false;
    return std::all_of(statement.values.begin(), statement.values.end(),
                       [](const QVariant& v) { return TagOf(v).has_value(); });
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

// A whole entry at `at`: its payload's place and size, and where the next
// entry starts. Checked by its checksum only, not yet read.
struct Frame {
    qsizetype payload = 0;
    qsizetype size = 0;
    qsizetype next = 0;
};

std::optional<Frame> FrameAt(const QByteArray& bytes, qsizetype at, bool old) {
    const qsizetype head = old ? kOldEntryHead : kEntryHead;
    const qsizetype left = bytes.size() - at;
    if (left < head) return std::nullopt;
    if (!old && bytes.mid(at, 4) != kEntryMark) return std::nullopt;
    const qsizetype length_at = old ? at : at + 4;
    const quint32 length = qFromBigEndian<quint32>(bytes.constData() + length_at);
    if (length > kLongestEntry || qsizetype(length) > left - head) return std::nullopt;
    const qsizetype payload = at + head;
    // Today's checksum covers the length too (the length, then the payload).
    const QByteArray sum = old ? Checksum(bytes.constData() + payload, length)
                               : Checksum((bytes.mid(length_at, 4) + bytes.mid(payload, length)).constData(),
                                          4 + qsizetype(length));
    if (sum != bytes.mid(length_at + 4, 8)) return std::nullopt;
    return Frame{payload, qsizetype(length), payload + qsizetype(length)};
}

// The next whole entry after `from`, or the end of the bytes.
qsizetype NextFrame(const QByteArray& bytes, qsizetype from, bool old) {
    for (qsizetype at = from; at < bytes.size(); ++at) {
        if (!old) {
            at = bytes.indexOf(kEntryMark, at);
            if (at < 0) break;
        }
        if (FrameAt(bytes, at, old)) return at;
    }
    return bytes.size();
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

std::optional<Transaction> OwnStatements(const Transaction& transaction) {
    Transaction own;
    for (const Statement& statement : transaction) {
        const std::optional<ShapeUse> shape = FindShape(statement.sql);
        if (!shape || !ValuesFit(statement)) return std::nullopt;
        own.push_back({*ShapeStatement(shape->name, shape->rows), statement.values});
    }
    return own;
}

std::optional<QByteArray> EncodeValues(const Transaction& transaction) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << quint32(transaction.size());
    for (const Statement& statement : transaction) {
        const std::optional<ShapeUse> shape = FindShape(statement.sql);
        if (!shape || !ValuesFit(statement)) return std::nullopt;
        out << shape->name << quint32(shape->rows) << quint32(statement.values.size());
        for (const QVariant& value : statement.values) {
            const quint8 tag = *TagOf(value);
            out << quint8(value.isNull() ? tag | kNull : tag);
            if (value.isNull()) continue;
            switch (tag) {
                case kInt: out << qint32(value.toInt()); break;
                case kLongLong: out << qint64(value.toLongLong()); break;
                case kDouble: out << value.toDouble(); break;
                case kText: out << value.toString(); break;
                case kBytes: out << value.toByteArray(); break;
                case kBool: out << value.toBool(); break;
            }
        }
    }
    return bytes;
}

std::optional<Transaction> DecodeValues(const QByteArray& bytes) {
    QDataStream in(bytes);
    in.setVersion(kStreamVersion);
    quint32 count = 0;
    in >> count;
    if (in.status() != QDataStream::Ok || count > 1000) return std::nullopt;
    Transaction transaction;
    for (quint32 k = 0; k < count; ++k) {
        QString name;
        quint32 rows = 0, values = 0;
        in >> name >> rows >> values;
        if (in.status() != QDataStream::Ok || rows > kLongestEntry) return std::nullopt;
        const std::optional<QString> sql = ShapeStatement(name, int(rows));
        if (!sql || Placeholders(*sql) != qsizetype(values)) return std::nullopt;
        Statement statement{*sql, {}};
        for (quint32 v = 0; v < values; ++v) {
            quint8 tag = 0;
            in >> tag;
            const QMetaType type = TypeOf(tag);
            if (in.status() != QDataStream::Ok || !type.isValid()) return std::nullopt;
            if (tag & kNull) {
                statement.values << QVariant(type);
                continue;
            }
            switch (tag) {
                case kInt: { qint32 x = 0; in >> x; statement.values << QVariant(int(x)); break; }
                case kLongLong: { qint64 x = 0; in >> x; statement.values << QVariant(qlonglong(x)); break; }
                case kDouble: { double x = 0; in >> x; statement.values << QVariant(x); break; }
                case kText: { QString x; in >> x; statement.values << QVariant(x); break; }
                case kBytes: { QByteArray x; in >> x; statement.values << QVariant(x); break; }
                case kBool: { bool x = false; in >> x; statement.values << QVariant(x); break; }
            }
            if (in.status() != QDataStream::Ok) return std::nullopt;
        }
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
    appendable_ = true;
    if (!Claim()) return contents;
    QFile file;
    if (!file.open(::dup(fd_), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return contents;
    file.seek(0);
    const QByteArray bytes = file.readAll();
    file.close();
    if (bytes.size() < kHeaderSize) {
        // Cut off while it was being made: it holds no entry.
        const bool torn = kMagic.startsWith(bytes.left(kMagic.size())) ||
                          kOldMagic.startsWith(bytes.left(kOldMagic.size()));
        contents.end = torn ? End::TornTail : End::Damaged;
        if (torn && ::ftruncate(fd_, 0) == 0) ::fdatasync(fd_);
        return contents;
    }
    const bool old = bytes.startsWith(kOldMagic);
    if ((!old && !bytes.startsWith(kMagic)) || bytes[kHeaderSize - 1] != '\n') {
        contents.end = End::Damaged;
        return contents;
    }
    id_ = QString::fromLatin1(bytes.mid(kMagic.size(), kIdDigits));
    qsizetype at = kHeaderSize;
    quint64 last = 0;
    while (at < bytes.size()) {
        const std::optional<Frame> frame = FrameAt(bytes, at, old);
        if (!frame) {
            // Damaged bytes: the reading goes on at the next whole entry.
            // None after them: the last entry was cut off.
            const qsizetype next = NextFrame(bytes, at + 1, old);
            if (next == bytes.size()) {
                contents.end = End::TornTail;
                break;
            }
            contents.refused.push_back(bytes.mid(at, next - at));
            at = next;
            continue;
        }
        const QByteArray body = bytes.mid(frame->payload, frame->size);
        QDataStream in(body);
        in.setVersion(kStreamVersion);
        quint64 number = 0;
        in >> number;
        std::optional<Transaction> transaction;
        if (old) {
            if (const auto sql = DecodeTransaction(body.mid(8))) transaction = OwnStatements(*sql);
        } else {
            transaction = DecodeValues(body.mid(8));
        }
        // Numbers only grow: an entry out of order would pass for written.
        if (transaction && number > last) {
            contents.entries.push_back({number, std::move(*transaction)});
            last = number;
        } else {
            contents.refused.push_back(bytes.mid(at, frame->next - at));
        }
        at = frame->next;
    }
    next_ = last + 1;
    if (old || !contents.refused.empty()) {
        // Rewritten as it is read: whole entries of today's form only, the
        // same id and numbers, so how far it was written still holds.
        appendable_ = Rewrite(contents.entries);
    } else if (contents.end == End::TornTail && ::ftruncate(fd_, at) == 0) {
        ::fdatasync(fd_);
    }
    return contents;
}

bool PendingJournal::Rewrite(const std::vector<Entry>& entries) {
    QByteArray bytes = kMagic + id_.toLatin1() + '\n';
    for (const Entry& entry : entries) {
        const std::optional<QByteArray> values = EncodeValues(entry.transaction);
        if (!values) return false;
        bytes += EntryBytes(entry.number, *values);
    }
    const QString part = path_ + QStringLiteral(".rewrite");
    const QByteArray name = QFile::encodeName(part);
    ::unlink(name.constData());
    const int fd = ::open(name.constData(), O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !WriteAll(fd, bytes) || ::fdatasync(fd) != 0 ||
        ::rename(name.constData(), QFile::encodeName(path_).constData()) != 0) {
        ::close(fd);
        ::unlink(name.constData());
        return false;
    }
    SyncFolderOf(path_);
    Close();
    fd_ = fd;
    return true;
}

bool PendingJournal::Append(const Transaction& transaction, quint64* number, QString* problem) {
    const std::optional<QByteArray> values = EncodeValues(transaction);
    if (!values) {
        *problem = QStringLiteral("a statement the journal does not hold");
        return false;
    }
    if (!appendable_) {
        *problem = QStringLiteral("%1 could not be rewritten in today's form").arg(path_);
        return false;
    }
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
    bytes += EntryBytes(next_, *values);
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
