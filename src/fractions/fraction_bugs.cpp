#include "fractions/fraction_bugs.h"

#include <string>

#include "fractions/fraction_cells.h"

namespace sorelka::fractions {

FractionEntry WorkFraction(FractionPupil pupil, int family, const FractionProblem& p) {
    FractionEntry e;
    e.entered_whole = p.answer_whole;
    e.entered_numerator = p.answer_numerator;
    e.entered_denominator = p.answer_denominator;
    const int d = p.problem_denominator;
    switch (pupil) {
        case FractionPupil::Right:
            break;
        case FractionPupil::LeavesImproper:
            if (family == kImproperToMixed) {
                const int wholes = p.answer_whole >= 2 ? p.answer_whole - 1 : 0;
                e.entered_whole = wholes;
                e.entered_numerator = p.problem_numerator - wholes * d;
            }
            break;
        case FractionPupil::ForgetsTimesDenominator:
            if (family == kImproperToMixed) e.entered_numerator = p.problem_numerator - p.answer_whole;
            if (family == kMixedToImproper) e.entered_numerator = p.problem_whole + p.problem_numerator;
            if (family == kFindTheBox)
                e.entered_numerator = p.problem_whole - p.answer_whole + p.problem_numerator;
            break;
        case FractionPupil::WrongWhole:
            if (family == kImproperToMixed)
                ++e.entered_whole;
            else
                e.entered_numerator += d;
            break;
        case FractionPupil::ChangesDenominator:
            e.entered_denominator = d < 9 ? d + 1 : d - 1;
            break;
        case FractionPupil::NumeratorSlip:
            ++e.entered_numerator;
            break;
    }
    // A whole-number answer leaves the fraction slots empty.
    if (e.entered_numerator == 0 && pupil != FractionPupil::ChangesDenominator) e.entered_denominator = 0;
    return e;
}

std::vector<FractionSlot> MistakenSlots(FractionPupil pupil, int family) {
    switch (pupil) {
        case FractionPupil::Right: return {};
        case FractionPupil::LeavesImproper: return {FractionSlot::Whole, FractionSlot::Numerator};
        case FractionPupil::ForgetsTimesDenominator:
        case FractionPupil::NumeratorSlip: return {FractionSlot::Numerator};
        case FractionPupil::WrongWhole:
            return {family == kImproperToMixed ? FractionSlot::Whole : FractionSlot::Numerator};
        case FractionPupil::ChangesDenominator: return {FractionSlot::Denominator};
    }
    return {};
}

WorkedRows FinishedFractionRows(int family, const FractionProblem& p, const FractionEntry& e) {
    auto number = [](int value) { return std::to_string(value); };
    Worksheet sheet;
    auto given = [&sheet](FractionSlot slot) -> std::string& {
        return sheet[SlotRole(FractionNumber::Given, slot)].text;
    };
    if (family != kImproperToMixed) given(FractionSlot::Whole) = number(p.problem_whole);
    given(FractionSlot::Denominator) = number(p.problem_denominator);
    given(FractionSlot::Numerator) = number(p.problem_numerator);
    std::string whole = family == kImproperToMixed ? "？" : "";
    std::string numerator;
    std::string denominator;
    if (family == kFindTheBox) {
        whole = number(p.answer_whole);
        numerator = "□";
        denominator = number(p.answer_denominator);
    }
    if (e.entered_whole > 0 && family != kMixedToImproper) whole = number(e.entered_whole);
    if (e.entered_numerator > 0) numerator = number(e.entered_numerator);
    if (e.entered_denominator > 0) denominator = number(e.entered_denominator);
    sheet[AnswerRole(FractionSlot::Whole)].text = whole;
    sheet[AnswerRole(FractionSlot::Denominator)].text = denominator;
    sheet[AnswerRole(FractionSlot::Numerator)].text = numerator;
    sheet[kEqualsRole].text = "＝";
    return FractionWorkedRows(sheet);
}

void Feed(FractionSheet& sheet, const FractionInput& input) {
    if (input.what == FractionInput::What::Finish) {
        sheet.ApplyAction(Action::Finish, {});
        return;
    }
    sheet.ChooseDigit(Place::Tens, input.value / 10 % 10);
    sheet.ChooseDigit(Place::Ones, input.value % 10);
    sheet.ChooseSlot(input.slot);
}

FractionInputs SlotInputs(int family, const FractionEntry& entry) {
    FractionInputs inputs;
    for (FractionSlot slot : FractionSlots(family)) {
        // The hidden numerator's problem gives the whole part and the denominator.
        if (family == kFindTheBox && slot != FractionSlot::Numerator) continue;
        const int value = slot == FractionSlot::Whole       ? entry.entered_whole
                          : slot == FractionSlot::Numerator ? entry.entered_numerator
                                                            : entry.entered_denominator;
        if (value > 0) inputs.push_back(FractionInput::Into(slot, value));
    }
    inputs.push_back(FractionInput::Finish());
    return inputs;
}

}  // namespace sorelka::fractions
