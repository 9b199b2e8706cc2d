#pragma once

#include <array>

#include "core/entry.h"

// The one vocabulary of a written long division: the digit columns counted
// from the ones, the roles of the worksheet's cells (what each one is in the
// calculation) and the places of the pupil's work that the diagnosis and the
// examples point at. The step machine keys its worksheet by these roles; the
// screens' layout table and the record's table of stored names map them on.
namespace sorelka::division {

// Digit columns, counted from the ones: 1 the ones, 2 the tens, 3 the
// hundreds, 4 the thousands (0 or less: past the ones).
inline constexpr int kOnes = 1;
inline constexpr int kTens = 2;
inline constexpr int kHundreds = 3;
inline constexpr int kThousands = 4;

// The column of a place's digit list; 0 for a place the division has no list for.
constexpr int ColumnOf(Place place) {
    switch (place) {
        case Place::Ones: return kOnes;
        case Place::Tens: return kTens;
        case Place::Hundreds: return kHundreds;
        case Place::Thousands: return kThousands;
        default: return 0;
    }
}
// The place of column 1..4; Place::Tenths (no list) for any other column.
constexpr Place PlaceOfColumn(int column) {
    switch (column) {
        case kOnes: return Place::Ones;
        case kTens: return Place::Tens;
        case kHundreds: return Place::Hundreds;
        case kThousands: return Place::Thousands;
        default: return Place::Tenths;
    }
}

// The column "飛ばし" gives the difference and product rows after a tried
// difference: the ones column, shown a hair right of a row written there.
inline constexpr int kOnesAfterSkip = -2;

// Roles of the worksheet's cells. Where a cell stands is its `column` (the
// quotient: the column its first digit stands over; a row: the column of its
// last digit; the divisor, the bracket and the dividend's line: the column of
// the dividend's first digit) and, for the marker, its `row` (0 the quotient,
// 1..6 the rows below).
inline constexpr const char* kDividendRole = "dividend";
inline constexpr const char* kDivisorRole = "divisor";
inline constexpr const char* kQuotientRole = "quotient";
// The rows below the dividend, 0..5: the product and the difference (with the
// digits brought down) of each round.
inline constexpr std::array<const char*, 6> kRowRoles{"product 1", "difference 1", "product 2",
                                                      "difference 2", "product 3", "difference 3"};
inline constexpr const char* kDividendLineRole = "dividend line";
// The line under the product of round 1..3 (index round - 1).
inline constexpr std::array<const char*, 3> kUnderlineRoles{"line 1", "line 2", "line 3"};
inline constexpr const char* kBracketRole = "bracket";
inline constexpr const char* kMarkerRole = "marker";
// The digit lists of the columns 1..4 (index column - 1) and the action list;
// their cells hold the lists' headings.
inline constexpr std::array<const char*, 4> kDigitListRoles{"list ones", "list tens", "list hundreds",
                                                            "list thousands"};
inline constexpr const char* kActionListRole = "list action";

// One place of the pupil's work on a written division: a digit of the
// quotient, named by the column of the dividend it stands over, or one of the
// rows below the dividend.
struct DivisionRole {
    enum class Part { Quotient, Row };
    Part part = Part::Quotient;
    // Quotient: the column it stands over (kOnes … kThousands; 0 or less past
    // the ones). Row: 0..5 (product, difference, …).
    int index = 0;

    static DivisionRole QuotientDigit(int column) { return {Part::Quotient, column}; }
    static DivisionRole Row(int row) { return {Part::Row, row}; }
    bool operator==(const DivisionRole&) const = default;
    // The worksheet cell that shows the place: the quotient or the row's.
    const char* cell() const {
        return part == Part::Quotient ? kQuotientRole : index >= 0 && index < 6 ? kRowRoles[index] : "";
    }
};

}  // namespace sorelka::division
