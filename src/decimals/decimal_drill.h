#pragma once

#include "decimals/decimal_sheet.h"
#include "drill/drill_session.h"

namespace sorelka::decimals {

// What tells the addition and the subtraction drill screens apart (the
// screens' object names are the view's, DecimalFormName).
struct DrillVariant {
    Operation operation;
    const char* title;
    const char* time_prompt;  // after a time choice
    Cue time_cue;        // played after a time choice
};

inline constexpr DrillVariant kAdditionDrill{Operation::Addition, "２．小数のたし算：ドリル",
                                             "「スタート」ボタンを押してね！", Cue::Choice};
inline constexpr DrillVariant kSubtractionDrill{Operation::Subtraction, "３．小数のひき算：ドリル",
                                                "「スタート」ボタンをおしてね！", Cue::Step};

// The log row of the question on `sheet`, judged as it stands (its number is
// filled in by the drill): " 0.3 ＋ 0.7", " 1", " 1", " ○" — every text after
// a space, the operands and both answers written as FormatDecimal writes them.
DrillRow DecimalDrillRow(const DecimalSheet& sheet);

}  // namespace sorelka::decimals
