#include "decimal_division/decimal_division_problem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <utility>

#include "core/number_text.h"
#include "division/division_bugs.h"
#include "division/long_division.h"
#include "support/diagnosis_draws.h"
#include "support/fakes.h"

namespace sorelka::decimal_division {
namespace {

using testing::ExtremeRandom;
using testing::SeededRandom;

// "1.35" → {135, 2}, "3" → {3, 0}: a decimal text as a whole number and its places.
std::pair<long long, int> Read(const std::string& text) {
    const std::size_t point = text.find('.');
    if (point == std::string::npos) return {std::stoll(text), 0};
    const int places = static_cast<int>(text.size() - point - 1);
    return {std::stoll(text.substr(0, point)) * Pow10(places) + std::stoll(text.substr(point + 1)), places};
}

// Every draw of every item, the extreme random sources' among them, keeps
// the item's rules and reads back from its stored text; its whole-number
// long division is worked right on the division's own step machine (the
// taught procedure's inputs, judged ○), which this topic wraps; the answer's texts
// check out as the pupil checks them: divisor × quotient + remainder =
// dividend with a remainder below the divisor in the quotient's last place
// (none when it divides, some when one is asked for), and a rounded quotient within half a unit of its last place of the true
// quotient. Each item draws a variety, not its fixed problem.
TEST(DecimalDivisionProblem, EveryDrawFitsItsItemAndItsAnswerChecksOut) {
    SeededRandom random(38);
    ExtremeRandom lowest(false);
    ExtremeRandom highest(true);
    testing::FakeServices fx;
    for (int menu = 1; menu <= kMenuItems; ++menu) {
        std::set<std::string> seen;
        for (int i = 0; i < testing::kPropertyDraws + 2; ++i) {
            RandomSource& source = i == 0   ? static_cast<RandomSource&>(lowest)
                                   : i == 1 ? static_cast<RandomSource&>(highest)
                                            : random;
            const std::optional<DecimalDivisionProblem> drawn = DrawProblem(menu, source);
            ASSERT_TRUE(drawn.has_value());
            const DecimalDivisionProblem& p = *drawn;
            const std::string stored = StoredProblemText(p);
            SCOPED_TRACE(stored);
            seen.insert(stored);
            ASSERT_TRUE(FitsMenuItem(p, menu));
            EXPECT_EQ(p.menu, menu);
            EXPECT_EQ(ParseStoredProblem(menu, stored), p);
            if (i % 10 == 0) {
                const division::DivisionProblem whole = WholeDivision(p);
                const auto inputs = division::WorkDivision(whole, division::DivisionBug::None, 1);
                ASSERT_TRUE(inputs.has_value());
                division::LongDivision steps(fx.ctx);
                steps.NewProblem(whole);
                division::EnterAndFinish(steps, *inputs);
                EXPECT_TRUE(IsRight(steps.JudgeDivision()));
                EXPECT_TRUE(fx.dialogs.shown.empty()) << "no step refused";
            }

            const auto [quotient, places] = Read(QuotientText(p));
            const auto [remainder, remainder_places] = Read(RemainderText(p));
            EXPECT_EQ(remainder_places, places) << "the remainder's point stands under the dividend's";
            EXPECT_EQ(p.divisor * quotient + remainder, p.digits * Pow10(places - p.places));
            EXPECT_LT(remainder, p.divisor);
            if (p.ending != Ending::Rounded) {
                EXPECT_EQ(remainder == 0, p.ending == Ending::Divides);
            }

            if (p.ending == Ending::Rounded) {
                const auto [rounded, rounded_places] = Read(RoundedText(p));
                EXPECT_EQ(rounded_places, p.asked);
                // |rounded / 10^asked − digits / (divisor · 10^places)| ≤ ½ · 10^-asked
                const long long scale = p.divisor * Pow10(p.places);
                EXPECT_LE(2 * std::llabs(rounded * scale - p.digits * Pow10(p.asked)), scale);
            }
        }
        EXPECT_GT(seen.size(), 25u) << "item " << menu;
    }
    EXPECT_FALSE(DrawProblem(0, random).has_value());
    EXPECT_FALSE(DrawProblem(kMenuItems + 1, random).has_value());
}

// The problem line, the judged line and the worked example's fact of the
// taught cases, and stored texts that no worksheet works.
TEST(DecimalDivisionProblem, TextsOfTheTaughtCases) {
    struct Case {
        DecimalDivisionProblem problem;
        const char* open;
        const char* judged;
        const char* fact;
    };
    const Case cases[] = {
        {{72, 1, 3}, "7.2 ÷ 3 = ?", "7.2 ÷ 3 = 2.4", "７．２÷３＝２．４"},
        {{24, 1, 6}, "2.4 ÷ 6 = ?", "2.4 ÷ 6 = 0.4", "２．４÷６＝０．４"},
        {{612, 2, 6}, "6.12 ÷ 6 = ?", "6.12 ÷ 6 = 1.02", "６．１２÷６＝１．０２"},
        {{54, 1, 4}, "5.4 ÷ 4 = ?", "5.4 ÷ 4 = 1.35", "５．４÷４＝１．３５"},
        {{3, 0, 4}, "3 ÷ 4 = ?", "3 ÷ 4 = 0.75", "３÷４＝０．７５"},
        {{75, 1, 4, Ending::Remainder, 1}, "7.5 ÷ 4 = ?（商は 1/10の位まで、あまりも）", "7.5 ÷ 4 = 1.8 あまり 0.3",
         "７．５÷４＝１．８ あまり ０．３"},
        {{81, 1, 4, Ending::Remainder, 1}, "8.1 ÷ 4 = ?（商は 1/10の位まで、あまりも）", "8.1 ÷ 4 = 2.0 あまり 0.1",
         "８．１÷４＝２．０ あまり ０．１"},
        {{25, 1, 7, Ending::Rounded, 2}, "2.5 ÷ 7 = ?（四捨五入で 1/100の位まで）", "2.5 ÷ 7 = 0.357…（約 0.36）",
         "２．５÷７＝０．３５７…（約０．３６）"},
        {{67, 1, 7, Ending::Rounded, 1}, "6.7 ÷ 7 = ?（四捨五入で 1/10の位まで）", "6.7 ÷ 7 = 0.95…（約 1.0）",
         "６．７÷７＝０．９５…（約１．０）"},
        // Divides one place past the asked one: no "…".
        {{34, 1, 8, Ending::Rounded, 2}, "3.4 ÷ 8 = ?（四捨五入で 1/100の位まで）", "3.4 ÷ 8 = 0.425（約 0.43）",
         "３．４÷８＝０．４２５（約０．４３）"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.open);
        EXPECT_TRUE(FitsSheet(c.problem));
        EXPECT_EQ(ProblemLine(c.problem, false), c.open);
        EXPECT_EQ(ProblemLine(c.problem, true), c.judged);
        EXPECT_EQ(WideFact(c.problem), c.fact);
    }
    EXPECT_EQ(WholeDivision({54, 1, 4}).dividend, 540);
    EXPECT_EQ(WrittenZeros({3, 0, 4}), 2);
    for (const char* bad : {"", "7.5 ÷", "7.5 ÷ 0", "7.50 ÷ 4", "0.24 ÷ 6", "7.5 ÷ 4（あまり）", "7.5 × 4",
                            "1.2 ÷ 7", "8 ÷ 4", "7.5 ÷ 4（商は 1/1000の位まで、あまりも）"})
        EXPECT_FALSE(ParseStoredProblem(1, bad).has_value()) << bad;
}

}  // namespace
}  // namespace sorelka::decimal_division
