#include "fractions/fraction_examples.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "core/quiet_services.h"
#include "core/wide_digits.h"
#include "fractions/fraction_cells.h"

namespace sorelka::fractions {

namespace {

std::string W(int value) { return WideText(value); }

std::string Opening(int family) {
    switch (family) {
        case kImproperToMixed: return "分子を 分母で わって 整数を 出すよ";
        case kMixedToImproper: return "整数を 分母の 数の 分子に なおすよ";
        default: return "整数の ちがいを 分子に なおすよ";
    }
}

std::string Line(int family, const FractionProblem& p, const FractionInput& input) {
    const int d = p.problem_denominator;
    const std::string over = W(d) + "分の";
    if (input.what == FractionInput::What::Finish) {
        if (family == kFindTheBox) return "□に はいる 数は " + W(p.answer_numerator);
        if (p.answer_numerator == 0) return "答えは " + W(p.answer_whole);
        const std::string fraction = over + W(p.answer_numerator);
        return "答えは " + (p.answer_whole > 0 ? W(p.answer_whole) + "と " : "") + fraction;
    }
    switch (input.slot) {
        case FractionSlot::Whole: {
            const std::string division = W(p.problem_numerator) + "÷" + W(d) + "＝" + W(p.answer_whole);
            if (p.answer_numerator == 0) return division + "　整数の " + W(p.answer_whole) + "に なるよ";
            return division + " あまり " + W(p.answer_numerator) + "　整数は " + W(p.answer_whole);
        }
        case FractionSlot::Denominator:
            return "分母は " + W(d) + "の まま かわらないよ";
        case FractionSlot::Numerator:
            if (family == kImproperToMixed) return "あまりの " + W(p.answer_numerator) + "が 分子に なるよ";
            if (family == kMixedToImproper)
                return W(p.problem_whole) + "×" + W(d) + "＋" + W(p.problem_numerator) + "＝" +
                       W(p.answer_numerator) + "が 分子に なるよ";
            return "（" + W(p.problem_whole) + "－" + W(p.answer_whole) + "）×" + W(d) + "＋" +
                   W(p.problem_numerator) + "＝" + W(p.answer_numerator) + "が □に はいるよ";
    }
    return {};
}

// The inputs entered one step each. `explain`: with the lines; `every_sheet`:
// the worksheet after every step, else after the last one only.
FractionExample Replay(int family, const FractionProblem& problem, const FractionInputs& inputs, bool explain,
                       bool every_sheet = true) {
    QuietContext quiet;
    quiet.ctx.state.menu_choice = family;
    FractionSheet sheet(Variant::Practice, quiet.ctx);
    sheet.SetProblem(family, problem);
    FractionExample example;
    example.start = sheet.worksheet();
    if (explain) example.opening = Opening(family);
    for (const FractionInput& input : inputs) {
        Feed(sheet, input);
        auto& step = example.steps.emplace_back();
        step.inputs = {input};
        if (every_sheet) step.sheet = sheet.worksheet();
        if (explain) step.line = Line(family, problem, input);
        if (input.what == FractionInput::What::Slot) step.role = input.slot;
    }
    if (!every_sheet && !example.steps.empty()) example.steps.back().sheet = sheet.worksheet();
    return example;
}

std::vector<int> CasesFor(int family) {
    std::vector<int> cases;
    for (int c = 0; c < static_cast<int>(std::size(kFractionPupils)); ++c)
        if (kFractionPupils[c].families[family]) cases.push_back(c);
    return cases;
}

bool Among(const std::vector<FractionSlot>& slots, FractionSlot slot) {
    return std::find(slots.begin(), slots.end(), slot) != slots.end();
}

// `pupil`'s answer to `problem`, kept when it shows the one mistake it is
// drawn for: the diagnosis names the pupil's kind at a slot the mistake
// wrote, and exactly those slots differ from the right work (each showing
// something a pupil can point at).
std::optional<FractionMistakeExample> TryMistake(int family, const FractionProblem& problem,
                                                 const FractionPupilCase& pupil) {
    const FractionInputs inputs = SlotInputs(family, WorkFraction(pupil.pupil, family, problem));
    FractionExample work = ReplayFraction(family, problem, inputs);
    const Diagnosis diagnosis =
        DiagnoseFraction(family, Variant::Practice, problem, FractionWorkedRows(work.end()));
    if (!diagnosis || diagnosis->kind != pupil.kind) return std::nullopt;
    const std::optional<FractionSlot> wrong = StepSlot(diagnosis->step);
    std::vector<FractionSlot> accepted = MistakenSlots(pupil.pupil, family);
    if (!wrong || !Among(accepted, *wrong)) return std::nullopt;
    const std::vector<FractionSlot> places = FractionSlots(family);
    const FractionInputs right_inputs = SlotInputs(family, WorkFraction(FractionPupil::Right, family, problem));
    const Worksheet right = Replay(family, problem, right_inputs, false, false).end();
    for (FractionSlot slot : places) {
        const std::string shown = FractionRoleText(work.end(), slot);
        const bool mistaken = Among(accepted, slot);
        if ((shown != FractionRoleText(right, slot)) != mistaken || (mistaken && shown.empty())) return std::nullopt;
    }
    return FractionMistakeExample{.menu_choice = family,
                                  .problem = problem,
                                  .work = std::move(work),
                                  .finding = *diagnosis,
                                  .wrong = *wrong,
                                  .accepted = std::move(accepted),
                                  .places = places};
}

}  // namespace

std::string FractionRoleText(const Worksheet& sheet, FractionSlot slot) {
    return RoleText(sheet, FractionSlotCell(slot));
}

FractionExample FractionWorkedExample(int family, const FractionProblem& problem) {
    if (!IsFamily(family)) return {};
    const FractionInputs inputs = SlotInputs(family, WorkFraction(FractionPupil::Right, family, problem));
    return Replay(family, problem, inputs, true);
}

FractionExample ReplayFraction(int family, const FractionProblem& problem, const FractionInputs& inputs) {
    return Replay(family, problem, inputs, false);
}

std::optional<std::size_t> FirstWrongStep(const FractionExample& example, const WorkedRows& rows,
                                          const Diagnosis& diagnosis) {
    if (!diagnosis) return std::nullopt;
    if (const std::optional<FractionSlot> slot = StepSlot(diagnosis->step))
        if (const auto step = StepWriting(example, *slot)) return step;
    for (std::size_t i = 0; i < example.steps.size(); ++i) {
        const auto& slot = example.steps[i].role;
        if (slot && CellText(rows, StoredName(AnswerRole(*slot))) != FractionRoleText(example.end(), *slot))
            return i;
    }
    return std::nullopt;
}

std::vector<std::string> FractionMistakeKinds(int family) {
    if (!IsFamily(family)) return {};
    std::vector<std::string> kinds;
    for (int c : CasesFor(family)) kinds.push_back(kFractionPupils[c].kind);
    return kinds;
}

std::optional<FractionMistakeExample> DrawFractionMistake(int family, RandomSource& random,
                                                          const std::vector<std::string>& preferred_kinds) {
    if (!IsFamily(family)) return std::nullopt;
    const std::vector<int> all = CasesFor(family);
    const auto attempt = [&](int c) {
        const FractionProblem problem = *DrawFractionProblem(family, Variant::Practice, random);
        return TryMistake(family, problem, kFractionPupils[c]);
    };
    if (auto example = FirstPassingExample<FractionMistakeExample>(
            random, CasesOfKinds(kFractionPupils, all, preferred_kinds), all, attempt))
        return example;
    return FractionMistakeFallback(family);
}

FractionMistakeExample FractionMistakeFallback(int family) {
    // 9/4 with one whole too few (1 5/4), 2 2/8 with the whole not multiplied
    // (4/8), 3 1/4 = 1 □/4 answered 3.
    static const FractionProblem kFixed[] = {
        {0, 9, 4, 2, 1, 4}, {2, 2, 8, 0, 18, 8}, {3, 1, 4, 1, 9, 4}};
    static const FractionPupil kPupils[] = {FractionPupil::LeavesImproper,
                                            FractionPupil::ForgetsTimesDenominator,
                                            FractionPupil::ForgetsTimesDenominator};
    const int item = std::clamp(family, 1, 3);
    for (const FractionPupilCase& pupil : kFractionPupils) {
        if (pupil.pupil != kPupils[item - 1]) continue;
        if (auto example = TryMistake(item, kFixed[item - 1], pupil)) {
            example->fell_back = true;
            return *example;
        }
    }
    return {};  // not reached: the fixed examples pass their checks (tested)
}

}  // namespace sorelka::fractions
