#include "fractions/fraction_sheet.h"

namespace sorelka::fractions {

namespace {

constexpr const char* kLists[] = {kTensListRole, kOnesListRole, kActionListRole};

std::string Number(int value) { return std::to_string(value); }

constexpr const char* kGivenWhole = SlotRole(FractionNumber::Given, FractionSlot::Whole);
constexpr const char* kGivenNumerator = SlotRole(FractionNumber::Given, FractionSlot::Numerator);
constexpr const char* kGivenDenominator = SlotRole(FractionNumber::Given, FractionSlot::Denominator);
constexpr const char* kAnswerWhole = AnswerRole(FractionSlot::Whole);
constexpr const char* kAnswerNumerator = AnswerRole(FractionSlot::Numerator);
constexpr const char* kAnswerDenominator = AnswerRole(FractionSlot::Denominator);

}  // namespace

std::vector<std::string> MenuItems() {
    return {"仮分数→帯分数（整数）", "帯分数→仮分数", "帯分数→帯分数"};
}

std::vector<std::string> ActionItems() { return {" 整数", " 分母", " 分子", "   ・", "終わり"}; }

std::string FamilyPrompt(int menu_choice) {
    // The line break splits the prompt over two lines of the prompt label.
    return menu_choice <= 2 ? "数字と「処理」の組み合わせで答えを選び、\n終われば「終わり」を選んでね！"
                            : "数字と「分子」の組み合わせで答えを選び、\n終われば「終わり」を選んでね！";
}

FractionSheet::FractionSheet(Variant variant, AppContext& ctx) : variant_(variant), ctx_(ctx) {
    if (variant_ == Variant::Practice) sheet_[kMarkRole].colour = kRed;
    ClearWorksheet();
}

void FractionSheet::ClearWorksheet() {
    entry_ = FractionEntry{};
    if (variant_ == Variant::Drill) {
        problem_.answer_whole = 0;
        problem_.answer_denominator = 0;
        problem_.answer_numerator = 0;
    }
    has_problem_ = false;
    task_line_.clear();
    ClearWorksheetNumbers();
    verdict_.reset();
    if (variant_ == Variant::Practice) {
        sheet_[kMarkRole].text.clear();
        sheet_[kTaskRole].text.clear();
    }
    SetListsVisible(false);
}

void FractionSheet::ClearWorksheetNumbers() {
    for (FractionNumber number : {FractionNumber::Given, FractionNumber::Answer}) {
        for (FractionSlot slot : {FractionSlot::Whole, FractionSlot::Numerator, FractionSlot::Denominator})
            sheet_[SlotRole(number, slot)].text.clear();
        sheet_[BarRole(number)].visible = false;
    }
    sheet_[kEqualsRole].text.clear();
}

bool FractionSheet::GenerateProblem(int family) {
    const auto drawn = DrawFractionProblem(family, variant_, ctx_.random);
    if (!drawn) return false;
    SetProblem(family, *drawn);
    return true;
}

void FractionSheet::SetProblem(int family, const FractionProblem& problem) {
    problem_ = problem;
    has_problem_ = true;
    ShowProblem(family);
}

void FractionSheet::SetText(const std::string& role, const std::string& text, Rgb colour) {
    Cell& cell = sheet_[role];
    cell.text = text;
    cell.colour = colour;
}

void FractionSheet::ShowProblem(int family) {
    if (!IsFamily(family)) return;
    const FractionProblem& p = problem_;
    SetText(kGivenWhole, family == kImproperToMixed ? "" : Number(p.problem_whole), kNavy);
    SetText(kGivenNumerator, Number(p.problem_numerator), kNavy);
    SetText(kGivenDenominator, Number(p.problem_denominator), kNavy);
    sheet_[BarRole(FractionNumber::Given)].visible = true;
    SetText(kEqualsRole, "＝", kNavy);
    if (family == kFindTheBox) {
        SetText(kAnswerWhole, Number(p.answer_whole), kNavy);
        SetText(kAnswerNumerator, "□", kNavy);
        SetText(kAnswerDenominator, Number(p.answer_denominator), kNavy);
        sheet_[BarRole(FractionNumber::Answer)].visible = true;
    } else {
        SetText(kAnswerWhole, "？", kNavy);
        SetText(kAnswerNumerator, "", kBlue);
        SetText(kAnswerDenominator, "", kBlue);
        sheet_[BarRole(FractionNumber::Answer)].visible = false;
    }
    static const char* const kTasks[] = {"帯分数か整数に直しなさい。", "仮分数に直しなさい。",
                                         "□を求めなさい。"};
    task_line_ = kTasks[family - 1];
    if (variant_ == Variant::Practice) SetText(kTaskRole, task_line_, kNavy);
    ResetEntryLists();
}

void FractionSheet::SetListsVisible(bool visible) {
    for (const char* role : kLists) sheet_[role].visible = visible;
}

void FractionSheet::ResetEntryLists() {
    SetListsVisible(true);
    list_reset_pending_ = true;
}

bool FractionSheet::TakeListReset() {
    const bool pending = list_reset_pending_;
    list_reset_pending_ = false;
    return pending;
}

bool FractionSheet::entry_lists_open() const { return sheet_.at(kActionListRole).visible; }

std::optional<std::string> FractionSheet::TakePrompt() {
    std::optional<std::string> prompt;
    prompt.swap(prompt_);
    return prompt;
}

void FractionSheet::ChooseDigit(Place place, int digit) {
    if (!entry_lists_open() || digit < 0 || digit > 9) return;
    if (place == Place::Tens)
        entry_.tens_digit = digit;
    else if (place == Place::Ones)
        entry_.ones_digit = digit;
    else
        return;
    prompt_ = kDigitChosenPrompt;
    ctx_.cues.PlayCue(Cue::Choice);
}

void FractionSheet::ChooseItem(const std::function<void()>& item) {
    if (!entry_lists_open()) return;
    entry_.entered_value = entry_.tens_digit * 10 + entry_.ones_digit;
    item();
    // An improper fraction has no whole part: whatever the action, the slot
    // stays empty (the "？" goes with the first action).
    if (family() == kMixedToImproper) {
        entry_.entered_whole = 0;
        sheet_[kAnswerWhole].text.clear();
    }
    ResetEntryLists();
}

void FractionSheet::ChooseSlot(FractionSlot slot) {
    ChooseItem([this, slot] {
        SetText(AnswerRole(slot), Number(entry_.entered_value), kBlue);
        switch (slot) {
            case FractionSlot::Whole: entry_.entered_whole = entry_.entered_value; break;
            case FractionSlot::Denominator: entry_.entered_denominator = entry_.entered_value; break;
            case FractionSlot::Numerator: entry_.entered_numerator = entry_.entered_value; break;
        }
        // A numerator is never shown without its bar, whichever slot comes first.
        if (slot != FractionSlot::Whole) sheet_[BarRole(FractionNumber::Answer)].visible = true;
        ctx_.cues.PlayCue(Cue::Choice);
    });
}

void FractionSheet::ChooseDot() {
    ChooseItem([] {});
}

void FractionSheet::ApplyAction(Action action, const std::function<void()>& finish) {
    if (action != Action::Finish) return;
    ChooseItem([&finish] {
        if (finish) finish();
    });
}

Verdict FractionSheet::JudgePracticeAnswer() const {
    return VerdictOf(has_problem_ && fractions::JudgePracticeAnswer(family(), problem_, entry_));
}

Verdict FractionSheet::JudgeDrillAnswer() const {
    return VerdictOf(has_problem_ && fractions::JudgeDrillAnswer(family(), problem_, entry_));
}

void FractionSheet::ShowVerdict(Verdict verdict) {
    verdict_ = verdict;
    SetText(kMarkRole, IsRight(verdict) ? "○" : "×", kRed);
}

std::string FractionSheet::ProblemText() const {
    return has_problem_ ? fractions::ProblemText(problem_) : std::string();
}

std::string FractionSheet::RightAnswerText() const {
    return FractionText(problem_.answer_whole, problem_.answer_numerator,
                        problem_.answer_denominator);
}

std::string FractionSheet::EnteredAnswerText() const {
    return FractionText(entry_.entered_whole, entry_.entered_numerator,
                        entry_.entered_denominator);
}

FractionSheet::DrillAnswer FractionSheet::JudgeForDrillLog() const {
    DrillAnswer answer;
    answer.verdict = JudgeDrillAnswer();
    answer.row.mnd = " " + ProblemText();
    answer.row.kai = " " + RightAnswerText();
    answer.row.kot = " " + EnteredAnswerText();
    answer.row.hnt = IsRight(answer.verdict) ? " ○" : " ×";
    return answer;
}

}  // namespace sorelka::fractions
