#include "multiplication/multiplication_topic.h"

#include "multiplication/multiplication_diagnosis.h"
#include "multiplication/multiplication_skills.h"

namespace sorelka::multiplication {

TopicInfo MultiplicationTopic() {
    return {
        .topic = Topic::DecimalMultiplication,
        .name = "小数のかけ算",
        .colour = 0x8E44AD,
        .menu_tint = 0xF1E6F8,
        .kinds = WithSharedKinds(KindsLabelledBy(
            {kPointMisplaced, kPointMissing, kEndZeroKept, kOnesZeroMissing, kRowNotShifted, kCarryMissing,
             kTimesTableSlip, kRowSumSlip},
            MultiplicationKindLabel)),
        .skills = MultiplicationSkills(),
    };
}

}  // namespace sorelka::multiplication
