#pragma once

#include <functional>
#include <optional>

#include "core/learning_recorder.h"

namespace sorelka {

class DrillLog;
namespace record {
class LearningRecord;
}

// The program's LearningRecorder: practice answers go straight into the
// learning record, a drill answer's history row goes into the same
// transaction as its drill-log row.
class RecordedAnswers final : public LearningRecorder {
public:
    RecordedAnswers(record::LearningRecord& record, DrillLog& log) : record_(record), log_(log) {}

    std::string PupilName() const override;
    void RecordPractice(const JudgedAnswer& answer) override;
    void RecordFindTheMistake(const JudgedAnswer& answer) override;
    std::string StartDrill(const DrillRun& run) override;
    void RecordDrillAnswer(const std::string& drill, int question_no, const JudgedAnswer& answer,
                           const DrillRow& row, const DrillFigures& so_far) override;
    void FinishDrill(const std::string& drill, const DrillFigures& figures,
                     const LocalTime& finished_at) override;
    std::vector<std::string> Habits(Topic topic) override;
    PupilSkills Skills() override;

    // From now on practice answers are given for the piece of work `work`
    // (none: ordinary answers again); `answered` hears of each one written.
    void SetWork(std::optional<long long> work, std::function<void()> answered = {});
    std::optional<long long> work() const { return work_; }

private:
    record::LearningRecord& record_;
    DrillLog& log_;
    std::optional<long long> work_;
    std::function<void()> work_answered_;
};

}  // namespace sorelka
