#include "multiplication/multiplication_diagnosis.h"

namespace sorelka::multiplication {

std::string MultiplicationKindLabel(std::string_view kind) {
    if (kind == kPointMisplaced) return "小数点の 位置が ちがう";
    if (kind == kPointMissing) return "小数点を うちわすれた";
    if (kind == kEndZeroKept) return "小数の 終わりの ０を 消していない";
    if (kind == kOnesZeroMissing) return "一の位の ０を 書きわすれた";
    if (kind == kRowNotShifted) return "２だん目を 左に ずらしていない";
    if (kind == kCarryMissing) return "くり上がりを たしわすれた";
    if (kind == kTimesTableSlip) return "九九を まちがえた";
    if (kind == kRowSumSlip) return "だんの たし算を まちがえた";
    return SharedKindLabel(kind);
}

}  // namespace sorelka::multiplication

namespace sorelka::multiplication {

// Not yet diagnosed: every wrong answer is "other" until the diagnosis lands.
Diagnosis DiagnoseMultiplication(const MultiplicationProblem& /*problem*/, const WorkedRows& /*rows*/) {
    return std::nullopt;
}

}  // namespace sorelka::multiplication
