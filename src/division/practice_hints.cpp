#include "division/practice_hints.h"

namespace sorelka::division {

std::optional<std::string> StepHint(int step) {
    switch (step) {
        case 0:
            return "商を「高い位」から１けたずつ「位」を合わせて選んでね！";
        case 1: case 2: case 4: case 5: case 7: case 8:
            return "計算値を選んでね！";
        case 3: case 6:
            return "計算の途中なら次の商を、計算が終われば\r「終わり」を選んでね！";
        default:
            return std::nullopt;
    }
}

std::optional<std::string> DigitHint(int step) {
    switch (step) {
        case 1: case 2: case 4: case 5: case 7: case 8:
            return "ＯＫなら「確定」を選んでね！";
        case 3: case 6: case 9:
            return "計算の途中なら「確定」を、計算が終われば\r「終わり」を選んでね！";
        default:
            return std::nullopt;
    }
}

std::string Mark(bool right) { return right ? "○" : "×"; }

}  // namespace sorelka::division
