#include "decimal_division/decimal_division_diagnosis.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "core/number_text.h"
#include "core/wide_digits.h"
#include "decimal_division/decimal_division_cells.h"
#include "decimal_division/decimal_division_problem.h"
#include "decimal_division/decimal_division_sheet.h"
#include "division/division_diagnosis.h"

namespace sorelka::decimal_division {

std::string DecimalDivisionKindLabel(std::string_view kind) {
    if (kind == kQuotientPointMissing) return "商の 小数点を うちわすれた";
    if (kind == kQuotientPointMisplaced) return "商の 小数点の 位置が ちがう";
    if (kind == kOnesZeroMissing) return "商の 一の位の ０を 書きわすれた";
    if (kind == kRemainderPoint) return "あまりの 小数点が ちがう";
    if (kind == kStoppedEarly) return "わり進まずに やめた";
    if (kind == kRoundingPlace) return "四捨五入する 位が ちがう";
    if (kind == kRoundingCut) return "四捨五入せずに 切りすてた";
    // A 0 inside the quotient is said in this topic's words; the other kinds
    // of the long division, slip and other keep theirs.
    if (kind == division::kZeroMissing) return "商の とちゅうの ０を 書きわすれた";
    return division::DivisionKindLabel(kind);
}

namespace {

Finding Make(const char* kind, std::string step, std::string explanation) {
    return Finding{kind, std::move(step), std::move(explanation)};
}

// The name of the place 10^e in a sentence: "一", "十", "1/10", "1/100".
std::string PlaceName(int e) {
    static const char* const kWhole[] = {"一", "十", "百", "千", "万"};
    if (e >= 0) return e < 5 ? kWhole[e] : "";
    return "1/" + std::to_string(Pow10(-e));
}

// The long division's explanation with its places named as in this
// problem: its ones are the place 10^-`worked` of the decimal ("一の位" of
// 540 ÷ 4 is the 1/100 of 5.40 ÷ 4).
std::string RenamePlaces(std::string text, int worked) {
    static const std::string kWhole[] = {"一", "十", "百", "千", "万"};
    static const std::string kOf = "の位";
    for (std::size_t at = text.find(kOf); at != std::string::npos; at = text.find(kOf, at + kOf.size())) {
        for (int e = 0; e < 5; ++e) {
            const std::string& name = kWhole[e];
            if (at < name.size() || text.compare(at - name.size(), name.size(), name) != 0) continue;
            const std::string renamed = PlaceName(e - worked);
            text.replace(at - name.size(), name.size(), renamed);
            at += renamed.size() - name.size();
            break;
        }
    }
    return text;
}

Finding FromDivision(const division::DivisionMistake& m, int worked) {
    std::string step = m.in_quotient ? "quotient:" + std::to_string(m.index + 1) : "row:" + std::to_string(m.index + 1);
    return Finding{m.kind, std::move(step), RenamePlaces(m.explanation, worked)};
}

// "４×１．８＋０．３＝７．５": the check of a division with a remainder.
std::string CheckFact(const DecimalDivisionProblem& problem) {
    return WideText(problem.divisor) + "×" + WideText(QuotientText(problem)) + "＋" +
           WideText(RemainderText(problem)) + "＝" + WideText(DividendText(problem));
}

std::string StoppedEarlyText(const DecimalDivisionProblem& problem) {
    switch (problem.ending) {
        case Ending::Remainder:
            return "商は " + PlaceName(-problem.asked) + "の位まで もとめるよ。わられる数に ０を つけたして わり進もう";
        case Ending::Rounded:
            return PlaceName(-problem.asked) + "の位までの がい数に するには、" +
                   PlaceName(-WorkedPlaces(problem)) + "の位まで わり進んでから 四捨五入するよ";
        case Ending::Divides: break;
    }
    return "わりきれるまで、わられる数に ０を つけたして わり進むよ";
}

// The rounded row against the rounded quotient: cut off, rounded at
// another place, or otherwise wrong.
Diagnosis DiagnoseRounded(const DecimalDivisionProblem& problem, const DecimalDivisionWork& work,
                          const std::string& fact) {
    const std::string read = RoundedRead(work);
    if (read == RoundedText(problem)) return std::nullopt;
    if (work.rounded.empty())
        return Make(kOther, "rounded", "「がい数を書く」で 四捨五入した 商を 書こう　" + fact);
    const int worked = WorkedPlaces(problem);
    const long long quotient = WholeDivision(problem).quotient;
    const std::string last = PlaceName(-worked) + "の位の " + WideText(quotient % 10);
    DecimalDivisionProblem cut = problem;  // the quotient to the asked place, the rest left out
    cut.ending = Ending::Remainder;
    if (quotient % 10 >= 5 && read == QuotientText(cut))
        return Make(kRoundingCut, "rounded", last + "は ５いじょう だから、切り上げるよ　" + fact);
    DecimalDivisionProblem other = problem;  // rounded one place higher
    other.asked = problem.asked - 1;
    const bool higher = other.asked >= 1 && read == RoundedText(other);
    if (higher || read == QuotientText(problem))
        return Make(kRoundingPlace, "rounded",
                    PlaceName(-problem.asked) + "の位までの がい数は、" + last + "を 四捨五入して もとめるよ　" + fact);
    return Make(kSlip, "rounded", "がい数を もういちど たしかめよう　" + fact);
}

}  // namespace

Diagnosis DiagnoseDecimalDivision(const DecimalDivisionProblem& problem, const WorkedRows& rows) {
    if (!FitsSheet(problem)) return std::nullopt;
    return DiagnoseDecimalDivisionWork(problem, WorkFromRows(rows, problem));
}

Diagnosis DiagnoseDecimalDivisionWork(const DecimalDivisionProblem& problem, const DecimalDivisionWork& work) {
    if (!FitsSheet(problem) || IsRightWork(problem, work)) return std::nullopt;
    const std::string fact = WideFact(problem);
    if (work.division.quotient.empty()) return Make(kOther, "", "商を 書いてみよう　" + fact);
    const int worked = WorkedPlaces(problem);
    const int needed = WrittenZeros(problem);
    const division::DivisionProblem whole = WholeDivision(problem);

    // Fewer 0s written than the work needs: the division stopped before it
    // could go on. Its digits are the long division of the dividend with the
    // 0s written, whose columns stand that many to the left.
    if (work.written_zeros < needed) {
        const int zeros = work.written_zeros;
        division::WrittenDivision shorter = work.division;
        shorter.dividend = static_cast<int>(problem.digits * Pow10(zeros));
        if (shorter.quotient_place > 0) shorter.quotient_place = std::max(0, shorter.quotient_place - (needed - zeros));
        if (const auto m = division::FindDivisionMistake(shorter)) return FromDivision(*m, problem.places + zeros);
        return Make(kStoppedEarly, "zeros", StoppedEarlyText(problem) + "　" + fact);
    }
    if (const auto m = division::FindDivisionMistake(work.division)) return FromDivision(*m, worked);

    // The digits are the right ones: the point, the ones 0, the remainder's
    // point and the rounded row.
    if (!work.quotient_point)
        return Make(kQuotientPointMissing, "point",
                    "商にも 小数点を うとう。わられる数の 小数点に そろえて うつよ　" + fact);
    if (*work.quotient_point != worked)
        return Make(kQuotientPointMisplaced, "point",
                    "商の 小数点は わられる数の 小数点の 真上に うつよ。小数点の 右に 商が " + WideText(worked) +
                        "けた ならぶよ　" + fact);
    const bool below_one = whole.quotient < Pow10(worked);
    if (below_one && !work.ones_zero)
        return Make(kOnesZeroMissing, "ones_zero", "商が １より 小さい ときは、一の位に ０を 書くよ　" + fact);
    if (!below_one && work.ones_zero)
        return Make(kSlip, "ones_zero", "商は １より 大きいから、一の位に ０は 書かないよ　" + fact);
    if (problem.ending == Ending::Remainder && work.remainder_point != worked)
        return Make(kRemainderPoint, "remainder_point",
                    "あまりの 小数点は、わられる数の 小数点に そろえて うつよ　たしかめ　" + CheckFact(problem));
    if (problem.ending == Ending::Rounded)
        if (Diagnosis d = DiagnoseRounded(problem, work, fact)) return d;
    return Make(kOther, "", "答えを もういちど たしかめよう　" + fact);
}

}  // namespace sorelka::decimal_division
