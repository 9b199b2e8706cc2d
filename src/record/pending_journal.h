#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "record/transaction.h"

// The journal of kept transactions beside the record (kyozai.db.pending):
// answers the file could not take yet survive the program. Each entry is
// one transaction, appended and synced to the disk before the pupil's click
// returns; a last entry cut off by a crash or a power cut is told apart from
// a whole one and ignored.
//
// An entry holds values, never SQL: each statement as the name of one of
// the program's own statements (statement_shapes.h) and its values as a
// typed list, so replaying a journal can only run those statements.
//
// The file: a header line "SORELKA-VALUES2 <id>\n" (the journal's random id,
// 32 hex digits), then entries of a 4-byte mark, a 4-byte big-endian length
// n, the first 8 bytes of the SHA-256 of the length and the n payload bytes,
// and the payload: the entry's number and the transaction's statements.
// After a damaged entry the reading goes on at the next mark that starts a
// whole entry; what lies between is handed back as refused bytes, not run.
//
// Journals of earlier versions ("SORELKA-PENDING <id>\n", entries without
// a mark, statements stored as SQL text) are read only by recognising each
// statement as one of the program's own; an entry with any other statement
// is refused. Loading one rewrites it in today's form under the same id.
namespace sorelka::record {

// A transaction with its SQL text as bytes and back (nullopt for bytes that
// are none): the form journals of earlier versions stored.
QByteArray EncodeTransaction(const Transaction& transaction);
std::optional<Transaction> DecodeTransaction(const QByteArray& bytes);

// A transaction as the journal stores it: shape names and typed values.
// nullopt when a statement is none of the program's own or a value is of a
// type the journal does not hold.
std::optional<QByteArray> EncodeValues(const Transaction& transaction);
// Back, with the program's own statement for each name; nullopt for bytes
// that are no such transaction (an unknown name, a wrong number of values).
std::optional<Transaction> DecodeValues(const QByteArray& bytes);
// `transaction` with each statement replaced by the program's own statement
// of the same text (its values checked); nullopt when one is none of them.
std::optional<Transaction> OwnStatements(const Transaction& transaction);

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
        Damaged,   // no journal at all (its header is not one): nothing read, the file left as it is
    };
    struct Contents {
        std::vector<Entry> entries;
        End end = End::Whole;
        // Bytes between whole entries that are no entry of the program: a
        // damaged entry, or one whose statements the program never writes.
        // Kept for a person to look at; never run.
        std::vector<QByteArray> refused;
    };
    // Reads the journal an earlier run left, once claimed (nothing when there
    // is none); later appends continue it.
    Contents Load();

    // Appends one transaction (only statements of the program's own; see
    // EncodeValues), on the disk when it returns; its number in
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
    // Writes `entries` as a journal of today's form under the same id and
    // puts it in place of the file, still claimed.
    bool Rewrite(const std::vector<Entry>& entries);

    QString path_;
    QString id_;
    quint64 next_ = 1;
    int fd_ = -1;
    // False for a journal of an earlier form that could not be rewritten.
    bool appendable_ = true;
};

}  // namespace sorelka::record
