#include "coach/skill_catalogue.h"

#include <type_traits>

#include "decimal_division/decimal_division_skills.h"
#include "decimals/decimal_skills.h"
#include "division/division_skills.h"
#include "fractions/fraction_skills.h"
#include "multiplication/multiplication_skills.h"
#include "rules/rules_skills.h"
#include "topics/topic_table.h"

namespace sorelka::coach {

namespace {

decimals::Operation OperationOf(Topic topic) {
    return topic == Topic::DecimalAddition ? decimals::Operation::Addition : decimals::Operation::Subtraction;
}

// Calls `f` with the topic's problem when `problem` holds one; `none` otherwise.
template <class Result, class F>
Result WithProblem(Topic topic, const TopicProblem& problem, Result none, F f) {
    switch (topic) {
        case Topic::Division:
            if (const auto* p = std::get_if<division::DivisionProblem>(&problem)) return f(*p);
            break;
        case Topic::DecimalAddition:
        case Topic::DecimalSubtraction:
            if (const auto* p = std::get_if<decimals::DecimalProblem>(&problem)) return f(*p);
            break;
        case Topic::Rules:
            if (const auto* p = std::get_if<rules::ExpressionProblem>(&problem)) return f(*p);
            break;
        case Topic::Fractions:
            if (const auto* p = std::get_if<fractions::FractionProblem>(&problem)) return f(*p);
            break;
        case Topic::DecimalMultiplication:
            if (const auto* p = std::get_if<multiplication::MultiplicationProblem>(&problem)) return f(*p);
            break;
        case Topic::DecimalDivision:
            if (const auto* p = std::get_if<decimal_division::DecimalDivisionProblem>(&problem)) return f(*p);
            break;
    }
    return none;
}

template <class Problem>
std::optional<TopicProblem> Lift(std::optional<Problem> problem) {
    if (!problem) return std::nullopt;
    return TopicProblem(std::move(*problem));
}

}  // namespace

std::span<const TopicSkill> SkillsOf(Topic topic) { return Describe(topic).skills; }

std::optional<FoundSkill> FindSkill(std::string_view id) {
    for (Topic topic : kAllTopics)
        for (const TopicSkill& s : SkillsOf(topic))
            if (s.info.id == id) return FoundSkill{topic, &s};
    return std::nullopt;
}

std::vector<std::string_view> SkillsExercised(Topic topic, int menu_choice, const TopicProblem& problem) {
    using Skills = std::vector<std::string_view>;
    return WithProblem(topic, problem, Skills{}, [&](const auto& p) -> Skills {
        using P = std::decay_t<decltype(p)>;
        if constexpr (std::is_same_v<P, division::DivisionProblem>)
            return division::SkillsExercised(p);
        else if constexpr (std::is_same_v<P, decimals::DecimalProblem>)
            return decimals::SkillsExercised(OperationOf(topic), p);
        else if constexpr (std::is_same_v<P, rules::ExpressionProblem>)
            return rules::SkillsExercised(p);
        else if constexpr (std::is_same_v<P, multiplication::MultiplicationProblem>)
            return multiplication::SkillsExercised(p);
        else if constexpr (std::is_same_v<P, decimal_division::DecimalDivisionProblem>)
            return decimal_division::SkillsExercised(p);
        else
            return fractions::SkillsExercised(menu_choice, p);
    });
}

std::vector<SkillObservation> ObserveAnswer(Topic topic, int menu_choice, const TopicProblem& problem,
                                            bool correct, std::string_view kind, std::string_view step) {
    using Observations = std::vector<SkillObservation>;
    return WithProblem(topic, problem, Observations{}, [&](const auto& p) -> Observations {
        using P = std::decay_t<decltype(p)>;
        if constexpr (std::is_same_v<P, division::DivisionProblem>)
            return division::ObserveAnswer(p, correct, kind);
        else if constexpr (std::is_same_v<P, decimals::DecimalProblem>)
            return decimals::ObserveAnswer(OperationOf(topic), p, correct, kind, step);
        else if constexpr (std::is_same_v<P, rules::ExpressionProblem>)
            return rules::ObserveAnswer(p, correct, kind, step);
        else if constexpr (std::is_same_v<P, multiplication::MultiplicationProblem>)
            return multiplication::ObserveAnswer(p, correct, kind);
        else if constexpr (std::is_same_v<P, decimal_division::DecimalDivisionProblem>)
            return decimal_division::ObserveAnswer(p, correct, kind);
        else
            return fractions::ObserveAnswer(menu_choice, p, correct, kind);
    });
}

std::vector<SkillObservation> ObserveStoredAnswer(const StoredAnswer& answer) {
    const std::optional<TopicProblem> problem = ParseStoredProblem(answer.topic, answer.menu_choice, answer.problem);
    if (!problem) return {};
    return ObserveAnswer(answer.topic, answer.menu_choice, *problem, answer.correct, answer.error_kind,
                         answer.error_step);
}

std::string StoredProblemText(Topic topic, const TopicProblem& problem) {
    return WithProblem(topic, problem, std::string(), [&](const auto& p) -> std::string {
        using P = std::decay_t<decltype(p)>;
        if constexpr (std::is_same_v<P, decimals::DecimalProblem>)
            return decimals::StoredProblemText(OperationOf(topic), p);
        else if constexpr (std::is_same_v<P, division::DivisionProblem>)
            return division::StoredProblemText(p);
        else if constexpr (std::is_same_v<P, rules::ExpressionProblem>)
            return rules::StoredProblemText(p);
        else if constexpr (std::is_same_v<P, multiplication::MultiplicationProblem>)
            return multiplication::StoredProblemText(p);
        else if constexpr (std::is_same_v<P, decimal_division::DecimalDivisionProblem>)
            return decimal_division::StoredProblemText(p);
        else
            return fractions::StoredProblemText(p);
    });
}

std::optional<TopicProblem> ParseStoredProblem(Topic topic, int menu_choice, std::string_view text) {
    switch (topic) {
        case Topic::Division: return Lift(division::ParseStoredProblem(menu_choice, text));
        case Topic::DecimalAddition:
        case Topic::DecimalSubtraction:
            return Lift(decimals::ParseStoredProblem(OperationOf(topic), menu_choice, text));
        case Topic::Rules: return Lift(rules::ParseStoredProblem(menu_choice, text));
        case Topic::Fractions: return Lift(fractions::ParseStoredProblem(menu_choice, text));
        case Topic::DecimalMultiplication: return Lift(multiplication::ParseStoredProblem(menu_choice, text));
        case Topic::DecimalDivision: return Lift(decimal_division::ParseStoredProblem(menu_choice, text));
    }
    return std::nullopt;
}

std::optional<TopicProblem> OrdinaryDraw(Topic topic, int menu_choice, RandomSource& random) {
    switch (topic) {
        case Topic::Division: {
            division::DivisionProblem p;
            if (!division::GenerateProblem(menu_choice, random, p)) return std::nullopt;
            return p;
        }
        case Topic::DecimalAddition:
        case Topic::DecimalSubtraction:
            if (!decimals::IsDecimalPlaces(menu_choice)) return std::nullopt;
            return decimals::DrawProblem(OperationOf(topic), random, menu_choice);
        case Topic::Rules: {
            rules::ExpressionProblem p;
            if (!rules::GenerateProblem(menu_choice, random, p)) return std::nullopt;
            return p;
        }
        case Topic::Fractions:
            return Lift(fractions::DrawFractionProblem(menu_choice, fractions::Variant::Practice, random));
        case Topic::DecimalMultiplication: return Lift(multiplication::DrawProblem(menu_choice, random));
        case Topic::DecimalDivision: return Lift(decimal_division::DrawProblem(menu_choice, random));
    }
    return std::nullopt;
}

std::optional<TopicProblem> TargetedDraw(Topic topic, std::string_view skill, int menu_choice,
                                         RandomSource& random) {
    switch (topic) {
        case Topic::Division: return Lift(division::TargetedDraw(skill, menu_choice, random));
        case Topic::DecimalAddition:
        case Topic::DecimalSubtraction:
            return Lift(decimals::TargetedDraw(OperationOf(topic), skill, menu_choice, random));
        case Topic::Rules: return Lift(rules::TargetedDraw(skill, menu_choice, random));
        case Topic::Fractions: return Lift(fractions::TargetedDraw(skill, menu_choice, random));
        case Topic::DecimalMultiplication: return Lift(multiplication::TargetedDraw(skill, menu_choice, random));
        case Topic::DecimalDivision:
            return Lift(decimal_division::TargetedDraw(skill, menu_choice, random));
    }
    return std::nullopt;
}

}  // namespace sorelka::coach
