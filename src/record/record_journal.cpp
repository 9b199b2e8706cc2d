// The record store's kept transactions beyond the running program: the
// journal beside the file (kyozai.db.pending) that this run appends to, the
// journals earlier runs left, which are written first, and the wait before
// the program ends. A second program on the same record keeps a journal of
// its own (kyozai.db.pending.<id>): each program only ever appends to,
// replays and removes journals it holds the lock of.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QVariant>
#include <QThread>
#include <algorithm>

#include "record/private_files.h"
#include "record/record_detail.h"
#include "record/record_store.h"

namespace sorelka::record {

namespace {

QString JournalPath(const QString& record) { return record + QStringLiteral(".pending"); }

// The journals earlier runs may have left, oldest first.
QStringList LeftJournals(const QString& record) {
    const QFileInfo file(record);
    QStringList paths;
    for (const QFileInfo& found :
         QDir(file.absolutePath()).entryInfoList({file.fileName() + QStringLiteral(".pending"),
                                                  file.fileName() + QStringLiteral(".pending.*")},
                                                 QDir::Files, QDir::Time | QDir::Reversed))
        paths << found.absoluteFilePath();
    return paths;
}

}  // namespace

void RecordStore::LoadJournal() {
    for (const QString& path : LeftJournals(path_)) {
        auto journal = std::make_unique<PendingJournal>(path);
        if (!journal->Claim()) continue;  // a program still running has it
        const PendingJournal::Contents contents = journal->Load();
        if (contents.end == PendingJournal::End::TornTail)
            Detail(QStringLiteral("the last entry of %1 was cut off and is ignored").arg(path));
        if (contents.end == PendingJournal::End::Damaged) {
            // Not a journal at all: kept beside as it is, nothing read.
            const QString aside = AsideName(QStringLiteral("pending-damaged"), Stamp());
            Detail(QStringLiteral("%1 is no journal; kept as %2").arg(path, aside));
            journal->MoveAside(aside);
            continue;
        }
        if (!contents.refused.empty()) KeepRefused(path, contents.refused);
        for (const PendingJournal::Entry& entry : contents.entries)
            kept_.push_back({++next_serial_, entry.transaction, journal.get(), entry.number, true});
        journals_.push_back(std::move(journal));
    }
    if (!kept_.empty())
        Detail(QStringLiteral("%1 transaction(s) kept by an earlier run are written first").arg(kept_.size()));
    // This run appends to the usual journal when it holds it or it is free.
    const QString own = JournalPath(path_);
    const auto held = std::find_if(journals_.begin(), journals_.end(),
                                   [&](const auto& j) { return j->path() == own; });
    if (held != journals_.end()) std::rotate(journals_.begin(), held, held + 1);
    else journals_.insert(journals_.begin(), std::make_unique<PendingJournal>(own));
    if (kept_.empty()) RemoveWrittenJournals();  // journals that held no whole entry
    else Flush();
}

void RecordStore::KeepRefused(const QString& journal, const std::vector<QByteArray>& refused) {
    // Bytes that are no entry of the program are never run: they are kept
    // beside the record for a person to look at, and the journal goes on.
    const QString aside = AsideName(QStringLiteral("pending-damaged"), Stamp());
    QFile file(aside);
    bool kept = MakePrivateFile(aside) && file.open(QIODevice::WriteOnly | QIODevice::Append);
    for (const QByteArray& bytes : refused) kept = kept && file.write(bytes) == bytes.size();
    kept = kept && file.flush();
    Detail(QStringLiteral("%1: %2 damaged or unknown entr%3 set aside, not run%4")
               .arg(journal)
               .arg(refused.size())
               .arg(refused.size() == 1 ? QStringLiteral("y") : QStringLiteral("ies"))
               .arg(kept ? QStringLiteral("; kept as ") + aside : QStringLiteral(" (could not be kept)")));
}

void RecordStore::JournalKept() {
    if (read_only_) return;
    for (Kept& kept : kept_) {
        if (kept.journal) continue;
        QString problem;
        PendingJournal* own = journals_.front().get();
        if (!own->claimed() && own->exists() && !own->Claim()) {
            // Another program on this record holds the usual journal.
            journals_.front() = std::make_unique<PendingJournal>(
                JournalPath(path_) + QLatin1Char('.') +
                QString::number(QRandomGenerator::system()->generate(), 16));
            own = journals_.front().get();
        }
        // In order: an entry never goes into the journal before one kept earlier.
        if (!own->Append(kept.transaction, &kept.journal_number, &problem)) {
            if (!journal_failed_)
                Detail(QStringLiteral("%1 cannot be written (%2): kept answers are in memory only")
                           .arg(own->path(), problem));
            journal_failed_ = true;
            return;
        }
        kept.journal = own;
        journal_failed_ = false;
    }
}

void RecordStore::RemoveWrittenJournals() {
    for (auto it = journals_.begin(); it != journals_.end();) {
        PendingJournal* journal = it->get();
        const bool waiting = std::any_of(kept_.begin(), kept_.end(),
                                         [&](const Kept& k) { return k.journal == journal; });
        if (!waiting && journal->claimed()) journal->Remove();
        // A journal an earlier run left goes once written; this run's stays.
        if (!waiting && it != journals_.begin()) it = journals_.erase(it);
        else ++it;
    }
}

void RecordStore::SettleBeforeQuit(int wait_ms) {
    if (kept_.empty() || read_only_) return;
    QElapsedTimer waited;
    waited.start();
    while (!Flush() && waited.elapsed() < wait_ms) QThread::msleep(100);
    if (kept_.empty()) return;
    JournalKept();
    Tell(journaled() == kept_.size() ? Trouble::KeptForNextStart : Trouble::NotKept,
         QStringLiteral("%1 transaction(s) not written to %2 at the end").arg(kept_.size()).arg(path_));
}

std::size_t RecordStore::journaled() const {
    return std::size_t(std::count_if(kept_.begin(), kept_.end(), [](const Kept& k) { return k.journal != nullptr; }));
}

}  // namespace sorelka::record
