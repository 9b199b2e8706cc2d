#include "decimal_division/decimal_division_topic.h"

#include "decimal_division/decimal_division_diagnosis.h"
#include "decimal_division/decimal_division_skills.h"
#include "division/division_diagnosis.h"

namespace sorelka::decimal_division {

TopicInfo DecimalDivisionTopic() {
    return {
        .topic = Topic::DecimalDivision,
        .name = "小数のわり算",
        .colour = 0x8C5A2B,
        .menu_tint = 0xF5EBDD,
        .kinds = WithSharedKinds(KindsLabelledBy(
            {kQuotientPointMissing, kQuotientPointMisplaced, kOnesZeroMissing, kRemainderPoint, kStoppedEarly,
             kRoundingPlace, kRoundingCut, division::kZeroMissing, division::kQuotientTooBig,
             division::kQuotientTooSmall, division::kQuotientPlace, division::kProductSlip,
             division::kDifferenceSlip, division::kBringDown},
            DecimalDivisionKindLabel)),
        .skills = DecimalDivisionSkills(),
        .practice_menu = {"わりきれる（１けたでわる）", "わりきれる（２けたでわる）", "わり進む（整数÷整数 も）",
                          "あまりを だす", "商を 四捨五入する"},
    };
}

}  // namespace sorelka::decimal_division
