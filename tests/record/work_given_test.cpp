// Which pieces of the work the teacher gave are open for a pupil, and the
// list kept in the record file as the sync writes it.
#include "record/work_given.h"

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QTemporaryDir>

#include "record/learning_record.h"
#include "record/record_store.h"
#include "support/fakes.h"

namespace sorelka {
namespace {

using testing::FakeDialogs;
using record::OpenPiece;
using record::WorkPiece;

// A piece for the pupils of this PC with these ids (each with its answers
// sent from other PCs).
WorkPiece Piece(qint64 id, QHash<qint64, int> for_pupils, int problems, QString due, bool withdrawn = false) {
    WorkPiece p;
    p.id = id;
    p.class_name = QStringLiteral("4年1組");
    p.title = QStringLiteral("かだい%1").arg(id);
    p.topic = 1;
    p.menu_choice = 1;
    p.problems = problems;
    p.due_day = std::move(due);
    p.for_pupils = std::move(for_pupils);
    p.withdrawn = withdrawn;
    return p;
}

// One list, each pupil's open pieces: (id, answered, past due). はなこ is
// pupil 1, たろう 2, さくら 3.
TEST(WorkGiven, ThePiecesOpenForAPupilFollowTheServersPupilsAnswersAndWithdrawal) {
    const std::vector<WorkPiece> list{
        Piece(1, {{1, 0}, {2, 0}}, 10, "2026-12-10"),  // both, due today
        Piece(2, {{1, 0}}, 5, "2026-12-09"),           // はなこ's, past its day
        Piece(3, {{2, 3}}, 5, "2026-12-20"),           // たろう's, 3 answered on another PC
        Piece(4, {{1, 0}}, 3, "2026-12-20", true),     // withdrawn
        Piece(5, {{3, 0}}, 3, "2026-12-20"),           // さくら's
        Piece(6, {{1, 2}, {2, 0}}, 3, "2026-12-20"),   // はなこ: 2 elsewhere, 1 here
    };
    const QHash<qint64, int> hanako_answers{{1, 9}, {2, 0}, {3, 4}, {4, 1}, {6, 1}};
    struct Case {
        const char* what;
        qint64 pupil;
        QHash<qint64, int> answered;
        std::vector<std::tuple<qint64, int, bool>> open;
    };
    const Case cases[] = {
        {"one answer left on the first; here and elsewhere close the last", 1, hanako_answers,
         {{1, 9, false}, {2, 0, true}}},
        {"answers on another PC count", 2, {}, {{1, 0, false}, {3, 3, false}, {6, 0, false}}},
        {"answers beyond the count close a piece", 2, {{1, 12}, {3, 2}}, {{6, 0, false}}},
        {"the pieces of another class's pupil", 3, {}, {{5, 0, false}}},
        {"a pupil no piece is for", 4, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::tuple<qint64, int, bool>> got;
        for (const OpenPiece& o : record::OpenWork(list, c.pupil, c.answered, "2026-12-10"))
            got.emplace_back(o.piece.id, o.answered, o.past_due);
        EXPECT_EQ(got, c.open);
    }
}

// The sync's replacement is whole: a list put in place of another reads
// back equal, names with it; a list the file refuses leaves the last one.
TEST(WorkGiven, AListReplacesTheLastWholeAndReadsBackEqual) {
    QTemporaryDir folder;
    FakeDialogs dialogs;
    record::RecordStore store(folder.path() + "/kyozai.db", dialogs, nullptr,
                              record::RecordStore::CheckMode::Synchronous);
    record::LearningRecord learning(store);
    learning.AddPupil("はなこ");  // the file is made by its first write
    ASSERT_TRUE(store.Ready());
    QSqlDatabase db = store.database();
    WorkPiece skill = Piece(8, {{1, 0}, {2, 3}}, 4, "2026-12-11");
    skill.pupils = QStringList{"はなこ", "たろう"};
    skill.topic.reset();
    skill.menu_choice.reset();
    skill.skill = "division.zero_in_quotient";
    WorkPiece recommended = Piece(9, {}, 6, "2026-12-12", true);
    recommended.topic.reset();
    recommended.menu_choice.reset();
    recommended.recommended = true;
    QString problem;
    ASSERT_TRUE(record::ReplaceWorkGiven(db, {Piece(1, {{1, 0}}, 3, "2026-12-01")}, "t1", &problem));
    ASSERT_TRUE(record::ReplaceWorkGiven(db, {skill, recommended}, "t2", &problem)) << problem.toStdString();
    EXPECT_EQ(record::ReadWorkGiven(db), (std::vector<WorkPiece>{skill, recommended}));
    WorkPiece bad = Piece(2, {}, 3, "2026-12-01");
    std::vector<WorkPiece> twice{bad, bad};  // the same id twice: the file refuses the list
    EXPECT_FALSE(record::ReplaceWorkGiven(db, twice, "t3", &problem));
    EXPECT_EQ(record::ReadWorkGiven(db), (std::vector<WorkPiece>{skill, recommended}));
}

}  // namespace
}  // namespace sorelka
