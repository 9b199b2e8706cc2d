#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/app_context.h"
#include "core/worksheet.h"
#include "drill/drill_session.h"
#include "fractions/fraction_problem.h"

// The fraction worksheet of one screen: the given number, "＝" and the answer
// slots as named cells, the problem on it and the answer being entered with
// the tens list, the ones list and the action list.
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

// Positions of the action list.
enum Action { kEnterWhole = 0, kEnterDenominator = 1, kEnterNumerator = 2, kSeparator = 3,
              kFinish = 4 };

// The drill places the whole worksheet this far to the right of the practice.
inline constexpr int kDrillShift = 136;

// Where the drill's Label11 stands: the task line of a problem, and the
// score line laid out above it.
inline constexpr int kDrillTaskLeft = 96;
inline constexpr int kDrillTaskTop = 138;
inline constexpr int kDrillScoreTop = 112;

// The cells are keyed by the object names of the screens' widgets:
//   Label4  given whole part       Label6/Label5  given numerator/denominator, Shape1 bar
//   Label10 "＝"                   Label7  answer whole part
//   Label9/Label8 answer numerator/denominator, Shape2 bar
//   ComboBox2/3/4 the ones, tens and action lists (visibility only)
// The practice sheet also holds Label3 (the mark) and Label11 (the task line).
// On the drill those labels, the prompt line and the score sheet belong to the
// drill machinery (question number, score line), so the drill sheet leaves
// them out: its screen writes task_line() into Label11 when a problem is shown
// and takes the prompt from TakePrompt().
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

    // A digit chosen in the tens list (ComboBox3) or the ones list (ComboBox2):
    // it asks for the prompt "入力が終われば「終わり」を選んでね！".
    void ChooseTens(int position);
    void ChooseOnes(int position);
    // An item of the action list (ComboBox4). "終わり" calls `finish`, the
    // screen's judging. Choices while the lists are closed, and positions that
    // are no item, are ignored.
    void ChooseAction(int position, const std::function<void()>& finish);

    // The judging rules for the current menu_choice; no problem on the sheet
    // is always wrong.
    bool JudgePracticeAnswer() const;
    bool JudgeDrillAnswer() const;
    // Text forms for the drill log. ProblemText is empty while no problem is set.
    std::string ProblemText() const;
    std::string RightAnswerText() const;
    std::string EnteredAnswerText() const;
    // The drill's judgement of the question on the sheet and its log row
    // (problem, right answer, pupil's answer and mark, each after one blank;
    // the question number is left to the drill machinery).
    struct DrillAnswer {
        bool right = false;
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
    void LayOut();
    void SetText(const char* name, const std::string& text, Rgb colour);
    void SetListsVisible(bool visible);

    Variant variant_;
    AppContext& ctx_;
    FractionProblem problem_;
    FractionEntry entry_;
    bool has_problem_ = false;
    bool list_reset_pending_ = false;
    std::optional<std::string> prompt_;
    std::string task_line_;
    Worksheet sheet_;
};

}  // namespace sorelka::fractions
