#include "multiplication/multiplication_skills.h"

#include <algorithm>

#include "multiplication/multiplication_bugs.h"
#include "multiplication/multiplication_diagnosis.h"
#include "multiplication/multiplication_sheet.h"

namespace sorelka::multiplication {

namespace {

constexpr TopicSkill kSkills[] = {
    {{skill::kLineUp, "右はしを そろえて かける 小数の かけ算", "末尾をそろえて整数としてかける"}, {1, 2, 3}},
    {{skill::kPoint, "かけ算の 答えに 小数点を うつ", "積の小数点の位置"}, {1, 2, 3}},
    {{skill::kCarry, "くり上がりの ある 小数の かけ算", "くり上がり"}, {1, 2, 3}},
    {{skill::kShiftedRow, "２けたを かける 小数の かけ算", "２段目を１けたずらして足す"}, {2, 3}},
    {{skill::kEndZero, "答えの 終わりの ０を 消す かけ算", "積の終わりの0を消す"}, {3}},
    {{skill::kOnesZero, "答えが １より 小さい かけ算", "積の一の位に0を書く"}, {3}},
};

// Draws tried before a fixed problem of the item stands.
constexpr int kTargetAttempts = 32;

// Fixed problems, one of which exercises each skill of each item:
// 2.37 × 6, 3.6 × 24, 2.5 × 4, 0.04 × 3, 0.15 × 26.
constexpr MultiplicationProblem kFallbacks[] = {
    {237, 2, 6, kOneDigitMenu}, {36, 1, 24, kTwoDigitMenu}, {25, 1, 4, kZerosMenu},
    {4, 2, 3, kZerosMenu},      {15, 2, 26, kZerosMenu},
};

bool Carries(const MultiplicationProblem& problem) {
    const auto any = [](const RowWork& row) {
        return std::any_of(row.carry_in.begin(), row.carry_in.end(), [](int carry) { return carry > 0; });
    };
    if (!problem.TwoDigitMultiplier()) return any(MultiplyRow(problem.digits, problem.multiplier, 0));
    const RowWork first = MultiplyRow(problem.digits, problem.multiplier % 10, 0);
    const RowWork second = MultiplyRow(problem.digits, problem.multiplier / 10, 1);
    return any(first) || any(second) || any(AddRows(first.digits, second.digits));
}

// Whether `problem` tells the skill's right work from its usual mistake:
// every product takes a point, but only one with more digits left of its
// point than the multiplicand has shows a point counted from the left.
bool Telling(const MultiplicationProblem& problem, std::string_view id) {
    return id != skill::kPoint || CanMakeMistake(MultiplicationPupil::PointFromLeft, problem);
}

const TopicSkill* Find(std::string_view id) {
    for (const TopicSkill& s : kSkills)
        if (s.info.id == id) return &s;
    return nullptr;
}

}  // namespace

std::span<const TopicSkill> MultiplicationSkills() { return kSkills; }

std::vector<std::string_view> SkillsExercised(const MultiplicationProblem& problem) {
    std::vector<std::string_view> out;
    if (problem.digits <= 0 || problem.multiplier <= 0) return out;
    const MultiplicationWork right = RightWork(problem);
    out.push_back(skill::kLineUp);
    out.push_back(skill::kPoint);
    if (Carries(problem)) out.push_back(skill::kCarry);
    if (problem.TwoDigitMultiplier()) out.push_back(skill::kShiftedRow);
    if (right.struck > 0) out.push_back(skill::kEndZero);
    if (right.ones_zero) out.push_back(skill::kOnesZero);
    return out;
}

bool Exercises(const MultiplicationProblem& problem, std::string_view id) {
    const std::vector<std::string_view> all = SkillsExercised(problem);
    return std::find(all.begin(), all.end(), id) != all.end();
}

std::string_view SkillOfMistake(std::string_view kind) {
    if (kind == kPointMisplaced || kind == kPointMissing) return skill::kPoint;
    if (kind == kEndZeroKept) return skill::kEndZero;
    if (kind == kOnesZeroMissing) return skill::kOnesZero;
    if (kind == kRowNotShifted || kind == kRowSumSlip) return skill::kShiftedRow;
    if (kind == kCarryMissing) return skill::kCarry;
    if (kind == kTimesTableSlip) return skill::kLineUp;
    return {};
}

std::vector<SkillObservation> ObserveAnswer(const MultiplicationProblem& problem, bool correct, std::string_view kind) {
    return ObservationsOf(SkillsExercised(problem), correct, SkillOfMistake(kind));
}

std::optional<MultiplicationProblem> TargetedDraw(std::string_view id, int menu_choice, RandomSource& random) {
    const TopicSkill* s = Find(id);
    if (!s || !s->practice_items.Has(menu_choice)) return std::nullopt;
    random.Randomize();
    for (int attempt = 0; attempt < kTargetAttempts; ++attempt) {
        const std::optional<MultiplicationProblem> p = DrawProblem(menu_choice, random);
        if (p && FitsMenuItem(*p, menu_choice) && Exercises(*p, id) && Telling(*p, id)) return p;
    }
    for (MultiplicationProblem p : kFallbacks) {
        p.menu = menu_choice;
        if (FitsMenuItem(p, menu_choice) && Exercises(p, id)) return p;
    }
    return std::nullopt;  // not reached: the fixed problems cover every skill and item
}

}  // namespace sorelka::multiplication
