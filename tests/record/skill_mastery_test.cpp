// Each pupil's mastery kept in the record: written with every answer through
// a real SQLite file, it equals what the whole history rebuilds, across
// pupils renamed and removed, the guest, a record opened again and one whose
// table was emptied.
#include "record/skill_mastery.h"

#include <gtest/gtest.h>

#include <QSqlQuery>
#include <QTemporaryDir>

#include "coach/skill_catalogue.h"
#include "record/learning_record.h"
#include "support/fakes.h"
#include "topics/topic_table.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;

struct MasteryRecord {
    QTemporaryDir folder;
    FakeDialogs dialogs;
    std::unique_ptr<record::RecordStore> store;
    std::unique_ptr<record::LearningRecord> learning;

    MasteryRecord() { Open(); }
    void Open() {
        learning.reset();
        store.reset();
        store = std::make_unique<record::RecordStore>(folder.path() + "/kyozai.db", dialogs, nullptr,
                                                      record::RecordStore::CheckMode::Synchronous);
        learning = std::make_unique<record::LearningRecord>(*store);
        learning->TraceMastery(coach::ObserveStoredAnswer);
        store->Commit({{QStringLiteral("delete from pupils where 0"), {}}});
    }
    void Answer(const JudgedAnswer& answer) {
        record::Transaction write{learning->HistoryStatement(answer, record::AnswerMode::Practice)};
        for (record::Statement& s : learning->MasteryStatements(answer)) write.push_back(std::move(s));
        ASSERT_EQ(store->Commit(std::move(write)), record::RecordStore::Result::Written);
    }
    // An answer to an example someone else worked: a history row, no mastery.
    void FoundMistake(const JudgedAnswer& answer) {
        ASSERT_EQ(store->Commit({learning->HistoryStatement(answer, record::AnswerMode::FindTheMistake)}),
                  record::RecordStore::Result::Written);
    }
    int Count(const QString& sql) {
        QSqlQuery q(store->database());
        return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
    }
};

// A judged answer to a problem the screen itself would draw: right, or
// wrong with one of the topic's kinds (or none), days apart so reviews fall due.
JudgedAnswer RandomAnswer(SeededRandom& random, int n) {
    for (;;) {
        const Topic topic = kAllTopics[random.Random(int(kAllTopics.size()))];
        const int item = 1 + random.Random(4);
        const std::optional<coach::TopicProblem> problem = coach::OrdinaryDraw(topic, item, random);
        if (!problem) continue;
        JudgedAnswer a;
        a.topic = topic;
        a.menu_choice = item;
        a.problem = coach::StoredProblemText(topic, *problem);
        a.correct = random.Random(3) != 0;
        const auto& kinds = Describe(topic).kinds;
        if (!a.correct && random.Random(4) != 0) a.finding = Finding{kinds[random.Random(int(kinds.size()))].id, "", ""};
        a.answered_at = LocalTime{2026, 4, 1 + n / 40, 9, n % 60, n % 50, n % 1000, 540};
        if (a.answered_at.day > 30) a.answered_at = LocalTime{2026, 5, a.answered_at.day - 30, 9, 0, 0, n % 1000, 540};
        return a;
    }
}

TEST(SkillMasteryTest, KeptAnswerByAnswerEqualsTheHistoryRebuiltAcrossTheRosterAndReopening) {
    MasteryRecord r;
    SeededRandom random(27);
    for (const char* name : {"はなこ", "たろう", "じろう"}) r.learning->AddPupil(name);
    const QStringList who = {"はなこ", "たろう", "じろう", ""};  // "" is the guest
    for (int n = 0; n < 1200; ++n) {
        if (n % 25 == 0) r.learning->ChoosePupil(who[random.Random(int(who.size()))]);
        if (n % 7 == 3) r.FoundMistake(RandomAnswer(random, n));
        r.Answer(RandomAnswer(random, n));
        if (n == 400) r.Open();  // the states are read back from the file
        if (n == 600) r.learning->RenamePupil("たろう", "たろうくん");
        if (n == 800) r.learning->DeletePupil("じろう");
    }
    record::SkillMastery& mastery = *r.learning->mastery();
    const std::map<QString, PupilSkills> kept = mastery.Everyone();
    ASSERT_EQ(kept.count("じろう"), 0u) << "a removed pupil's rows go with them";
    ASSERT_EQ(kept.count("たろう"), 0u) << "a renamed pupil keeps their rows under the new name";
    ASSERT_EQ(kept.size(), 3u);
    for (const auto& [pupil, skills] : kept) {
        EXPECT_GT(skills.size(), 10u) << pupil.toStdString();
        EXPECT_EQ(mastery.Skills(pupil), skills) << "read for the screens as kept, " << pupil.toStdString();
    }

    ASSERT_TRUE(mastery.Rebuild());
    EXPECT_EQ(mastery.Everyone(), kept) << "the history rebuilds exactly what the answers wrote";

    // A file with answers but no mastery (an older layout's) is rebuilt once, on first reading.
    ASSERT_TRUE(QSqlQuery(r.store->database()).exec("delete from skill_mastery"));
    r.Open();
    EXPECT_EQ(r.learning->mastery()->Skills("はなこ"), kept.at("はなこ"));
    EXPECT_EQ(r.learning->mastery()->Everyone(), kept);
    EXPECT_EQ(r.Count("select count(*) from skill_mastery where pupil_id is null"), int(kept.at("").size()));
}

TEST(SkillMasteryTest, IsoTimesReadBackAndOthersAreRefused) {
    const LocalTime t{2026, 12, 8, 13, 23, 5, 250, -210};
    EXPECT_EQ(record::ParseIsoTime(record::IsoTime(t)), t);
    for (const char* bad : {"", "2026-12-08", "2026-12-08T13:23:05+09:00", "2026-12-08T13:23:05.25x+09:00"})
        EXPECT_FALSE(record::ParseIsoTime(bad).has_value()) << bad;
}

}  // namespace
}  // namespace sorelka
