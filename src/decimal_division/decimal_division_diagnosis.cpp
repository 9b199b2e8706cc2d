#include "decimal_division/decimal_division_diagnosis.h"

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

}  // namespace sorelka::decimal_division
