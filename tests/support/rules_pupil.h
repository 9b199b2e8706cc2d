#pragma once

#include <string>

#include "rules/rules_bugs.h"

// The rules pupil under the names the diagnosis tests and benchmarks write it
// with; the pupil itself is in rules/rules_bugs.h.
namespace sorelka::testing::rules_pupil {

using namespace sorelka::rules;

// Judges the answer the worksheet hands on against `expected`.
struct Hooks final : StepHooks {
    const CalculationSteps* steps = nullptr;
    bool right = false;
    int expected = 0;
    void ShowStepPrompt(int) override {}
    void JudgeAnswer() override { right = steps->state().second_result == expected; }
    void ShowPrompt(const std::string&) override {}
    void ShowEntryLists(bool) override {}
};

using Bug = RulesBug;
using BugCase = RulesBugCase;
using Pupil = RulesPupil;
inline constexpr const auto& kBugs = kRulesBugs;

}  // namespace sorelka::testing::rules_pupil
