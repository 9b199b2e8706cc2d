#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "record/transaction.h"

// The journal of kept transactions beside the record (kyozai.db.pending):
// answers the file could not take yet survive the program. Each entry is
// one transaction with its length and a checksum, appended and synced to
// the disk before the pupil's click returns; a last entry cut off by a
// crash or a power cut is told apart from a whole one and ignored.
//
// The file: a header line "SORELKA-PENDING <id>\n" (the journal's random
// id, 32 hex digits), then entries of a 4-byte big-endian length n, the
// first 8 bytes of the SHA-256 of the n payload bytes, and the payload:
// the entry's number and the transaction in QDataStream form.
namespace sorelka::record {

// A transaction as bytes and back (nullopt for bytes that are none).
QByteArray EncodeTransaction(const Transaction& transaction);
std::optional<Transaction> DecodeTransaction(const QByteArray& bytes);

class PendingJournal {
public:
    explicit PendingJournal(QString path);
    // Lets go of the journal; the file stays for the next start.
    ~PendingJournal();
    PendingJournal(const PendingJournal&) = delete;
    PendingJournal& operator=(const PendingJournal&) = delete;

    // Takes the journal for this program (an advisory lock held until
    // Remove() or the end): false while another running program has it, so
    // two programs on one record never write, replay or remove each other's
    // entries. The file is made when `make` and it does not exist.
    bool Claim(bool make = false);
    bool claimed() const { return fd_ >= 0; }

    struct Entry {
        quint64 number = 0;
        Transaction transaction;
    };
    enum class End {
        Whole,     // every byte read
        TornTail,  // the last entry was cut off: it is ignored and cut from the file
        Damaged,   // an entry before the last cannot be read: what follows it is lost
    };
    struct Contents {
        std::vector<Entry> entries;
        End end = End::Whole;
    };
    // Reads the journal an earlier run left, once claimed (nothing when there
    // is none); later appends continue it.
    Contents Load();

    // Appends one transaction, on the disk when it returns; its number in
    // the journal (from 1) in `number`. The journal is claimed (and made)
    // first. False, with what failed, when it could not be written (the file
    // is as it was) or another program has it.
    bool Append(const Transaction& transaction, quint64* number, QString* problem);

    // Removes the journal: every entry is in the record file.
    void Remove();
    // Renames a damaged journal to `aside` and lets go of it.
    bool MoveAside(const QString& aside);

    bool exists() const;
    // The journal's id, empty before it has a header.
    const QString& id() const { return id_; }
    const QString& path() const { return path_; }

private:
    void Close();

    QString path_;
    QString id_;
    quint64 next_ = 1;
    int fd_ = -1;
};

}  // namespace sorelka::record
