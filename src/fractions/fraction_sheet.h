#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/app_context.h"
#include "core/entry.h"
#include "core/worksheet.h"
#include "drill/drill_session.h"
#include "fractions/fraction_problem.h"
#include "fractions/fraction_roles.h"

// The fraction worksheet of one screen: the given number, "＝" and the answer
// slots as cells keyed by their roles (fraction_roles.h), the problem on it
// and the answer being entered with the tens list, the ones list and the
// action list.
namespace sorelka::fractions {

// Texts of the fraction screens.
inline constexpr const char* kChooseMenuPrompt = "メニューを選んでね！";
inline constexpr const char* kDigitChosenPrompt = "入力が終われば「終わり」を選んでね！";
inline constexpr const char* kGoOnPrompt = "「次へ」ボタンですすめてね！";
inline constexpr const char* kTensHeading = "十";
inline constexpr const char* kOnesHeading = "一";
inline constexpr const char* kPracticeActionHeading = " 処理";
inline constexpr const char* kDrillActionHeading = "処理";
inline constexpr const char* kMenuHeading = "     メニュー";
std::vector<std::string> MenuItems();
std::vector<std::string> ActionItems();
// The prompt after a problem is set: families 1 and 2 are answered with the
// three slots, family 3 with the numerator.
std::string FamilyPrompt(int menu_choice);

// The cells are keyed by role: the given number's slots and bar, "＝", the
// answer's slots and bar, and the three lists (visibility only). The practice
// sheet also holds the mark and the task line. On the drill those, the prompt
// line and the score sheet belong to the drill machinery (question number,
// score line), so the drill sheet leaves them out: its screen shows
// task_line() when a problem is shown and takes the prompt from TakePrompt().
class FractionSheet {
public:
    FractionSheet(Variant variant, AppContext& ctx);

    Variant variant() const { return variant_; }

    // Empties the worksheet and the entries and hides the lists and bars; on
    // the drill also zeroes the expected answer.
    void ClearWorksheet();
    // The end of a drill: the numbers vanish and the bars hide; the entry
    // lists and the task line stay as they are.
    void ClearWorksheetNumbers();
    // Draws a problem of `family`, shows it and opens the entry lists. Any
    // other family does nothing at all and gives false.
    bool GenerateProblem(int family);
    // The same with a given problem (a worked example).
    void SetProblem(int family, const FractionProblem& problem);
    // Writes the drawn problem onto the worksheet for `family`.
    void ShowProblem(int family);
    // Opens the three entry lists with nothing chosen. The screen resets its
    // lists when TakeListReset() says so.
    void ResetEntryLists();
    bool TakeListReset();
    void HideEntryLists() { SetListsVisible(false); }

    // A digit of the number being built, Place::Tens or Place::Ones (other
    // places are no list here): it asks for the prompt
    // "入力が終われば「終わり」を選んでね！".
    void ChooseDigit(Place place, int digit);
    // The items of the action list. Each takes the number the digits build;
    // ChooseSlot writes it into a slot of the answer, ChooseDot (the list's
    // "・") writes nothing, and Action::Finish ("終わり", the one Action of
    // this list) calls `finish`, the screen's judging. Choices while the lists
    // are closed, digits that are no digit and other actions are ignored.
    void ChooseSlot(FractionSlot slot);
    void ChooseDot();
    void ApplyAction(Action action, const std::function<void()>& finish);

    // The judging rules for the current menu_choice; no problem on the sheet
    // is always wrong.
    Verdict JudgePracticeAnswer() const;
    Verdict JudgeDrillAnswer() const;
    // The practice's mark: "○" or "×" in red, until the sheet is cleared.
    void ShowVerdict(Verdict verdict);
    const std::optional<Verdict>& verdict() const { return verdict_; }
    // Text forms for the drill log. ProblemText is empty while no problem is set.
    std::string ProblemText() const;
    std::string RightAnswerText() const;
    std::string EnteredAnswerText() const;
    // The drill's judgement of the question on the sheet and its log row
    // (problem, right answer, pupil's answer and mark, each after one blank;
    // the question number is left to the drill machinery).
    struct DrillAnswer {
        Verdict verdict = Verdict::Wrong;
        DrillRow row;
    };
    DrillAnswer JudgeForDrillLog() const;

    // The prompt the last call asked for, once; nothing when it asked for none.
    std::optional<std::string> TakePrompt();
    // The task of the problem shown ("□を求めなさい。"); empty after clearing.
    const std::string& task_line() const { return task_line_; }

    bool has_problem() const { return has_problem_; }
    bool entry_lists_open() const;
    const FractionProblem& problem() const { return problem_; }
    const FractionEntry& entry() const { return entry_; }
    Worksheet& worksheet() { return sheet_; }
    const Worksheet& worksheet() const { return sheet_; }

private:
    int family() const { return ctx_.state.menu_choice; }
    void SetText(const std::string& role, const std::string& text, Rgb colour);
    void SetListsVisible(bool visible);
    // Runs one item of the action list: `item` with the number built, then
    // what follows every item. Nothing while the lists are closed.
    void ChooseItem(const std::function<void()>& item);

    Variant variant_;
    AppContext& ctx_;
    FractionProblem problem_;
    FractionEntry entry_;
    bool has_problem_ = false;
    bool list_reset_pending_ = false;
    std::optional<Verdict> verdict_;
    std::optional<std::string> prompt_;
    std::string task_line_;
    Worksheet sheet_;
};

}  // namespace sorelka::fractions
