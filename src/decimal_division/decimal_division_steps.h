#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/app_context.h"
#include "core/entry.h"
#include "core/worksheet.h"
#include "decimal_division/decimal_division_sheet.h"
#include "division/long_division.h"

// The step machine of the decimal division, shared by the practice and the
// drill. It owns a LongDivision that works the digits of the scaled
// dividend (the four digit lists, " 確定", "飛ばし", "クリア" pass through),
// and adds the 0s written after the dividend, the two points, the ones 0,
// the rounded row and the judging at "終わり". Its worksheet is the long
// division's with this topic's roles laid over (decimal_division_sheet.h);
// the dividend shows only its own digits and the 0s written so far.
namespace sorelka::decimal_division {

inline constexpr const char* kAppendZeroText = "わられる数に ０を つけたしてね！";
// Short notes on the prompt line for an action that has no use here.
inline constexpr const char* kNotUsedText = "この問題では つかわないよ";
inline constexpr const char* kNoMoreZerosText = "もう ０は つけたさなくて いいよ";
inline constexpr const char* kOnesTakenText = "ここでは 一の位に ０は 書かないよ";

struct StepsOptions {
    bool with_mark = true;  // the sheet shows the verdict (the practice's)
};

class DecimalDivisionSteps {
public:
    using Options = StepsOptions;
    DecimalDivisionSteps(CuePlayer& cues, Dialogs& dialogs, RandomSource& random, Options options = {});
    explicit DecimalDivisionSteps(AppContext& ctx, Options options = {})
        : DecimalDivisionSteps(ctx.cues, ctx.dialogs, ctx.random, options) {}

    // The numbers written, the marker on the quotient, nothing else.
    void StartProblem(const DecimalDivisionProblem& problem);
    // No problem: an empty sheet that takes no entries.
    void DropProblem();
    // A drill's end: the numbers vanish, the sheet takes no more entries.
    void ClearNumbers();
    bool has_problem() const;
    // A problem is on the sheet, not yet judged.
    bool takes_entries() const;

    // A digit in the list of `place` (the ones … the thousands of the
    // long division's columns): the long division's, or on the rounded row
    // once it is begun.
    division::DigitOutcome ChooseDigit(Place place, int digit);
    // One item of the action list; "終わり" judges and gives the verdict,
    // a refusal (no quotient, no 0 to bring down) says why and gives none.
    std::optional<Verdict> ApplyAction(SheetAction action);
    // The quotient's / remainder's point with `places` digits right of it
    // (1 … kPointItems); again moves it.
    void ChooseQuotientPoint(int places);
    void ChooseRemainderPoint(int places);
    // One input of a pupil or a worked example.
    std::optional<Verdict> Feed(const DecimalDivisionInput& input);

    const DecimalDivisionProblem& problem() const { return problem_; }
    const division::LongDivision& division() const { return division_; }
    // What the pupil has written so far, as the diagnosis reads it.
    DecimalDivisionWork work() const;
    const std::optional<Verdict>& verdict() const { return verdict_; }
    bool writing_rounded() const { return writing_rounded_; }
    // What the last entry was refused or noted with (kAppendZeroText,
    // kNotUsedText, …, the long division's kNoQuotientText); empty when it
    // was taken. The sheet's prompt line shows it too.
    const std::string& said() const { return said_; }
    // The long division's cells with this topic's laid over.
    const Worksheet& cells() const { return cells_; }
    Worksheet& cells() { return cells_; }
    // Counts list resets (the long division's and this topic's); a screen
    // resets its lists whenever it differs from the count it last saw.
    int list_resets() const;

private:
    void Render();
    // Everything written for the problem before goes; `problem` stands.
    void Forget(const DecimalDivisionProblem& problem);
    void Say(const char* text);
    // The column of the dividend's last digit shown: its own last one, or
    // the last 0 written after it.
    int LowestWritten() const;
    // A quotient character over `column` would bring down a digit not yet
    // written: refused with kAppendZeroText.
    bool RefusedAt(int column);
    // The difference being written brings the next digit down: its number
    // is the round's part less its product, with one digit more.
    bool BringsDown() const;
    std::optional<Verdict> Finish();

    Options options_;
    CuePlayer& cues_;
    Dialogs& dialogs_;
    division::LongDivision division_;
    DecimalDivisionProblem problem_;
    bool has_problem_ = false;
    int written_zeros_ = 0;
    std::optional<int> quotient_point_;
    bool ones_zero_ = false;
    std::optional<int> remainder_point_;
    bool writing_rounded_ = false;
    std::array<int, kRoundedColumns + 1> rounded_{};  // by column, -1 none
    std::optional<Verdict> verdict_;
    bool ended_ = false;
    std::string said_;
    int own_resets_ = 0;
    Worksheet cells_;
};

}  // namespace sorelka::decimal_division
