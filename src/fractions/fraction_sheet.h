#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/app_context.h"
#include "core/worksheet.h"
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

// The cells are keyed by the object names of the screens' widgets:
//   Label2  prompt line            Label3  mark (practice) / question number (drill)
//   Label4  given whole part       Label6/Label5  given numerator/denominator, Shape1 bar
//   Label10 "＝"                   Label7  answer whole part
//   Label9/Label8 answer numerator/denominator, Shape2 bar
//   Label11 task line (drill: also the first part of the score line)
//   Label12, Label13 rest of the score line (drill)
//   ComboBox2/3/4 the ones, tens and action lists (visibility only)
//   DBGrid1 the score sheet (drill, visibility only)
class FractionSheet {
public:
    FractionSheet(Variant variant, AppContext& ctx);

    Variant variant() const { return variant_; }

    // Empties the worksheet and the entries and hides the lists and bars; on
    // the drill also the expected answer, the question number, the score line
    // and the score sheet.
    void ClearWorksheet();
    // Draws a problem of `family`, shows it and opens the entry lists. Any
    // other family does nothing at all and gives false.
    bool GenerateProblem(int family);
    // Writes the drawn problem onto the worksheet for `family`.
    void ShowProblem(int family);
    // Opens the three entry lists with nothing chosen. The screen resets its
    // lists when TakeListReset() says so.
    void ResetEntryLists();
    bool TakeListReset();

    // A digit chosen in the tens list (ComboBox3) or the ones list (ComboBox2).
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

    void SetPrompt(const std::string& text);

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
    Worksheet sheet_;
};

}  // namespace sorelka::fractions
