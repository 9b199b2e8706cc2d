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
    };
}

}  // namespace sorelka::multiplication
