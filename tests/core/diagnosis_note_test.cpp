// The practice panel's text, and its habit line, from a finding and the
// habits the learning record reports.
#include "core/diagnosis_note.h"

#include <gtest/gtest.h>

#include "core/learning_recorder.h"

namespace sorelka {
namespace {

// A recorder that reports fixed habits and keeps nothing.
struct HabitRecorder final : LearningRecorder {
    std::vector<std::string> habits;
    std::string PupilName() const override { return "ゲスト"; }
    void RecordPractice(const JudgedAnswer&) override {}
    std::string StartDrill(const DrillRun&) override { return {}; }
    void RecordDrillAnswer(const std::string&, int, const JudgedAnswer&, const DrillRow&,
                           const DrillFigures&) override {}
    void FinishDrill(const std::string&, const DrillFigures&, const LocalTime&) override {}
    std::vector<std::string> Habits(int topic) override {
        return topic == kTopicDivision ? habits : std::vector<std::string>{};
    }
};

TEST(DiagnosisNote, ThePanelNamesTheKindExplainsAndAddsTheHabitLine) {
    const Finding zero{"zero_missing", "quotient:2", "商に ０を たてわすれたよ"};
    HabitRecorder recorder;
    recorder.habits = {"product_slip", "zero_missing"};
    struct Case {
        const char* what;
        Diagnosis diagnosis;
        std::string label;
        LearningRecorder* recorder;
        int topic;
        std::optional<std::string> text;  // none: no note
    };
    const std::string habit = kHabitLine;
    const Case cases[] = {
        {"a right answer", std::nullopt, "", &recorder, kTopicDivision, std::nullopt},
        {"a habit", zero, "商に０をたてわすれた", &recorder, kTopicDivision,
         "【商に０をたてわすれた】\n商に ０を たてわすれたよ\n" + habit},
        {"habits of another topic", zero, "商に０をたてわすれた", &recorder, kTopicRules,
         "【商に０をたてわすれた】\n商に ０を たてわすれたよ"},
        {"no record", zero, "商に０をたてわすれた", nullptr, kTopicDivision,
         "【商に０をたてわすれた】\n商に ０を たてわすれたよ"},
        {"no label", Finding{"other", "", "もういちど 計算してみよう"}, "", &recorder,
         kTopicDivision, "もういちど 計算してみよう"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<DiagnosisNote> note = NoteOf(c.diagnosis, c.label, c.recorder, c.topic);
        ASSERT_EQ(note.has_value(), c.text.has_value());
        if (note) EXPECT_EQ(note->Text(), *c.text);
    }
}

}  // namespace
}  // namespace sorelka
