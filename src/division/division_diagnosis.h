#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/finding.h"
#include "core/worked_example.h"
#include "core/worked_rows.h"
#include "division/division_problem.h"
#include "division/division_roles.h"

// Names the mistake in a written long division from what the worksheet
// showed when the answer was judged. The pupil's cells are compared with the
// right work in the order they are written (たてる・かける・ひく・おろす, round
// after round); at the first cell that differs, each kind's buggy procedure
// (the right procedure with that one mistake) is tried, and the kind whose
// procedure writes what the pupil wrote there is named. A wrong cell that
// none explains is a slip; wrong work that shows no single wrong cell, or a
// cell that cannot be read, is other.
namespace sorelka::division {

// Kind ids (besides kSlip and kOther).
inline constexpr const char* kQuotientTooBig = "quotient_too_big";
inline constexpr const char* kQuotientTooSmall = "quotient_too_small";
inline constexpr const char* kQuotientPlace = "quotient_place";
inline constexpr const char* kZeroMissing = "zero_missing";
inline constexpr const char* kProductSlip = "product_slip";
inline constexpr const char* kDifferenceSlip = "difference_slip";
inline constexpr const char* kBringDown = "bring_down";

// The Japanese label of a kind id ("商が大きすぎる", …); empty for an unknown id.
std::string DivisionKindLabel(std::string_view kind);

// Diagnoses the division on the worksheet of the division screens, as its
// worked rows store it (division_cells.h): the quotient and the rows product,
// difference, product, difference, product, difference.
// No finding when the quotient and the last difference written are the
// quotient and the remainder and the quotient stands in its columns.
//
// Step forms:
//   "quotient:K"  the K-th quotient digit from the left (1-based);
//                 K may stand past the written quotient (a digit left out)
//                 or past the right one (a digit too many)
//   "row:N"       worksheet row N = 1..6: odd rows are the
//                 products, even rows the differences with the digits brought down
Diagnosis DiagnoseDivision(const DivisionProblem& problem, const WorkedRows& rows);

// The worksheet role that a step of DiagnoseDivision names (kQuotientRole or
// one of kRowRoles); empty for a step of another form.
std::string DivisionStepCell(std::string_view step);

// ---- Shared with other worksheets that hold a long division ----

// The place (1 ones, 2 tens, …) of the column the first quotient digit of
// the right work stands over; 1 for a dividend smaller than the divisor.
int RightFirstPlace(long long dividend, long long divisor);

// A long division as its cells hold it, on whatever worksheet it stands.
struct WrittenDivision {
    int dividend = 0;
    int divisor = 0;
    std::string quotient;             // the quotient's characters as written
    std::array<std::string, 6> rows;  // product, difference, product, … ("" = empty)
    // The place of the column its first character stands over; 0 where the
    // record does not say (older records, the calculation-rules worksheet):
    // it is then taken to stand where the right work's first digit does.
    int quotient_place = 0;

    int FirstPlace() const { return quotient_place > 0 ? quotient_place : RightFirstPlace(dividend, divisor); }
    // What `role` holds: the quotient's character in that column or a whole
    // row; empty where nothing is written.
    std::string Text(DivisionRole role) const;
    bool operator==(const WrittenDivision&) const = default;
};

// The stored text of a quotient whose first character stands over the
// column of `first_place` of a dividend of `dividend_digits` digits: the
// characters with a space for every column of the dividend they leave empty
// ("９２" over the hundreds and tens of 461 is stored as "92 ", over the tens
// and ones as " 92"). A quotient that stands past the dividend's columns is
// stored as it is.
std::string QuotientOverDividend(std::string_view quotient, int first_place, int dividend_digits);
// The division of `problem` as the worked rows of the division screens hold
// it (the quotient stored as QuotientOverDividend writes it, or as the
// label showed it in older records).
WrittenDivision WrittenDivisionOf(const DivisionProblem& problem, const WorkedRows& rows);
// The role a step of DiagnoseDivision names on `written`: "quotient:K" its
// K-th quotient character from the left, in the column it stands over;
// "row:N" the N-th row. None for any other step.
std::optional<DivisionRole> DivisionStepRole(std::string_view step, const WrittenDivision& written);

// The first mistake of a written division.
struct DivisionMistake {
    std::string kind;
    bool in_quotient = false;  // a quotient digit, else a row
    int index = 0;             // quotient: digit 0-based; row: 0..5
    int round = 1;             // the round of たてる・かける・ひく・おろす, 1-based
    std::string explanation;   // names the round and shows the right fact
};

// The first mistake in `written`, or none when every cell agrees with the
// right work. The quotient and remainder are not judged here.
std::optional<DivisionMistake> FindDivisionMistake(const WrittenDivision& written);

// Decimal digits of `text` as full-width digits ("56" → "５６"); other
// characters are copied unchanged.
std::string WideDigits(std::string_view text);
std::string WideNumber(long long value);
// A division as the pupil learned it, written as the division screens write
// their answer: "６９÷８＝８ あまり ５", "８÷８＝１"; empty for a divisor
// that is not positive.
std::string DivisionFact(long long dividend, long long divisor);

// True when `written` differs from `right` as one slip of a column
// calculation does: one digit different, or off by a power of ten.
bool LooksLikeOneSlip(long long right, long long written);

}  // namespace sorelka::division
