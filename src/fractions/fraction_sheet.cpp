#include "fractions/fraction_sheet.h"

namespace sorelka::fractions {

namespace {

// Worksheet places on the practice screen; the drill adds kDrillShift.
struct Place {
    const char* name;
    int left;
    int top;
    int width;
    int height;
};
// The bars are 4 pixels high so that the red stripe shows inside the navy outline.
constexpr Place kPlaces[] = {
    {"Label4", 184, 234, -1, -1},  // given whole part, left of the bar
    {"Label6", 224, 210, 54, -1},  // given numerator, centred over the bar
    {"Shape1", 224, 252, 58, 2},
    {"Label5", 224, 256, 54, -1},  // given denominator
    {"Label10", 304, 238, -1, -1},
    {"Label7", 360, 234, -1, -1},  // answer whole part
    {"Label9", 400, 210, 54, -1},
    {"Shape2", 400, 252, 58, 2},
    {"Label8", 400, 256, 54, -1},
};

constexpr const char* kNumbers[] = {"Label4", "Label5", "Label6", "Label7",
                                    "Label8", "Label9", "Label10"};
constexpr const char* kLists[] = {"ComboBox2", "ComboBox3", "ComboBox4"};

constexpr int kPracticeTaskLeft = 104;
constexpr int kPracticeTaskTop = 130;

std::string Number(int value) { return std::to_string(value); }

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
    LayOut();
    ClearWorksheet();
}

void FractionSheet::LayOut() {
    const int shift = variant_ == Variant::Drill ? kDrillShift : 0;
    for (const Place& place : kPlaces) {
        Cell& cell = sheet_[place.name];
        cell.left = place.left + shift;
        cell.top = place.top;
        cell.width = place.width;
        cell.height = place.height;
    }
    if (variant_ == Variant::Practice) {
        Cell& task = sheet_["Label11"];
        task.left = kPracticeTaskLeft;
        task.top = kPracticeTaskTop;
        sheet_["Label3"].colour = kRed;
    }
    SetListsVisible(false);
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
    if (variant_ == Variant::Practice) {
        sheet_["Label3"].text.clear();
        sheet_["Label11"].text.clear();
    }
    SetListsVisible(false);
}

void FractionSheet::ClearWorksheetNumbers() {
    for (const char* name : kNumbers) sheet_[name].text.clear();
    sheet_["Shape1"].visible = false;
    sheet_["Shape2"].visible = false;
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

void FractionSheet::SetText(const char* name, const std::string& text, Rgb colour) {
    Cell& cell = sheet_[name];
    cell.text = text;
    cell.colour = colour;
}

void FractionSheet::ShowProblem(int family) {
    if (!IsFamily(family)) return;
    const FractionProblem& p = problem_;
    SetText("Label4", family == kImproperToMixed ? "" : Number(p.problem_whole), kNavy);
    SetText("Label6", Number(p.problem_numerator), kNavy);
    SetText("Label5", Number(p.problem_denominator), kNavy);
    sheet_["Shape1"].visible = true;
    SetText("Label10", "＝", kNavy);
    if (family == kFindTheBox) {
        SetText("Label7", Number(p.answer_whole), kNavy);
        SetText("Label9", "□", kNavy);
        SetText("Label8", Number(p.answer_denominator), kNavy);
        sheet_["Shape2"].visible = true;
    } else {
        SetText("Label7", "？", kNavy);
        SetText("Label9", "", kBlue);
        SetText("Label8", "", kBlue);
        sheet_["Shape2"].visible = false;
    }
    static const char* const kTasks[] = {"帯分数か整数に直しなさい。", "仮分数に直しなさい。",
                                         "□を求めなさい。"};
    task_line_ = kTasks[family - 1];
    if (variant_ == Variant::Practice) SetText("Label11", task_line_, kNavy);
    ResetEntryLists();
}

void FractionSheet::SetListsVisible(bool visible) {
    for (const char* name : kLists) sheet_[name].visible = visible;
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

bool FractionSheet::entry_lists_open() const { return sheet_.at("ComboBox4").visible; }

std::optional<std::string> FractionSheet::TakePrompt() {
    std::optional<std::string> prompt;
    prompt.swap(prompt_);
    return prompt;
}

void FractionSheet::ChooseTens(int position) {
    if (!entry_lists_open() || position < 0 || position > 9) return;
    entry_.tens_digit = position;
    prompt_ = kDigitChosenPrompt;
    ctx_.cues.PlayCue(Cue::Choice);
}

void FractionSheet::ChooseOnes(int position) {
    if (!entry_lists_open() || position < 0 || position > 9) return;
    entry_.ones_digit = position;
    prompt_ = kDigitChosenPrompt;
    ctx_.cues.PlayCue(Cue::Choice);
}

void FractionSheet::ChooseAction(int position, const std::function<void()>& finish) {
    if (!entry_lists_open() || position < kEnterWhole || position > kFinish) return;
    entry_.entered_value = entry_.tens_digit * 10 + entry_.ones_digit;
    const std::string value = Number(entry_.entered_value);
    switch (position) {
        case kEnterWhole:
            SetText("Label7", value, kBlue);
            entry_.entered_whole = entry_.entered_value;
            ctx_.cues.PlayCue(Cue::Choice);
            break;
        case kEnterDenominator:
            SetText("Label8", value, kBlue);
            entry_.entered_denominator = entry_.entered_value;
            sheet_["Shape2"].visible = true;
            ctx_.cues.PlayCue(Cue::Choice);
            break;
        case kEnterNumerator:
            // A numerator is never shown without its bar, whichever slot comes first.
            SetText("Label9", value, kBlue);
            entry_.entered_numerator = entry_.entered_value;
            sheet_["Shape2"].visible = true;
            ctx_.cues.PlayCue(Cue::Choice);
            break;
        case kSeparator:
            break;
        case kFinish:
            if (finish) finish();
            break;
    }
    // An improper fraction has no whole part: whatever the action, the slot
    // stays empty (the "？" goes with the first action).
    if (family() == kMixedToImproper) {
        entry_.entered_whole = 0;
        sheet_["Label7"].text.clear();
    }
    ResetEntryLists();
}

bool FractionSheet::JudgePracticeAnswer() const {
    return has_problem_ && fractions::JudgePracticeAnswer(family(), problem_, entry_);
}

bool FractionSheet::JudgeDrillAnswer() const {
    return has_problem_ && fractions::JudgeDrillAnswer(family(), problem_, entry_);
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
    answer.right = JudgeDrillAnswer();
    answer.row.mnd = " " + ProblemText();
    answer.row.kai = " " + RightAnswerText();
    answer.row.kot = " " + EnteredAnswerText();
    answer.row.hnt = answer.right ? " ○" : " ×";
    return answer;
}

}  // namespace sorelka::fractions
