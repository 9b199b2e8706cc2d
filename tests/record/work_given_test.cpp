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

WorkPiece Piece(qint64 id, QString class_name, QStringList pupils, int problems, QString due, bool withdrawn = false) {
    WorkPiece p;
    p.id = id;
    p.class_name = std::move(class_name);
    p.title = QStringLiteral("かだい%1").arg(id);
    p.topic = 1;
    p.menu_choice = 1;
    p.problems = problems;
    p.due_day = std::move(due);
    p.pupils = std::move(pupils);
    p.withdrawn = withdrawn;
    return p;
}

// One list, each pupil's open pieces: (id, answered, past due).
TEST(WorkGiven, ThePiecesOpenForAPupilFollowClassNamesAnswersAndWithdrawal) {
    const std::vector<WorkPiece> list{
        Piece(1, "4年1組", {}, 10, "2026-12-10"),                      // whole class, due today
        Piece(2, "4年1組", {"はなこ"}, 5, "2026-12-09"),               // named, past its day
        Piece(3, "4年1組", {"たろう", "じろう"}, 5, "2026-12-20"),      // others only
        Piece(4, "4年1組", {}, 3, "2026-12-20", true),                  // withdrawn
        Piece(5, "4年2組", {}, 3, "2026-12-20"),                        // another class
        Piece(6, "4年1組", {}, 3, "2026-12-20"),                        // done by はなこ
    };
    const QHash<qint64, int> hanako_answers{{1, 9}, {2, 0}, {3, 4}, {4, 1}, {6, 3}};
    struct Case {
        const char* what;
        QString pupil, pupil_class;
        QHash<qint64, int> answered;
        std::vector<std::tuple<qint64, int, bool>> open;
    };
    const Case cases[] = {
        {"a named pupil with one answer left on the first", "はなこ", "4年1組", hanako_answers,
         {{1, 9, false}, {2, 0, true}}},
        {"the whole class's pieces and those naming the pupil", "たろう", "4年1組", {},
         {{1, 0, false}, {3, 0, false}, {6, 0, false}}},
        {"answers beyond the count close a piece", "たろう", "4年1組", {{1, 12}, {3, 5}}, {{6, 0, false}}},
        {"another class", "さくら", "4年2組", {}, {{5, 0, false}}},
        {"a class without work", "さくら", "4年3組", {}, {}},
        {"the guest has none", "", "4年1組", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::tuple<qint64, int, bool>> got;
        for (const OpenPiece& o : record::OpenWork(list, c.pupil, c.pupil_class, c.answered, "2026-12-10"))
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
    WorkPiece skill = Piece(8, "クラス", {"はなこ", "たろう"}, 4, "2026-12-11");
    skill.topic.reset();
    skill.menu_choice.reset();
    skill.skill = "division.zero_in_quotient";
    WorkPiece recommended = Piece(9, "クラス", {}, 6, "2026-12-12", true);
    recommended.topic.reset();
    recommended.menu_choice.reset();
    recommended.recommended = true;
    QString problem;
    ASSERT_TRUE(record::ReplaceWorkGiven(db, {Piece(1, "クラス", {}, 3, "2026-12-01")}, "t1", &problem));
    ASSERT_TRUE(record::ReplaceWorkGiven(db, {skill, recommended}, "t2", &problem)) << problem.toStdString();
    EXPECT_EQ(record::ReadWorkGiven(db), (std::vector<WorkPiece>{skill, recommended}));
    WorkPiece bad = Piece(2, "クラス", {}, 3, "2026-12-01");
    std::vector<WorkPiece> twice{bad, bad};  // the same id twice: the file refuses the list
    EXPECT_FALSE(record::ReplaceWorkGiven(db, twice, "t3", &problem));
    EXPECT_EQ(record::ReadWorkGiven(db), (std::vector<WorkPiece>{skill, recommended}));
}

}  // namespace
}  // namespace sorelka
