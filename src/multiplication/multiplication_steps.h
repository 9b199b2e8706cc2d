#pragma once

#include <optional>
#include <string>

#include "core/entry.h"
#include "core/worksheet.h"
#include "multiplication/multiplication_problem.h"
#include "multiplication/multiplication_sheet.h"

// The step machine of the written multiplication, shared by the practice and
// the drill: the pupil writes each row digit by digit in the column lists,
// confirms it, writes the product, puts its point, writes the ones 0 and
// strikes the end 0s, and "終わり" judges. It keeps the sheet by role
// (multiplication_sheet.h) and knows no widget.
namespace sorelka::multiplication {

class MultiplicationSteps {
public:
    struct Options {
        bool with_mark = true;  // the sheet shows the verdict (the practice's)
    };
    MultiplicationSteps();
    explicit MultiplicationSteps(Options options);

    // The numbers written, the marker on the first row, nothing else.
    void StartProblem(const MultiplicationProblem& problem);
    // No problem: an empty sheet that takes no entries.
    void DropProblem();
    // A drill's end: the numbers vanish, the sheet takes no more entries.
    void ClearNumbers();
    bool has_problem() const;
    // A problem is on the sheet, not yet judged: entries are written.
    bool takes_entries() const;

    // A digit in the column of `place` (Thousands … Ones: columns 3 … 0) of
    // the row being written; other places change nothing.
    void ChooseDigit(Place place, int digit);
    // " 確定": the next row (nothing on the product); "クリア": the row being
    // written emptied, on the product its point, ones 0 and strokes too;
    // "終わり": judged, the verdict. Skip and anything without a problem
    // change nothing.
    std::optional<Verdict> ApplyAction(Action action);
    // The point put into the product with `places` digits right of it
    // (1 … kColumns); again moves it.
    void ChoosePoint(int places);
    // "一の位に０": a 0 before the point when the product's digits start
    // right of it. Once.
    void WriteOnesZero();
    // "０を消す": one more 0 at the end of the product's decimals struck;
    // nothing when the next digit is not a 0 right of the point.
    void StrikeEndZero();
    // One input of a pupil or a worked example (multiplication_sheet.h).
    std::optional<Verdict> Feed(const MultiplicationInput& input);

    const MultiplicationProblem& problem() const { return problem_; }
    const MultiplicationWork& work() const { return work_; }
    // 0-based: the row being written (the product is RowCount() - 1).
    int current_row() const { return current_row_; }
    bool on_product() const;
    const std::optional<Verdict>& verdict() const { return verdict_; }
    const Worksheet& cells() const { return cells_; }
    // For the practice screens' own lines (role::kPrompt, kVerdict, kEquation).
    Worksheet& cells() { return cells_; }

private:
    void Render();

    Options options_;
    MultiplicationProblem problem_;
    MultiplicationWork work_;
    int current_row_ = 0;
    std::optional<Verdict> verdict_;
    bool ended_ = false;
    Worksheet cells_;
};

}  // namespace sorelka::multiplication
