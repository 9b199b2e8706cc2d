#include "app/recorded_answers.h"

#include "drill/drill_log.h"
#include "record/learning_record.h"

namespace sorelka {

std::string RecordedAnswers::PupilName() const { return record_.shown_name().toStdString(); }

void RecordedAnswers::RecordPractice(const JudgedAnswer& answer) {
    record_.store().Commit(
        record_.AnswerStatements(answer, record::AnswerMode::Practice, QString(), std::nullopt, work_));
    // A kept answer counts too: the store writes it later.
    // A copy: the callee may end the work, which drops the callback.
    if (work_ && work_answered_) {
        const std::function<void()> answered = work_answered_;
        answered();
    }
}

void RecordedAnswers::SetWork(std::optional<long long> work, std::function<void()> answered) {
    work_ = work;
    work_answered_ = work ? std::move(answered) : std::function<void()>();
}

void RecordedAnswers::RecordFindTheMistake(const JudgedAnswer& answer) {
    record_.store().Commit({record_.HistoryStatement(answer, record::AnswerMode::FindTheMistake)});
}

std::string RecordedAnswers::StartDrill(const DrillRun& run) {
    const QString uid = record::LearningRecord::NewDrillKey();
    record_.store().Commit({record_.DrillStartStatement(uid, run)});
    return uid.toStdString();
}

void RecordedAnswers::RecordDrillAnswer(const std::string& drill, int question_no,
                                        const JudgedAnswer& answer, const DrillRow& row,
                                        const DrillFigures& so_far) {
    const QString uid = QString::fromStdString(drill);
    record::Transaction also = record_.AnswerStatements(answer, record::AnswerMode::Drill, uid, question_no);
    also.push_back(record_.DrillFiguresStatement(uid, so_far, std::nullopt));
    log_.AppendDrillRow(row, std::move(also));
}

void RecordedAnswers::FinishDrill(const std::string& drill, const DrillFigures& figures,
                                  const LocalTime& finished_at) {
    record_.store().Commit(
        {record_.DrillFiguresStatement(QString::fromStdString(drill), figures, finished_at)});
}

std::vector<std::string> RecordedAnswers::Habits(Topic topic) {
    std::vector<std::string> kinds;
    for (const QString& kind : record_.Habits(record_.current_pupil(), TopicNumber(topic)))
        kinds.push_back(kind.toStdString());
    return kinds;
}

}  // namespace sorelka

namespace sorelka {

PupilSkills RecordedAnswers::Skills() {
    record::SkillMastery* mastery = record_.mastery();
    return mastery ? mastery->Skills(record_.current_pupil()) : PupilSkills{};
}

}  // namespace sorelka
