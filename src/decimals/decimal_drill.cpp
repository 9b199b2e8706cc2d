#include "decimals/decimal_drill.h"

namespace sorelka::decimals {

DrillRow DecimalDrillRow(const DecimalSheet& sheet) {
    DrillRow row;
    row.mnd = sheet.LogProblemText();
    row.kai = sheet.LogResultText();
    row.kot = sheet.LogAnswerText();
    row.hnt = IsRight(sheet.verdict()) ? " ○" : " ×";
    return row;
}

}  // namespace sorelka::decimals
