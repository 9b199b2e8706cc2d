// The journal of kept answers as bytes on the disk: what goes in comes out,
// and a journal cut off at any byte (a crash or a power cut mid-append)
// gives back exactly the entries that were whole, and takes appends again.
#include "record/pending_journal.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>

#include "record/statement_shapes.h"
#include "support/file_bytes.h"

namespace sorelka::record {
namespace {

using testing::Contents;
using testing::Write;

// Values of every type a journal holds, nulls of a type among them.
Transaction Answer(int k) {
    return {{Sql(Shape::DrillFigures),
             {k, 1.5 * k, QVariant(QMetaType::fromType<int>()), qlonglong(k) << 40, QStringLiteral("%1 ÷ 6").arg(k)}},
            {Sql(Shape::PupilRename), {QVariant(QMetaType::fromType<QString>()), QStringLiteral("はなこ")}}};
}

// A short entry, for cutting a journal at each of its bytes.
Transaction Small(int k) { return {{Sql(Shape::ClassRemove), {k}}}; }

bool Same(const Transaction& a, const Transaction& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].sql != b[i].sql || a[i].values.size() != b[i].values.size()) return false;
        for (qsizetype v = 0; v < a[i].values.size(); ++v) {
            const QVariant& x = a[i].values[v];
            const QVariant& y = b[i].values[v];
            // A null keeps its type, so SQLite still gets NULL for it.
            if (x.isNull() != y.isNull() || x.metaType() != y.metaType() || (!x.isNull() && x != y))
                return false;
        }
    }
    return true;
}

TEST(PendingJournal, EntriesComeBackInOrderWithTheirNullsAndTheFileIsPrivate) {
    QTemporaryDir folder;
    const QString path = folder.path() + "/kyozai.db.pending";
    {
        PendingJournal journal(path);
        EXPECT_TRUE(journal.Load().entries.empty());
        for (int k = 1; k <= 3; ++k) {
            quint64 number = 0;
            QString problem;
            ASSERT_TRUE(journal.Append(Answer(k), &number, &problem)) << problem.toStdString();
            EXPECT_EQ(number, quint64(k));
        }
    }
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    PendingJournal again(path);
    const PendingJournal::Contents contents = again.Load();
    EXPECT_EQ(contents.end, PendingJournal::End::Whole);
    ASSERT_EQ(contents.entries.size(), 3u);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(contents.entries[k - 1].number, quint64(k));
        EXPECT_TRUE(Same(contents.entries[k - 1].transaction, Answer(k))) << k;
    }
    quint64 number = 0;
    QString problem;
    ASSERT_TRUE(again.Append(Answer(4), &number, &problem));
    EXPECT_EQ(number, 4u) << "the next run continues the journal";
    // Another program's journal is not this one's to load, add to or remove.
    PendingJournal other(path);
    EXPECT_FALSE(other.Claim());
    EXPECT_TRUE(other.Load().entries.empty());
    EXPECT_FALSE(other.Append(Answer(5), &number, &problem));
    other.Remove();
    EXPECT_TRUE(QFile::exists(path));
    again.Remove();
    EXPECT_FALSE(QFile::exists(path));
}

TEST(PendingJournal, AJournalCutOffAtAnyByteGivesBackItsWholeEntriesOnly) {
    QTemporaryDir folder;
    const QString path = folder.path() + "/kyozai.db.pending";
    const qsizetype header = 49;  // "SORELKA-PENDING " + 32 hex digits + "\n"
    std::vector<qsizetype> ends;  // the size after each entry
    {
        PendingJournal journal(path);
        for (int k = 1; k <= 3; ++k) {
            quint64 number = 0;
            QString problem;
            ASSERT_TRUE(journal.Append(Small(k), &number, &problem));
            ends.push_back(QFile(path).size());
        }
    }
    const QByteArray whole = Contents(path);
    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        Write(path, whole.left(cut));
        const auto whole_entries = std::count_if(ends.begin(), ends.end(), [&](qsizetype e) { return e <= cut; });
        const bool on_a_boundary = cut == header || std::find(ends.begin(), ends.end(), cut) != ends.end();
        {
            PendingJournal journal(path);
            const PendingJournal::Contents contents = journal.Load();
            ASSERT_EQ(contents.entries.size(), std::size_t(whole_entries));
            for (std::size_t k = 0; k < contents.entries.size(); ++k)
                EXPECT_TRUE(Same(contents.entries[k].transaction, Small(int(k) + 1)));
            EXPECT_EQ(contents.end, on_a_boundary ? PendingJournal::End::Whole : PendingJournal::End::TornTail);
            // The torn bytes are gone: the next entry follows the whole ones
            // (tried at some cuts: each append waits for the disk).
            if (cut % 7 != 0 && !on_a_boundary) continue;
            quint64 number = 0;
            QString problem;
            ASSERT_TRUE(journal.Append(Small(9), &number, &problem));
        }
        const PendingJournal::Contents after = PendingJournal(path).Load();
        EXPECT_EQ(after.end, PendingJournal::End::Whole);
        ASSERT_EQ(after.entries.size(), std::size_t(whole_entries) + 1);
        EXPECT_TRUE(Same(after.entries.back().transaction, Small(9)));
    }

    // A damaged entry before the last is no torn tail: it is handed back as
    // refused bytes and the reading goes on with the next whole entry.
    QByteArray damaged = whole;
    damaged[ends[0] + 20] = char(damaged[ends[0] + 20] ^ 0x5A);
    Write(path, damaged);
    const PendingJournal::Contents contents = PendingJournal(path).Load();
    EXPECT_EQ(contents.end, PendingJournal::End::Whole);
    ASSERT_EQ(contents.entries.size(), 2u);
    EXPECT_TRUE(Same(contents.entries[1].transaction, Small(3)));
    EXPECT_EQ(contents.refused.size(), 1u);
    // Rewritten without it: read again, the same entries and nothing refused.
    const PendingJournal::Contents again = PendingJournal(path).Load();
    EXPECT_EQ(again.entries.size(), 2u);
    EXPECT_TRUE(again.refused.empty());
    // Nothing but the program's own statements goes into a journal.
    quint64 number = 0;
    QString problem;
    EXPECT_FALSE(PendingJournal(path).Append({{"delete from history", {}}}, &number, &problem));
}

}  // namespace
}  // namespace sorelka::record
