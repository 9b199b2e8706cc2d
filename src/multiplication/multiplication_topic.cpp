#include "multiplication/multiplication_topic.h"

#include "multiplication/multiplication_diagnosis.h"
#include "multiplication/multiplication_skills.h"

namespace sorelka::multiplication {

TopicInfo MultiplicationTopic() {
    return {
        .topic = Topic::DecimalMultiplication,
        .name = "小数のかけ算",
        .colour = 0x0E8C8C,
        .menu_tint = 0xD4F1F4,
        .kinds = WithSharedKinds(KindsLabelledBy(
            {kPointMisplaced, kPointMissing, kEndZeroKept, kOnesZeroMissing, kRowNotShifted, kCarryMissing,
             kTimesTableSlip, kRowSumSlip},
            MultiplicationKindLabel)),
        .skills = MultiplicationSkills(),
        .practice_menu = {"小数 × １けた", "小数 × ２けた", "答えの ０に 気をつける"},
    };
}

}  // namespace sorelka::multiplication
